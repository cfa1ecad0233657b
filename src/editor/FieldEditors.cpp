#include "editor/FieldEditors.h"

#include "editor/ErrorBox.h"
#include "layer/Win1250Text.h"

#include <QApplication>
#include <QFocusEvent>

namespace {

// The background of the editor that has the keyboard focus.
const QColor FocusColor(166, 202, 240);

const FieldDef* fieldDef(const LayerTable& table, const std::string& name)
{
    const int index = table.FieldIndex(name);
    return index < 0 ? nullptr : &table.Fields()[index];
}

// Focus that leaves for another window or a popup (the combo's own list)
// comes back to the editor, so it still counts as the editor's.
bool leavesWithinWindow(const QFocusEvent* event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

void setBase(QWidget* editor, const QColor& color)
{
    QPalette colours = editor->palette();
    colours.setColor(QPalette::Base, color);
    editor->setPalette(colours);
}

void showFocus(QWidget* editor, bool focused)
{
    setBase(editor, focused ? FocusColor : QApplication::palette(editor).color(QPalette::Base));
}

} // namespace

StorableTextValidator::StorableTextValidator(int maxLength, QObject* parent)
    : QValidator(parent)
    , mMaxLength(maxLength)
{
}

QValidator::State StorableTextValidator::validate(QString& input, int&) const
{
    if (mMaxLength > 0 && input.size() > mMaxLength)
        return Invalid;
    for (QChar c : input)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return Invalid;
    return fitsWin1250(input) ? Acceptable : Invalid;
}

FieldBinding::FieldBinding(LayerTable& table, std::string_view fieldName)
    : mTable(table)
    , mField(fieldName)
{
}

// Only text fields have a size.
int FieldBinding::maxLength() const
{
    const FieldDef* field = fieldDef(mTable, mField);
    return field && field->Type == FieldType::String ? field->Size : 0;
}

QString FieldBinding::shownText() const
{
    if (!fieldDef(mTable, mField))
        return {};
    const FieldValue& value = mTable.ReadField(mField);
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<std::string>(&value))
        return fromWin1250(*text);
    return {};
}

// Input the user is still typing survives changes of other fields; a
// scroll or a reload means it belonged elsewhere, and an edit that ended
// without it (a cancel) drops it.
bool FieldBinding::follow(TableChange change)
{
    if (change == TableChange::Scroll || change == TableChange::DataSet)
        mPending = false;
    if (change == TableChange::State && mPending && !mTable.IsEditing())
        mPending = false;
    return !mPending || change == TableChange::Scroll || change == TableChange::DataSet;
}

void FieldBinding::userEdited()
{
    if (showing)
        return;
    if (mTable.State() == TableState::Browse && mTable.CurrentRow() >= 0) {
        mPending = true;
        mTable.EditRecord();
    } else if (mTable.IsEditing()) {
        mPending = true;
    }
}

// Text as Windows-1250 bytes; integers as typed, so that the table itself
// refuses what is not a number, with the field's name in the message.
// Written first, cleared after: a value the table refuses stays pending and
// fails again at the next attempt.
void FieldBinding::write(const QString& text)
{
    if (!mPending)
        return;
    const FieldDef* field = fieldDef(mTable, mField);
    if (field && field->Type == FieldType::String)
        mTable.WriteField(mField, toWin1250(text));
    else
        mTable.WriteField(mField, text.toStdString());
    mPending = false;
}

void FieldBinding::focusLeft(const QString& text)
{
    if (mPending && mTable.IsEditing())
        write(text);
}

FieldEdit::FieldEdit(LayerTable& table, std::string_view fieldName, QWidget* parent)
    : QLineEdit(parent)
    , mBinding(table, fieldName)
{
    connect(this, &QLineEdit::textEdited, this, [this] { guarded([this] { mBinding.userEdited(); }); });
    applyLimits();
    showField();
    table.AttachControl(this);
}

FieldEdit::~FieldEdit()
{
    mBinding.table().DetachControl(this);
}

void FieldEdit::applyLimits()
{
    const int maxLength = mBinding.maxLength();
    setMaxLength(maxLength > 0 ? maxLength : 32767);
    delete validator();
    setValidator(new StorableTextValidator(maxLength, this));
}

void FieldEdit::tableChanged(LayerTable&, TableChange change)
{
    if (change == TableChange::DataSet)
        applyLimits();
    if (mBinding.follow(change))
        showField();
}

void FieldEdit::writePendingInput(LayerTable&)
{
    mBinding.write(text());
}

void FieldEdit::showField()
{
    const QString value = mBinding.shownText();
    if (value == text())
        return;  // keeps the cursor where the user left it
    mBinding.showing = true;
    setText(value);
    mBinding.showing = false;
}

void FieldEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    showFocus(this, true);
}

void FieldEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!leavesWithinWindow(event))
        return;
    showFocus(this, false);
    guarded([this] { mBinding.focusLeft(text()); });
}

FieldComboBox::FieldComboBox(LayerTable& table, std::string_view fieldName, QWidget* parent)
    : QComboBox(parent)
    , mBinding(table, fieldName)
{
    setEditable(true);
    // Entries are the program's to fill; typing must neither add to them
    // nor be completed from them behind the user's back.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { guarded([this] { mBinding.userEdited(); }); });
    connect(this, &QComboBox::activated, this, [this] { guarded([this] { mBinding.userEdited(); }); });
    // Filling the list makes its first entry current; the field's value
    // must stay what is shown.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FieldComboBox::showField);
    applyLimits();
    showField();
    table.AttachControl(this);
}

FieldComboBox::~FieldComboBox()
{
    mBinding.table().DetachControl(this);
}

void FieldComboBox::applyLimits()
{
    const int maxLength = mBinding.maxLength();
    lineEdit()->setMaxLength(maxLength > 0 ? maxLength : 32767);
    delete lineEdit()->validator();
    setValidator(new StorableTextValidator(maxLength, this));
}

void FieldComboBox::tableChanged(LayerTable&, TableChange change)
{
    if (change == TableChange::DataSet)
        applyLimits();
    if (mBinding.follow(change))
        showField();
}

void FieldComboBox::writePendingInput(LayerTable&)
{
    mBinding.write(currentText());
}

// An entry equal to the value becomes the current one, so the open list
// shows it. The text changes in one step: a passing empty text would reach
// the card window's change handler, which cannot take an empty size.
void FieldComboBox::showField()
{
    const QString value = mBinding.shownText();
    const int entry = findText(value, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (value == currentText() && (entry < 0 || entry == currentIndex()))
        return;
    mBinding.showing = true;
    if (entry >= 0)
        setCurrentIndex(entry);
    else
        setEditText(value);
    mBinding.showing = false;
}

// The list's own line edit has the keyboard focus on the combo's behalf.
void FieldComboBox::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    showFocus(this, true);
}

void FieldComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (!leavesWithinWindow(event))
        return;
    showFocus(this, false);
    guarded([this] { mBinding.focusLeft(currentText()); });
}
