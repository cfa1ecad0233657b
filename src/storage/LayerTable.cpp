#include "storage/LayerTable.h"

#include "storage/Win1250.h"

#include "storage/CardFile.h"

#include <algorithm>
#include <utility>

namespace {

// What a text keeps beyond its own object: nothing while it fits the
// object's inner buffer.
std::uint64_t heapBytes(const std::string& text)
{
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

// A node of the name index: the link, the name with its number, the hash.
constexpr std::uint64_t IndexNodeBytes =
    sizeof(void*) + sizeof(std::pair<const std::string, int>) + sizeof(std::size_t);

// Field names fold only ASCII letters; accented Windows-1250 bytes must match
// exactly.
char foldAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return foldAscii(x) == foldAscii(y); });
}

bool contains(const std::vector<TableControl*>& controls, const TableControl* control)
{
    return std::find(controls.begin(), controls.end(), control) != controls.end();
}

} // namespace

LayerTable::LayerTable(std::string name)
    : mName(std::move(name))
{
}

LayerTable::LayerTable(LayerTable&&) noexcept = default;
LayerTable& LayerTable::operator=(LayerTable&&) noexcept = default;
LayerTable::~LayerTable() = default;

// A card's few fields are found fastest one after the other; a foreign
// file's thousands through the index.
int LayerTable::FieldIndex(std::string_view name) const
{
    if (mFields.size() > IndexedFieldCount) {
        const auto found = mFieldIndex.find(foldedName(name));
        return found == mFieldIndex.end() ? -1 : found->second;
    }
    for (std::size_t i = 0; i < mFields.size(); ++i)
        if (sameName(mFields[i].FieldName, name))
            return static_cast<int>(i);
    return -1;
}

std::string LayerTable::foldedName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = foldAscii(c);
    return folded;
}

const FieldDef& LayerTable::Field(std::string_view name) const
{
    return mFields[indexOf(name)];
}

int LayerTable::indexOf(std::string_view name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        fail("Field '" + win1250ForMessage(name) + "' not found");
    return index;
}

// Records carry one slot per field, so the list may change only while no
// record exists.
void LayerTable::ClearFields()
{
    if (IsOpen())
        fail("Cannot perform this operation on an open dataset");
    mFields.clear();
    mFieldIndex.clear();
    mFieldHeapBytes = 0;
    mHasCalculated = false;
}

void LayerTable::AddField(FieldDef field)
{
    if (IsOpen())
        fail("Cannot perform this operation on an open dataset");
    mHasCalculated = mHasCalculated || field.Kind == FieldKind::Calculated;
    // The first field of a name is the one found.
    const auto [entry, added] = mFieldIndex.emplace(foldedName(field.FieldName), static_cast<int>(mFields.size()));
    if (added)
        mFieldHeapBytes += IndexNodeBytes + heapBytes(entry->first);
    mFields.push_back(std::move(field));
    const FieldDef& kept = mFields.back();
    mFieldHeapBytes += heapBytes(kept.FieldName) + heapBytes(kept.DisplayLabel) + heapBytes(kept.EditMask)
        + heapBytes(kept.DefaultExpression);
}

void LayerTable::OpenTable()
{
    if (IsOpen())
        return;
    raise(BeforeOpen);
    // The list is complete: a foreign file's thousands of fields keep no
    // room to grow.
    mFields.shrink_to_fit();
    mState = TableState::Browse;
    mCursor = mRecords.empty() ? -1 : 0;
    mAtStart = true;
    mAtEnd = mRecords.empty();
    readIntoCursor();
    notify(TableChange::DataSet);
    raise(AfterOpen);
    if (!mRecords.empty())
        raise(AfterScroll);
}

void LayerTable::CloseTable()
{
    if (!IsOpen())
        return;
    if (IsEditing())
        CancelRecord();
    raise(BeforeClose);
    mRecords.clear();
    dropPending();
    mSortFields.clear();
    mCursor = -1;
    mModified = false;
    mAtStart = mAtEnd = true;
    mState = TableState::Closed;
    notify(TableChange::DataSet);
    raise(AfterClose);
}

void LayerTable::requireOpen() const
{
    if (!IsOpen())
        fail("Cannot perform this operation on a closed dataset");
}

void LayerTable::fail(const std::string& text) const
{
    throw TableError(mName + ": " + text);
}

// The handler runs from a copy: it may detach or replace itself meanwhile.
void LayerTable::raise(const Handler& handler)
{
    if (Handler copy = handler)
        copy(*this);
}

// DataSet when the set or order of records changes (and on open, close and
// the last EnableControls), Record on a field write or when an edit settles in
// place, Scroll on a cursor move, State when editing starts or ends.
void LayerTable::notify(TableChange change)
{
    if (mDisableCount > 0)
        return;
    const auto controls = mControls;  // a control may detach itself or another
    for (TableControl* control : controls)
        if (contains(mControls, control))
            control->tableChanged(*this, change);
}

// Paused controls were not told of the current record, so whatever input
// they hold belongs elsewhere and must not be written into it.
void LayerTable::askControlsForInput()
{
    if (mDisableCount > 0)
        return;
    const auto controls = mControls;
    for (TableControl* control : controls)
        if (contains(mControls, control))
            control->writePendingInput(*this);
}

void LayerTable::finishPending()
{
    if (!IsEditing())
        return;
    askControlsForInput();
    if (!IsEditing())
        return;
    if (mModified)
        PostRecord();
    else
        CancelRecord();
}

void LayerTable::AttachControl(TableControl* control) const
{
    if (control && !contains(mControls, control))
        mControls.push_back(control);
}

void LayerTable::DetachControl(TableControl* control) const
{
    std::erase(mControls, control);
}

void LayerTable::DisableControls()
{
    ++mDisableCount;
}

void LayerTable::EnableControls()
{
    if (mDisableCount == 0)
        return;
    if (--mDisableCount == 0)
        notify(TableChange::DataSet);
}

void LayerTable::BeginLoad()
{
    mLoading = true;
}

// Records were appended in file order; a sorted table puts them in place now.
void LayerTable::EndLoad()
{
    mLoading = false;
    if (IsOpen() && IsSorted())
        sortKeepingCurrent();
}

void LayerTable::SaveFile(const std::string& path)
{
    WriteCardFile(*this, path);
}

void LayerTable::LoadFile(const std::string& path)
{
    ReadCardFile(*this, path);
}

std::uint64_t LayerTable::FieldBytes() const
{
    return mFields.capacity() * sizeof(FieldDef) + mFieldIndex.bucket_count() * sizeof(void*) + mFieldHeapBytes;
}

std::uint64_t LayerTable::RecordBytes() const
{
    return sizeof(Record) + mFields.size() * sizeof(FieldValue);
}
