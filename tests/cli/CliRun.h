#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using nlohmann::json;

const std::string Example = TEST_DATA_DIR "/worked-example.bcrd";

struct CliRun
{
    int status;
    std::string out;
};

// What a shell command prints, and its exit status.
inline CliRun runCommand(const std::string& command)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    int status = ::pclose(pipe);
    return {WEXITSTATUS(status), out};
}

inline CliRun run(const std::string& arguments)
{
    return runCommand(std::string(LAPORA_CLI) + " " + arguments + " 2>/dev/null");
}

// The text a page of a PDF shows, as a PDF reader finds it, in the order
// it is drawn.
inline std::string pdfText(const fs::path& pdf, int page)
{
    return runCommand("pdftotext -raw -enc UTF-8 -f " + std::to_string(page) + " -l " + std::to_string(page) + " '"
                      + pdf.string() + "' - 2>/dev/null")
        .out;
}

inline std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("cli-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // The designer's settings, which lapora-cli reads its saved sheets
        // from, are the test's own, not the user's.
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }

    fs::path dir;
};

// What went to standard error, the output thrown away.
inline CliRun runForMessages(const std::string& arguments)
{
    return runCommand(std::string(LAPORA_CLI) + " " + arguments + " 2>&1 >/dev/null");
}
