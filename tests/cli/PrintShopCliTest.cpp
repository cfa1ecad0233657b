#include "tests/cli/CliRun.h"

namespace {

// The pages pdfinfo counts: Ghostscript's files keep their pages where
// counting "/Type /Page" would not find them.
int pages(const fs::path& pdf)
{
    const std::string info = runCommand("pdfinfo '" + pdf.string() + "' 2>/dev/null").out;
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

class PrintShopCli : public CliTest
{
protected:
    std::string card(const std::string& name, const std::string& records)
    {
        const std::string path = (dir / name).string();
        if (run("build " + write(name + ".json", R"({"records": [)" + records + "]}") + " " + path).status != 0)
            ADD_FAILURE() << "cannot build " << name;
        return path;
    }
};

} // namespace

// A value out of range or not a number is one line and status 1; an
// option that has no place in a shop's file is the usage and status 2;
// either way nothing is written, and no output replaces an input.
TEST_F(PrintShopCli, RefusesWhatDoesNotGoWithIt)
{
    const std::string front = card("elo.bcrd", R"({"tipus": 0, "nev": "Kovács Anna", "betutipus": "DejaVu Sans"})");
    const fs::path out = dir / "nyomda.pdf";
    for (const char* bleed : {"6", "abc", "-1", "2.25", ""}) {
        const CliRun result = runForMessages("render " + front + " --print-shop " + out.string() + " --bleed '" + bleed + "'");
        EXPECT_EQ(result.status, 1) << bleed;
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
        EXPECT_NE(result.out.find("--bleed"), std::string::npos) << result.out;
    }
    for (const std::string other : {"--pdf x.pdf", "--png x.png", "--card", "--copies 2", "--start 3", "--flip long",
                                    "--offset 1,1", "--dpi 300"})
        EXPECT_EQ(run("render " + front + " --print-shop " + out.string() + " " + other).status, 2) << other;
    EXPECT_EQ(run("render " + front + " --pdf " + out.string() + " --bleed 3").status, 2);
    EXPECT_EQ(run("render " + front + " --pdf " + out.string() + " --crop-marks").status, 2);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(dir / "x.pdf"));

    const std::string before = readBytes(front);
    EXPECT_EQ(run("render " + front + " --print-shop " + front).status, 1);
    EXPECT_EQ(readBytes(front), before);
}

// One page a card, its back after it; with a merge one front and back a
// person, in the file's order, each filled in for them.
TEST_F(PrintShopCli, OnePageACardFrontThenBack)
{
    const std::string front = card("elo.bcrd", R"({"tipus": 0, "nev": "{Név}", "betutipus": "DejaVu Sans", "betumeret": 12})");
    const std::string back = card("hat.bcrd", R"({"tipus": 0, "nev": "Hátoldal: {Név}", "betutipus": "DejaVu Sans"})");
    const fs::path one = dir / "egy.pdf";
    ASSERT_EQ(run("render " + front + " --print-shop " + one.string() + " --bleed 2.5 --crop-marks").status, 0);
    EXPECT_EQ(pages(one), 1);

    const std::string data = write("lista.csv", "Név\nŐri Ödön\nKiss Éva\nNagy Béla\n");
    const fs::path merged = dir / "korlevel.pdf";
    ASSERT_EQ(run("render " + front + " --print-shop " + merged.string() + " --back " + back + " --merge " + data).status, 0);
    ASSERT_EQ(pages(merged), 6);
    const char* const people[] = {"Őri Ödön", "Kiss Éva", "Nagy Béla"};
    for (int person = 0; person < 3; ++person) {
        EXPECT_NE(pdfText(merged, 2 * person + 1).find(people[person]), std::string::npos) << person;
        EXPECT_NE(pdfText(merged, 2 * person + 2).find(std::string("Hátoldal: ") + people[person]), std::string::npos);
    }
}

// What a shop's preflight would object to is said on standard error, and
// the file is written all the same.
TEST_F(PrintShopCli, PreflightWarnsAndWrites)
{
    const std::string front =
        card("apro.bcrd", R"({"tipus": 0, "nev": "Apró betű", "left": 100, "top": 80, "betutipus": "DejaVu Sans", "betumeret": 5})");
    const fs::path out = dir / "apro.pdf";
    const CliRun result = runForMessages("render " + front + " --print-shop " + out.string());
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("Apró betű"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("6 pt"), std::string::npos) << result.out;
    EXPECT_EQ(pages(out), 1);
}
