// Mail merge and QR codes. lapora-cli render --merge as a whole process on
// a card of a frame, three text layers with placeholders and a QR vCard,
// one card each: 1,000 people should take under 1 s and 100 MB at the
// peak, 100,000 under 100 × that time and 150 MB. A list of 150 MB with an
// unclosed quote early on, and one with a line of 200 MB, are refused
// under 100 MB at the peak (the files are made in a temporary folder). The
// merge of 1,000 whose every fifth title is too long for the card, fitted
// (--fit shrink), should take within 1.3 × the same merge unfitted (--fit
// off). And a card with a QR
// layer should open and render within 1.2 × the time of the same card
// whose picture is a plain PNG of the code's pixels. Run build/merge_bench.
#include "bench/HundredLayerCard.h"
#include "bench/WholeProcess.h"

#include "layer/PictureDecoder.h"
#include "layer/Win1250Text.h"
#include "merge/QrCode.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const QTemporaryDir& folder()
{
    static const QTemporaryDir dir;
    return dir;
}

QString path(const char* name)
{
    return folder().filePath(QString::fromLatin1(name));
}

std::string cardWith(const char* name, const std::string& picture)
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    addLayer(table, 1, 2, {{Field::left, 4}, {Field::top, 4}, {Field::width, 332}, {Field::height, 182},
                           {Field::brushcolor, 0xFFFFFF}, {Field::penwidth, 2}});
    addLayer(table, 2, 0, {{Field::nev, std::string("{Vezet\xE9kn\xE9v} {Keresztn\xE9v}")}, {Field::left, 14},
                           {Field::top, 20}, {Field::betumeret, 14}, {Field::felkover, true}});
    addLayer(table, 3, 0, {{Field::nev, std::string("{Beoszt\xE1s}")}, {Field::left, 14}, {Field::top, 50}});
    addLayer(table, 4, 0, {{Field::nev, std::string("{Telefon} {Email}")}, {Field::left, 14}, {Field::top, 150}});
    addLayer(table, 5, 1, {{Field::kep, Blob(picture)}, {Field::keptip, std::string(".png")}, {Field::left, 220},
                           {Field::top, 30}, {Field::width, 110}, {Field::height, 110}, {Field::strech, true}});
    const QString file = path(name);
    table.SaveFile(file.toStdString());
    return file.toStdString();
}

QrContents contact(int person)
{
    QrContents contents;
    const QString fields[] = {"{Vezetéknév}", "{Keresztnév}", "Tűzép Kft.", "{Beosztás}", "{Telefon}", "",
                              "{Email}", "https://tuzep.example.org"};
    for (int field = 0; field < 8; ++field)
        contents.contact[Contact::Field(field)] = fields[field];
    if (person >= 0)
        contents.contact[Contact::Family] = QStringLiteral("Kovács%1").arg(person);
    return contents;
}

// The people, as a spreadsheet program saves them; every record as long
// as the others, so that each asks the same of the code.
std::string list(int people)
{
    const QString file = path(qPrintable(QStringLiteral("lista%1.csv").arg(people)));
    if (!QFile::exists(file)) {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(QByteArray::fromStdString(toWin1250("Vezetéknév;Keresztnév;Beosztás;Telefon;Email\r\n")));
        for (int i = 0; i < people; ++i)
            out.write(QByteArray::fromStdString(
                toWin1250(QStringLiteral("Kovács%1;Ödön;\"Területi; vezető\";+36 30 %2;ember%1@tuzep.hu\r\n")
                              .arg(i, 6, 10, QLatin1Char('0'))
                              .arg(1000000 + i))));
    }
    return file.toStdString();
}

// People whose every fifth title is too long for its place on the card and
// is drawn smaller.
std::string longTitles(int people)
{
    const QString file = path(qPrintable(QStringLiteral("hosszu%1.csv").arg(people)));
    if (!QFile::exists(file)) {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(QByteArray::fromStdString(toWin1250("Vezetéknév;Keresztnév;Beosztás;Telefon;Email\r\n")));
        for (int i = 0; i < people; ++i)
            out.write(QByteArray::fromStdString(toWin1250(
                QStringLiteral("Kovács%1;Ödön;%3;+36 30 %2;ember%1@tuzep.hu\r\n")
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .arg(1000000 + i)
                    .arg(i % 5 ? QStringLiteral("Területi vezető")
                               : QStringLiteral("Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős "
                                                "területi igazgatóhelyettes")))));
    }
    return file.toStdString();
}

// A list file made once: its head, then a block of about a megabyte of the
// unit repeated up to the size, then the tail.
std::string bigList(const char* name, const QByteArray& head, const QByteArray& unit, qint64 size,
                    const QByteArray& tail = {})
{
    const QString file = path(name);
    if (!QFile::exists(file)) {
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(head);
        QByteArray block;
        while (block.size() < (1 << 20))
            block += unit;
        while (out.size() < size)
            out.write(block);
        out.write(tail);
    }
    return file.toStdString();
}

// A hostile list: a record of Kovács Ödön opening a quote it never closes
// early on, then ordinary records up to 150 MB.
std::string unclosedQuote()
{
    return bigList("nyitott-idezojel.csv",
                   QByteArray::fromStdString(toWin1250("Vezetéknév;Keresztnév;Beosztás;Telefon;Email\r\n"
                                                       "Kovács;Ödön;\"Területi; vezető;+36 30 1000000;odon@tuzep.hu\r\n")),
                   QByteArray::fromStdString(toWin1250("Kovács;Ödön;Területi vezető;+36 30 1000000;odon@tuzep.hu\r\n")),
                   150LL << 20);
}

// A hostile list: one line of 200 MB, values of 2,000 letters one after
// another, as a file that lost its line ends might hold.
std::string oneLongLine()
{
    return bigList("egy-sor.csv", "Vezetéknév;Keresztnév\r\n", QByteArray(2000, 'a') + ';', 200LL << 20, "\r\n");
}

// The whole process, its wall time and its peak memory; status is the exit
// status it should end with (1 for a list it refuses).
void runCli(benchmark::State& state, const std::string& data, int expectedStatus = 0,
            std::vector<std::string> more = {})
{
    const std::string card = cardWith("sablon.bcrd", qrPng(contact(-1)));
    const std::string cli = (fs::canonical("/proc/self/exe").parent_path() / "lapora-cli").string();
    const std::string out = path("korlevel.pdf").toStdString();
    std::vector<std::string> command = {cli, "render", card, "--merge", data, "--pdf", out, "--copies", "1"};
    command.insert(command.end(), more.begin(), more.end());
    timeWholeProcess(state, command, expectedStatus,
                     expectedStatus == 0 ? "lapora-cli render --merge failed"
                                         : "lapora-cli render --merge did not refuse the list");
    if (expectedStatus == 0)
        state.counters["pdf_MB"] = double(fs::file_size(out)) / 1e6;
}

void BM_MergeThousand(benchmark::State& state) { runCli(state, list(1000)); }
void BM_MergeHundredThousand(benchmark::State& state) { runCli(state, list(100000)); }
BENCHMARK(BM_MergeThousand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_MergeHundredThousand)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_MergeThousandLongTitlesUnfitted(benchmark::State& state) { runCli(state, longTitles(1000), 0, {"--fit", "off"}); }
void BM_MergeThousandLongTitlesFitted(benchmark::State& state) { runCli(state, longTitles(1000), 0, {"--fit", "shrink"}); }
BENCHMARK(BM_MergeThousandLongTitlesUnfitted)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);
BENCHMARK(BM_MergeThousandLongTitlesFitted)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(7);

// Hostile lists are refused, and their peak stays under 100 MB: the reader
// never holds more than one bounded record, whatever the file holds.
void BM_MergeUnclosedQuote150MB(benchmark::State& state) { runCli(state, unclosedQuote(), 1); }
void BM_MergeOneLine200MB(benchmark::State& state) { runCli(state, oneLongLine(), 1); }
BENCHMARK(BM_MergeUnclosedQuote150MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_MergeOneLine200MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Opening the card and drawing it at 300 dpi. Each round opens another of
// many cards, so that no picture comes from the caches of one before.
void openAndRender(benchmark::State& state, bool qr)
{
    constexpr int Cards = 200;
    static std::vector<std::string> files[2];
    std::vector<std::string>& made = files[qr];
    if (made.empty()) {
        for (int i = 0; i < Cards; ++i) {
            std::string png = qrPng(contact(i));
            if (!qr) {
                // The same pixels without the contents.
                const QImage code = decodePicture(png, ".png").convertToFormat(QImage::Format_Mono);
                QImage plain(code.size(), QImage::Format_Mono);
                plain.setColorTable(code.colorTable());
                for (int y = 0; y < code.height(); ++y)
                    std::memcpy(plain.scanLine(y), code.constScanLine(y), std::size_t(code.bytesPerLine()));
                QByteArray bytes;
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                plain.save(&buffer, "PNG");
                png = bytes.toStdString();
                if (readQrPicture(png, ".png"))
                    state.SkipWithError("the plain picture still reads as a QR code");
            }
            made.push_back(cardWith(qPrintable(QStringLiteral("%1%2.bcrd").arg(qr ? "qr" : "kep").arg(i)), png));
        }
    }
    int next = 0;
    for (auto _ : state) {
        PrintJob card = jobOf(*loadCardReport(QString::fromStdString(made[next++ % Cards])));
        card.pages = JobPages::Card;
        benchmark::DoNotOptimize(pagePicture(card, 0, 300));
    }
}

void BM_OpenAndRenderQrCard(benchmark::State& state) { openAndRender(state, true); }
void BM_OpenAndRenderPictureCard(benchmark::State& state) { openAndRender(state, false); }
BENCHMARK(BM_OpenAndRenderPictureCard)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_OpenAndRenderQrCard)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace
