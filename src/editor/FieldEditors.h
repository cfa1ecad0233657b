#pragma once

#include "storage/LayerTable.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

#include <functional>

// Takes only what a card or the settings file can store as typed:
// characters Windows-1250 holds, no control characters (the table would
// cut the text at a NUL), and no more than maxLength (0: no limit).
// What is refused is said, in a short note for the user: typing that is
// simply dropped reads as a broken keyboard.
class StorableTextValidator : public QValidator
{
public:
    explicit StorableTextValidator(int maxLength, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;
    void setRefused(std::function<void(const QString& note)> refused) { mRefused = std::move(refused); }

    // Why the text cannot be taken, or nothing when it can.
    static QString refusal(const QString& input, int maxLength);

private:
    int mMaxLength;
    std::function<void(const QString& note)> mRefused;
};

// Editors bound to one field of the table's current record: they show its
// value whenever another record becomes current or the field changes, and
// hand what the user types (each keystroke, each entry picked) to their
// writer, which changes the record through the card's document. They take
// only characters that Windows-1250 can hold, and at most the field's size.
// Their own undo is not offered: the card's history holds the typing.

// What both editors share: the field, its writer, and whether the value
// shown is being put there by the table rather than typed.
class FieldBinding
{
public:
    using Writer = std::function<void(const QString& text)>;

    FieldBinding(const LayerTable& table, std::string_view fieldName);

    const LayerTable& table() const { return mTable; }
    int maxLength() const;  // 0 for no limit
    QString shownText() const;
    void setWriter(Writer writer) { mWriter = std::move(writer); }
    void userEdited(const QString& text);
    bool showing = false;  // set while the editor shows the field's value
    bool writing = false;  // set while the writer takes what was typed

private:
    const LayerTable& mTable;
    std::string mField;
    Writer mWriter;
};

class FieldEdit : public QLineEdit, public TableControl
{
    Q_OBJECT

public:
    FieldEdit(const LayerTable& table, std::string_view fieldName, QWidget* parent = nullptr);
    ~FieldEdit() override;

    void setWriter(FieldBinding::Writer writer) { mBinding.setWriter(std::move(writer)); }
    void tableChanged(const LayerTable& table, TableChange change) override;

signals:
    // Typing or a paste was refused; the note says why.
    void refused(const QString& note);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void applyLimits();
    void showField();

    FieldBinding mBinding;
    int mLimit = -1;  // the field's size the validator keeps
};

class FieldComboBox : public QComboBox, public TableControl
{
    Q_OBJECT

public:
    FieldComboBox(const LayerTable& table, std::string_view fieldName, QWidget* parent = nullptr);
    ~FieldComboBox() override;

    void setWriter(FieldBinding::Writer writer) { mBinding.setWriter(std::move(writer)); }
    void tableChanged(const LayerTable& table, TableChange change) override;

signals:
    void refused(const QString& note);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyLimits();
    void showField();

    FieldBinding mBinding;
    int mLimit = -1;  // the field's size the validator keeps
};
