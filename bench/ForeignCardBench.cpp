// A foreign card with fifty thousand text fields of its own and two layers
// (about 2.4 MB): loading it in the designer's table, and `lapora-cli dump`
// as a whole process. Both should take well under 5 s, the table no more
// than twice the file and 16 MB. Run build/foreign_card_bench.
#include "layer/LayerRecord.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>

namespace fs = std::filesystem;

namespace {

const fs::path& foreignCard()
{
    static const fs::path path = [] {
        const fs::path dir = fs::temp_directory_path() / "lapora-foreign-card";
        fs::create_directories(dir);
        LayerTable table = makeLayerTable();
        table.OpenTable();
        table.SaveFile(dir / "empty.bcrd");
        std::ifstream in(dir / "empty.bcrd", std::ios::binary);
        const std::string start{std::istreambuf_iterator<char>(in), {}};
        const std::size_t indexes = start.find("\"@@INDEXDEF START@@\"");
        const std::size_t header = start.find("\"#\",");
        std::string definitions, names;
        for (int i = 0; i < 50000; ++i) {
            const std::string name = "mezo" + std::to_string(i);
            definitions += "\"" + name + "=String,20,\"\"" + name + "\"\",\"\"\"\",20,Data,\"\"\"\"\"\r\n";
            names += "\"" + name + "\",";
        }
        const std::string standard = "\"1\",\"0\",\"Anna\",\"10\",\"10\",\"100\",\"100\",\"Arial\",\"8\",\"False\","
                                     "\"False\",\"False\",\"0\",\"0\",\"0\",,,\"0\",\"0\",\"lbl1\",\"0\",\"0\",\"0\","
                                     "\"0\",\"0\",\"0\",\"False\",";
        std::string card = start.substr(0, indexes) + definitions + start.substr(indexes, header - indexes)
            + start.substr(header, start.size() - header - 2) + names + "\r\n";
        for (int layer = 0; layer < 2; ++layer)
            card += standard + std::string(49999, ',') + "\"x\",\r\n";
        const fs::path made = dir / "foreign.bcrd";
        std::ofstream(made, std::ios::binary) << card;
        return made;
    }();
    return path;
}

void BM_LoadForeignCard(benchmark::State& state)
{
    const fs::path& path = foreignCard();
    std::size_t used = 0;
    for (auto _ : state) {
        LayerTable table("Tbl");
        const std::size_t before = mallinfo2().uordblks;
        table.LoadFile(path);
        used = std::max(used, mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(table.RecordTotal());
    }
    state.counters["file_MiB"] = double(fs::file_size(path)) / (1 << 20);
    state.counters["table_MiB"] = double(used) / (1 << 20);
    state.counters["bound_MiB"] = double(2 * fs::file_size(path) + (16u << 20)) / (1 << 20);
}
BENCHMARK(BM_LoadForeignCard)->Unit(benchmark::kMillisecond)->Iterations(3);

// The whole lapora-cli process beside this program, its JSON thrown away.
void BM_DumpForeignCard(benchmark::State& state)
{
    const fs::path cli = fs::canonical("/proc/self/exe").parent_path() / "lapora-cli";
    const std::string command = cli.string() + " dump " + foreignCard().string() + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("lapora-cli dump failed");
    }
}
BENCHMARK(BM_DumpForeignCard)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
