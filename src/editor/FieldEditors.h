#pragma once

#include "storage/LayerTable.h"

#include <QComboBox>
#include <QLineEdit>
#include <QValidator>

// Takes only what a card or the settings file can store as typed:
// characters Windows-1250 holds, no control characters (the table would
// cut the text at a NUL), and no more than maxLength (0: no limit).
class StorableTextValidator : public QValidator
{
public:
    explicit StorableTextValidator(int maxLength, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

private:
    int mMaxLength;
};

// Editors bound to one field of the table's current record: they show its
// value whenever another record becomes current, put the table into editing
// state when the user types, and write what was typed when the table
// finishes the change (or when they lose the focus). They take only
// characters that Windows-1250 can hold, and at most the field's size.

// What both editors share: the field, whether the user has typed into it,
// and when that input goes to the table.
class FieldBinding
{
public:
    FieldBinding(LayerTable& table, std::string_view fieldName);

    LayerTable& table() const { return mTable; }
    int maxLength() const;  // 0 for no limit
    QString shownText() const;
    // Follows a change of the table; true when the editor must show the
    // field's value again.
    bool follow(TableChange change);
    void userEdited();
    void write(const QString& text);
    void focusLeft(const QString& text);
    bool showing = false;  // set while the editor shows the field's value

private:
    LayerTable& mTable;
    std::string mField;
    bool mPending = false;
};

class FieldEdit : public QLineEdit, public TableControl
{
    Q_OBJECT

public:
    FieldEdit(LayerTable& table, std::string_view fieldName, QWidget* parent = nullptr);
    ~FieldEdit() override;

    void tableChanged(LayerTable& table, TableChange change) override;
    void writePendingInput(LayerTable& table) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyLimits();
    void showField();

    FieldBinding mBinding;
};

class FieldComboBox : public QComboBox, public TableControl
{
    Q_OBJECT

public:
    FieldComboBox(LayerTable& table, std::string_view fieldName, QWidget* parent = nullptr);
    ~FieldComboBox() override;

    void tableChanged(LayerTable& table, TableChange change) override;
    void writePendingInput(LayerTable& table) override;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void applyLimits();
    void showField();

    FieldBinding mBinding;
};
