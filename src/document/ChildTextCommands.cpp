#include "document/Child.h"

#include "document/Dialogs.h"
#include "editor/ActionTable.h"
#include "editor/PictureElement.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"

#include <QAction>

// How the check marks work. Qt flips a checkable action's mark before its
// handler runs. Every handler starts from that flip and never flips again:
// a style toggle takes Qt's flip as its new state; a radio command checks
// itself and unchecks its group (so running the checked one keeps it
// checked); a command that finds nothing to act on flips the mark back, so
// that it changes nothing at all. Once the document has changed the record,
// the marks are set from it again.

void Tfrm_Child::undoMark(QAction* mark)
{
    if (mark->isCheckable())
        mark->setChecked(!mark->isChecked());
}

LayerTable::RecordId Tfrm_Child::currentLayer() const
{
    return mCurrentElement ? mCurrentElement->layerId() : 0;
}

template <class Element>
Element* Tfrm_Child::currentAs() const
{
    return qobject_cast<Element*>(mCurrentElement);
}

template TextElement* Tfrm_Child::currentAs<TextElement>() const;
template PictureElement* Tfrm_Child::currentAs<PictureElement>() const;
template ShapeElement* Tfrm_Child::currentAs<ShapeElement>() const;

// The one shape of a layer command: the document changes the current
// layer's record, as one step named by the command's caption. With several
// layers selected, every selected layer of the current one's kind takes
// the same fields, in the same step.
void Tfrm_Child::changeCurrent(const char* name, CardDocument::Values values)
{
    if (!grouped() || !mCurrentElement) {
        mDocument.change(currentLayer(), values, action(name)->text());
        return;
    }
    CardDocument::LayerValues changes;
    for (CardElement* element : selectedElements())
        if (element->item().kind == mCurrentElement->item().kind)
            changes.emplace_back(element->layerId(), values);
    mDocument.changeLayers(changes, action(name)->text());
}

void Tfrm_Child::toggleStyle(const char* name, std::string_view field)
{
    QAction* mark = action(name);
    if (!currentAs<TextElement>()) {
        undoMark(mark);
        return;
    }
    changeCurrent(name, {{field, mark->isChecked()}});
}

void Tfrm_Child::aFelkoverExecute()
{
    toggleStyle("aFelkover", Field::felkover);
}

void Tfrm_Child::aDoltExecute()
{
    toggleStyle("aDolt", Field::dolt);
}

void Tfrm_Child::aAlahuzottExecute()
{
    toggleStyle("aAlahuzott", Field::alahuzott);
}

// The stored codes are the card file's own: left 0, centre 1, right 2.
void Tfrm_Child::setTextAlignment(const char* name, std::int32_t code)
{
    QAction* mark = action(name);
    if (!currentAs<TextElement>()) {
        undoMark(mark);
        return;
    }
    mActions->checkInGroup(mark);
    changeCurrent(name, {{Field::igazitas, code}});
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

// A cancelled dialog leaves the colour as it was, and counts as a change.
void Tfrm_Child::aSzinExecute()
{
    auto* text = currentAs<TextElement>();
    if (!text)
        return;
    if (const std::optional<QColor> chosen = dialogs().chooseColor(this, text->look().color))
        changeCurrent("aSzin", {{Field::szin, storedFromColor(*chosen)}});
}

// The font with its colour; the alignment stays. The dialog starts from the
// layer's own values, so OK with nothing changed leaves them as they were.
// A strike-out chosen in the dialog stays with the open card: no field of
// the file keeps it. However the dialog ends, the press of the double-click
// that opened it starts no drag.
void Tfrm_Child::aBetutipusExecute()
{
    auto* text = currentAs<TextElement>();
    if (!text)
        return;
    mDialogClosed = true;
    mDragging = false;
    const DialogEnded ended(*this);
    const TextLook& shown = text->look();
    const Dialogs::FontChoice preset{shown.font.family(), shown.points,          shown.font.bold(),
                                     shown.font.italic(), shown.font.underline(), shown.font.strikeOut(),
                                     shown.color};
    const std::optional<Dialogs::FontChoice> chosen = dialogs().chooseFont(this, preset);
    if (!chosen)
        return;
    CardDocument::Values values = {{Field::betutipus, toWin1250(chosen->family)},
                                   {Field::betumeret, chosen->points},
                                   {Field::felkover, chosen->bold},
                                   {Field::dolt, chosen->italic},
                                   {Field::alahuzott, chosen->underline},
                                   {Field::szin, storedFromColor(chosen->color)},
                                   {CardDocument::StrikeOut, chosen->strikeOut}};
    // Several texts take only what the dialog changed: each keeps its own
    // size where only the colour was chosen.
    if (grouped()) {
        const CardDocument::Values before = mDocument.valuesOf(currentLayer(), values);
        CardDocument::Values changed;
        for (std::size_t i = 0; i < values.size(); ++i)
            if (values[i].second != before[i].second)
                changed.push_back(values[i]);
        values = changed;
    }
    if (!values.empty())
        changeCurrent("aBetutipus", values);
}
