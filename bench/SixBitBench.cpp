#include <benchmark/benchmark.h>

#include "storage/CsvValue.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// Every figure counts bytes of the binary side (the blob), for encoding and
// decoding alike, so the four throughputs compare directly. base64 runs with
// -w 0: our text has no line breaks either, and wrapped input slows its
// decoder down by half.
namespace {

constexpr std::size_t BlobSize = 16 << 20;

const std::string& blob()
{
    static const std::string bytes = [] {
        std::string out(BlobSize, '\0');
        std::mt19937_64 random(1250);
        for (char& c : out)
            c = static_cast<char>(random());
        return out;
    }();
    return bytes;
}

// Runs argv with stdin from input and stdout to output; returns its exit code.
int run(const std::vector<const char*>& argv, const std::string& input, const std::string& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    for (const char* arg : argv)
        args.push_back(const_cast<char*>(arg));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The blob and its base64 text as files in memory-backed storage, made once
// and removed when the run ends.
struct ToolFiles
{
    std::string blobPath;
    std::string textPath;

    ToolFiles()
    {
        const char* tmp = std::getenv("TMPDIR");
        const std::string dir = tmp && *tmp ? tmp : (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        const std::string stem = dir + "/sixbit-bench-" + std::to_string(getpid());
        blobPath = stem + ".bin";
        textPath = stem + ".b64";
        if (FILE* file = std::fopen(blobPath.c_str(), "wb")) {
            std::fwrite(blob().data(), 1, blob().size(), file);
            std::fclose(file);
        }
        run({"base64", "-w", "0"}, blobPath, textPath);
    }
    ~ToolFiles()
    {
        std::remove(blobPath.c_str());
        std::remove(textPath.c_str());
    }
};

const ToolFiles& toolFiles()
{
    static const ToolFiles files;
    return files;
}

void SixBitEncode(benchmark::State& state)
{
    const std::string& bytes = blob();
    std::string text(csv::sixBitEncodedSize(bytes.size()), '\0');
    for (auto _ : state) {
        csv::sixBitEncode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text.data());
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void SixBitDecode(benchmark::State& state)
{
    const std::string text = csv::encodeSixBit(blob());
    std::string bytes(csv::sixBitDecodedSize(text.size()), '\0');
    for (auto _ : state) {
        csv::sixBitDecode(text.data(), text.size(), reinterpret_cast<unsigned char*>(bytes.data()));
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
    if (bytes != blob())
        state.SkipWithError("decoded bytes differ from the blob");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(BlobSize));
}

void timeTool(benchmark::State& state, const std::vector<const char*>& argv, const std::string& input)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int exitCode = run(argv, input, "/dev/null");
        const auto stop = std::chrono::steady_clock::now();
        if (exitCode != 0) {
            state.SkipWithError("base64 did not run");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(BlobSize));
}

void Base64Encode(benchmark::State& state)
{
    timeTool(state, {"base64", "-w", "0"}, toolFiles().blobPath);
}

void Base64Decode(benchmark::State& state)
{
    timeTool(state, {"base64", "-d"}, toolFiles().textPath);
}

} // namespace

BENCHMARK(SixBitEncode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SixBitDecode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Base64Encode)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(Base64Decode)->Unit(benchmark::kMillisecond)->UseManualTime();
