// Card stock to PDF: one sheet of ten cards with a 1600 × 1200 photo, ten
// sheets of a hundred, and the hundred with a back side. The ten sheets
// should take under 3 × the time of one and their PDF under 1.3 × its size
// (the photo stored once); the back side under 1.5 × the time without it.
// And lapora-cli render of 1,000 copies at 300 dpi as PNG pages, a whole
// process: its peak memory stays under 200 MB, as a page is written as soon
// as it is drawn. Run build/card_stock_bench.
#include "bench/HundredLayerCard.h"
#include "bench/WholeProcess.h"

#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Cards
{
    QTemporaryDir dir;
    std::vector<LayerItem> front;
    std::vector<LayerItem> back;
};

const Cards& cards()
{
    static const Cards made = [] {
        Cards cards;
        const QByteArray photo = jpegBytes({1600, 1200}, 450 * 1000);
        LayerTable table = makeLayerTable();
        table.OpenTable();
        addLayer(table, 1, 1,
                 {{Field::kep, Blob{photo.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::width, 120},
                  {Field::height, 90}, {Field::strech, true}});
        addLayer(table, 2, 0, {{Field::nev, std::string("Kovacs Anna")}, {Field::left, 130}, {Field::top, 20}});
        addLayer(table, 3, 0, {{Field::nev, std::string("+36 30 123 4567")}, {Field::left, 130}, {Field::top, 60}});
        addLayer(table, 4, 2, {{Field::top, 170}, {Field::width, 340}, {Field::height, 20}, {Field::brushstyle, 4}});
        table.SaveFile(cards.dir.filePath("front.bcrd").toStdString());
        cards.front = loadCardReport(cards.dir.filePath("front.bcrd"))->Printables;
        LayerTable back = makeLayerTable();
        back.OpenTable();
        addLayer(back, 1, 2, {{Field::width, 340}, {Field::height, 190}, {Field::brushcolor, 0x804020}});
        addLayer(back, 2, 0, {{Field::nev, std::string("Lapora Kft.")}, {Field::left, 120}, {Field::top, 80}});
        back.SaveFile(cards.dir.filePath("back.bcrd").toStdString());
        cards.back = loadCardReport(cards.dir.filePath("back.bcrd"))->Printables;
        return cards;
    }();
    return made;
}

void pdfOfCopies(benchmark::State& state, int copies, bool withBack)
{
    PrintJob job;
    job.cards = CardSource(cards().front);
    job.copies = copies;
    if (withBack)
        job.cards.setBack(cards().back);
    qint64 size = 0;
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        writeSheetPdf(job, &buffer);
        size = bytes.size();
    }
    state.counters["pages"] = pageCount(job);
    state.counters["pdf_kB"] = size / 1000.0;
}

void BM_OneSheetToPdf(benchmark::State& state) { pdfOfCopies(state, 10, false); }
void BM_TenSheetsToPdf(benchmark::State& state) { pdfOfCopies(state, 100, false); }
void BM_TenSheetsWithBackToPdf(benchmark::State& state) { pdfOfCopies(state, 100, true); }
BENCHMARK(BM_OneSheetToPdf)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_TenSheetsToPdf)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_TenSheetsWithBackToPdf)->Unit(benchmark::kMillisecond)->MinTime(2);

// The whole lapora-cli process, its wall time and its peak memory.
void BM_ThousandCopiesToPngAt300Dpi(benchmark::State& state)
{
    const std::string cli =
        (std::filesystem::canonical("/proc/self/exe").parent_path() / "lapora-cli").string();
    const std::string card = cards().dir.filePath("front.bcrd").toStdString();
    const QTemporaryDir out;
    const std::string pages = QDir(out.path()).filePath("lap.png").toStdString();
    timeWholeProcess(state, {cli, "render", card, "--png", pages, "--dpi", "300", "--copies", "1000"}, 0,
                     "lapora-cli render --png failed");
    state.counters["pages"] = QDir(out.path()).entryList(QDir::Files).size();
}
BENCHMARK(BM_ThousandCopiesToPngAt300Dpi)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace
