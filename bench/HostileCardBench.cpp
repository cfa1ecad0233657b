// Loading hostile card files beside a plain one, at two sizes: the load
// time should grow in proportion to the file, and the peak memory stay
// within four times the file and a few megabytes, whether the file loads or
// is refused.
#include "layer/LayerRecord.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

enum Shape { Plain, CommaHeader, ManyFields, NulRuns, TinyRecords, HugeInteger, Sparse };
const char* const ShapeNames[] = {"plain", "comma_header", "many_fields", "nul_runs",
                                  "tiny_records", "huge_integer", "sparse_1TiB"};

fs::path benchDir()
{
    static fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("lapora-hostile-" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// The definition section of the program's own card and its header line.
std::string cardStart()
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    const fs::path path = benchDir() / "empty.bcrd";
    table.SaveFile(path);
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string definitionsOnly()
{
    const std::string start = cardStart();
    return start.substr(0, start.find("\"#\","));
}

std::string makeBytes(Shape shape, std::size_t size)
{
    std::string bytes;
    switch (shape) {
    case Plain: {
        // Picture layers of 1 MB each, as the program writes them.
        LayerTable table = makeLayerTable();
        table.OpenTable();
        for (int layer = 1; layer <= int(size >> 20) * 3 / 4; ++layer) {
            std::string picture(1 << 20, '\0');
            for (std::size_t i = 0; i < picture.size(); ++i)
                picture[i] = char((i * 2654435761u) >> 13);
            table.AddNewRecord();
            table.WriteField("sorszam", layer);
            table.WriteField("tipus", 1);
            table.WriteBlob("kep", std::move(picture));
            table.WriteField("keptip", std::string(".png"));
            table.PostRecord();
        }
        const fs::path path = benchDir() / "plain-made.bcrd";
        table.SaveFile(path);
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    case CommaHeader:
        bytes = definitionsOnly() + std::string(size, ',') + "\r\n";
        break;
    case ManyFields:
        bytes = "\"@@TABLEDEF START@@\"\r\n";
        for (int i = 0; bytes.size() < size; ++i)
            bytes += "\"f" + std::to_string(i) + "=Integer,0,\"\"\"\",\"\"\"\",10,Data,\"\"0\"\"\"\r\n";
        bytes += "\"@@TABLEDEF END@@\"\r\n";
        break;
    case NulRuns:
        bytes = cardStart() + std::string(size, '\0') + "\"1\",\r\n";
        break;
    case TinyRecords:
        bytes = cardStart();
        while (bytes.size() < size)
            bytes += "\"\"\n";
        break;
    case HugeInteger:
        bytes = cardStart() + "\"" + std::string(size, '7') + "\",\r\n";
        break;
    case Sparse:
        bytes = cardStart() + "\"1\",\r\n";
        break;
    }
    return bytes;
}

const fs::path& hostileFile(Shape shape, std::size_t size)
{
    static std::map<std::pair<int, std::size_t>, fs::path> made;
    fs::path& path = made[{shape, size}];
    if (path.empty()) {
        path = benchDir() / (std::string(ShapeNames[shape]) + "-" + std::to_string(size >> 20) + ".bcrd");
        const std::string bytes = makeBytes(shape, size);
        std::ofstream(path, std::ios::binary) << bytes;
        if (shape == Sparse)
            fs::resize_file(path, std::uintmax_t(1) << 40);
    }
    return path;
}

// Loads the file; false when it was refused.
bool load(const fs::path& path)
{
    LayerTable table = makeLayerTable();
    try {
        table.LoadFile(path);
        return true;
    } catch (const TableError&) {
        return false;
    }
}

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

struct Measured
{
    bool loaded = false;
    double ms = 0;
    double peakMiB = 0;
};

// One load in a fresh child, as a user's one Open would be: its time and the
// rise of its peak resident size.
Measured loadInChild(const fs::path& path)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::malloc_trim(0);
        FILE* clear = std::fopen("/proc/self/clear_refs", "w");
        std::fputs("5", clear);
        std::fclose(clear);
        const long before = statusKiB("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        Measured measured;
        measured.loaded = load(path);
        measured.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        measured.peakMiB = double(statusKiB("VmHWM") - before) / 1024;
        ::write(pipeFds[1], &measured, sizeof measured);
        ::_exit(0);
    }
    Measured measured;
    ::read(pipeFds[0], &measured, sizeof measured);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return measured;
}

void BM_LoadHostile(benchmark::State& state)
{
    const auto shape = static_cast<Shape>(state.range(0));
    const std::size_t size = std::size_t(state.range(1)) << 20;
    const fs::path& path = hostileFile(shape, size);
    Measured worst;
    for (auto _ : state) {
        const Measured measured = loadInChild(path);
        worst.loaded = measured.loaded;
        worst.ms = std::max(worst.ms, measured.ms);
        worst.peakMiB = std::max(worst.peakMiB, measured.peakMiB);
    }
    // A sparse file's size is mostly hole: it is measured by what it holds.
    const double fileMiB = double(shape == Sparse ? makeBytes(Sparse, 0).size() : fs::file_size(path)) / (1 << 20);
    state.SetLabel(std::string(ShapeNames[shape]) + (worst.loaded ? " loads" : " refused"));
    state.counters["file_MiB"] = fileMiB;
    state.counters["load_ms"] = worst.ms;
    state.counters["ms_per_MiB"] = worst.ms / fileMiB;
    state.counters["peak_MiB"] = worst.peakMiB;
    state.counters["peak_per_file"] = worst.peakMiB / fileMiB;
}

void hostileArguments(benchmark::internal::Benchmark* bench)
{
    for (int shape = Plain; shape <= Sparse; ++shape)
        for (int mib : {8, 32})
            bench->Args({shape, mib});
}
BENCHMARK(BM_LoadHostile)->Apply(hostileArguments)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
