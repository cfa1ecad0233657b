#include "document/Child.h"

#include "editor/ActionTable.h"
#include "editor/FieldEditors.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerFields.h"
#include "layer/LayerLook.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"

#include <QAction>
#include <QTabWidget>

#include <optional>

namespace {

// "Equals" of the sync: an empty field equals nothing.
bool equals(const LayerTable& table, std::string_view field, std::int32_t value)
{
    const auto* stored = std::get_if<std::int32_t>(&ReadLayerField(table, field));
    return stored && *stored == value;
}

bool equals(const LayerTable& table, std::string_view field, bool value)
{
    const auto* stored = std::get_if<bool>(&ReadLayerField(table, field));
    return stored && *stored == value;
}

// A strict whole number, as the size box must hold.
std::optional<int> wholeNumber(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || text.trimmed() != text || text.startsWith('+'))
        return std::nullopt;
    return value;
}

} // namespace

// It only reads the table, at its cursor: the document's current layer.
void Tfrm_Child::TblAfterScroll(const LayerTable& DataSet)
{
    if (mUpdating)
        return;  // the surface is being built; the sync follows it
    const FieldValue& kind = ReadLayerField(DataSet, Field::tipus);
    showTabs(std::holds_alternative<std::int32_t>(kind) ? std::get<std::int32_t>(kind) : -1);
    // A record without a name has no element to find, as the selection
    // goes by name; with one, its own element, also where a foreign card
    // gives another layer the same name.
    mCurrentElement = ReadStr(DataSet, Field::compnev).empty() ? nullptr : elementOf(DataSet.CurrentId());
    checkFromRecord(mCurrentElement);
    followSelection();
    showSelection();
    if (StatusWarning)
        StatusWarning(currentWarning());
}

void Tfrm_Child::showTabs(int kind)
{
    for (int page = 0; page < PageControl1->count(); ++page)
        PageControl1->setTabVisible(page, page == kind);
    if (kind >= 0 && kind < PageControl1->count())
        PageControl1->setCurrentIndex(kind);
    // With every tab hidden no page may show either.
    for (int page = 0; page < static_cast<int>(mTabPages.size()); ++page)
        mTabPages[page]->setVisible(page == kind);
}

// The marks of the element's kind follow the record; the other kinds' marks
// keep their last state.
void Tfrm_Child::checkFromRecord(CardElement* element)
{
    if (qobject_cast<TextElement*>(element)) {
        action("aFelkover")->setChecked(equals(Tbl(), Field::felkover, true));
        action("aDolt")->setChecked(equals(Tbl(), Field::dolt, true));
        action("aAlahuzott")->setChecked(equals(Tbl(), Field::alahuzott, true));
        const FieldValue& alignment = ReadLayerField(Tbl(), Field::igazitas);
        const std::int32_t code = isNull(alignment) ? 0 : std::get<std::int32_t>(alignment);
        const std::string_view alignments[] = {"aBalra", "aKozepre", "aJobbra"};
        if (code >= 0 && code <= 2)
            mActions->checkInGroup(action(alignments[code]));
    } else if (qobject_cast<ShapeElement*>(element)) {
        action("aTeglalap")->setChecked(equals(Tbl(), Field::shape, 0));
        action("aKor")->setChecked(equals(Tbl(), Field::shape, 1));
        for (int i = 0; i <= 6; ++i)
            action("aES" + std::to_string(i))->setChecked(equals(Tbl(), Field::brushstyle, i));
        for (int i = 0; i <= 4; ++i)
            action("aCS" + std::to_string(i))->setChecked(equals(Tbl(), Field::penstyle, i));
        for (int i = 1; i <= 7; ++i)
            action("aV" + std::to_string(i))->setChecked(equals(Tbl(), Field::penwidth, i));
    } else if (qobject_cast<PictureElement*>(element)) {
        action("aNyujtas")->setChecked(equals(Tbl(), Field::strech, true));
        action("aNormal")->setChecked(equals(Tbl(), Field::strech, false));
    }
}

// What the user types into the text panel goes to the current text layer's
// record, keystroke by keystroke, and the element shows it from there. A
// size that is not a whole number is refused with its message; the box
// keeps the typing, and the next valid keystroke is taken.
void Tfrm_Child::panelTyped(std::string_view field, const QString& text)
{
    if (mUpdating || !qobject_cast<TextElement*>(mCurrentElement))
        return;
    const LayerTable::RecordId layer = Tbl().CurrentId();
    // Several texts selected take the same typing, keystroke by keystroke.
    auto type = [&](std::string_view typed, const FieldValue& value, const QString& caption) {
        std::vector<LayerTable::RecordId> texts;
        for (CardElement* element : grouped() ? selectedElements() : std::vector<CardElement*>{})
            if (qobject_cast<TextElement*>(element))
                texts.push_back(element->layerId());
        if (texts.size() > 1)
            mDocument.typeLayers(texts, typed, value, caption);
        else
            mDocument.type(layer, typed, value, caption);
    };
    if (field == Field::betumeret) {
        const std::optional<int> points = wholeNumber(text);
        if (!points)
            throw TableError("'" + (text.size() > 80 ? text.left(80) + QChar(0x2026) : text).toStdString()
                             + "' is not a valid integer value");
        type(field, std::int32_t(*points), QStringLiteral("Betűméret"));
    } else if (field == Field::betutipus) {
        type(field, toWin1250(text), QStringLiteral("Betűtípus"));
    } else {
        type(field, toWin1250(text), QStringLiteral("Gépelés"));
    }
}
