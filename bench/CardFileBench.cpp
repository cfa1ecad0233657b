// Save and load of a card whose one picture layer holds 5 MB, beside plain
// buffered I/O of the same bytes, and the peak memory of a load.
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <cstdlib>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t PictureBytes = 5 * 1000 * 1000;

fs::path benchDir()
{
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("lapora-bench-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

LayerTable& pictureCard()
{
    static LayerTable table = [] {
        LayerTable t = makeLayerTable();
        t.OpenTable();
        std::string picture(PictureBytes, '\0');
        std::mt19937_64 random(42);
        for (std::size_t i = 0; i + 8 <= picture.size(); i += 8) {
            std::uint64_t word = random();
            std::memcpy(picture.data() + i, &word, 8);
        }
        t.AddNewRecord();
        t.WriteField(Field::sorszam, 1);
        t.WriteField(Field::tipus, 1);
        t.WriteField(Field::nev, std::string("k\xE9p1"));
        t.WriteBlob(Field::kep, std::move(picture));
        t.WriteField(Field::keptip, std::string(".jpg"));
        t.WriteField(Field::compnev, std::string("img1804289383"));
        t.WriteField(Field::strech, true);
        t.PostRecord();
        return t;
    }();
    return table;
}

const fs::path& savedCard()
{
    static fs::path path = [] {
        fs::path p = benchDir() / "picture.bcrd";
        pictureCard().SaveFile(p);
        return p;
    }();
    return path;
}

void BM_SaveCard(benchmark::State& state)
{
    LayerTable& table = pictureCard();
    fs::path out = benchDir() / "save.bcrd";
    for (auto _ : state)
        table.SaveFile(out);
    state.SetBytesProcessed(state.iterations() * fs::file_size(out));
}
BENCHMARK(BM_SaveCard)->Unit(benchmark::kMillisecond)->MinTime(2);

// The same bytes through stdio, flushed to disk as the save does.
void BM_PlainWriteSameBytes(benchmark::State& state)
{
    std::string bytes(fs::file_size(savedCard()), 'x');
    fs::path out = benchDir() / "plain.out";
    for (auto _ : state) {
        FILE* f = std::fopen(out.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fflush(f);
        ::fdatasync(::fileno(f));
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_PlainWriteSameBytes)->Unit(benchmark::kMillisecond)->MinTime(2);

// Without the flush to disk, for comparison with the save's own work.
void BM_PlainWriteSameBytesNoSync(benchmark::State& state)
{
    std::string bytes(fs::file_size(savedCard()), 'x');
    fs::path out = benchDir() / "plain.out";
    for (auto _ : state) {
        FILE* f = std::fopen(out.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_PlainWriteSameBytesNoSync)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_LoadCard(benchmark::State& state)
{
    const fs::path& card = savedCard();
    for (auto _ : state) {
        LayerTable table = makeLayerTable();
        table.LoadFile(card);
        benchmark::DoNotOptimize(table.ReadBlob(Field::kep).data());
    }
    state.SetBytesProcessed(state.iterations() * fs::file_size(card));
}
BENCHMARK(BM_LoadCard)->Unit(benchmark::kMillisecond)->MinTime(2);

// Reading the file into a fresh buffer of its size, 8 KiB at a time.
void BM_PlainReadSameBytes(benchmark::State& state)
{
    const fs::path& card = savedCard();
    const std::size_t size = fs::file_size(card);
    for (auto _ : state) {
        std::string bytes;
        bytes.resize(size);
        FILE* f = std::fopen(card.c_str(), "rb");
        std::size_t done = 0;
        while (std::size_t n = std::fread(bytes.data() + done, 1, std::min<std::size_t>(8192, size - done), f))
            done += n;
        std::fclose(f);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_PlainReadSameBytes)->Unit(benchmark::kMillisecond)->MinTime(2);

// Resident memory in KiB from /proc/self/status: "VmRSS" now or "VmHWM", the
// peak since the last reset.
long statusKiB(const char* key)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, std::strlen(key)) == 0)
            value = std::atol(line + std::strlen(key) + 1);
    }
    std::fclose(f);
    return value;
}

void resetPeakResident()
{
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    std::fputs("5", f);
    std::fclose(f);
}

// A child process loads the card once; the rise of its peak resident size
// is the load's peak memory.
void BM_LoadPeakMemory(benchmark::State& state)
{
    const fs::path& card = savedCard();
    const double fileMiB = static_cast<double>(fs::file_size(card)) / (1024 * 1024);
    double peakMiB = 0;
    for (auto _ : state) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            state.SkipWithError("pipe");
        pid_t child = ::fork();
        if (child == 0) {
            // Hand back what earlier benchmarks left in the heap, so that the
            // load has to touch fresh memory as it would in a new process.
            ::malloc_trim(0);
            LayerTable table = makeLayerTable();
            resetPeakResident();
            long before = statusKiB("VmRSS");
            table.LoadFile(card);
            long rise = statusKiB("VmHWM") - before;
            ::write(pipeFds[1], &rise, sizeof rise);
            ::_exit(0);
        }
        long rise = 0;
        ::read(pipeFds[0], &rise, sizeof rise);
        ::waitpid(child, nullptr, 0);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        peakMiB = static_cast<double>(rise) / 1024;
    }
    state.counters["file_MiB"] = fileMiB;
    state.counters["peak_MiB"] = peakMiB;
    state.counters["peak_per_file"] = peakMiB / fileMiB;
}
BENCHMARK(BM_LoadPeakMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
