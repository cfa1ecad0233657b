#include "storage/CardFile.h"
#include "storage/LayerTable.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

const std::string WorkedExample = std::string(TEST_DATA_DIR) + "/worked-example.bcrd";

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

class CardFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("cardfile-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path file(const std::string& name, const std::string& bytes)
    {
        fs::path path = dir / name;
        writeBytes(path, bytes);
        return path;
    }

    // A layer table as a card file defines it.
    LayerTable loadedTable()
    {
        LayerTable table("Tbl");
        table.LoadFile(WorkedExample);
        return table;
    }

    // The worked example with its definition section but other record lines.
    std::string withRecords(const std::string& records)
    {
        std::string bytes = readBytes(WorkedExample);
        std::size_t header = bytes.find("\"#\",\"tipus\"");
        std::size_t recordsStart = bytes.find("\r\n", header) + 2;
        return bytes.substr(0, recordsStart) + records;
    }

    fs::path dir;
};

std::string definitionsWithout(std::string bytes, const std::string& fieldName)
{
    std::size_t at = bytes.find("\"" + fieldName + "=");
    bytes.erase(at, bytes.find("\r\n", at) + 2 - at);
    return bytes;
}

int intField(const LayerTable& table, const char* name)
{
    return std::get<std::int32_t>(table.ReadField(name));
}

} // namespace

TEST_F(CardFileTest, WorkedExampleIsWrittenByteForByte)
{
    LayerTable table = loadedTable();
    table.SaveFile(dir / "out.bcrd");

    EXPECT_EQ(readBytes(dir / "out.bcrd"), readBytes(WorkedExample));
}

TEST_F(CardFileTest, CardWithoutLayersIsThirtyThreeLinesAndReadsBackEmpty)
{
    LayerTable table = loadedTable();
    table.RemoveRecord();
    table.SaveFile(dir / "empty.bcrd");

    std::string bytes = readBytes(dir / "empty.bcrd");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 33);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\",\r\n");

    LayerTable back("Tbl");
    back.LoadFile(dir / "empty.bcrd");
    EXPECT_TRUE(back.IsOpen());
    EXPECT_EQ(back.RecordTotal(), 0);
    EXPECT_EQ(back.Fields().size(), 27u);
}

TEST_F(CardFileTest, ValuesOfEveryKindSurviveARoundTrip)
{
    LayerTable table = loadedTable();
    // Long enough that its line spans several read blocks.
    std::string picture;
    for (int i = 0; i < 50000; ++i)
        picture += static_cast<char>(i * 7 % 256);
    table.EditRecord();
    table.WriteField("nev", std::string("50% \"off\"\r\na,b"));
    table.WriteField("betutipus", std::string());
    table.WriteField("left", -2147483647 - 1);
    table.WriteField("dolt", true);
    table.WriteBlob("kep", picture);
    table.WriteField("keptip", std::string(".png"));
    table.PostRecord();
    table.SaveFile(dir / "round.bcrd");

    LayerTable back("Tbl");
    back.LoadFile(dir / "round.bcrd");
    EXPECT_EQ(std::get<std::string>(back.ReadField("nev")), "50% \"off\"\r\na,b");
    EXPECT_EQ(std::get<std::string>(back.ReadField("betutipus")), "");  // empty, not null
    EXPECT_EQ(intField(back, "left"), -2147483647 - 1);
    EXPECT_EQ(std::get<bool>(back.ReadField("dolt")), true);
    EXPECT_EQ(back.ReadBlob("kep"), picture);
    EXPECT_EQ(std::get<std::string>(back.ReadField("keptip")), ".png");
}

// The table keeps what follows a NUL and the writer escapes it; only the
// reader ends the text there.
TEST_F(CardFileTest, TextWithANulIsWrittenEscapedAndReadBackCutThere)
{
    LayerTable table = loadedTable();
    table.EditRecord();
    table.WriteField("nev", std::string("ab\0c%d", 6));
    table.PostRecord();
    EXPECT_EQ(std::get<std::string>(table.ReadField("nev")), std::string("ab\0c%d", 6));
    table.SaveFile(dir / "nul.bcrd");

    const std::string bytes = readBytes(dir / "nul.bcrd");
    EXPECT_NE(bytes.find("\"1\",\"0\",\"ab%0c%%d\","), std::string::npos);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    LayerTable back("Tbl");
    back.LoadFile(dir / "nul.bcrd");
    EXPECT_EQ(std::get<std::string>(back.ReadField("nev")), "ab");
}

TEST_F(CardFileTest, SavingDuringAnEditWritesStoredValuesAndKeepsTheEdit)
{
    LayerTable table = loadedTable();
    table.EditRecord();
    table.WriteField("left", 99);
    table.SaveFile(dir / "out.bcrd");

    EXPECT_EQ(readBytes(dir / "out.bcrd"), readBytes(WorkedExample));
    EXPECT_EQ(table.State(), TableState::Edit);
    EXPECT_EQ(intField(table, "left"), 99);
}

TEST_F(CardFileTest, DuplicateDisplayNamesLoadInFieldOrder)
{
    LayerTable table = loadedTable();
    table.EditRecord();
    table.WriteField("shape", 1);
    table.PostRecord();
    table.SaveFile(dir / "shape.bcrd");

    LayerTable back("Tbl");
    back.LoadFile(dir / "shape.bcrd");
    EXPECT_EQ(intField(back, "shape"), 1);
    EXPECT_EQ(intField(back, "alakzat"), 0);
}

TEST_F(CardFileTest, OlderLayoutLoadsWithoutTheMissingFields)
{
    std::string older = definitionsWithout(definitionsWithout(readBytes(WorkedExample), "penwidth"), "strech");
    LayerTable table("Tbl");
    table.LoadFile(file("older.bcrd", older));

    EXPECT_EQ(table.Fields().size(), 25u);
    EXPECT_EQ(intField(table, "pencolor"), 0);
    try {
        table.ReadField("penwidth");
        FAIL();
    } catch (const TableError& e) {
        EXPECT_STREQ(e.what(), "Tbl: Field 'penwidth' not found");
    }
}

TEST_F(CardFileTest, LineEndsOfEveryKindReadAlike)
{
    std::string crlf = readBytes(WorkedExample);
    auto replaced = [&](const std::string& with) {
        std::string out;
        for (std::size_t i = 0; i < crlf.size(); ++i) {
            if (crlf.compare(i, 2, "\r\n") == 0) {
                out += with;
                ++i;
            } else {
                out += crlf[i];
            }
        }
        return out;
    };
    for (const std::string& variant : {replaced("\n"), replaced("\r"), replaced("\r\n\r\n\n"), "\r\n\n" + crlf}) {
        LayerTable table("Tbl");
        table.LoadFile(file("variant.bcrd", variant));
        EXPECT_EQ(table.Fields().size(), 27u);
        ASSERT_EQ(table.RecordTotal(), 1);
        EXPECT_EQ(std::get<std::string>(table.ReadField("compnev")), "lbl482");
    }
}

TEST_F(CardFileTest, HeaderColumnsMapByAsciiFoldedName)
{
    // Foo is no field's name; LEFT folds to left; an upper-case Í does not fold.
    std::string bytes = "\"Foo\",\"LEFT\",\"le\xCDr\xE1s\",\"top\",\r\n\"x\",\"33\",\"text\",\"44\",\r\n";
    LayerTable table = loadedTable();
    table.LoadFile(file("header.bcrd", bytes));

    ASSERT_EQ(table.RecordTotal(), 2);  // a file without definitions appends
    table.MoveLast();
    EXPECT_EQ(intField(table, "left"), 33);
    EXPECT_EQ(intField(table, "top"), 44);
    EXPECT_TRUE(isNull(table.ReadField("nev")));

    // Columns that match nothing still give a record, with defaults only.
    table.LoadFile(file("ab.bcrd", "a,b\r\n1,2\r\n"));
    ASSERT_EQ(table.RecordTotal(), 3);
    table.MoveLast();
    EXPECT_TRUE(isNull(table.ReadField("sorszam")));
    EXPECT_EQ(intField(table, "width"), 100);
}

TEST_F(CardFileTest, ShortAndLongRecordLines)
{
    LayerTable table("Tbl");
    table.LoadFile(file("short.bcrd", withRecords("\"7\",\"2\",\r\n\"8\"," + std::string(40, ',') + "\"junk\",\r\n")));

    ASSERT_EQ(table.RecordTotal(), 2);
    EXPECT_EQ(intField(table, "sorszam"), 7);
    EXPECT_EQ(intField(table, "left"), 10);
    EXPECT_TRUE(isNull(table.ReadField("nev")));
    table.MoveNext();
    EXPECT_EQ(intField(table, "sorszam"), 8);
    EXPECT_TRUE(isNull(table.ReadField("tipus")));
}

TEST_F(CardFileTest, EmptyFileLeavesTheTableAndMovesToTheFirstRecord)
{
    LayerTable table = loadedTable();
    table.MoveLast();
    std::vector<std::string> seen;
    table.BeforeScroll = [&](LayerTable&) { seen.push_back("BeforeScroll"); };
    table.AfterScroll = [&](LayerTable&) { seen.push_back("AfterScroll"); };

    table.LoadFile(file("zero.bcrd", ""));

    EXPECT_EQ(table.RecordTotal(), 1);
    EXPECT_EQ(table.RecordPosition(), 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"BeforeScroll", "AfterScroll"}));
}

TEST_F(CardFileTest, LoadRaisesTheEventsOfCloseOpenAppendAndFirst)
{
    LayerTable table = loadedTable();
    std::vector<std::string> seen;
    auto log = [&](const char* name) { return [&seen, name](LayerTable&) { seen.push_back(name); }; };
    table.BeforeClose = log("BeforeClose");
    table.AfterClose = log("AfterClose");
    table.BeforeOpen = log("BeforeOpen");
    table.AfterOpen = log("AfterOpen");
    table.BeforeInsert = log("BeforeInsert");
    table.OnNewRecord = log("OnNewRecord");
    table.AfterInsert = log("AfterInsert");
    table.BeforePost = log("BeforePost");
    table.AfterPost = log("AfterPost");
    table.BeforeScroll = log("BeforeScroll");
    table.AfterScroll = log("AfterScroll");

    table.LoadFile(WorkedExample);

    EXPECT_EQ(seen, (std::vector<std::string>{"BeforeClose", "AfterClose", "BeforeOpen", "AfterOpen",
                                              "BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                              "AfterScroll", "BeforePost", "AfterPost", "BeforeScroll",
                                              "AfterScroll"}));
}

TEST_F(CardFileTest, BrokenDefinitionsFailWithTheirMessageAndLeaveTheTableClosed)
{
    std::string good = readBytes(WorkedExample);
    auto replacing = [&](const std::string& from, const std::string& to) {
        std::string bytes = good;
        bytes.replace(bytes.find(from), from.size(), to);
        return bytes;
    };
    struct Case
    {
        std::string bytes;
        std::string message;
        std::size_t fieldsLeft;
    };
    const Case cases[] = {
        {replacing("\"left=Integer", "\"left=Cursor"),
         "Unknown field type (Cursor) in CSV file. (left=Cursor,0,\"left\",\"\",10,Data,\"10\")", 3},
        {replacing("\"left=Integer", "\"left=integer"),
         "Unknown field type (integer) in CSV file. (left=integer,0,\"left\",\"\",10,Data,\"10\")", 3},
        {replacing("\"top=Integer,0", "\"top=Integer,x"), "'x' is not a valid integer value", 4},
        {replacing("\"top=Integer,0", "\"top=Integer,4"), "Invalid field size", 4},
        {replacing("\"nev=String,50", "\"nev=String,-1"), "Invalid field size", 2},
        {replacing("\"top=Integer,0,\"\"top\"\",\"\"\"\",10", "\"top=Integer,0,\"\"top\"\",\"\"\"\",99999999999"),
         "'99999999999' is not a valid integer value", 4},
        {good.substr(0, good.find("\"@@TABLEDEF END@@\"")), "Tbl: Cannot perform this operation on a closed dataset",
         27},
    };
    for (const auto& c : cases) {
        LayerTable table = loadedTable();
        try {
            table.LoadFile(file("broken.bcrd", c.bytes));
            ADD_FAILURE() << c.message;
        } catch (const TableError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_FALSE(table.IsOpen()) << c.message;
        EXPECT_EQ(table.Fields().size(), c.fieldsLeft) << c.message;
        EXPECT_EQ(table.StoredCount(), 0) << c.message;
    }
}

TEST_F(CardFileTest, BadRecordValueKeepsTheRecordsBeforeIt)
{
    LayerTable table("Tbl");
    std::string records = "\"1\",\"0\",\r\n\"2\",\"x\",\r\n\"y\",\r\n\"4\",\r\n";
    try {
        table.LoadFile(file("values.bcrd", withRecords(records)));
        FAIL();
    } catch (const TableError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value for field 'tipus'");
    }
    // The failing line's record keeps the values assigned before the bad one.
    ASSERT_EQ(table.RecordTotal(), 2);
    EXPECT_EQ(table.RecordPosition(), 1);
    table.MoveLast();
    EXPECT_EQ(intField(table, "sorszam"), 2);
    EXPECT_EQ(intField(table, "tipus"), 0);

    // A bad first value leaves nothing assigned: that record is dropped.
    LayerTable other("Tbl");
    try {
        other.LoadFile(file("first.bcrd", withRecords("\"1\",\r\n\"z\",\r\n")));
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "'z' is not a valid integer value for field '#'");
    }
    EXPECT_EQ(other.RecordTotal(), 1);
}

TEST_F(CardFileTest, FileThatCannotBeOpenedLeavesTheTableAlone)
{
    LayerTable table = loadedTable();
    fs::path missing = dir / "missing.bcrd";
    try {
        table.LoadFile(missing);
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + missing.string() + "\". No such file or directory");
    }
    EXPECT_EQ(table.RecordTotal(), 1);
}

TEST_F(CardFileTest, SaveFailuresNeverTouchTheExistingCard)
{
    LayerTable closed("Tbl");
    try {
        closed.SaveFile(dir / "closed.bcrd");
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Tbl: Cannot perform this operation on a closed dataset");
    }
    EXPECT_FALSE(fs::exists(dir / "closed.bcrd"));

    LayerTable table = loadedTable();
    fs::path nowhere = dir / "no-such-folder" / "card.bcrd";
    try {
        table.SaveFile(nowhere);
        FAIL();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + nowhere.string() + "\". No such file or directory");
    }

    // A disk that fills up part-way: the user's card stays as it was and no
    // temporary file is left behind.
    fs::path card = file("card.bcrd", "the user's card");
    table.EditRecord();
    table.WriteBlob("kep", std::string(100000, 'p'));
    table.PostRecord();
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string message;
    try {
        table.SaveFile(card);
    } catch (const TableError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(readBytes(card), "the user's card");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// A FIFO, a device or a pipe is refused at once instead of hanging the
// program or reading as an empty card.
TEST_F(CardFileTest, OnlyRegularFilesAreRead)
{
    LayerTable table = loadedTable();
    const fs::path fifo = dir / "fifo.bcrd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const std::string pipePath = "/proc/self/fd/" + std::to_string(pipeFds[0]);
    for (const std::string& path : {fifo.string(), std::string("/dev/zero"), pipePath}) {
        try {
            table.LoadFile(path);
            ADD_FAILURE() << path;
        } catch (const TableError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". Not a regular file");
        }
    }
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_EQ(table.RecordTotal(), 1);
}

// Shapes that once took gigabytes or minutes: a header of commas, runs of
// NUL bytes, many thousand fields; a file that would need far more memory
// than its size is refused; a huge value is quoted short.
TEST_F(CardFileTest, HostileShapesLoadOrAreRefusedCleanly)
{
    std::string bytes = readBytes(WorkedExample);
    const std::size_t header = bytes.find("\"#\",\"tipus\"");
    const std::string definitions = bytes.substr(0, header);
    const std::string commas(200000, ',');
    bytes = definitions + commas + "\"#\",\"le\xEDr\xE1s\",\r\n" + std::string(1 << 20, '\0') + commas
        + "\"5\",\"x\",\r\n";
    LayerTable wide("Tbl");
    wide.LoadFile(file("wide.bcrd", bytes));
    EXPECT_EQ(wide.RecordTotal(), 1);
    EXPECT_EQ(intField(wide, "sorszam"), 5);
    EXPECT_EQ(std::get<std::string>(wide.ReadField("nev")), "x");

    std::string many = "\"@@TABLEDEF START@@\"\r\n";
    for (int i = 0; i < 40000; ++i)
        many += "\"f" + std::to_string(i) + "=Integer,0,\"\"\"\",\"\"\"\",10,Data,\"\"\"\"\"\r\n";
    many += "\"@@TABLEDEF END@@\"\r\n";
    LayerTable fields("Tbl");
    fields.LoadFile(file("fields.bcrd", many + "\"F39999\",\r\n\"7\",\r\n"));
    EXPECT_EQ(fields.FieldIndex("F39999"), 39999);
    EXPECT_EQ(intField(fields, "f39999"), 7);

    std::string records;
    for (int i = 0; i < 100000; ++i)
        records += "\"\"\n";
    const fs::path huge = file("huge.bcrd", many + "\"f0\",\r\n" + records);
    try {
        LayerTable refused("Tbl");
        refused.LoadFile(huge);
        ADD_FAILURE();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "The file \"" + huge.string() + "\" is too large to be loaded as a card");
    }

    // A terabyte of hole after the card reads as the card alone.
    const fs::path sparse = file("sparse.bcrd", readBytes(WorkedExample));
    fs::resize_file(sparse, std::uintmax_t(1) << 40);
    LayerTable big("Tbl");
    big.LoadFile(sparse);
    EXPECT_EQ(big.RecordTotal(), 1);

    LayerTable table("Tbl");
    try {
        table.LoadFile(file("long.bcrd", withRecords("\"" + std::string(1 << 20, '1') + "x\",\r\n")));
        ADD_FAILURE();
    } catch (const TableError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + std::string(80, '1') + "\u2026' is not a valid integer value for field '#'");
    }
}

// A card with fifty thousand text fields of its own and two layers loads:
// what the table really takes stays within its bound of twice the file and
// 16 MB, measured as the heap grows, not guessed from the worst case.
TEST_F(CardFileTest, ManyFieldsOfItsOwnLoadWithinTheBound)
{
    std::string bytes = readBytes(WorkedExample);
    const std::size_t definitionsEnd = bytes.find("\"@@INDEXDEF START@@\"");
    const std::size_t header = bytes.find("\"#\",\"tipus\"");
    const std::size_t firstRecord = bytes.find("\r\n", header) + 2;
    std::string extraDefinitions, extraHeader;
    for (int i = 0; i < 50000; ++i) {
        const std::string name = "mezo" + std::to_string(i);
        extraDefinitions += "\"" + name + "=String,20,\"\"" + name + "\"\",\"\"\"\",20,Data,\"\"\"\"\"\r\n";
        extraHeader += "\"" + name + "\",";
    }
    const std::string extraValues(49999, ',');
    const std::string record = bytes.substr(firstRecord, bytes.size() - firstRecord - 2);
    std::string second = record;
    second.replace(0, 3, "\"2\"");
    const std::string card = bytes.substr(0, definitionsEnd) + extraDefinitions
        + bytes.substr(definitionsEnd, firstRecord - 2 - definitionsEnd) + extraHeader + "\r\n" + record
        + extraValues + "\"x\",\r\n" + second + extraValues + "\r\n";
    ASSERT_GT(card.size(), 2'000'000u);
    const fs::path path = file("many-fields.bcrd", card);

    LayerTable table("Tbl");
    const std::size_t before = mallinfo2().uordblks;
    table.LoadFile(path);
    const std::size_t used = mallinfo2().uordblks - before;
    EXPECT_LE(used, 2 * card.size() + (16u << 20));
    EXPECT_EQ(table.Fields().size(), 27u + 50000u);
    EXPECT_EQ(table.RecordTotal(), 2);
    EXPECT_EQ(std::get<std::string>(table.ReadField("mezo49999")), "x");
    EXPECT_EQ(std::get<std::string>(table.ReadField("nev")), "sz\xF6veg1");
    table.MoveNext();
    EXPECT_EQ(intField(table, "sorszam"), 2);
    EXPECT_TRUE(isNull(table.ReadField("mezo0")));
}

// Inputs that once crashed or hung the reader now load into a table whose
// records all have its fields and which, with fields, writes back and
// reads again alike; or they are refused with a message.
TEST_F(CardFileTest, FuzzFindingsLoadOrFailCleanly)
{
    const fs::path crashes = fs::path(TEST_DATA_DIR) / "crashes";
    ASSERT_TRUE(fs::exists(crashes));
    int inputs = 0;
    for (const auto& entry : fs::directory_iterator(crashes)) {
        if (entry.path().filename().string().front() == '.')
            continue;
        ++inputs;
        SCOPED_TRACE(entry.path().filename().string());
        LayerTable table("Tbl");
        try {
            table.LoadFile(entry.path());
        } catch (const TableError& refused) {
            EXPECT_FALSE(std::string(refused.what()).empty());
            continue;
        }
        for (int row = 0; row < table.StoredCount(); ++row)
            EXPECT_EQ(table.StoredRecord(row).size(), table.Fields().size());
        // A file that defines no field holds nothing to write back.
        if (table.Fields().empty())
            continue;
        const fs::path again = file("again.bcrd", "");
        table.SaveFile(again);
        LayerTable reread("Tbl");
        reread.LoadFile(again);
        EXPECT_EQ(reread.StoredCount(), table.StoredCount());
        EXPECT_EQ(reread.Fields().size(), table.Fields().size());
    }
    EXPECT_GT(inputs, 0);
}
