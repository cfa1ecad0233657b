#include "storage/LayerTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A layer table as a card has it, cut down: one calculated field, the rest
// stored.
struct TableTest : testing::Test
{
    LayerTable Tbl{"Tbl"};

    TableTest()
    {
        Tbl.AddField({.FieldName = "sorszam", .Type = FieldType::Integer, .DisplayLabel = "#"});
        Tbl.AddField({.FieldName = "tipus", .Type = FieldType::Integer, .DefaultExpression = "0"});
        Tbl.AddField({.FieldName = "tipus_nev", .Size = 50, .Kind = FieldKind::Calculated});
        Tbl.AddField({.FieldName = "nev", .Size = 10});
        Tbl.AddField({.FieldName = "left", .Type = FieldType::Integer, .DefaultExpression = "10"});
        Tbl.AddField({.FieldName = "felkover", .Type = FieldType::Boolean, .DefaultExpression = "False"});
        Tbl.AddField({.FieldName = "kep", .Type = FieldType::Blob});
        Tbl.OpenTable();
    }

    void append(int sorszam, std::string nev = "x")
    {
        Tbl.AddNewRecord();
        Tbl.WriteField("sorszam", sorszam);
        Tbl.WriteField("nev", std::move(nev));
        Tbl.PostRecord();
    }

    std::vector<int> sorszamColumn() const
    {
        std::vector<int> values;
        for (int row = 0; row < Tbl.StoredCount(); ++row)
            values.push_back(std::get<std::int32_t>(Tbl.StoredValue(row, 0)));
        return values;
    }
};

using LayerTableEvents = TableTest;
using LayerTableRecords = TableTest;
using LayerTableSort = TableTest;
using LayerTableCalc = TableTest;
using LayerTableControls = TableTest;

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

// Every event but OnCalcFields, whose count is not fixed.
void logEvents(LayerTable& Tbl, Events& seen)
{
#define LOG(event) Tbl.event = [&seen](LayerTable&) { seen.push_back(#event); };
    LOG(BeforeOpen) LOG(AfterOpen) LOG(BeforeClose) LOG(AfterClose) LOG(BeforeInsert) LOG(AfterInsert)
    LOG(OnNewRecord) LOG(BeforeEdit) LOG(AfterEdit) LOG(BeforePost) LOG(AfterPost) LOG(BeforeCancel)
    LOG(AfterCancel) LOG(BeforeDelete) LOG(AfterDelete) LOG(BeforeScroll) LOG(AfterScroll)
#undef LOG
}

} // namespace

TEST_F(LayerTableEvents, OperationsRaiseTheirEventsInOrder)
{
    append(1);
    append(2);
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

TEST_F(LayerTableEvents, HandlerMayDetachItselfWhileRunning)
{
    auto calls = std::make_shared<int>(0);
    Tbl.AfterScroll = [calls](LayerTable& t) {
        t.AfterScroll = nullptr;  // destroys the stored handler, not the running copy
        ++*calls;
    };
    Tbl.AddNewRecord();
    Tbl.CancelRecord();
    EXPECT_EQ(*calls, 1);
}

TEST_F(LayerTableRecords, NewRecordTakesDefaultsTextIsCutAndBadIntegersAreRefused)
{
    Tbl.AddNewRecord();
    EXPECT_EQ(Tbl.ReadField("tipus"), FieldValue(std::int32_t{0}));
    EXPECT_EQ(Tbl.ReadField("left"), FieldValue(std::int32_t{10}));
    EXPECT_EQ(Tbl.ReadField("felkover"), FieldValue(false));
    EXPECT_TRUE(isNull(Tbl.ReadField("nev")));
    Tbl.MoveFirst();  // nothing was assigned, so the append is dropped
    EXPECT_EQ(Tbl.RecordTotal(), 0);

    Tbl.AddNewRecord();
    Tbl.WriteField("nev", std::string("ab\0cd", 5));
    EXPECT_EQ(Tbl.ReadField("nev"), FieldValue(std::string("ab\0cd", 5)));
    Tbl.WriteField("nev", std::string("0123456789xyz"));
    EXPECT_EQ(Tbl.ReadField("nev"), FieldValue(std::string("0123456789")));
    Tbl.WriteBlob("kep", "");
    EXPECT_TRUE(isNull(Tbl.ReadField("kep")));

    Tbl.WriteField("sorszam", std::string("-2147483648"));
    for (const std::string text : {"12x", "2147483648", "+1", " 1", "-"})
        EXPECT_EQ(failureOf([&] { Tbl.WriteField("sorszam", text); }),
                  "'" + text + "' is not a valid integer value for field '#'");
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(INT32_MIN));
    Tbl.WriteField("sorszam", std::string());
    EXPECT_TRUE(isNull(Tbl.ReadField("sorszam")));
}

TEST_F(LayerTableRecords, FailuresCarryTheirExactMessages)
{
    LayerTable strict("TblSor");
    strict.AddField({.FieldName = "kell", .Size = 5, .DisplayLabel = "Kell", .Required = true, .ReadOnly = true});
    strict.OpenTable();
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { Tbl.RemoveRecord(); }, "Tbl: Cannot perform this operation on an empty dataset"},
        {[&] { Tbl.PostRecord(); }, "Tbl: Dataset not in edit or insert mode"},
        {[&] { Tbl.WriteField("left", 1); }, "Tbl: Dataset is not in edit mode."},
        {[&] { Tbl.ReadField("xyz"); }, "Tbl: Field 'xyz' not found"},
        {[&] { strict.AddNewRecord(); strict.PostRecord(); }, "TblSor: Field 'Kell' must have a value"},
        {[&] { strict.WriteField("kell", std::string("x")); }, "Field kell is read only"},
        {[&] { Tbl.CloseTable(); Tbl.AddNewRecord(); }, "Tbl: Cannot perform this operation on a closed dataset"},
    };
    for (const auto& [operation, message] : cases)
        EXPECT_EQ(failureOf(operation), message);

    // A file being loaded may fill what the user may not.
    strict.BeginLoad();
    strict.WriteField("kell", std::string("x"));
    strict.PostRecord();
    EXPECT_EQ(strict.RecordTotal(), 0);
    strict.EndLoad();
    EXPECT_EQ(strict.RecordTotal(), 1);
}

TEST_F(LayerTableSort, SortedPostKeepsCursorPositionNumber)
{
    for (int n : {1, 2, 3})
        append(n);
    Tbl.MoveFirst();
    Tbl.EditRecord();
    Tbl.WriteField("sorszam", 5);
    Tbl.PostRecord();
    EXPECT_EQ(sorszamColumn(), (std::vector<int>{5, 2, 3}));

    Tbl.SortRecords("sorszam");
    EXPECT_EQ(sorszamColumn(), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(Tbl.RecordPosition(), 3);

    Tbl.EditRecord();
    Tbl.WriteField("sorszam", 1);
    Tbl.PostRecord();
    EXPECT_EQ(sorszamColumn(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(std::int32_t{3}));

    append(0);  // a new record goes to its place; the cursor stays last
    EXPECT_EQ(sorszamColumn(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Tbl.ReadField("sorszam"), FieldValue(std::int32_t{3}));
}

TEST_F(LayerTableSort, NullsFirstEqualKeysByPosting)
{
    append(2, "a");
    Tbl.AddNewRecord();
    Tbl.WriteField("nev", std::string("null"));
    Tbl.PostRecord();

    Tbl.SortRecords();
    append(2, "b");
    EXPECT_TRUE(isNull(Tbl.StoredValue(0, 0)));
    EXPECT_EQ(Tbl.StoredValue(1, Tbl.FieldIndex("nev")), FieldValue(std::string("a")));
}

TEST_F(LayerTableCalc, CalculatedFieldFollowsPendingAndStoredRecords)
{
    Tbl.OnCalcFields = [](LayerTable& t) {
        const bool text = t.ReadField("tipus") == FieldValue(std::int32_t{0});
        t.WriteField("tipus_nev", std::string(text ? "szoveg" : "kep"));
    };
    append(1);
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("szoveg")));

    Tbl.EditRecord();
    Tbl.WriteField("tipus", 1);
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("kep")));
    EXPECT_EQ(Tbl.StoredValue(0, 1), FieldValue(std::int32_t{0}));  // what a save would write
    Tbl.CancelRecord();
    EXPECT_EQ(Tbl.ReadField("tipus_nev"), FieldValue(std::string("szoveg")));
}

TEST_F(LayerTableCalc, HandlerWritesOnlyCalculatedFieldsAndStateComesBack)
{
    append(1);
    append(2);
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

namespace {

struct RecordingControl : TableControl
{
    std::vector<TableChange> changes;
    std::function<void(LayerTable&)> input;
    void tableChanged(const LayerTable&, TableChange change) override { changes.push_back(change); }
    void writePendingInput(LayerTable& table) override { if (input) input(table); }
};

} // namespace

TEST_F(LayerTableControls, PausedControlsGetOneRefreshAndHeldInputIsPosted)
{
    RecordingControl panel;
    Tbl.AttachControl(&panel);
    Tbl.DisableControls();
    Tbl.DisableControls();
    append(1);
    Tbl.MoveFirst();
    Tbl.EnableControls();
    EXPECT_TRUE(panel.changes.empty());
    Tbl.EnableControls();
    EXPECT_EQ(panel.changes, (std::vector<TableChange>{TableChange::DataSet}));

    panel.input = [](LayerTable& t) { t.WriteField("nev", std::string("typed")); };
    Tbl.EditRecord();
    Tbl.MoveFirst();  // no field was written yet; the panel's input makes it a post
    EXPECT_EQ(Tbl.StoredValue(0, Tbl.FieldIndex("nev")), FieldValue(std::string("typed")));
}
