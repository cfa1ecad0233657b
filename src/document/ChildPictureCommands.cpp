#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/PictureFile.h"
#include "editor/ActionTable.h"
#include "editor/PictureElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerItem.h"

#include <QAction>
#include <QTimer>

// The box stays as it is: with stretch off the picture is drawn at its own
// size from the box's top-left corner and cut at the box.
void Tfrm_Child::setPictureStretch(const char* name, bool stretch)
{
    QAction* mark = action(name);
    auto* picture = qobject_cast<PictureElement*>(CurrentElement);
    if (Updating || !picture) {
        undoMark(mark);
        return;
    }
    picture->setStretch(stretch);
    mActions->checkInGroup(mark);
    postField(Field::strech, stretch);
    refreshPicture();
}

void Tfrm_Child::aNyujtasExecute()
{
    setPictureStretch("aNyujtas", true);
}

void Tfrm_Child::aNormalExecute()
{
    setPictureStretch("aNormal", false);
}

// The new picture takes the old one's box and sizing.
void Tfrm_Child::aKepValasztExecute()
{
    auto* picture = qobject_cast<PictureElement*>(CurrentElement);
    if (!picture)
        return;
    if (const std::optional<QString> path = dialogs().openPicture(this, pictureFilter())) {
        const ChosenPicture chosen = readChosenPicture(*path);
        Tbl.EditRecord();
        Tbl.WriteBlob(Field::kep, chosen.bytes);
        Tbl.WriteField(Field::keptip, chosen.extension);
        Tbl.PostRecord();
        refreshPicture();
    }
    DialogClosed = true;
    Dragging = false;
    Modified = true;
}

// The current picture element shows its record's picture decoded for its
// box as it is now: after a resize a stretched picture is fetched at the new
// size, never the first decode scaled up.
void Tfrm_Child::refreshPicture()
{
    auto* picture = qobject_cast<PictureElement*>(CurrentElement);
    if (!picture)
        return;
    const LayerPicture shown = readLayerPicture(Tbl, PictureScale::Display, picture->size(), picture->stretch());
    picture->setPicture(shown);
    picture->setPlaceholder(false);
}
