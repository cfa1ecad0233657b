#include "storage/LayerTable.h"

#include "storage/CsvValue.h"
#include "storage/Win1250.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace {

const FieldValue NullValue;
const std::string EmptyBytes;

// Any value as text, as a text field would hold it.
std::string textOf(FieldValue&& value)
{
    return std::visit([](auto&& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::int32_t>)
            return std::to_string(v);
        else if constexpr (std::is_same_v<T, bool>)
            return std::string(v ? csv::TrueString : csv::FalseString);
        else if constexpr (std::is_same_v<T, std::string>)
            return std::move(v);
        else if constexpr (std::is_same_v<T, Blob>)
            return v.bytes();
        else
            return {};
    }, std::move(value));
}

FieldValue toInteger(const FieldDef& field, FieldValue&& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (const auto* flag = std::get_if<bool>(&value))
        return std::int32_t{*flag ? 1 : 0};
    const std::string text = textOf(std::move(value));
    if (text.empty())
        return {};
    if (const auto number = csv::parseInteger(text))
        return *number;
    throw TableError("'" + win1250ForMessage(text) + "' is not a valid integer value for field '"
                     + win1250ForMessage(field.displayName()) + "'");
}

FieldValue toText(const FieldDef& field, FieldValue&& value)
{
    std::string text = textOf(std::move(value));
    // A size of 0 comes only from foreign files; cutting to it would empty
    // every value, so it means no limit.
    if (field.Size > 0 && text.size() > static_cast<std::size_t>(field.Size))
        text.resize(static_cast<std::size_t>(field.Size));
    return text;
}

FieldValue toBoolean(FieldValue&& value)
{
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag;
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return *number != 0;
    return csv::parseBoolean(textOf(std::move(value)));
}

// A blob stays shared; other values become bytes of their own.
FieldValue toBlob(FieldValue&& value)
{
    if (const auto* blob = std::get_if<Blob>(&value))
        return blob->empty() ? FieldValue{} : std::move(value);
    Blob blob{textOf(std::move(value))};
    if (blob.empty())
        return {};
    return blob;
}

} // namespace

FieldValue LayerTable::convert(const FieldDef& field, FieldValue value) const
{
    if (isNull(value))
        return value;
    switch (field.Type) {
    case FieldType::Integer: return toInteger(field, std::move(value));
    case FieldType::String: return toText(field, std::move(value));
    case FieldType::Boolean: return toBoolean(std::move(value));
    case FieldType::Blob: return toBlob(std::move(value));
    default: return textOf(std::move(value));  // types a foreign file may bring: kept verbatim
    }
}

void LayerTable::AddNewRecord()
{
    requireOpen();
    startAppend();
}

void LayerTable::startAppend()
{
    finishPending();
    raise(BeforeInsert);
    raise(BeforeScroll);
    mPending.assign(mFields.size(), FieldValue{});
    mPending.id = ++mLastId;
    mPendingSet.assign(mFields.size(), true);
    mCursor = static_cast<int>(mRecords.size()) - 1;  // the append place follows the last record
    mModified = false;
    mState = TableState::Insert;
    applyDefaults();
    raise(OnNewRecord);
    notify(TableChange::State);
    raise(AfterInsert);
    raise(AfterScroll);
}

void LayerTable::applyDefaults()
{
    for (std::size_t i = 0; i < mFields.size(); ++i) {
        const FieldDef& field = mFields[i];
        if (!field.DefaultExpression.empty())
            mPending[i] = convert(field, field.DefaultExpression);
    }
}

void LayerTable::EditRecord()
{
    requireOpen();
    if (IsEditing())
        return;
    if (mRecords.empty()) {
        startAppend();
        return;
    }
    raise(BeforeEdit);
    calculate(mCursor);
    mPending.assign(mFields.size(), FieldValue{});
    mPendingSet.assign(mFields.size(), false);
    mModified = false;
    mState = TableState::Edit;
    notify(TableChange::State);
    raise(AfterEdit);
}

void LayerTable::PostRecord()
{
    if (!IsEditing())
        fail("Dataset not in edit or insert mode");
    askControlsForInput();
    raise(BeforePost);
    if (!IsEditing())
        return;  // a handler settled the record itself
    checkRequired();
    const bool inserted = mState == TableState::Insert;
    const bool moved = storePending();
    mState = TableState::Browse;
    mModified = false;
    resetFlags();
    readIntoCursor();
    notify(inserted || moved ? TableChange::DataSet : TableChange::Record);
    notify(TableChange::State);
    raise(AfterPost);
}

void LayerTable::checkRequired() const
{
    for (std::size_t i = 0; i < mFields.size(); ++i) {
        const FieldDef& field = mFields[i];
        if (field.Required && field.isStored() && isNull(pendingValue(static_cast<int>(i))))
            fail("Field '" + win1250ForMessage(field.displayName()) + "' must have a value");
    }
}

// Returns whether the record set or its order changed. Either way the cursor
// keeps its position number: the append place for a new record.
bool LayerTable::storePending()
{
    const bool keepSorted = IsSorted() && !mLoading;
    if (mState == TableState::Insert) {
        Record record = std::move(mPending);
        const auto place = keepSorted ? sortedPlace(record) : mRecords.end();
        mRecords.insert(place, std::move(record));
        mCursor = static_cast<int>(mRecords.size()) - 1;
        dropPending();
        return true;
    }
    const bool keyChanged = keepSorted && sortKeyPending();
    Record& stored = mRecords[mCursor];
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (mPendingSet[i])
            stored[i] = std::move(mPending[i]);
    dropPending();
    if (keyChanged) {
        Record record = std::move(stored);
        mRecords.erase(mRecords.begin() + mCursor);
        const auto place = sortedPlace(record);
        mRecords.insert(place, std::move(record));
    }
    return keyChanged;
}

void LayerTable::CancelRecord()
{
    if (!IsEditing())
        return;
    const bool inserting = mState == TableState::Insert;
    raise(BeforeCancel);
    if (inserting)
        raise(BeforeScroll);
    dropPending();
    mState = TableState::Browse;
    mModified = false;
    resetFlags();
    readIntoCursor();
    notify(inserting ? TableChange::DataSet : TableChange::Record);
    notify(TableChange::State);
    raise(AfterCancel);
    if (inserting)
        raise(AfterScroll);
}

void LayerTable::RemoveRecord()
{
    requireOpen();
    if (mState == TableState::Insert) {
        CancelRecord();
        return;
    }
    if (mRecords.empty())
        fail("Cannot perform this operation on an empty dataset");
    raise(BeforeDelete);
    raise(BeforeScroll);
    mRecords.erase(mRecords.begin() + mCursor);
    dropPending();
    mState = TableState::Browse;
    mModified = false;
    mCursor = std::min(mCursor, static_cast<int>(mRecords.size()) - 1);
    resetFlags();
    readIntoCursor();
    notify(TableChange::DataSet);
    raise(AfterDelete);
    raise(AfterScroll);
}

void LayerTable::dropPending()
{
    mPending.clear();
    mPendingSet.clear();
}

const FieldValue& LayerTable::ReadField(std::string_view name) const
{
    return valueAt(indexOf(name));
}

const std::string& LayerTable::ReadBlob(std::string_view name) const
{
    const FieldValue& value = ReadField(name);
    if (const auto* blob = std::get_if<Blob>(&value))
        return blob->bytes();
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    return EmptyBytes;
}

void LayerTable::WriteField(std::string_view name, FieldValue value)
{
    WriteFieldAt(indexOf(name), std::move(value));
}

void LayerTable::WriteBlob(std::string_view name, std::string bytes)
{
    WriteFieldAt(indexOf(name), Blob{std::move(bytes)});
}

void LayerTable::WriteFieldAt(int fieldIndex, FieldValue value)
{
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(mFields.size()))
        throw std::out_of_range("LayerTable: field index out of range");
    const FieldDef& field = mFields[fieldIndex];
    if (mState == TableState::Closed)
        return;
    const bool calculating = mState == TableState::CalcFields;
    if (mState == TableState::Browse || (calculating && field.Kind != FieldKind::Calculated))
        fail("Dataset is not in edit mode.");
    if (field.ReadOnly && !mLoading && !calculating)
        throw TableError("Field " + win1250ForMessage(field.FieldName) + " is read only");
    FieldValue converted = convert(field, std::move(value));  // may fail: the old value stays
    writableSlot(fieldIndex) = std::move(converted);
    if (calculating)
        return;
    if (field.isStored()) {
        mModified = true;
        calculate(PendingRow);
    }
    notify(TableChange::Record);
}

const FieldValue& LayerTable::valueAt(int fieldIndex) const
{
    switch (mState) {
    case TableState::CalcFields:
        return mCalcRow == PendingRow ? pendingValue(fieldIndex) : mRecords[mCalcRow][fieldIndex];
    case TableState::Edit:
    case TableState::Insert:
        return pendingValue(fieldIndex);
    case TableState::Browse:
        return mCursor >= 0 ? mRecords[mCursor][fieldIndex] : NullValue;
    default:
        return NullValue;
    }
}

const FieldValue& LayerTable::pendingValue(int fieldIndex) const
{
    return mPendingSet[fieldIndex] ? mPending[fieldIndex] : mRecords[mCursor][fieldIndex];
}

FieldValue& LayerTable::writableSlot(int fieldIndex)
{
    if (mState == TableState::CalcFields && mCalcRow != PendingRow)
        return mRecords[mCalcRow][fieldIndex];
    mPendingSet[fieldIndex] = true;
    return mPending[fieldIndex];
}

void LayerTable::readIntoCursor()
{
    if (mState == TableState::Browse && mCursor >= 0)
        calculate(mCursor);
}

// Runs OnCalcFields for a stored row or for the pending record, in the
// calculating state; the state before it comes back however the handler ends.
void LayerTable::calculate(int row)
{
    if (!HasCalculatedFields())
        return;
    struct Restore
    {
        LayerTable& table;
        TableState state, before;
        int row;
        ~Restore()
        {
            table.mState = state;
            table.mStateBeforeCalc = before;
            table.mCalcRow = row;
        }
    } restore{*this, mState, mStateBeforeCalc, mCalcRow};

    if (mState != TableState::CalcFields)
        mStateBeforeCalc = mState;
    mState = TableState::CalcFields;
    mCalcRow = row;
    for (std::size_t i = 0; i < mFields.size(); ++i)
        if (mFields[i].Kind == FieldKind::Calculated)
            writableSlot(static_cast<int>(i)) = FieldValue{};
    raise(OnCalcFields);
}
