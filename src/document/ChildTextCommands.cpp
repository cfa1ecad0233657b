#include "document/Child.h"

#include "document/Dialogs.h"
#include "editor/ActionTable.h"
#include "editor/TextElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"
#include "storage/TableError.h"

#include <QAction>

// How the check marks work. Qt flips a checkable action's mark before its
// handler runs. Every handler starts from that flip and never flips again:
// a style toggle takes Qt's flip as its new state; a radio command checks
// itself and unchecks its group (so running the checked one keeps it
// checked); a command that finds nothing to act on flips the mark back, so
// that it changes nothing at all. The selection sync sets the marks from
// the record whenever the current layer changes.

// The one shape of a layer command, after the element has changed: edit,
// assign, post, and the card has unsaved changes.
void Tfrm_Child::postField(std::string_view field, const FieldValue& value)
{
    Tbl.EditRecord();
    Tbl.WriteField(field, value);
    Tbl.PostRecord();
    Modified = true;
}

void Tfrm_Child::undoMark(QAction* mark)
{
    if (mark->isCheckable())
        mark->setChecked(!mark->isChecked());
}

void Tfrm_Child::toggleStyle(const char* name, std::string_view field, void (QFont::*set)(bool),
                             bool (QFont::*get)() const)
{
    QAction* mark = action(name);
    auto* text = qobject_cast<TextElement*>(CurrentElement);
    if (!text) {
        undoMark(mark);
        return;
    }
    QFont font = text->look().font;
    (font.*set)(!(font.*get)());
    text->setLayerFont(font);
    postField(field, mark->isChecked());
}

void Tfrm_Child::aFelkoverExecute()
{
    toggleStyle("aFelkover", Field::felkover, &QFont::setBold, &QFont::bold);
}

void Tfrm_Child::aDoltExecute()
{
    toggleStyle("aDolt", Field::dolt, &QFont::setItalic, &QFont::italic);
}

void Tfrm_Child::aAlahuzottExecute()
{
    toggleStyle("aAlahuzott", Field::alahuzott, &QFont::setUnderline, &QFont::underline);
}

// The stored codes are the card file's own: left 0, centre 1, right 2.
void Tfrm_Child::setTextAlignment(const char* name, std::int32_t code)
{
    QAction* mark = action(name);
    auto* text = qobject_cast<TextElement*>(CurrentElement);
    if (!text) {
        undoMark(mark);
        return;
    }
    text->setAlignment(alignmentFromCode(code));
    mActions->checkInGroup(mark);
    postField(Field::igazitas, code);
}

void Tfrm_Child::aBalraExecute()
{
    setTextAlignment("aBalra", 0);
}

void Tfrm_Child::aKozepreExecute()
{
    setTextAlignment("aKozepre", 1);
}

void Tfrm_Child::aJobbraExecute()
{
    setTextAlignment("aJobbra", 2);
}

// A cancelled dialog still writes the colour the element had.
void Tfrm_Child::aSzinExecute()
{
    auto* text = qobject_cast<TextElement*>(CurrentElement);
    if (!text)
        return;
    QColor color = text->look().color;
    if (const std::optional<QColor> chosen = dialogs().chooseColor(this, color)) {
        color = *chosen;
        text->setColor(color);
    }
    postField(Field::szin, storedFromColor(color));
}

// The font with its colour; the alignment stays. A strike-out chosen in the
// dialog shows until the surface is next rebuilt: no field keeps it.
void Tfrm_Child::aBetutipusExecute()
{
    auto* text = qobject_cast<TextElement*>(CurrentElement);
    if (!text)
        return;
    DialogClosed = true;
    Dragging = false;
    const TextLook& shown = text->look();
    QFont preset = shown.font;
    preset.setPointSize(std::max(1, shown.points));
    if (const auto chosen = dialogs().chooseFont(this, preset, shown.color)) {
        const auto& [font, color] = *chosen;
        if (!fitsWin1250(font.family()))
            throw TableError("The font name " + font.family().left(80).toStdString()
                             + " cannot be kept in a card: it holds characters outside Central European text");
        TextLook look = shown;
        look.points = font.pointSize() > 0 ? font.pointSize() : shown.points;
        look.font = layerFont(font.family(), look.points, font.bold(), font.italic(), font.underline());
        look.font.setStrikeOut(font.strikeOut());
        look.color = color;
        Tbl.EditRecord();
        text->setLook(look);
        Tbl.WriteField(Field::betutipus, toWin1250(font.family()));
        Tbl.WriteField(Field::betumeret, look.points);
        Tbl.WriteField(Field::felkover, font.bold());
        Tbl.WriteField(Field::dolt, font.italic());
        Tbl.WriteField(Field::alahuzott, font.underline());
        Tbl.WriteField(Field::szin, storedFromColor(color));
        Tbl.PostRecord();
        action("aFelkover")->setChecked(font.bold());
        action("aDolt")->setChecked(font.italic());
        action("aAlahuzott")->setChecked(font.underline());
    }
    DialogClosed = true;
    Dragging = false;
    Modified = true;
}
