#include "storage/LayerTable.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace {

// Null before any value; integers by value, false before true, text and
// blobs by their bytes.
int compareValues(const FieldValue& a, const FieldValue& b)
{
    if (a.index() != b.index())
        return a.index() < b.index() ? -1 : 1;
    return std::visit([&b](const auto& x) -> int {
        using T = std::decay_t<decltype(x)>;
        const T& y = std::get<T>(b);
        if constexpr (std::is_same_v<T, std::monostate>)
            return 0;
        else if constexpr (std::is_same_v<T, Blob>)
            return x.bytes().compare(y.bytes());
        else
            return x < y ? -1 : (y < x ? 1 : 0);
    }, a);
}

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

void LayerTable::MoveFirst()
{
    requireOpen();
    finishPending();
    raise(BeforeScroll);
    mCursor = mRecords.empty() ? -1 : 0;
    mAtStart = true;
    mAtEnd = mRecords.empty();
    scrolled();
}

void LayerTable::MoveLast()
{
    requireOpen();
    finishPending();
    raise(BeforeScroll);
    mCursor = static_cast<int>(mRecords.size()) - 1;
    mAtEnd = true;
    mAtStart = mRecords.empty();
    scrolled();
}

// A step past the last record keeps it current and only raises the end
// flag; the next step stops before AfterScroll.
void LayerTable::MoveNext()
{
    requireOpen();
    finishPending();
    raise(BeforeScroll);
    if (mAtEnd)
        return;
    mAtStart = false;
    if (mCursor + 1 < static_cast<int>(mRecords.size()))
        ++mCursor;
    else
        mAtEnd = true;
    scrolled();
}

void LayerTable::MovePrior()
{
    requireOpen();
    finishPending();
    raise(BeforeScroll);
    if (mAtStart)
        return;
    mAtEnd = false;
    if (mCursor > 0)
        --mCursor;
    else
        mAtStart = true;
    scrolled();
}

void LayerTable::MoveTo(int row)
{
    requireOpen();
    finishPending();
    if (row < 0 || row >= static_cast<int>(mRecords.size()) || row == mCursor)
        return;
    raise(BeforeScroll);
    mCursor = row;
    mAtStart = mAtEnd = false;
    scrolled();
}

void LayerTable::scrolled()
{
    readIntoCursor();
    notify(TableChange::Scroll);
    raise(AfterScroll);
}

void LayerTable::resetFlags()
{
    mAtStart = mAtEnd = mRecords.empty();
}

// BeforeScroll comes before the pending change is settled, and the cursor
// moves only when a record is found.
bool LayerTable::LocateRecord(std::string_view fieldName, const FieldValue& value)
{
    const int field = indexOf(fieldName);
    raise(BeforeScroll);
    requireOpen();
    finishPending();
    const FieldValue wanted = convert(mFields[field], value);
    for (std::size_t row = 0; row < mRecords.size(); ++row) {
        if (mRecords[row][field] == wanted) {
            mCursor = static_cast<int>(row);
            resetFlags();
            scrolled();
            return true;
        }
    }
    return false;
}

bool LayerTable::LocateId(RecordId id)
{
    raise(BeforeScroll);
    requireOpen();
    finishPending();
    const int row = RowOf(id);
    if (row < 0)
        return false;
    mCursor = row;
    resetFlags();
    scrolled();
    return true;
}

void LayerTable::SortRecords(const std::string& fieldNames)
{
    if (!IsOpen())
        return;
    std::vector<int> fields = fieldIndexes(fieldNames.empty() ? SortFields : fieldNames);
    finishPending();
    mSortFields = std::move(fields);
    sortKeepingCurrent();
    notify(TableChange::DataSet);
}

std::vector<int> LayerTable::fieldIndexes(const std::string& names) const
{
    std::vector<int> fields;
    std::string_view rest = names;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view name = trimBlanks(rest.substr(0, end));
        if (!name.empty())
            fields.push_back(indexOf(name));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    return fields;
}

// Stable, so records with equal keys keep their order; the current record
// stays current at its new position.
void LayerTable::sortKeepingCurrent()
{
    if (mSortFields.empty())
        return;
    std::vector<int> order(mRecords.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return lessBySort(mRecords[a], mRecords[b]); });
    std::vector<Record> sorted;
    sorted.reserve(mRecords.size());
    int cursor = mCursor;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == mCursor)
            cursor = static_cast<int>(i);
        sorted.push_back(std::move(mRecords[order[i]]));
    }
    mRecords = std::move(sorted);
    mCursor = cursor;
}

// After every record with an equal key, so equal keys keep posting order.
std::vector<LayerTable::Record>::iterator LayerTable::sortedPlace(const Record& record)
{
    return std::upper_bound(mRecords.begin(), mRecords.end(), record,
                            [this](const Record& a, const Record& b) { return lessBySort(a, b); });
}

bool LayerTable::lessBySort(const Record& a, const Record& b) const
{
    for (int field : mSortFields)
        if (const int order = compareValues(a[field], b[field]); order != 0)
            return order < 0;
    return false;
}

bool LayerTable::sortKeyPending() const
{
    const Record& stored = mRecords[mCursor];
    return std::any_of(mSortFields.begin(), mSortFields.end(), [&](int field) {
        return mPendingSet[field] && compareValues(mPending[field], stored[field]) != 0;
    });
}

int LayerTable::RecordPosition() const
{
    const TableState state = mState == TableState::CalcFields ? mStateBeforeCalc : mState;
    if (state == TableState::Closed || state == TableState::Insert || mLoading || mCursor < 0)
        return -1;
    return mCursor + 1;
}

int LayerTable::RecordTotal() const
{
    requireOpen();
    return mLoading ? 0 : static_cast<int>(mRecords.size());
}

int LayerTable::CurrentRow() const
{
    const TableState state = mState == TableState::CalcFields ? mStateBeforeCalc : mState;
    if (state == TableState::Closed || state == TableState::Insert)
        return -1;
    return mCursor;
}

LayerTable::RecordId LayerTable::StoredId(int row) const
{
    checkRow(row);
    return mRecords[row].id;
}

int LayerTable::RowOf(RecordId id) const
{
    if (id == 0)
        return -1;
    for (std::size_t row = 0; row < mRecords.size(); ++row)
        if (mRecords[row].id == id)
            return static_cast<int>(row);
    return -1;
}

LayerTable::RecordId LayerTable::CurrentId() const
{
    const TableState state = mState == TableState::CalcFields ? mStateBeforeCalc : mState;
    if (state == TableState::Insert)
        return mPending.id;
    if (state == TableState::Closed || mCursor < 0)
        return 0;
    return mRecords[mCursor].id;
}

const FieldValue& LayerTable::StoredValue(int row, int fieldIndex) const
{
    checkRow(row);
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(mFields.size()))
        throw std::out_of_range("LayerTable: field index out of range");
    return mRecords[row][fieldIndex];
}

void LayerTable::CalculateRow(int row)
{
    checkRow(row);
    calculate(row);
}

void LayerTable::checkRow(int row) const
{
    if (row < 0 || row >= static_cast<int>(mRecords.size()))
        throw std::out_of_range("LayerTable: row out of range");
}

void LayerTable::requireBrowsing() const
{
    requireOpen();
    if (mState != TableState::Browse || mLoading)
        throw std::logic_error(mName + ": whole records change only while browsing");
}

std::vector<FieldValue> LayerTable::StoredRecord(int row) const
{
    checkRow(row);
    return mRecords[row];
}

void LayerTable::InsertStored(int row, std::vector<FieldValue> values, RecordId id)
{
    requireBrowsing();
    if (row < 0 || row > static_cast<int>(mRecords.size()) || values.size() != mFields.size() || id == 0
        || RowOf(id) >= 0)
        throw std::logic_error(mName + ": a record cannot be put back there");
    Record record;
    static_cast<std::vector<FieldValue>&>(record) = std::move(values);
    record.id = id;
    mLastId = std::max(mLastId, id);
    mRecords.insert(mRecords.begin() + row, std::move(record));
    if (mCursor >= row)
        ++mCursor;
    if (mCursor < 0)
        mCursor = row;
    resetFlags();
    notify(TableChange::DataSet);
}

std::vector<FieldValue> LayerTable::RemoveStored(RecordId id)
{
    requireBrowsing();
    const int row = RowOf(id);
    if (row < 0)
        throw std::logic_error(mName + ": no such record");
    std::vector<FieldValue> values = std::move(static_cast<std::vector<FieldValue>&>(mRecords[row]));
    mRecords.erase(mRecords.begin() + row);
    if (mCursor > row || mCursor >= static_cast<int>(mRecords.size()))
        --mCursor;
    resetFlags();
    readIntoCursor();
    notify(TableChange::DataSet);
    return values;
}

std::vector<LayerTable::RecordId> LayerTable::Order() const
{
    std::vector<RecordId> order;
    order.reserve(mRecords.size());
    for (const Record& record : mRecords)
        order.push_back(record.id);
    return order;
}

// Records the order does not name keep their place after those it names.
void LayerTable::Reorder(const std::vector<RecordId>& order, bool sorted)
{
    requireBrowsing();
    const RecordId current = CurrentId();
    std::vector<Record> reordered;
    reordered.reserve(mRecords.size());
    for (RecordId id : order) {
        const int row = RowOf(id);
        if (row >= 0) {
            reordered.push_back(std::move(mRecords[row]));
            mRecords.erase(mRecords.begin() + row);
        }
    }
    for (Record& rest : mRecords)
        reordered.push_back(std::move(rest));
    mRecords = std::move(reordered);
    if (sorted) {
        if (mSortFields.empty())
            mSortFields = fieldIndexes(SortFields);
    } else {
        mSortFields.clear();
    }
    mCursor = RowOf(current);
    notify(TableChange::DataSet);
}
