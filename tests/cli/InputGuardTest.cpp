#include "tests/cli/CliRun.h"

namespace {

struct Answer
{
    int status;
    std::string out;
    std::string err;
};

// What the command printed on each stream, and its exit status.
Answer runCapturing(const std::string& arguments, const fs::path& dir)
{
    const fs::path errors = dir / "stderr.txt";
    const std::string command = std::string(LAPORA_CLI) + " " + arguments + " 2>'" + errors.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WEXITSTATUS(status), out, readBytes(errors)};
}

std::string notACard(const fs::path& path)
{
    return "lapora-cli: A(z) \u201E" + path.string() + "\u201D f\u00E1jl nem Lapora k\u00E1rtyaf\u00E1jl.\n";
}

} // namespace

using InputGuardTest = CliTest;

// A data list or a text file given as the card is refused with the
// designer's message on one line, and nothing is written; an empty file
// is still an empty card.
TEST_F(InputGuardTest, RenderAndDumpRefuseWhatIsNoCard)
{
    const fs::path people = write("people.csv", "N\u00E9v,C\u00E9g\r\nKov\u00E1cs Anna,Alma Bt.\r\n");
    const fs::path junk = write("junk.bcrd", "\r\n\r\nthis is no card\n");
    const fs::path pdf = dir / "x.pdf";

    Answer render = runCapturing("render " + people.string() + " --pdf " + pdf.string(), dir);
    EXPECT_EQ(render.status, 1);
    EXPECT_EQ(render.err, notACard(people));
    EXPECT_FALSE(fs::exists(pdf));

    render = runCapturing("render " + Example + " --back " + junk.string() + " --pdf " + pdf.string(), dir);
    EXPECT_EQ(render.status, 1);
    EXPECT_NE(render.err.find(notACard(junk).substr(12)), std::string::npos) << render.err;
    EXPECT_FALSE(fs::exists(pdf));

    const Answer dump = runCapturing("dump " + junk.string(), dir);
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(dump.out, "");
    EXPECT_EQ(dump.err, notACard(junk));

    const fs::path empty = write("empty.bcrd", "");
    EXPECT_EQ(runCapturing("render " + empty.string() + " --card --png " + (dir / "e.png").string(), dir).status, 0);
    EXPECT_TRUE(fs::exists(dir / "e.png"));
}

// However the output is spelled (the same path, a link, a hard link, a
// path through "..", a page of several), it may not be a file the job
// reads: the card, its back or the data list stay as they were.
TEST_F(InputGuardTest, OutputsNeverReplaceInputs)
{
    const std::string card = readBytes(Example);
    const fs::path front = write("card.bcrd", card);
    const fs::path back = write("back.bcrd", card);
    const std::string list = "Name\r\nAnna\r\n";
    const fs::path data = write("d.csv", list);
    fs::create_symlink(front, dir / "link.pdf");
    fs::create_hard_link(front, dir / "hard.pdf");
    const fs::path sub = dir / "sub";
    fs::create_directories(sub);

    const std::vector<std::pair<std::string, std::string>> attempts = {
        {"--pdf " + front.string(), "a kártya"},
        {"--card --png " + front.string(), "a kártya"},
        {"--pdf " + (dir / "link.pdf").string(), "a kártya"},
        {"--pdf " + (dir / "hard.pdf").string(), "a kártya"},
        {"--pdf " + (sub / ".." / "card.bcrd").string(), "a kártya"},
        {"--back " + back.string() + " --pdf " + back.string(), "a hátoldal kártyája"},
        {"--merge " + data.string() + " --pdf " + data.string(), "az adatfájl"},
    };
    for (const auto& [options, what] : attempts) {
        const Answer render = runCapturing("render " + front.string() + " " + options, dir);
        EXPECT_EQ(render.status, 1) << options;
        EXPECT_NE(render.err.find("ugyanaz a fájl, mint " + what), std::string::npos) << options << ": " << render.err;
        EXPECT_EQ(std::count(render.err.begin(), render.err.end(), '\n'), 1) << render.err;
    }
    EXPECT_EQ(readBytes(front), card);
    EXPECT_EQ(readBytes(back), card);
    EXPECT_EQ(readBytes(data), list);

    // Twenty cards make two pages, out-1.png and out-2.png; the second
    // would land on the card.
    const fs::path page = write("out-2.png", card);
    const Answer pages =
        runCapturing("render " + page.string() + " --copies 20 --png " + (dir / "out.png").string(), dir);
    EXPECT_EQ(pages.status, 1);
    EXPECT_EQ(readBytes(page), card);
    EXPECT_FALSE(fs::exists(dir / "out-1.png"));
}
