#include "document/Child.h"

#include "document/Dialogs.h"
#include "editor/ActionTable.h"
#include "editor/ShapeElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"

#include <QAction>

// Commands that differ only by their code: the shape kind, the fill, the
// outline's pattern and width.
void Tfrm_Child::setShapeField(const char* name, std::string_view field, std::int32_t code)
{
    QAction* mark = action(name);
    if (!currentAs<ShapeElement>()) {
        undoMark(mark);
        return;
    }
    mActions->checkInGroup(mark);
    changeCurrent(name, {{field, code}});
}

void Tfrm_Child::aTeglalapExecute() { setShapeField("aTeglalap", Field::shape, 0); }
void Tfrm_Child::aKorExecute() { setShapeField("aKor", Field::shape, 1); }

void Tfrm_Child::aES0Execute() { setShapeField("aES0", Field::brushstyle, 0); }
void Tfrm_Child::aES1Execute() { setShapeField("aES1", Field::brushstyle, 1); }
void Tfrm_Child::aES2Execute() { setShapeField("aES2", Field::brushstyle, 2); }
void Tfrm_Child::aES3Execute() { setShapeField("aES3", Field::brushstyle, 3); }
void Tfrm_Child::aES4Execute() { setShapeField("aES4", Field::brushstyle, 4); }
void Tfrm_Child::aES5Execute() { setShapeField("aES5", Field::brushstyle, 5); }
void Tfrm_Child::aES6Execute() { setShapeField("aES6", Field::brushstyle, 6); }

// Code 2 is dash-dot and 3 dashed, the card file's own order.
void Tfrm_Child::aCS0Execute() { setShapeField("aCS0", Field::penstyle, 0); }
void Tfrm_Child::aCS1Execute() { setShapeField("aCS1", Field::penstyle, 1); }
void Tfrm_Child::aCS2Execute() { setShapeField("aCS2", Field::penstyle, 2); }
void Tfrm_Child::aCS3Execute() { setShapeField("aCS3", Field::penstyle, 3); }
void Tfrm_Child::aCS4Execute() { setShapeField("aCS4", Field::penstyle, 4); }

void Tfrm_Child::aV1Execute() { setShapeField("aV1", Field::penwidth, 1); }
void Tfrm_Child::aV2Execute() { setShapeField("aV2", Field::penwidth, 2); }
void Tfrm_Child::aV3Execute() { setShapeField("aV3", Field::penwidth, 3); }
void Tfrm_Child::aV4Execute() { setShapeField("aV4", Field::penwidth, 4); }
void Tfrm_Child::aV5Execute() { setShapeField("aV5", Field::penwidth, 5); }
void Tfrm_Child::aV6Execute() { setShapeField("aV6", Field::penwidth, 6); }
void Tfrm_Child::aV7Execute() { setShapeField("aV7", Field::penwidth, 7); }

// The dialog starts from the record's colour (black when it has none); a
// cancelled dialog changes nothing but still counts as a change of the card.
void Tfrm_Child::chooseShapeColor(const char* name, std::string_view field)
{
    if (!currentAs<ShapeElement>())
        return;
    const QColor preset = colorFromStored(ReadInt(Tbl(), field, 0));
    if (const std::optional<QColor> chosen = dialogs().chooseColor(this, preset))
        changeCurrent(name, {{field, storedFromColor(*chosen)}});
}

void Tfrm_Child::aEcsetSzinExecute() { chooseShapeColor("aEcsetSzin", Field::brushcolor); }
void Tfrm_Child::aCeruzaSzinExecute() { chooseShapeColor("aCeruzaSzin", Field::pencolor); }
