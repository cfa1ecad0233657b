#include "storage/LayerTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

FieldDef field(const char* name, FieldType type, const char* defaultText = "", int size = 0)
{
    FieldDef f;
    f.FieldName = name;
    f.Type = type;
    f.DefaultExpression = defaultText;
    f.Size = size;
    return f;
}

LayerTable makeTable(bool withCalculated = true)
{
    LayerTable Tbl("Tbl");
    FieldDef sorszam = field("sorszam", FieldType::Integer);
    sorszam.DisplayLabel = "#";
    Tbl.AddField(sorszam);
    Tbl.AddField(field("tipus", FieldType::Integer, "0"));
    FieldDef tipusNev = field("tipus_nev", FieldType::String, "", 50);
    tipusNev.Kind = FieldKind::Calculated;
    if (withCalculated)
        Tbl.AddField(tipusNev);
    Tbl.AddField(field("nev", FieldType::String, "", 10));
    Tbl.AddField(field("left", FieldType::Integer, "10"));
    Tbl.AddField(field("felkover", FieldType::Boolean, "False"));
    Tbl.AddField(field("kep", FieldType::Blob));
    Tbl.OpenTable();
    return Tbl;
}

void append(LayerTable& Tbl, int sorszam, std::string nev = "x")
{
    Tbl.AddNewRecord();
    Tbl.WriteField("sorszam", sorszam);
    Tbl.WriteField("nev", std::move(nev));
    Tbl.PostRecord();
}

std::vector<int> sorszamColumn(const LayerTable& Tbl)
{
    std::vector<int> values;
    for (int row = 0; row < Tbl.StoredCount(); ++row)
        values.push_back(std::get<std::int32_t>(Tbl.StoredValue(row, 0)));
    return values;
}

// Every event but OnCalcFields, whose count is not fixed.
void logEvents(LayerTable& Tbl, std::vector<std::string>& seen)
{
    const std::pair<LayerTable::Handler LayerTable::*, const char*> events[] = {
        {&LayerTable::BeforeOpen, "BeforeOpen"}, {&LayerTable::AfterOpen, "AfterOpen"},
        {&LayerTable::BeforeClose, "BeforeClose"}, {&LayerTable::AfterClose, "AfterClose"},
        {&LayerTable::BeforeInsert, "BeforeInsert"}, {&LayerTable::AfterInsert, "AfterInsert"},
        {&LayerTable::OnNewRecord, "OnNewRecord"}, {&LayerTable::BeforeEdit, "BeforeEdit"},
        {&LayerTable::AfterEdit, "AfterEdit"}, {&LayerTable::BeforePost, "BeforePost"},
        {&LayerTable::AfterPost, "AfterPost"}, {&LayerTable::BeforeCancel, "BeforeCancel"},
        {&LayerTable::AfterCancel, "AfterCancel"}, {&LayerTable::BeforeDelete, "BeforeDelete"},
        {&LayerTable::AfterDelete, "AfterDelete"}, {&LayerTable::BeforeScroll, "BeforeScroll"},
        {&LayerTable::AfterScroll, "AfterScroll"}};
    for (const auto& [event, name] : events)
        Tbl.*event = [&seen, name = std::string(name)](LayerTable&) { seen.push_back(name); };
}

std::string failureOf(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const TableError& e) {
        return e.what();
    }
    return "no failure";
}

using Events = std::vector<std::string>;

} // namespace

TEST(LayerTableEvents, AppendRunsScrollHandlersBeforeAfterAfter)
{
    LayerTable Tbl = makeTable();
    std::vector<std::string> seen;
    Tbl.BeforeScroll = [&](LayerTable&) { seen.push_back("before"); };
    Tbl.AfterScroll = [&](LayerTable&) { seen.push_back("after"); };
    Tbl.AfterInsert = Tbl.AfterScroll;

    Tbl.AddNewRecord();

    EXPECT_EQ(seen, (Events{"before", "after", "after"}));
}

TEST(LayerTableEvents, OperationsRaiseTheirEventsInOrder)
{
    LayerTable Tbl = makeTable();
    append(Tbl, 1);
    append(Tbl, 2);
    Events seen;
    logEvents(Tbl, seen);
    const std::vector<std::pair<std::function<void()>, Events>> cases = {
        {[&] { Tbl.AddNewRecord(); }, {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
        {[&] { Tbl.CancelRecord(); }, {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll"}},
        {[&] { Tbl.EditRecord(); Tbl.WriteField("left", 3); }, {"BeforeEdit", "AfterEdit"}},
        {[&] { EXPECT_TRUE(Tbl.LocateRecord("SORSZAM", 1)); }, {"BeforeScroll", "BeforePost", "AfterPost", "AfterScroll"}},
        {[&] { EXPECT_FALSE(Tbl.LocateRecord("sorszam", 9)); EXPECT_EQ(Tbl.RecordPosition(), 1); }, {"BeforeScroll"}},
        {[&] { Tbl.MoveNext(); Tbl.MoveNext(); }, {"BeforeScroll", "AfterScroll", "BeforeScroll", "AfterScroll"}},
        {[&] { Tbl.MoveNext(); }, {"BeforeScroll"}},
        {[&] { Tbl.RemoveRecord(); EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(1)); }, {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {[&] { Tbl.RemoveRecord(); EXPECT_EQ(Tbl.RecordPosition(), -1); }, {"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}},
        {[&] { Tbl.EditRecord(); }, {"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}},
        {[&] { Tbl.CloseTable(); }, {"BeforeCancel", "BeforeScroll", "AfterCancel", "AfterScroll", "BeforeClose", "AfterClose"}},
        {[&] { Tbl.OpenTable(); }, {"BeforeOpen", "AfterOpen"}},
    };
    for (const auto& [operation, expected] : cases) {
        seen.clear();
        operation();
        EXPECT_EQ(seen, expected);
    }
}

TEST(LayerTableEvents, HandlerMayDetachItselfWhileRunning)
{
    LayerTable Tbl = makeTable();
    auto calls = std::make_shared<int>(0);
    Tbl.AfterScroll = [calls](LayerTable& t) {
        t.AfterScroll = nullptr;  // destroys the stored handler, not the running copy
        ++*calls;
    };

    Tbl.AddNewRecord();
    Tbl.CancelRecord();

    EXPECT_EQ(*calls, 1);
}

TEST(LayerTableRecords, NewRecordTakesDefaultsInFieldOrder)
{
    LayerTable Tbl = makeTable();
    Tbl.AddNewRecord();

    EXPECT_EQ(Tbl.ReadField("tipus"), FieldValue(std::int32_t{0}));
    EXPECT_EQ(Tbl.ReadField("left"), FieldValue(std::int32_t{10}));
    EXPECT_EQ(Tbl.ReadField("felkover"), FieldValue(false));
    EXPECT_TRUE(isNull(Tbl.ReadField("nev")));
    EXPECT_EQ(Tbl.RecordPosition(), -1);

    Tbl.MoveFirst();  // nothing was assigned, so the append is dropped
    EXPECT_EQ(Tbl.RecordTotal(), 0);
}

TEST(LayerTableRecords, TextIsCutAtNulAndToSize)
{
    LayerTable Tbl = makeTable();
    Tbl.AddNewRecord();

    Tbl.WriteField("nev", std::string("ab\0cd", 5));
    EXPECT_EQ(Tbl.ReadField("nev"), FieldValue(std::string("ab")));
    Tbl.WriteField("nev", std::string("0123456789xyz"));
    EXPECT_EQ(Tbl.ReadField("nev"), FieldValue(std::string("0123456789")));
    Tbl.WriteField("nev", std::string());
    EXPECT_EQ(Tbl.ReadField("nev"), FieldValue(std::string()));
    Tbl.WriteBlob("kep", "");
    EXPECT_TRUE(isNull(Tbl.ReadField("kep")));
}

TEST(LayerTableRecords, BadIntegerTextFailsAndKeepsOldValue)
{
    LayerTable Tbl = makeTable();
    Tbl.AddNewRecord();
    Tbl.WriteField("sorszam", std::string("-2147483648"));

    for (const std::string text : {"12x", "2147483648", "+1", " 1", "-"})
        EXPECT_EQ(failureOf([&] { Tbl.WriteField("sorszam", text); }),
                  "'" + text + "' is not a valid integer value for field '#'");
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(INT32_MIN));
    Tbl.WriteField("sorszam", std::string());
    EXPECT_TRUE(isNull(Tbl.ReadField("sorszam")));
}

TEST(LayerTableRecords, FailuresCarryTheirExactMessages)
{
    LayerTable Tbl = makeTable();
    LayerTable closed = makeTable();
    closed.CloseTable();
    FieldDef kell = field("kell", FieldType::String, "", 5);
    kell.DisplayLabel = "Kell";
    kell.Required = kell.ReadOnly = true;
    LayerTable strict("TblSor");
    strict.AddField(kell);
    strict.OpenTable();

    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { closed.AddNewRecord(); }, "Tbl: Cannot perform this operation on a closed dataset"},
        {[&] { closed.RecordTotal(); }, "Tbl: Cannot perform this operation on a closed dataset"},
        {[&] { closed.LocateRecord("sorszam", 1); }, "Tbl: Cannot perform this operation on a closed dataset"},
        {[&] { closed.ReadField("xyz"); }, "Tbl: Field 'xyz' not found"},
        {[&] { Tbl.RemoveRecord(); }, "Tbl: Cannot perform this operation on an empty dataset"},
        {[&] { Tbl.PostRecord(); }, "Tbl: Dataset not in edit or insert mode"},
        {[&] { closed.PostRecord(); }, "Tbl: Dataset not in edit or insert mode"},
        {[&] { Tbl.WriteField("left", 1); }, "Tbl: Dataset is not in edit mode."},
        {[&] { strict.AddNewRecord(); strict.PostRecord(); }, "TblSor: Field 'Kell' must have a value"},
        {[&] { strict.WriteField("kell", std::string("x")); }, "Field kell is read only"},
    };
    for (const auto& [operation, message] : cases)
        EXPECT_EQ(failureOf(operation), message);
    EXPECT_EQ(strict.State(), TableState::Insert);
    strict.BeginLoad();
    strict.WriteField("kell", std::string("x"));
    strict.PostRecord();
    EXPECT_EQ(strict.RecordTotal(), 0);
    EXPECT_EQ(strict.RecordPosition(), -1);
    strict.EndLoad();
    EXPECT_EQ(strict.RecordTotal(), 1);
}

TEST(LayerTableSort, SortedPostKeepsCursorPositionNumber)
{
    LayerTable Tbl = makeTable();
    for (int n : {1, 2, 3})
        append(Tbl, n);
    Tbl.MoveFirst();
    Tbl.EditRecord();
    Tbl.WriteField("sorszam", 5);
    Tbl.PostRecord();
    EXPECT_EQ(sorszamColumn(Tbl), (std::vector<int>{5, 2, 3}));

    Tbl.SortRecords("sorszam");
    EXPECT_EQ(sorszamColumn(Tbl), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(Tbl.RecordPosition(), 3);
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(std::int32_t{5}));

    Tbl.EditRecord();
    Tbl.WriteField("sorszam", 1);
    Tbl.PostRecord();
    EXPECT_EQ(sorszamColumn(Tbl), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Tbl.RecordPosition(), 3);
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(std::int32_t{3}));

    append(Tbl, 0);  // a new record goes to its place; the cursor stays last
    EXPECT_EQ(sorszamColumn(Tbl), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(std::int32_t{3}));
}

TEST(LayerTableSort, NullsFirstEqualKeysByPostingReopenUnsorted)
{
    LayerTable Tbl = makeTable();
    append(Tbl, 2, "a");
    Tbl.AddNewRecord();
    Tbl.WriteField("nev", std::string("null"));
    Tbl.PostRecord();

    Tbl.SortRecords();
    append(Tbl, 2, "b");
    EXPECT_TRUE(isNull(Tbl.StoredValue(0, 0)));
    EXPECT_EQ(Tbl.StoredValue(1, Tbl.FieldIndex("nev")), FieldValue(std::string("a")));

    Tbl.CloseTable();
    Tbl.OpenTable();
    for (int n : {3, 1, 2})
        append(Tbl, n);
    EXPECT_EQ(sorszamColumn(Tbl), (std::vector<int>{3, 1, 2}));
}

TEST(LayerTableCalc, CalculatedFieldFollowsPendingAndStoredRecords)
{
    LayerTable Tbl = makeTable();
    Tbl.OnCalcFields = [](LayerTable& t) {
        const bool text = t.ReadField("tipus") == FieldValue(std::int32_t{0});
        t.WriteField("tipus_nev", std::string(text ? "szoveg" : "kep"));
    };
    append(Tbl, 1);
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("szoveg")));

    Tbl.EditRecord();
    Tbl.WriteField("tipus", 1);
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("kep")));
    EXPECT_EQ(Tbl.StoredValue(0, 1), FieldValue(std::int32_t{0}));  // what a save would write
    Tbl.CancelRecord();
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("szoveg")));
}

TEST(LayerTableCalc, HandlerWritesOnlyCalculatedFieldsAndStateComesBack)
{
    LayerTable Tbl = makeTable();
    append(Tbl, 1);
    append(Tbl, 2);
    int position = 0;
    Tbl.OnCalcFields = [&](LayerTable& t) {
        position = std::get<std::int32_t>(t.ReadField("sorszam"));
        t.WriteField("left", 1);
    };
    EXPECT_EQ(failureOf([&] { Tbl.CalculateRow(0); }), "Tbl: Dataset is not in edit mode.");
    EXPECT_EQ(position, 1);
    EXPECT_EQ(Tbl.State(), TableState::Browse);
    EXPECT_EQ(Tbl.RecordPosition(), 2);  // the row was calculated where it stands
}

TEST(LayerTableCalc, NeverRunsWithoutCalculatedField)
{
    LayerTable Tbl = makeTable(false);
    int calls = 0;
    Tbl.OnCalcFields = [&](LayerTable&) { ++calls; };
    append(Tbl, 1);
    Tbl.EditRecord();
    Tbl.WriteField("left", 2);
    Tbl.MoveFirst();
    EXPECT_EQ(calls, 0);
}

namespace {

struct RecordingControl : TableControl
{
    std::vector<TableChange> changes;
    std::function<void(LayerTable&)> input;
    void tableChanged(LayerTable&, TableChange change) override { changes.push_back(change); }
    void writePendingInput(LayerTable& table) override { if (input) input(table); }
};

} // namespace

TEST(LayerTableControls, PausedControlsGetOneRefreshAtTheLastEnable)
{
    LayerTable Tbl = makeTable();
    RecordingControl grid;
    Tbl.AttachControl(&grid);
    Tbl.DisableControls();
    Tbl.DisableControls();
    append(Tbl, 1);
    Tbl.MoveFirst();
    Tbl.EnableControls();
    EXPECT_TRUE(grid.changes.empty());

    Tbl.EnableControls();
    EXPECT_EQ(grid.changes, (std::vector<TableChange>{TableChange::DataSet}));
}

TEST(LayerTableControls, InputHeldByAControlIsPostedOnFinish)
{
    LayerTable Tbl = makeTable();
    append(Tbl, 1);
    RecordingControl textPanel;
    textPanel.input = [](LayerTable& t) { t.WriteField("nev", std::string("typed")); };
    Tbl.AttachControl(&textPanel);
    Tbl.EditRecord();

    Tbl.MoveFirst();  // no field was written yet; the panel's input makes it a post

    EXPECT_EQ(Tbl.StoredValue(0, Tbl.FieldIndex("nev")), FieldValue(std::string("typed")));
}
