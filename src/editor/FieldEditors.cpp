#include "editor/FieldEditors.h"

#include "document/LayerLook.h"

#include <QApplication>
#include <QFocusEvent>
#include <QValidator>

namespace {

// The background of the editor that has the keyboard focus.
const QColor FocusColor(166, 202, 240);

// Takes only what the table can store as typed: characters Windows-1250
// holds, no control characters (the table would cut the text at a NUL),
// and no more than the field's size.
class FieldValidator : public QValidator
{
public:
    FieldValidator(int maxLength, QObject* parent)
        : QValidator(parent)
        , mMaxLength(maxLength)
    {
    }

    State validate(QString& input, int&) const override
    {
        if (mMaxLength > 0 && input.size() > mMaxLength)
            return Invalid;
        for (QChar c : input)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                return Invalid;
        return fitsWin1250(input) ? Acceptable : Invalid;
    }

private:
    int mMaxLength;
};

const FieldDef* fieldDef(const LayerTable& table, const std::string& name)
{
    const int index = table.FieldIndex(name);
    return index < 0 ? nullptr : &table.Fields()[index];
}

// Only text fields have a size; 0 means none.
int maxLengthOf(const LayerTable& table, const std::string& name)
{
    const FieldDef* field = fieldDef(table, name);
    return field && field->Type == FieldType::String ? field->Size : 0;
}

QString shownText(const LayerTable& table, const std::string& name)
{
    if (!fieldDef(table, name))
        return {};
    const FieldValue& value = table.ReadField(name);
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return QString::number(*number);
    if (const auto* text = std::get_if<std::string>(&value))
        return fromWin1250(*text);
    return {};
}

// Text as Windows-1250 bytes; integers as typed, so that the table itself
// refuses what is not a number, with the field's name in the message.
void writeText(LayerTable& table, const std::string& name, const QString& text)
{
    const FieldDef* field = fieldDef(table, name);
    if (field && field->Type == FieldType::String)
        table.WriteField(name, toWin1250(text));
    else
        table.WriteField(name, text.toStdString());
}

// Whether a table change should replace what the editor shows. Input the
// user is still typing survives changes of other fields; it is dropped
// when the edit ends without it (a cancel).
bool refreshes(const LayerTable& table, TableChange change, bool& pending)
{
    if (change == TableChange::State && pending && !table.IsEditing())
        pending = false;
    return !pending || change == TableChange::Scroll || change == TableChange::DataSet;
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

FieldEdit::FieldEdit(LayerTable& table, std::string fieldName, QWidget* parent)
    : QLineEdit(parent)
    , mTable(table)
    , mField(std::move(fieldName))
{
    connect(this, &QLineEdit::textEdited, this, &FieldEdit::userEdited);
    applyLimits();
    showField();
    mTable.AttachControl(this);
}

FieldEdit::~FieldEdit()
{
    mTable.DetachControl(this);
}

void FieldEdit::applyLimits()
{
    const int maxLength = maxLengthOf(mTable, mField);
    setMaxLength(maxLength > 0 ? maxLength : 32767);
    delete validator();
    setValidator(new FieldValidator(maxLength, this));
}

void FieldEdit::tableChanged(LayerTable& table, TableChange change)
{
    // A reset from a scroll or reload means the input belonged elsewhere.
    if (change == TableChange::Scroll || change == TableChange::DataSet)
        mPending = false;
    if (change == TableChange::DataSet)
        applyLimits();
    if (refreshes(table, change, mPending))
        showField();
}

// Written first, cleared after: a value the table refuses stays pending
// and fails again at the next attempt.
void FieldEdit::writePendingInput(LayerTable& table)
{
    if (!mPending)
        return;
    writeText(table, mField, text());
    mPending = false;
}

void FieldEdit::showField()
{
    const QString value = shownText(mTable, mField);
    if (value == text())
        return;  // keeps the cursor where the user left it
    mShowing = true;
    setText(value);
    mShowing = false;
}

void FieldEdit::userEdited()
{
    if (mShowing)
        return;
    if (mTable.State() == TableState::Browse && mTable.CurrentRow() >= 0) {
        mPending = true;
        mTable.EditRecord();
    } else if (mTable.IsEditing()) {
        mPending = true;
    }
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
    if (mPending && mTable.IsEditing())
        writePendingInput(mTable);
}

FieldComboBox::FieldComboBox(LayerTable& table, std::string fieldName, QWidget* parent)
    : QComboBox(parent)
    , mTable(table)
    , mField(std::move(fieldName))
{
    setEditable(true);
    // Entries are the program's to fill; typing must neither add to them
    // nor be completed from them behind the user's back.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &FieldComboBox::userEdited);
    connect(this, &QComboBox::activated, this, &FieldComboBox::userEdited);
    // Filling the list makes its first entry current; the field's value
    // must stay what is shown.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FieldComboBox::showField);
    applyLimits();
    showField();
    mTable.AttachControl(this);
}

FieldComboBox::~FieldComboBox()
{
    mTable.DetachControl(this);
}

void FieldComboBox::applyLimits()
{
    const int maxLength = maxLengthOf(mTable, mField);
    lineEdit()->setMaxLength(maxLength > 0 ? maxLength : 32767);
    delete lineEdit()->validator();
    setValidator(new FieldValidator(maxLength, this));
}

void FieldComboBox::tableChanged(LayerTable& table, TableChange change)
{
    if (change == TableChange::Scroll || change == TableChange::DataSet)
        mPending = false;
    if (change == TableChange::DataSet)
        applyLimits();
    if (refreshes(table, change, mPending))
        showField();
}

void FieldComboBox::writePendingInput(LayerTable& table)
{
    if (!mPending)
        return;
    writeText(table, mField, currentText());
    mPending = false;
}

// An entry equal to the value becomes the current one, so the open list
// shows it. The text changes in one step: a passing empty text would reach
// the card window's change handler, which cannot take an empty size.
void FieldComboBox::showField()
{
    const QString value = shownText(mTable, mField);
    const int entry = findText(value, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (value == currentText() && (entry < 0 || entry == currentIndex()))
        return;
    mShowing = true;
    if (entry >= 0)
        setCurrentIndex(entry);
    else
        setEditText(value);
    mShowing = false;
}

void FieldComboBox::userEdited()
{
    if (mShowing)
        return;
    if (mTable.State() == TableState::Browse && mTable.CurrentRow() >= 0) {
        mPending = true;
        mTable.EditRecord();
    } else if (mTable.IsEditing()) {
        mPending = true;
    }
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
    if (mPending && mTable.IsEditing())
        writePendingInput(mTable);
}
