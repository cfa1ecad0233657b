#include "editor/FieldEditors.h"

#include "editor/ErrorBox.h"
#include "layer/Win1250Text.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>

#include <memory>

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

// The editor's own menu less its own undo and redo.
void popUpWithoutUndo(QLineEdit* editor, QPoint at)
{
    std::unique_ptr<QMenu> menu(editor->createStandardContextMenu());
    for (QAction* item : menu->actions())
        if (item->objectName() == QLatin1String("edit-undo") || item->objectName() == QLatin1String("edit-redo"))
            menu->removeAction(item);
    menu->exec(at);
}

} // namespace

StorableTextValidator::StorableTextValidator(int maxLength, QObject* parent)
    : QValidator(parent)
    , mMaxLength(maxLength)
{
}

QValidator::State StorableTextValidator::validate(QString& input, int&) const
{
    const QString note = refusal(input, mMaxLength);
    if (note.isEmpty())
        return Acceptable;
    if (mRefused)
        mRefused(note);
    return Invalid;
}

// The characters are named, each once, as the user typed them; control
// characters (the table would cut the text at a NUL) only as such.
QString StorableTextValidator::refusal(const QString& input, int maxLength)
{
    QStringList foreign;
    bool control = false;
    for (const char32_t c : input.toUcs4()) {
        if (c < 0x20 || c == 0x7F) {
            control = true;
            continue;
        }
        const QString character = QString::fromUcs4(&c, 1);
        if (!fitsWin1250(character) && !foreign.contains(character))
            foreign << character;
    }
    if (!foreign.isEmpty()) {
        constexpr qsizetype Shown = 8;
        const QString named = foreign.mid(0, Shown).join(QStringLiteral(" "))
            + (foreign.size() > Shown ? QStringLiteral(" \u2026") : QString());
        return QStringLiteral("A kártyafájl ezeket a karaktereket nem tudja tárolni, kimaradtak: ") + named;
    }
    if (control)
        return QStringLiteral("Vezérlőkarakter nem kerülhet a szövegbe.");
    if (maxLength > 0 && input.size() > maxLength)
        return QStringLiteral("A szöveg legfeljebb %1 karakter lehet.").arg(maxLength);
    return {};
}

FieldBinding::FieldBinding(const LayerTable& table, std::string_view fieldName)
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

// The table shows its own value through the editor; only what the user
// typed is written.
void FieldBinding::userEdited(const QString& text)
{
    if (showing || !mWriter)
        return;
    writing = true;
    const struct Done
    {
        bool& flag;
        ~Done() { flag = false; }
    } done{writing};
    mWriter(text);
}

FieldEdit::FieldEdit(const LayerTable& table, std::string_view fieldName, QWidget* parent)
    : QLineEdit(parent)
    , mBinding(table, fieldName)
{
    connect(this, &QLineEdit::textEdited, this, [this] { guarded([this] { mBinding.userEdited(text()); }); });
    applyLimits();
    showField();
    table.AttachControl(this);
}

FieldEdit::~FieldEdit()
{
    mBinding.table().DetachControl(this);
}

// Only when the field's size changed: setting them again would put the
// text back and the cursor at its end, in the middle of the user's typing.
// The field's size is the validator's to keep, not the box's own limit,
// which would cut the text without a word.
void FieldEdit::applyLimits()
{
    const int maxLength = mBinding.maxLength();
    if (validator() && mLimit == maxLength)
        return;
    mLimit = maxLength;
    auto* limits = new StorableTextValidator(maxLength, this);
    limits->setRefused([this](const QString& note) {
        if (!mBinding.showing)
            emit refused(note);
    });
    delete validator();
    setValidator(limits);
}

void FieldEdit::tableChanged(const LayerTable&, TableChange change)
{
    if (change == TableChange::DataSet)
        applyLimits();
    showField();
}

void FieldEdit::showField()
{
    if (mBinding.writing)
        return;  // the table is taking what the user typed
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
    if (leavesWithinWindow(event))
        showFocus(this, false);
}

void FieldEdit::contextMenuEvent(QContextMenuEvent* event)
{
    popUpWithoutUndo(this, event->globalPos());
}

FieldComboBox::FieldComboBox(const LayerTable& table, std::string_view fieldName, QWidget* parent)
    : QComboBox(parent)
    , mBinding(table, fieldName)
{
    setEditable(true);
    // Entries are the program's to fill; typing must neither add to them
    // nor be completed from them behind the user's back.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this,
            [this] { guarded([this] { mBinding.userEdited(currentText()); }); });
    connect(this, &QComboBox::activated, this, [this] { guarded([this] { mBinding.userEdited(currentText()); }); });
    lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lineEdit(), &QLineEdit::customContextMenuRequested, this,
            [this](QPoint at) { popUpWithoutUndo(lineEdit(), lineEdit()->mapToGlobal(at)); });
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
    if (lineEdit()->validator() && mLimit == maxLength)
        return;
    mLimit = maxLength;
    auto* limits = new StorableTextValidator(maxLength, this);
    limits->setRefused([this](const QString& note) {
        if (!mBinding.showing)
            emit refused(note);
    });
    delete lineEdit()->validator();
    setValidator(limits);
}

void FieldComboBox::tableChanged(const LayerTable&, TableChange change)
{
    if (change == TableChange::DataSet)
        applyLimits();
    showField();
}

// An entry equal to the value becomes the current one, so the open list
// shows it. The text changes in one step: a passing empty text would reach
// the card window's change handler, which cannot take an empty size.
void FieldComboBox::showField()
{
    if (mBinding.writing)
        return;
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
    if (leavesWithinWindow(event))
        showFocus(this, false);
}
