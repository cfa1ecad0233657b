#include "tests/cli/CliRun.h"

#include <algorithm>

namespace {

// A PNG's width and height from its header.
std::pair<unsigned, unsigned> pngSize(const std::string& png)
{
    auto be32 = [&](std::size_t at) {
        return (unsigned(std::uint8_t(png[at])) << 24) | (unsigned(std::uint8_t(png[at + 1])) << 16)
            | (unsigned(std::uint8_t(png[at + 2])) << 8) | unsigned(std::uint8_t(png[at + 3]));
    };
    return png.size() > 24 ? std::pair(be32(16), be32(20)) : std::pair(0u, 0u);
}

} // namespace

// The known layouts, one a line: name, paper, grid and stock card, by tabs.
TEST_F(CliTest, SheetsListsTheKnownLayouts)
{
    const CliRun sheets = run("sheets");
    ASSERT_EQ(sheets.status, 0);
    EXPECT_EQ(sheets.out, "Lapora A4, 10\tA4\t2x5\t89.96 x 50.27 mm\n"
                          "Rayfilm VIZ1\tA4\t2x5\t90 x 50 mm\n"
                          "Rayfilm VIZ2\tA4\t2x5\t90 x 50 mm\n"
                          "Avery L7414\tA4\t2x5\t90 x 52 mm\n"
                          "Avery Zweckform C32010, C32011\tA4\t2x5\t85 x 54 mm\n"
                          "Avery Zweckform C32015\tA4\t2x4\t85 x 54 mm\n"
                          "Avery 5371, 8371\tLetter\t2x5\t88.9 x 50.8 mm\n");
    EXPECT_EQ(run("sheets extra").status, 2);
}

// The default sheet asked for by name, or with its marks, is the sheet
// drawn without options, byte for byte; a layout's pages are its paper,
// its start runs to its card count, and the calibration sheet follows it.
TEST_F(CliTest, SheetOptionsChooseTheLayout)
{
    const std::string plain = (dir / "plain.png").string(), named = (dir / "named.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + plain + " --dpi 30").status, 0);
    ASSERT_EQ(run("render " + Example + " --png " + named + " --dpi 30 --sheet 'lapora a4, 10' --marks on").status,
              0);
    EXPECT_TRUE(readBytes(plain) == readBytes(named));
    ASSERT_EQ(run("render " + Example + " --png " + named + " --dpi 30 --marks off").status, 0);
    EXPECT_FALSE(readBytes(plain) == readBytes(named));

    const std::string letter = (dir / "letter.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + letter + " --dpi 254 --sheet 'Avery 5371, 8371'").status, 0);
    EXPECT_EQ(pngSize(readBytes(letter)), std::pair(2159u, 2794u));
    const std::string pdf = (dir / "own.pdf").string();
    ASSERT_EQ(run("render " + Example + " --pdf " + pdf + " --layout 2x4,19,12.7,95,60,92,55,LETTER").status, 0);
    EXPECT_NE(readBytes(pdf).find("/MediaBox [0 0 612.000000 792.000000]"), std::string::npos);

    // C32015 holds eight: a start at 8 fills one page, the start at 9 is
    // refused.
    const std::string eight = (dir / "eight.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + eight + " --dpi 20 --sheet 'Avery Zweckform C32015' --start 8")
                  .status,
              0);
    EXPECT_TRUE(fs::exists(eight));
    const std::string two = (dir / "two.png").string();
    ASSERT_EQ(run("render " + Example + " --png " + two + " --dpi 20 --sheet 'Avery Zweckform C32015' --copies 9")
                  .status,
              0);
    EXPECT_TRUE(fs::exists(dir / "two-2.png") && !fs::exists(dir / "two-3.png"));

    const std::string calibration = (dir / "calibration.png").string();
    ASSERT_EQ(run("calibration --png " + calibration + " --dpi 254 --layout 2x5,15,10,90,50,letter").status, 0);
    EXPECT_EQ(pngSize(readBytes(calibration)), std::pair(2159u, 2794u));
    EXPECT_EQ(run("calibration --png " + calibration + " --marks off").status, 2);
    EXPECT_EQ(run("render " + Example + " --card --png " + calibration + " --sheet 'Rayfilm VIZ1'").status, 2);
    EXPECT_EQ(run("render " + Example + " --print-shop " + pdf + " --sheet 'Rayfilm VIZ1'").status, 2);
}

// A layout that cannot be printed, or a name that is not known: status 1,
// one line, and no file at all.
TEST_F(CliTest, BadSheetsWriteNothing)
{
    const std::string out = (dir / "never.pdf").string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--layout 2x0,15,10,90,50", "sor"},
        {"--layout 2x5,15,10,80,50,90,50", "vízszintes lépés"},
        {"--layout 2x5,15,10,90,50,90,60", "függőleges lépés"},
        {"--layout 2x5,150,10,90,50", "lelógnak a papírról"},
        {"--layout 2x5,15,10,90,55,letter", "(Letter)"},
        {"--layout 2x5,15,10,90,50,b5", "ismeretlen papír: b5"},
        {"--layout 2x5,15,10,90", "--layout"},
        {"--layout 2x5,15,10,90,nan", "--layout"},
        {"--layout twobyfive,15,10,90,50", "--layout"},
        {"--layout 2x5,15,10,90,50,", "--layout"},
        {"--layout 100000x100000,15,10,90,50", "lelógnak a papírról"},
        {"--sheet 'Avery 9999'", "nincs ilyen lap: Avery 9999"},
        {"--sheet 'Rayfilm VIZ1' --layout 2x5,15,10,90,50", "--sheet"},
        {"--marks maybe", "--marks"},
        {"--sheet 'Avery Zweckform C32015' --start 9", "--start"},
    };
    for (const auto& [options, named] : cases) {
        const CliRun result = runForMessages("render " + Example + " --pdf " + out + " " + options);
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_NE(result.out.find(named), std::string::npos) << result.out;
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
        EXPECT_FALSE(fs::exists(out)) << options;
    }
}

// Layouts the designer saved in its settings file, in Windows-1250, are
// found by name and listed after the built-in ones; the file is only read.
// One saved wrongly stops the run with one line naming its section, and
// nothing is written.
TEST_F(CliTest, SavedSheetsComeFromTheDesignersSettings)
{
    fs::create_directories(dir / "data/Lapora2");
    const std::string settings = "[Screen]\r\nZoom=100\r\n[Sheet:Saj\xE1t]\r\nPaper=Letter\r\nColumns=2\r\nRows=4\r\n"
                                 "Left=1270\r\nTop=1525\r\nDX=9525\r\nDY=6350\r\nW=8890\r\nH=5080\r\nMarks=1\r\n";
    std::ofstream(dir / "data/Lapora2/Lapora2.ini", std::ios::binary) << settings;

    const CliRun sheets = run("sheets");
    ASSERT_EQ(sheets.status, 0);
    EXPECT_TRUE(sheets.out.ends_with("Avery 5371, 8371\tLetter\t2x5\t88.9 x 50.8 mm\n"
                                     "Saját\tLetter\t2x4\t88.9 x 50.8 mm\n"))
        << sheets.out;

    const std::string pdf = (dir / "own.pdf").string();
    ASSERT_EQ(run("render " + Example + " --pdf " + pdf + " --sheet SAJÁT --start 8").status, 0);
    EXPECT_NE(readBytes(pdf).find("/MediaBox [0 0 612.000000 792.000000]"), std::string::npos);
    EXPECT_EQ(run("render " + Example + " --pdf " + pdf + " --sheet Saját --start 9").status, 1);
    EXPECT_EQ(readBytes(dir / "data/Lapora2/Lapora2.ini"), settings);

    std::ofstream(dir / "data/Lapora2/Lapora2.ini", std::ios::binary | std::ios::app)
        << "[Sheet:Rossz]\r\nPaper=A4\r\nColumns=3\r\nRows=5\r\nLeft=1500\r\nTop=1000\r\nDX=9000\r\nDY=5000\r\n";
    const std::string never = (dir / "never.pdf").string();
    for (const std::string& arguments :
         std::vector<std::string>{"sheets", "render " + Example + " --pdf " + never + " --sheet rossz"}) {
        const CliRun result = runForMessages(arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_EQ(result.out, "lapora-cli: hibás saját lap a beállítások között, [Sheet:Rossz]: a kártyák lelógnak a "
                              "papírról: 285 × 260 mm-ig érnek, a papír (A4) 210 × 297 mm\n");
    }
    EXPECT_EQ(run("sheets").out, "");
    EXPECT_FALSE(fs::exists(never));
    // A saved one is found by the render that names another.
    EXPECT_EQ(run("render " + Example + " --pdf " + pdf + " --sheet Saját").status, 0);
}
