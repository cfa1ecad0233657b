// The print shop's PDF as a whole process: lapora-cli render --print-shop
// of one card should take under 1 s, of a 100-person merge with backs
// under 20 s, its peak memory (any one process of it, Ghostscript
// included) flat; and beside it a bare Ghostscript conversion of the same
// drawn pages, the floor the whole should stay within 1.3 × of. Run
// build/print_shop_bench.
#include "bench/WholeProcess.h"
#include "print/ColorProfile.h"
#include "print/PrintJob.h"
#include "print/PrintShop.h"
#include "print/rptLapora.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

std::string path(const char* name)
{
    return folder().filePath(QString::fromLatin1(name)).toStdString();
}

fs::path beside(const char* program)
{
    return fs::canonical("/proc/self/exe").parent_path() / program;
}

// A card as people make them: a band along the foot that bleeds, a logo
// drawn as a shape, a name, a title and the contacts; placeholders for the
// merge.
std::string card(const char* name, const std::string& records)
{
    const std::string json = path((std::string(name) + ".json").c_str());
    std::ofstream(json) << R"({"records": [)" << records << "]}";
    const std::string out = path(name);
    const std::string command = beside("lapora-cli").string() + " build " + json + " " + out;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot build " + out);
    return out;
}

std::string front()
{
    return card("elo.bcrd",
                R"({"tipus": 2, "left": 0, "top": 160, "width": 340, "height": 30, "brushcolor": 8388608, "pencolor": 8388608},
                   {"tipus": 2, "left": 270, "top": 15, "width": 50, "height": 50, "brushcolor": 255, "shape": 1},
                   {"tipus": 0, "nev": "{Név}", "left": 20, "top": 20, "betutipus": "DejaVu Sans", "betumeret": 14, "felkover": true},
                   {"tipus": 0, "nev": "{Beosztás}", "left": 20, "top": 50, "betutipus": "DejaVu Sans", "betumeret": 9},
                   {"tipus": 0, "nev": "+36 30 123 4567  ·  {Email}", "left": 20, "top": 120, "betutipus": "DejaVu Sans", "betumeret": 8})");
}

std::string back()
{
    return card("hat.bcrd", R"({"tipus": 2, "left": 0, "top": 0, "width": 340, "height": 190, "brushcolor": 8388608},
                               {"tipus": 0, "nev": "Tűzép Kft.", "left": 110, "top": 80, "betutipus": "DejaVu Sans", "betumeret": 16, "szin": 16777215})");
}

std::string people(int count)
{
    const std::string file = path("lista.csv");
    std::ofstream out(file);
    out << "Név;Beosztás;Email\n";
    for (int i = 0; i < count; ++i)
        out << "Kovács Ödön " << i << ";területi vezető;odon" << i << "@tuzep.hu\n";
    return file;
}

void BM_PrintShopOneCard(benchmark::State& state)
{
    timeWholeProcess(state, {beside("lapora-cli").string(), "render", front(), "--print-shop", path("egy.pdf")}, 0,
                     "lapora-cli render --print-shop failed");
}

void BM_PrintShopHundredWithBacks(benchmark::State& state)
{
    timeWholeProcess(state, {beside("lapora-cli").string(), "render", front(), "--print-shop", path("szaz.pdf"), "--back",
                       back(), "--merge", people(100)},
                     0, "lapora-cli render --print-shop failed");
}

// Ghostscript alone on the pages as drawn for the one card: the floor.
void BM_GhostscriptFloorOneCard(benchmark::State& state)
{
    PrintJob job;
    job.cards = CardSource(loadCardReport(QString::fromStdString(front()))->Printables);
    const std::string drawn = path("rajz.pdf");
    printshop::writeDrawnPages(job, {}, QString::fromStdString(drawn));
    const std::string profiles = printShopProfileDir().toStdString();
    timeWholeProcess(state, {"/usr/bin/gs", "-q", "-dBATCH", "-dNOPAUSE", "-dSAFER", "-sDEVICE=pdfwrite", "-dPDFX",
                       "-sColorConversionStrategy=CMYK", "-sProcessColorModel=DeviceCMYK",
                       "-sICCProfilesDir=" + profiles + "/gs/", "-sOutputFile=" + path("gs.pdf"), drawn},
                     0, "Ghostscript failed");
}

} // namespace

BENCHMARK(BM_PrintShopOneCard)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_GhostscriptFloorOneCard)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(BM_PrintShopHundredWithBacks)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
