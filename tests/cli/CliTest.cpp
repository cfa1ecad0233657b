#include "tests/cli/CliRun.h"

#include <algorithm>
#include <sys/stat.h>

TEST_F(CliTest, DumpShowsTheFieldsAndValuesOfACard)
{
    CliRun dump = run("dump " + Example);
    ASSERT_EQ(dump.status, 0);
    json card = json::parse(dump.out);

    EXPECT_EQ(card["table"], "Tbl");
    EXPECT_EQ(card["open"], true);
    ASSERT_EQ(card["fields"].size(), 27u);
    EXPECT_EQ(card["fields"][2], json::parse(R"({"name": "nev", "type": "String", "size": 50, "label": "leírás",
        "kind": "Data", "default": "", "displayWidth": 50, "editMask": "", "required": false,
        "readOnly": false, "visible": true})"));
    EXPECT_EQ(card["fields"][20]["label"], "festőszín");
    ASSERT_EQ(card["records"].size(), 1u);
    const json& layer = card["records"][0];
    EXPECT_EQ(layer["nev"], "szöveg1");
    EXPECT_EQ(layer["sorszam"], 1);
    EXPECT_EQ(layer["dolt"], false);
    EXPECT_TRUE(layer["kep"].is_null());
    EXPECT_EQ(layer["compnev"], "lbl482");
}

TEST_F(CliTest, BuildOfTheDumpedValuesGivesTheSameBytes)
{
    json card = json::parse(run("dump " + Example).out);
    std::string input = write("card.json", json{{"records", card["records"]}}.dump());

    ASSERT_EQ(run("build " + input + " " + (dir / "out.bcrd").string()).status, 0);
    EXPECT_EQ(readBytes(dir / "out.bcrd"), readBytes(Example));
}

TEST_F(CliTest, PicturesTravelAsBase64)
{
    std::string input = write("pic.json", R"({"records": [{"sorszam": 1, "tipus": 1, "kep": "iVBORw0KGgo=",
        "keptip": ".png", "strech": true}]})");
    ASSERT_EQ(run("build " + input + " " + (dir / "pic.bcrd").string()).status, 0);

    json layer = json::parse(run("dump " + (dir / "pic.bcrd").string()).out)["records"][0];
    EXPECT_EQ(layer["kep"], "iVBORw0KGgo=");
    EXPECT_EQ(layer["strech"], true);
    EXPECT_EQ(layer["left"], 10);  // a default the build applied
}

// As the layer table assigns it: a text longer than its field is cut.
TEST_F(CliTest, BuildCutsTextToItsFieldsSize)
{
    const std::string long60(60, 'x');
    std::string input = write("long.json", R"({"records": [{"sorszam": 1, "nev": ")" + long60 +
                                               R"(", "keptip": ".jpeg-file-12"}]})");
    ASSERT_EQ(run("build " + input + " " + (dir / "long.bcrd").string()).status, 0);

    json layer = json::parse(run("dump " + (dir / "long.bcrd").string()).out)["records"][0];
    EXPECT_EQ(layer["nev"], std::string(50, 'x'));
    EXPECT_EQ(layer["keptip"], ".jpeg-file");
}

TEST_F(CliTest, FailedLoadStillShowsWhatTheTableHolds)
{
    std::string bytes = readBytes(Example);
    bytes.replace(bytes.find("\"top=Integer"), 12, "\"top=Cursor!");
    CliRun dump = run("dump " + write("broken.bcrd", bytes));

    EXPECT_EQ(dump.status, 1);
    json card = json::parse(dump.out);
    EXPECT_EQ(card["open"], false);
    EXPECT_EQ(card["fields"].size(), 4u);
    EXPECT_EQ(card["records"].size(), 0u);
    EXPECT_EQ(card["error"], "Unknown field type (Cursor!) in CSV file. "
                             "(top=Cursor!,0,\"top\",\"\",10,Data,\"10\")");
}

// Whatever the file, dump answers with the JSON object: a FIFO is refused
// without waiting for a writer, a foreign calculated field does not abort
// it, and a name that is not UTF-8 still gives valid JSON.
TEST_F(CliTest, DumpAlwaysAnswersWithItsObject)
{
    const fs::path fifo = dir / "fifo.bcrd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    CliRun dump = run("dump " + fifo.string());
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(json::parse(dump.out)["error"], "Cannot open file \"" + fifo.string() + "\". Not a regular file");

    std::string bytes = readBytes(Example);
    bytes.insert(bytes.find("\"nev=String"), "\"extra=String,10,\"\"extra\"\",\"\"\"\",10,Calculated,\"\"\"\"\"\r\n");
    dump = run("dump " + write("calculated.bcrd", bytes));
    json card = json::parse(dump.out);
    EXPECT_EQ(card["records"].size(), 1u);

    const std::string badName = (dir / "k\xE9p.bcrd").string();
    dump = run("dump '" + badName + "'");
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(json::parse(dump.out)["error"],
              "Cannot open file \"" + (dir / "k\xEF\xBF\xBDp.bcrd").string() + "\". No such file or directory");
}

TEST_F(CliTest, BadBuildInputWritesNoFile)
{
    const std::string out = (dir / "never.bcrd").string();
    for (const char* records : {R"([{"nosuch": 1}])", R"([{"left": "ten"}])", R"([{"left": 1.5}])",
                                R"([{"left": 4294967296}])", R"([{"nev": "日本"}])", R"([{"kep": "@@"}])",
                                R"([{"tipus_nev": "x"}])"}) {
        std::string input = write("bad.json", std::string(R"({"records": )") + records + "}");
        EXPECT_EQ(run("build " + input + " " + out).status, 1) << records;
        EXPECT_FALSE(fs::exists(out)) << records;
    }
}

// The sheet as a PDF and a picture, the card alone as a picture; a card
// that cannot be drawn gives its message and no file.
TEST_F(CliTest, RenderDrawsTheSheetOrTheCardWithoutADisplay)
{
    const std::string pdf = (dir / "sheet.pdf").string();
    ASSERT_EQ(run("render " + Example + " --pdf " + pdf).status, 0);
    const std::string bytes = readBytes(pdf);
    EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
    // The title, in the UTF-16 of PDF text strings.
    const std::string title = std::string("\xFE\xFF\0L\0a\0p\0o\0r\0a\0 \0n\0y\0o\0m\0t\0a\0t\0\xE1\0s", 34);
    EXPECT_NE(bytes.find("/Title (" + title + ")"), std::string::npos);

    const std::string card = (dir / "card.png").string();
    ASSERT_EQ(run("render --card " + Example + " --png " + card + " --dpi 192").status, 0);
    const std::string png = readBytes(card);
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&](std::size_t at) {
        return (unsigned(std::uint8_t(png[at])) << 24) | (unsigned(std::uint8_t(png[at + 1])) << 16)
            | (unsigned(std::uint8_t(png[at + 2])) << 8) | unsigned(std::uint8_t(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 680u);
    EXPECT_EQ(be32(20), 380u);

    std::string broken = readBytes(Example);
    broken.replace(broken.find("\"lbl482\""), 8, "\"lbl482\"");
    broken.replace(broken.find("\"1\",\"0\""), 7, "\"1\",\"1\"");
    broken.replace(broken.find(",,,\"0\""), 3, ",\"!!\",\".png\",");
    const std::string never = (dir / "never.pdf").string();
    EXPECT_EQ(run("render " + write("broken.bcrd", broken) + " --pdf " + never).status, 1);
    EXPECT_FALSE(fs::exists(never));
    EXPECT_EQ(run("render " + Example + " --png x.png --dpi 0").status, 2);
}

TEST_F(CliTest, WrongArgumentsPrintUsage)
{
    EXPECT_EQ(run("").status, 2);
    EXPECT_EQ(run("dump").status, 2);
    EXPECT_EQ(run("build only-one.json").status, 2);
    EXPECT_EQ(run("frobnicate x").status, 2);
}

// Card stock: copies from a start position over several sheets with a back
// page each, as pictures numbered by page; one page keeps the plain name;
// the calibration sheet as a PDF.
TEST_F(CliTest, RenderPrintsCardStockPageByPage)
{
    const std::string png = (dir / "lap.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + png + " --dpi 20 --copies 13 --start 4 --back " + Example
                  + " --flip short --offset 1.5,-0.5 --scale 101,99 --back-offset -1,0")
                  .status,
              0);
    for (int page = 1; page <= 4; ++page)
        EXPECT_TRUE(fs::exists(dir / ("lap-" + std::to_string(page) + ".png"))) << page;
    EXPECT_FALSE(fs::exists(dir / "lap-5.png"));
    EXPECT_FALSE(fs::exists(png));

    // A start alone fills the rest of its sheet: one page, its own name.
    const std::string rest = (dir / "rest.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + rest + " --dpi 20 --start 7").status, 0);
    EXPECT_TRUE(fs::exists(rest));
    EXPECT_FALSE(fs::exists(dir / "rest-1.png"));

    // Asked for the default sheet of ten, the job draws the very same.
    const std::string plain = (dir / "plain.png").string(), asJob = (dir / "job.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + plain + " --dpi 30").status, 0);
    ASSERT_EQ(run("render " + Example + " --png " + asJob + " --dpi 30 --copies 10 --start 1").status, 0);
    EXPECT_EQ(readBytes(plain), readBytes(asJob));

    const std::string calibration = (dir / "kalibralo.pdf").string();
    ASSERT_EQ(run("calibration --pdf " + calibration).status, 0);
    EXPECT_EQ(readBytes(calibration).rfind("%PDF-", 0), 0u);
}

// The sheet and the card alone as lapora-cli draws them, byte for byte: a
// change in how a page is laid out or painted shows here. A new Qt or new
// bundled fonts may change the bytes as well; then look at the new pictures
// and keep them in tests/cli/data.
TEST_F(CliTest, RenderedPicturesStayByteForByte)
{
    const fs::path sheet = dir / "lap.png", card = dir / "kartya.png";
    ASSERT_EQ(run("render " + Example + " --png " + sheet.string() + " --dpi 30").status, 0);
    ASSERT_EQ(run("render " + Example + " --card --png " + card.string() + " --dpi 192").status, 0);
    EXPECT_TRUE(readBytes(sheet) == readBytes(CLI_DATA_DIR "/sheet-30dpi.png"));
    EXPECT_TRUE(readBytes(card) == readBytes(CLI_DATA_DIR "/card-192dpi.png"));
}

// A value the job cannot take, or a back that cannot be read: status 1, a
// one-line Hungarian message, and no file at all.
TEST_F(CliTest, BadCardStockValuesWriteNothing)
{
    const std::string out = (dir / "never.pdf").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--start 11", "--start"},          {"--copies 0", "--copies"},
        {"--copies 1001", "--copies"},      {"--scale 150,100", "--scale"},
        {"--offset 30,0", "--offset"},      {"--back-offset 1", "--back-offset"},
        {"--flip sideways", "--flip"},      {"--back " + (dir / "nincs.bcrd").string(), "hátoldal"},
        {"--start x", "--start"},
    };
    for (const auto& [options, named] : cases) {
        const CliRun result = runForMessages("render " + Example + " --pdf " + out + " " + options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_NE(result.out.find(named), std::string::npos) << result.out;
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
        EXPECT_FALSE(fs::exists(out)) << options;
    }
    EXPECT_EQ(run("render " + Example + " --card --pdf " + out + " --copies 3").status, 2);
}

// lapora-cli runs where no widget library is: it draws through Qt's GUI
// module, and links neither Qt Widgets nor Qt PrintSupport, not even
// through another library.
TEST(CliLinks, NeitherWidgetsNorPrintSupport)
{
    FILE* pipe = ::popen("ldd " LAPORA_CLI, "r");
    ASSERT_NE(pipe, nullptr);
    std::string libraries;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        libraries.append(buffer, n);
    ASSERT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
    EXPECT_NE(libraries.find("libQt6Gui.so"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6Widgets"), std::string::npos) << libraries;
    EXPECT_EQ(libraries.find("libQt6PrintSupport"), std::string::npos) << libraries;
}

// Pages as pictures are all written or none: a page that cannot be
// written half-way through leaves no page and every file as it was,
// an older page of the same name included.
TEST_F(CliTest, FailedPngPagesLeaveEveryFileAsItWas)
{
    const std::string older = "az előző oldal";
    write("lap-1.png", older);
    fs::create_directory(dir / "lap-3.png");
    const std::string render = "render " + Example + " --copies 25 --dpi 20 --png " + (dir / "lap.png").string();
    const CliRun failed = runForMessages(render);
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(std::count(failed.out.begin(), failed.out.end(), '\n'), 1) << failed.out;
    EXPECT_NE(failed.out.find("lap-3.png"), std::string::npos) << failed.out;
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"lap-1.png", "lap-3.png"}));
    EXPECT_EQ(readBytes(dir / "lap-1.png"), older);

    fs::remove(dir / "lap-3.png");
    ASSERT_EQ(run(render).status, 0);
    for (const char* page : {"lap-1.png", "lap-2.png", "lap-3.png"})
        EXPECT_EQ(readBytes(dir / page).rfind("\x89PNG", 0), 0u) << page;
}
