#include "document/Child.h"

#include "document/Dialogs.h"
#include "editor/ActionTable.h"
#include "editor/ShapeElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"

#include <QAction>

void Tfrm_Child::setShapeKind(const char* name, std::int32_t code)
{
    QAction* mark = action(name);
    auto* shape = qobject_cast<ShapeElement*>(CurrentElement);
    if (!shape) {
        undoMark(mark);
        return;
    }
    ShapeLook look = shape->look();
    look.kind = shapeFromCode(code);
    shape->setLook(look);
    mActions->checkInGroup(mark);
    postField(Field::shape, code);
}

void Tfrm_Child::aTeglalapExecute() { setShapeKind("aTeglalap", 0); }
void Tfrm_Child::aKorExecute() { setShapeKind("aKor", 1); }

void Tfrm_Child::setFillPattern(std::int32_t code)
{
    QAction* mark = action("aES" + std::to_string(code));
    auto* shape = qobject_cast<ShapeElement*>(CurrentElement);
    if (!shape) {
        undoMark(mark);
        return;
    }
    ShapeLook look = shape->look();
    look.pattern = fillFromCode(code);
    shape->setLook(look);
    mActions->checkInGroup(mark);
    postField(Field::brushstyle, code);
}

void Tfrm_Child::aES0Execute() { setFillPattern(0); }
void Tfrm_Child::aES1Execute() { setFillPattern(1); }
void Tfrm_Child::aES2Execute() { setFillPattern(2); }
void Tfrm_Child::aES3Execute() { setFillPattern(3); }
void Tfrm_Child::aES4Execute() { setFillPattern(4); }
void Tfrm_Child::aES5Execute() { setFillPattern(5); }
void Tfrm_Child::aES6Execute() { setFillPattern(6); }

// Code 2 is dash-dot and 3 dashed, the card file's own order.
void Tfrm_Child::setOutlinePattern(std::int32_t code)
{
    QAction* mark = action("aCS" + std::to_string(code));
    auto* shape = qobject_cast<ShapeElement*>(CurrentElement);
    if (!shape) {
        undoMark(mark);
        return;
    }
    ShapeLook look = shape->look();
    look.outlinePattern = outlineFromCode(code);
    shape->setLook(look);
    mActions->checkInGroup(mark);
    postField(Field::penstyle, code);
}

void Tfrm_Child::aCS0Execute() { setOutlinePattern(0); }
void Tfrm_Child::aCS1Execute() { setOutlinePattern(1); }
void Tfrm_Child::aCS2Execute() { setOutlinePattern(2); }
void Tfrm_Child::aCS3Execute() { setOutlinePattern(3); }
void Tfrm_Child::aCS4Execute() { setOutlinePattern(4); }

void Tfrm_Child::setOutlineWidth(std::int32_t width)
{
    QAction* mark = action("aV" + std::to_string(width));
    auto* shape = qobject_cast<ShapeElement*>(CurrentElement);
    if (!shape) {
        undoMark(mark);
        return;
    }
    ShapeLook look = shape->look();
    look.outlineWidth = width;
    shape->setLook(look);
    mActions->checkInGroup(mark);
    postField(Field::penwidth, width);
}

void Tfrm_Child::aV1Execute() { setOutlineWidth(1); }
void Tfrm_Child::aV2Execute() { setOutlineWidth(2); }
void Tfrm_Child::aV3Execute() { setOutlineWidth(3); }
void Tfrm_Child::aV4Execute() { setOutlineWidth(4); }
void Tfrm_Child::aV5Execute() { setOutlineWidth(5); }
void Tfrm_Child::aV6Execute() { setOutlineWidth(6); }
void Tfrm_Child::aV7Execute() { setOutlineWidth(7); }

// The dialog starts from the record's colour (black when it has none); a
// cancelled dialog changes nothing but still counts as a change of the card.
void Tfrm_Child::chooseShapeColor(std::string_view field, bool fill)
{
    auto* shape = qobject_cast<ShapeElement*>(CurrentElement);
    if (!shape)
        return;
    const QColor preset = colorFromStored(ReadInt(Tbl, field, 0));
    if (const std::optional<QColor> chosen = dialogs().chooseColor(this, preset)) {
        Tbl.EditRecord();
        Tbl.WriteField(field, storedFromColor(*chosen));
        Tbl.PostRecord();
        ShapeLook look = shape->look();
        (fill ? look.fill : look.outline) = *chosen;
        shape->setLook(look);
    }
    Modified = true;
}

void Tfrm_Child::aEcsetSzinExecute() { chooseShapeColor(Field::brushcolor, true); }
void Tfrm_Child::aCeruzaSzinExecute() { chooseShapeColor(Field::pencolor, false); }
