#include "tests/cli/CliRun.h"

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <set>
#include <sys/stat.h>

namespace {

int pdfPages(const fs::path& pdf)
{
    const std::string bytes = readBytes(pdf);
    int pages = 0;
    for (std::size_t at = bytes.find("/Type /Page\n"); at != std::string::npos; at = bytes.find("/Type /Page\n", at + 1))
        ++pages;
    return pages;
}

std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// A card of a name and a title from the list, and a QR contact of them.
const char* const Template = R"({"records": [
    {"tipus": 0, "nev": "{Név}", "left": 10, "top": 10, "betutipus": "DejaVu Sans", "betumeret": 10},
    {"tipus": 0, "nev": "{beosztás} / {Részleg}", "left": 10, "top": 40, "betutipus": "DejaVu Sans", "betumeret": 8},
    {"tipus": 1, "nev": "QR-kód1", "left": 230, "top": 40, "width": 100, "height": 100, "strech": false,
     "qr": {"vcard": {"family": "{Név}", "title": "{Beosztás}"}, "ecc": "L"}}]})";

} // namespace

// A QR layer is built from its contents, dumped with them beside its
// picture, and built again from the dump to the same bytes; contents that
// make no code, or a "qr" on a layer that is no picture, write nothing.
TEST_F(CliTest, QrLayersTravelThroughBuildAndDump)
{
    const std::string card = (dir / "qr.bcrd").string();
    ASSERT_EQ(run("build " + write("qr.json", Template) + " " + card).status, 0);
    const CliRun dumped = run("dump " + card);
    ASSERT_EQ(dumped.status, 0);
    json records = json::parse(dumped.out)["records"];
    const json qr = records[2];
    EXPECT_EQ(qr["qr"], json::parse(R"({"vcard": {"family": "{Név}", "title": "{Beosztás}"}, "ecc": "L"})"));
    EXPECT_EQ(qr["keptip"], ".png");
    EXPECT_FALSE(records[0].contains("qr"));

    for (json& record : records)
        record.erase("tipus_nev");
    const std::string again = (dir / "again.bcrd").string();
    ASSERT_EQ(run("build " + write("again.json", json{{"records", records}}.dump()) + " " + again).status, 0);
    EXPECT_EQ(readBytes(again), readBytes(card));
    // The picture alone, without "qr", is the same card too: the contents
    // are in the picture.
    records[2].erase("qr");
    ASSERT_EQ(run("build " + write("plain.json", json{{"records", records}}.dump()) + " " + again).status, 0);
    EXPECT_EQ(readBytes(again), readBytes(card));
    EXPECT_EQ(json::parse(run("dump " + again).out)["records"][2]["qr"], qr["qr"]);

    const std::string never = (dir / "never.bcrd").string();
    for (const char* bad : {R"({"tipus": 0, "qr": {"text": "x"}})", R"({"tipus": 1, "qr": {"text": "x", "ecc": "X"}})",
                            R"({"tipus": 1, "qr": {"vcard": {"nick": "x"}}})", R"({"tipus": 1, "qr": "x"})",
                            R"({"tipus": 1, "qr": {"text": ""}})"}) {
        EXPECT_EQ(run("build " + write("bad.json", std::string(R"({"records": [)") + bad + "]}") + " " + never).status, 1)
            << bad;
        EXPECT_FALSE(fs::exists(never)) << bad;
    }
}

// Each record's card so many times, from the start position on, in the
// order of the file; values in full however long; a placeholder no column
// has stays as typed; the back filled as the front.
TEST_F(CliTest, MergeDrawsEachPersonsCardInOrder)
{
    const std::string card = (dir / "sablon.bcrd").string();
    ASSERT_EQ(run("build " + write("sablon.json", Template) + " " + card).status, 0);
    const std::string longTitle = "Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős igazgató";
    const std::string data = write("lista.csv", "\xEF\xBB\xBFNév,Beosztás\r\nAnna Kovács,titkár\r\n"
                                                "Béla Nagy,\"" + longTitle + "\"\r\nCili Kis\r\n");
    const fs::path pdf = dir / "korlevel.pdf";
    ASSERT_EQ(run("render " + card + " --merge " + data + " --pdf " + pdf.string() + " --copies 3 --start 8").status, 0);
    // Nine cards from position 8: three on the first sheet, six on the next.
    ASSERT_EQ(pdfPages(pdf), 2);
    const std::string first = pdfText(pdf, 1), second = pdfText(pdf, 2);
    EXPECT_EQ(occurrences(first, "Anna Kovács"), 3u) << first;
    EXPECT_EQ(occurrences(first, "Béla Nagy"), 0u);
    EXPECT_EQ(occurrences(second, "Béla Nagy"), 3u) << second;
    EXPECT_EQ(occurrences(second, "Cili Kis"), 3u);
    EXPECT_EQ(occurrences(second, longTitle + " / {Részleg}"), 3u);
    EXPECT_LT(second.find("Béla Nagy"), second.find("Cili Kis"));

    // The default: a sheet each; a back with placeholders of its own.
    const std::string back = (dir / "hat.bcrd").string();
    ASSERT_EQ(run("build " + write("hat.json", R"({"records": [{"tipus": 0, "nev": "Hátoldal: {NÉV}", "betutipus": "DejaVu Sans"}]})")
                  + " " + back)
                  .status,
              0);
    const fs::path both = dir / "ket-oldal.pdf";
    ASSERT_EQ(run("render " + card + " --merge " + data + " --pdf " + both.string() + " --back " + back).status, 0);
    ASSERT_EQ(pdfPages(both), 6);
    EXPECT_EQ(occurrences(pdfText(both, 3), "Béla Nagy"), 10u);
    EXPECT_EQ(occurrences(pdfText(both, 4), "Hátoldal: Béla Nagy"), 10u);
}

// The bytes a command reads from one file, as the system calls show them.
long long bytesReadFrom(const std::string& arguments, const std::string& file, const fs::path& log)
{
    const std::string command = "strace -f -qq -s 0 -e trace=openat,read,close -e signal=none -o '" + log.string()
        + "' " + LAPORA_CLI + " " + arguments + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return -1;
    std::ifstream in(log);
    std::set<long> open;
    long long bytes = 0;
    // 4711 openat(AT_FDCWD, "/tmp/lista.csv", O_RDONLY|O_CLOEXEC) = 4
    // 4711 read(4, ""..., 65536)             = 10
    static const std::regex call(R"re(^\d+ +(openat|read|close)\((?:AT_FDCWD, "([^"]*)"|(\d+)).*\) += (-?\d+))re");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, call))
            continue;
        const long result = std::stol(m[4]);
        if (m[1] == "openat" && m[2] == file && result >= 0)
            open.insert(result);
        else if (m[1] == "read" && open.count(std::stol(m[3])) && result > 0)
            bytes += result;
        else if (m[1] == "close" && m[3].matched)
            open.erase(std::stol(m[3]));
    }
    return bytes;
}

// A merge reads its list through twice at the most, whatever its length
// and encoding: once to count the people and tell the encoding, once to
// draw them.
TEST_F(CliTest, MergeReadsItsListTwice)
{
    const std::string card = (dir / "sablon.bcrd").string();
    ASSERT_EQ(run("build " + write("sablon.json", Template) + " " + card).status, 0);
    std::string utf8 = "Név,Beosztás\n";
    for (int i = 0; i < 400; ++i)
        utf8 += "Kovács Anna " + std::to_string(i) + ",titkár\n";
    std::string win1250 = utf8;
    std::replace(win1250.begin(), win1250.end(), '\xE1', 'a');  // a byte UTF-8 has no place for
    for (const auto& [name, text] : {std::pair{"utf8.csv", utf8}, std::pair{"win.csv", "N\xE9v" + win1250.substr(4)}}) {
        const std::string data = write(name, text);
        const fs::path pdf = dir / "korlevel.pdf";
        const long long bytes = bytesReadFrom("render " + card + " --merge " + data + " --copies 1 --pdf " + pdf.string(), data,
                                              dir / "strace.log");
        ASSERT_GE(bytes, 2 * static_cast<long long>(text.size())) << name;
        EXPECT_LE(bytes, 2 * static_cast<long long>(text.size()) + 4096) << name;
        EXPECT_EQ(pdfPages(pdf), 40);
    }
}

// Data that is no list of people: status 1, one line naming the file, and
// no PDF; a merge draws only a PDF.
TEST_F(CliTest, BadMergeDataWritesNothing)
{
    const std::string card = (dir / "sablon.bcrd").string();
    ASSERT_EQ(run("build " + write("sablon.json", Template) + " " + card).status, 0);
    const std::string out = (dir / "never.pdf").string();
    const std::vector<std::string> files = {
        write("ures.csv", ""), write("csak-fejlec.csv", "Név;Beosztás\r\n"),
        write("kep.csv", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)), write("hamis.vcf", "Név\nAnna\n"),
        (dir / "nincs.csv").string()};
    for (const std::string& file : files) {
        const CliRun result = runForMessages("render " + card + " --merge " + file + " --pdf " + out);
        EXPECT_EQ(result.status, 1) << file;
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
        EXPECT_FALSE(fs::exists(out)) << file;
    }
    EXPECT_EQ(run("render " + card + " --merge " + files[1] + " --png " + (dir / "x.png").string()).status, 2);
}

// Data a merge cannot use is refused with what is wrong and where, in one
// line and without a PDF: a quote never closed, a folder, a pipe nobody
// writes to (which must not hang the command), a device without end.
TEST_F(CliTest, HostileMergeDataIsRefusedSayingWhy)
{
    const std::string card = (dir / "sablon.bcrd").string();
    ASSERT_EQ(run("build " + write("sablon.json", Template) + " " + card).status, 0);
    const std::string out = (dir / "never.pdf").string();
    const std::string fifo = (dir / "cso.csv").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(dir / "mappa.csv");
    const std::string notRegular = "nem közönséges fájl, hanem cső, eszköz vagy foglalat, amelyből nem olvasható táblázat";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {write("nyitott.csv", "Név;Beosztás\r\nAnna;titkár\r\n\"Béla;igazgató\r\nCili;\r\n"),
         "A(z) „nyitott.csv” adatfájl 3. sorában kezdődő idézőjel nincs lezárva."},
        {(dir / "mappa.csv").string(), "A(z) „mappa.csv” adatfájl nem nyitható meg: ez egy mappa, nem fájl."},
        {fifo, "A(z) „cso.csv” adatfájl nem nyitható meg: " + notRegular + "."},
        {"/dev/zero", "A(z) „zero” adatfájl nem nyitható meg: " + notRegular + "."}};
    for (const auto& [file, message] : cases) {
        const CliRun result = runForMessages("render " + card + " --merge " + file + " --pdf " + out);
        EXPECT_EQ(result.status, 1) << file;
        EXPECT_EQ(result.out, "lapora-cli: " + message + "\n");
        EXPECT_FALSE(fs::exists(out)) << file;
    }
}

// A placeholder no column answers still prints as typed, and one line
// names each of them, front and back, with the columns there are; with
// every placeholder answered nothing is said.
TEST_F(CliTest, MergeNamesPlaceholdersWithoutAColumn)
{
    const std::string card = (dir / "sablon.bcrd").string();
    ASSERT_EQ(run("build " + write("sablon.json", Template) + " " + card).status, 0);
    const std::string back = (dir / "hat.bcrd").string();
    ASSERT_EQ(run("build "
                  + write("hat.json", R"({"records": [{"tipus": 0, "nev": "{E-mail} {részleg}", "betutipus": "DejaVu Sans"},
                      {"tipus": 1, "nev": "QR-kód1", "width": 100, "height": 100, "qr": {"text": "mailto:{E-mail}"}}]})")
                  + " " + back)
                  .status,
              0);
    const fs::path pdf = dir / "korlevel.pdf";
    const std::string data = write("lista.csv", "Név;Beosztás\r\nAnna Kovács;titkár\r\n");
    CliRun result = runForMessages("render " + card + " --merge " + data + " --back " + back + " --pdf " + pdf.string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "lapora-cli: figyelem: nincs ilyen oszlop az adatfájlban, ezek változatlanul nyomtatódnak: "
                          "{Részleg}, {E-mail}; az adatfájl oszlopai: Név, Beosztás\n");
    EXPECT_EQ(occurrences(pdfText(pdf, 2), "{E-mail}"), 10u);

    const std::string full = write("teljes.csv", "Név;Beosztás;Részleg;E-mail\r\nAnna Kovács;titkár;Pénzügy;a@b.hu\r\n");
    result = runForMessages("render " + card + " --merge " + full + " --back " + back + " --pdf " + pdf.string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
}

// A Hungarian contact's code, drawn by render, reads right with zbar as
// with any reader that follows the code's character-set marker.
TEST_F(CliTest, RenderedQrCodeReadsRightWithZbar)
{
    const std::string card = (dir / "qr.bcrd").string();
    ASSERT_EQ(run("build " + write("qr.json", R"({"records": [{"tipus": 1, "nev": "QR-kód1", "width": 150,
        "height": 150, "qr": {"vcard": {"family": "Kovács", "given": "Zsófia", "org": "Tűzép Kft."}}}]})")
                  + " " + card)
                  .status,
              0);
    const fs::path png = dir / "qr.png";
    ASSERT_EQ(run("render " + card + " --card --png " + png.string()).status, 0);
    FILE* pipe = ::popen(("zbarimg --raw -q '" + png.string() + "' 2>/dev/null").c_str(), "r");
    std::string read;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        read.append(buffer, n);
    ASSERT_EQ(WEXITSTATUS(::pclose(pipe)), 0) << "zbarimg missing? scripts/install-deps.sh installs zbar-tools";
    EXPECT_NE(read.find("\r\nFN:Kovács Zsófia\r\nORG:Tűzép Kft.\r\n"), std::string::npos) << read;
}

// A name too long for the card is drawn smaller for that person alone,
// and stderr lists whom it touched, apart from those it fits at no size;
// the status stays 0. --fit off leaves the sizes and says nothing; a fit
// the program does not know is refused before anything is written.
TEST_F(CliTest, MergeFitsLongTextsAndSaysWhom)
{
    const std::string card = (dir / "nev.bcrd").string();
    ASSERT_EQ(run("build "
                  + write("nev.json", R"({"records": [
        {"tipus": 0, "nev": "{Név}", "left": 150, "top": 10, "betutipus": "DejaVu Sans", "betumeret": 12}]})")
                  + " " + card)
                  .status,
              0);
    const std::string data = write("nevek.csv", "Név\r\nŐ Ödön\r\nDr. Szentgyörgyi-Nagy Erzsébet Krisztina\r\n"
                                                "Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős "
                                                "igazgatóhelyettes asszony\r\n");
    const fs::path pdf = dir / "nevek.pdf";
    CliRun result = runForMessages("render " + card + " --merge " + data + " --copies 1 --pdf " + pdf.string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(std::regex_replace(result.out, std::regex(R"(\(12 helyett \d+ pt\))"), "(12 helyett N pt)"),
              "lapora-cli: figyelem: 1 személy szövege kisebb betűvel nyomtatódik, hogy elférjen:\n"
              "lapora-cli:   2. személy: „Dr. Szentgyörgyi-Nagy Erzsébet Krisztina” (12 helyett N pt)\n"
              "lapora-cli: figyelem: 1 személy szövege 6 pontos betűvel sem fér el:\n"
              "lapora-cli:   3. személy: „Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős "
              "igazgatóhelyettes asszony”\n");
    // Smaller, never cut: every name is there in full.
    const std::string text = pdfText(pdf, 1);
    EXPECT_NE(text.find("Szentgyörgyi-Nagy Erzsébet Krisztina"), std::string::npos) << text;

    result = runForMessages("render " + card + " --merge " + data + " --copies 1 --fit off --pdf " + pdf.string());
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");

    const fs::path never = dir / "never.pdf";
    result = runForMessages("render " + card + " --merge " + data + " --fit kicsi --pdf " + never.string());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "lapora-cli: a --fit értéke shrink vagy off lehet, nem kicsi\n");
    EXPECT_FALSE(fs::exists(never));
    EXPECT_EQ(run("render " + card + " --fit off --pdf " + never.string()).status, 2);
    EXPECT_FALSE(fs::exists(never));
}
