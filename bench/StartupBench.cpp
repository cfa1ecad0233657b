// Start-up time and peak memory of the designer against a bare Qt window,
// offscreen and on a virtual X display:
//
//     build/startup_bench [runs]
//
// Time is wall time from fork to the child's "painted" line (its first paint
// has been flushed); memory is the child's peak resident set, from wait4().
// Each child gets a settings folder of its own and closes right after its
// first paint.

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

struct Sample
{
    double ms = 0;
    double peakMiB = 0;
};

struct Environment
{
    std::string name;
    std::vector<std::string> set;    // NAME=value
    std::vector<std::string> unset;  // NAME
};

// One run of the program; nothing when it did not report its paint.
std::optional<Sample> runOnce(const std::string& program, const Environment& env, bool quiet = false)
{
    int out[2];
    if (pipe(out) != 0)
        return std::nullopt;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        if (quiet) {
            if (FILE* null = std::fopen("/dev/null", "w"))
                dup2(fileno(null), STDERR_FILENO);
        }
        for (const std::string& name : env.unset)
            unsetenv(name.c_str());
        for (const std::string& pair : env.set)
            putenv(const_cast<char*>(pair.c_str()));
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    std::optional<Clock::time_point> painted;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, std::size_t(n));
        if (!painted && text.find("painted") != std::string::npos)
            painted = Clock::now();
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!painted || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return Sample{std::chrono::duration<double, std::milli>(*painted - start).count(), usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(const std::string& label, const std::string& program, const Environment& env, int runs)
{
    runOnce(program, env);  // warms the page cache
    std::vector<double> times;
    std::vector<double> peaks;
    for (int i = 0; i < runs; ++i) {
        if (const auto sample = runOnce(program, env)) {
            times.push_back(sample->ms);
            peaks.push_back(sample->peakMiB);
        }
    }
    if (times.empty()) {
        std::printf("%-12s %-10s  did not start\n", label.c_str(), env.name.c_str());
        return;
    }
    std::printf("%-12s %-10s  median %6.1f ms  min %6.1f ms  max %6.1f ms  peak %5.1f MiB  (%zu runs)\n",
                label.c_str(), env.name.c_str(), median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), median(peaks), times.size());
}

// Another server may hold a display through its lock file or, unseen from
// here, only through its abstract socket; clients would reach that one.
bool displayTaken(int number)
{
    const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
    if (fs::exists("/tmp/.X" + std::to_string(number) + "-lock") || fs::exists(name))
        return true;
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    const bool taken = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
    close(fd);
    return taken;
}

// A virtual X server for the whole run, on a display no one else uses.
struct VirtualDisplay
{
    pid_t pid = -1;
    std::string display;

    VirtualDisplay()
    {
        int number = 200 + getpid() % 500;
        while (displayTaken(number))
            ++number;
        display = ":" + std::to_string(number);
        pid = fork();
        if (pid == 0) {
            if (FILE* null = std::fopen("/dev/null", "w"))
                dup2(fileno(null), STDERR_FILENO);
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    ~VirtualDisplay()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const fs::path here = fs::absolute(fs::path(argv[0])).parent_path();
    const fs::path data = fs::temp_directory_path() / ("lapora-startup-bench-" + std::to_string(getpid()));
    fs::create_directories(data);
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::replace);

    const std::vector<std::string> common = {"LAPORA_QUIT_AFTER_SHOW_MS=0", "XDG_DATA_HOME=" + data.string(),
                                             "XDG_RUNTIME_DIR=" + data.string()};
    Environment offscreen{"offscreen", common, {"DISPLAY", "WAYLAND_DISPLAY"}};
    offscreen.set.push_back("QT_QPA_PLATFORM=offscreen");

    VirtualDisplay xvfb;
    Environment x11{"Xvfb", common, {"WAYLAND_DISPLAY"}};
    x11.set.push_back("QT_QPA_PLATFORM=xcb");
    x11.set.push_back("DISPLAY=" + xvfb.display);

    // The bare window tells when the server takes clients.
    bool xReady = false;
    for (int attempt = 0; xvfb.pid > 0 && !xReady && attempt < 50; ++attempt) {
        xReady = runOnce((here / "bare_window").string(), x11, true).has_value();
        if (!xReady)
            usleep(100 * 1000);
    }

    for (const Environment* env : {&offscreen, &x11}) {
        if (env == &x11 && !xReady) {
            std::printf("Xvfb did not start; the X measurements are skipped\n");
            continue;
        }
        measure("lapora", (here / "lapora").string(), *env, runs);
        measure("bare_window", (here / "bare_window").string(), *env, runs);
    }
    fs::remove_all(data);
    return 0;
}
