#pragma once

#include "storage/FieldDef.h"
#include "storage/FieldValue.h"
#include "storage/TableError.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class LayerTable;

enum class TableState { Closed, Browse, Edit, Insert, CalcFields };

// What a control that shows the table has to redraw.
enum class TableChange {
    DataSet,   // records added, removed, reordered, or the table opened or closed
    Record,    // a field of the current (pending) record changed
    Scroll,    // the cursor moved to another record
    State      // the editing state changed
};

// A control that shows the table (the layer list, the text panel). The table
// tells it what to redraw and, before it finishes a pending change, asks it
// to write the input it still holds.
class TableControl
{
public:
    virtual ~TableControl() = default;
    virtual void tableChanged(const LayerTable& table, TableChange change) = 0;
    virtual void writePendingInput(LayerTable&) {}
};

// The in-memory table of a card's layers: named, typed fields, records whose
// slots are null or a value, a cursor with an editing state, insertion or
// sorted order, defaults for new records and a fixed order of events.
class LayerTable
{
public:
    using Handler = std::function<void(LayerTable&)>;
    // Every record carries an id of its own while the table holds it, so a
    // layer is found again whatever its fields hold (two layers of a
    // foreign card may share a name or a number) and wherever a sort put
    // it. 0 is no record.
    using RecordId = std::uint64_t;

    explicit LayerTable(std::string name);
    LayerTable(LayerTable&&) noexcept;
    LayerTable& operator=(LayerTable&&) noexcept;
    LayerTable(const LayerTable&) = delete;
    LayerTable& operator=(const LayerTable&) = delete;
    ~LayerTable();

    const std::string& Name() const { return mName; }

    // Fields of the default sort, separated by ';'.
    std::string SortFields = "sorszam";

    // Events; attach, detach (assign nullptr) or replace at any time, also
    // from inside a handler.
    Handler BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    Handler BeforeInsert, AfterInsert, OnNewRecord;
    Handler BeforeEdit, AfterEdit, BeforePost, AfterPost;
    Handler BeforeCancel, AfterCancel, BeforeDelete, AfterDelete;
    Handler BeforeScroll, AfterScroll, OnCalcFields;

    // Field list. Clearing and adding are for a closed table.
    const std::vector<FieldDef>& Fields() const { return mFields; }
    int FieldIndex(std::string_view name) const;  // -1 when no field has the name
    const FieldDef& Field(std::string_view name) const;  // throws "Field '%s' not found"
    void ClearFields();
    void AddField(FieldDef field);
    bool HasCalculatedFields() const { return mHasCalculated; }

    // State.
    void OpenTable();
    void CloseTable();
    bool IsOpen() const { return mState != TableState::Closed; }
    TableState State() const { return mState; }
    bool IsEditing() const { return mState == TableState::Edit || mState == TableState::Insert; }
    bool IsModified() const { return mModified; }

    // Records.
    void AddNewRecord();
    void EditRecord();
    void PostRecord();
    void CancelRecord();
    void RemoveRecord();

    // Cursor.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrior();
    // Goes straight to a stored row (from 0), as a list that shows the table
    // does when the user picks a row; nothing happens for the current row.
    void MoveTo(int row);
    bool LocateRecord(std::string_view fieldName, const FieldValue& value);
    // As LocateRecord, by the record's id.
    bool LocateId(RecordId id);
    void SortRecords(const std::string& fieldNames = {});
    bool IsSorted() const { return !mSortFields.empty(); }
    int RecordPosition() const;  // from 1; -1 when closed, empty or inserting
    int RecordTotal() const;
    bool AtEnd() const { return mAtEnd; }
    bool AtStart() const { return mAtStart; }

    // Fields of the current (pending, or calculated) record. A null slot
    // reads as std::monostate; on a closed table every field reads null.
    const FieldValue& ReadField(std::string_view name) const;
    void WriteField(std::string_view name, FieldValue value);
    const std::string& ReadBlob(std::string_view name) const;  // empty when null
    void WriteBlob(std::string_view name, std::string bytes);
    void WriteFieldAt(int fieldIndex, FieldValue value);  // as WriteField, by position

    // Card files.
    void SaveFile(const std::string& path);
    void LoadFile(const std::string& path);

    // Stored records in the current order, for readers that must not move
    // the cursor (the card file writer, the layer list). Rows count from 0.
    int StoredCount() const { return static_cast<int>(mRecords.size()); }
    const FieldValue& StoredValue(int row, int fieldIndex) const;
    int CurrentRow() const;  // -1 when there is no current stored record
    RecordId StoredId(int row) const;
    int RowOf(RecordId id) const;  // -1 when no stored record has the id
    // The current record's id; while inserting, the new record's.
    RecordId CurrentId() const;
    void CalculateRow(int row);  // runs OnCalcFields for that record

    // Controls that show the table.
    // Attaching only listens: a read-only table takes its controls too.
    void AttachControl(TableControl* control) const;
    void DetachControl(TableControl* control) const;
    void DisableControls();  // nests; no notification until the matching enable
    void EnableControls();   // the last one refreshes every control
    bool ControlsDisabled() const { return mDisableCount > 0; }

    // A load suspends the upkeep of the order (RecordTotal reads 0 and
    // RecordPosition -1 until it ends) and lets read-only fields be assigned.
    void BeginLoad();
    void EndLoad();
    bool IsLoading() const { return mLoading; }

    // Whole records, for the card's history: a record's values (pictures
    // shared, not copied), a record put back at its row with its own id, a
    // record taken out, and the order of the records with whether it is
    // kept sorted. They raise no event; the controls are told, and the
    // cursor stays on its record (on the next one when its own is taken).
    // The table must be open and browsing.
    std::vector<FieldValue> StoredRecord(int row) const;
    void InsertStored(int row, std::vector<FieldValue> values, RecordId id);
    std::vector<FieldValue> RemoveStored(RecordId id);
    std::vector<RecordId> Order() const;
    void Reorder(const std::vector<RecordId>& order, bool sorted);

    // What the table holds in memory for its fields, as allocated: the
    // definitions, their texts and the name index.
    std::uint64_t FieldBytes() const;
    // The memory one record takes for its slots, values aside.
    std::uint64_t RecordBytes() const;

private:
    struct Record : std::vector<FieldValue>
    {
        RecordId id = 0;
    };

    // OnCalcFields target meaning the pending record rather than a stored row.
    static constexpr int PendingRow = -1;

    void requireOpen() const;
    void requireBrowsing() const;
    [[noreturn]] void fail(const std::string& text) const;
    int indexOf(std::string_view name) const;
    void raise(const Handler& handler);
    void notify(TableChange change);
    void askControlsForInput();
    void finishPending();
    void startAppend();
    void applyDefaults();
    void dropPending();
    void checkRequired() const;
    bool storePending();
    FieldValue convert(const FieldDef& field, FieldValue value) const;
    const FieldValue& valueAt(int fieldIndex) const;
    const FieldValue& pendingValue(int fieldIndex) const;
    FieldValue& writableSlot(int fieldIndex);
    void readIntoCursor();
    void calculate(int row);
    void scrolled();
    void resetFlags();
    void sortKeepingCurrent();
    std::vector<Record>::iterator sortedPlace(const Record& record);
    bool lessBySort(const Record& a, const Record& b) const;
    bool sortKeyPending() const;
    std::vector<int> fieldIndexes(const std::string& names) const;
    void checkRow(int row) const;

    std::string mName;
    static constexpr std::size_t IndexedFieldCount = 32;
    static std::string foldedName(std::string_view name);

    std::vector<FieldDef> mFields;
    std::unordered_map<std::string, int> mFieldIndex;  // by ASCII-folded name
    std::uint64_t mFieldHeapBytes = 0;  // the fields' texts and index nodes
    bool mHasCalculated = false;
    std::vector<Record> mRecords;   // current order
    // The pending record. While inserting every slot is its own; while
    // editing only the slots marked in mPendingSet are, the rest read through
    // to the stored record, so that an edit never copies a picture.
    Record mPending;
    std::vector<bool> mPendingSet;
    int mCalcRow = PendingRow;      // target of OnCalcFields while it runs
    int mCursor = -1;               // index into mRecords
    TableState mState = TableState::Closed;
    TableState mStateBeforeCalc = TableState::Closed;
    bool mModified = false;
    bool mAtEnd = true;
    bool mAtStart = true;
    bool mLoading = false;
    std::vector<int> mSortFields;   // empty: insertion order
    mutable std::vector<TableControl*> mControls;
    int mDisableCount = 0;
    RecordId mLastId = 0;
};
