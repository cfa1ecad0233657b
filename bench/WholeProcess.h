#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A whole process each iteration: its wall time is the iteration's time,
// and the peak memory of it or of any process it waited for (Ghostscript
// under lapora-cli) is reported as peak_MB. A run that does not end with
// the expected status stops the benchmark with failure as its message. What
// the process says on standard error (a merge's report, a refusal) is not
// shown among the figures.
inline void timeWholeProcess(benchmark::State& state, std::vector<std::string> arguments, int expectedStatus,
                             const char* failure)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    long peakKb = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            if (const int quiet = open("/dev/null", O_WRONLY); quiet >= 0)
                dup2(quiet, STDERR_FILENO);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus)
            state.SkipWithError(failure);
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    state.counters["peak_MB"] = peakKb / 1024.0;
}
