#include "document/Child.h"

#include "document/Dialogs.h"
#include "document/PictureFile.h"
#include "editor/ActionTable.h"
#include "editor/PictureElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerItem.h"
#include "layer/LayerRecord.h"

#include <QAction>

// The box stays as it is: with stretch off the picture is drawn at its own
// size from the box's top-left corner and cut at the box.
void Tfrm_Child::setPictureStretch(const char* name, bool stretch)
{
    QAction* mark = action(name);
    if (mUpdating || !currentAs<PictureElement>()) {
        undoMark(mark);
        return;
    }
    mActions->checkInGroup(mark);
    changeCurrent(name, {{Field::strech, stretch}});
}

void Tfrm_Child::aNyujtasExecute()
{
    setPictureStretch("aNyujtas", true);
}

void Tfrm_Child::aNormalExecute()
{
    setPictureStretch("aNormal", false);
}

// The new picture takes the old one's box and sizing, stored reduced where
// a stretched box is far smaller than it. A file that is no picture changes
// nothing, not even the flags.
void Tfrm_Child::aKepValasztExecute()
{
    if (!currentAs<PictureElement>())
        return;
    if (const std::optional<QString> path = dialogs().openPicture(this, pictureFilter())) {
        const ChosenPicture chosen = readChosenPicture(*path);
        const std::optional<ChosenPicture> reduced =
            reducedForBox(chosen, readLayerBox(Tbl()).size(), ReadBool(Tbl(), Field::strech));
        const ChosenPicture& stored = reduced ? *reduced : chosen;
        changeCurrent("aKepValaszt", {{Field::kep, Blob(stored.bytes)}, {Field::keptip, stored.extension}});
    }
    mDialogClosed = true;
    mDragging = false;
}

// The contents come back from the picture; OK with a change is one step,
// the new code in the old one's box.
void Tfrm_Child::aQrSzerkesztExecute()
{
    auto* picture = currentAs<PictureElement>();
    if (!picture || !picture->item().qr)
        return;
    mDialogClosed = true;
    mDragging = false;
    const QrContents initial = contentsFromText(picture->item().qr->contents);
    const QSize box = picture->item().box.size();
    const std::optional<QrContents> chosen = dialogs().editQr(this, initial, std::min(box.width(), box.height()));
    mDialogClosed = true;
    mDragging = false;
    if (!chosen || *chosen == initial)
        return;
    changeCurrent("aQrSzerkeszt", {{Field::kep, Blob(qrPng(*chosen))}, {Field::keptip, std::string(".png")}});
}

// A double-click on a QR code opens its contents, on any other picture
// the choice of another picture.
void Tfrm_Child::pictureDoubleClicked(CardElement* element)
{
    action(element->item().qr ? "aQrSzerkeszt" : "aKepValaszt")->trigger();
}

// The current picture element shows its record's picture decoded for its
// box as it is now: while a handle is dragged a stretched picture is
// fetched at the new size, never the first decode scaled up.
void Tfrm_Child::refreshPicture()
{
    auto* picture = currentAs<PictureElement>();
    if (!picture || picture->item().qr)
        return;
    const LayerPicture shown = readLayerPicture(Tbl(), PictureScale::Display, picture->size(), picture->stretch());
    picture->setPicture(shown);
    picture->setPlaceholder(false);
}
