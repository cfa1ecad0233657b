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

// The font with its colour; the alignment stays. The dialog starts from the
// layer's own values, so OK with nothing changed writes them back as they
// were. A strike-out chosen in the dialog shows until the surface is next
// rebuilt: no field keeps it. However the dialog ends, the press of the
// double-click that opened it starts no drag.
void Tfrm_Child::aBetutipusExecute()
{
    auto* text = qobject_cast<TextElement*>(CurrentElement);
    if (!text)
        return;
    DialogClosed = true;
    Dragging = false;
    const DialogEnded ended(*this);
    const TextLook& shown = text->look();
    const Dialogs::FontChoice preset{shown.font.family(), shown.points,          shown.font.bold(),
                                     shown.font.italic(), shown.font.underline(), shown.font.strikeOut(),
                                     shown.color};
    if (const std::optional<Dialogs::FontChoice> chosen = dialogs().chooseFont(this, preset)) {
        const std::string face = toWin1250(chosen->family);
        TextLook look = shown;
        look.points = chosen->points;
        look.font = layerFont(chosen->family, look.points, chosen->bold, chosen->italic, chosen->underline);
        look.font.setStrikeOut(chosen->strikeOut);
        look.color = chosen->color;
        Tbl.EditRecord();
        text->setLook(look);
        Tbl.WriteField(Field::betutipus, face);
        Tbl.WriteField(Field::betumeret, look.points);
        Tbl.WriteField(Field::felkover, chosen->bold);
        Tbl.WriteField(Field::dolt, chosen->italic);
        Tbl.WriteField(Field::alahuzott, chosen->underline);
        Tbl.WriteField(Field::szin, storedFromColor(chosen->color));
        Tbl.PostRecord();
        action("aFelkover")->setChecked(chosen->bold);
        action("aDolt")->setChecked(chosen->italic);
        action("aAlahuzott")->setChecked(chosen->underline);
    }
    Modified = true;
}
