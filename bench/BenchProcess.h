// Processes a benchmark starts and the CPU time they use, and a live view run for a while with
// its CPU time measured.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/screen/ScreenStreamer.h"

extern char** environ;

namespace bench {

using Seconds = std::chrono::duration<double>;

// CPU seconds (user + system) of a process from /proc/<pid>/stat.
inline double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
}

inline pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : 0;
}

inline void end(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

struct Usage {
    double seconds;
    double processCpu;
    double serverCpu;
};

// CPU time of this process and of a display server from the moment it is made.
struct Meter {
    pid_t process;
    pid_t server;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double processStart = cpuSeconds(process);
    double serverStart = cpuSeconds(server);
    Usage read() const {
        return {Seconds(std::chrono::steady_clock::now() - start).count(),
                cpuSeconds(process) - processStart, cpuSeconds(server) - serverStart};
    }
};

// Runs a live view of `source` at 1280 wide, quality 60, for `seconds` after one second of
// warming up; the usage and the number of JPEG frames sent in that time.
inline std::pair<Usage, int> runView(std::unique_ptr<velora::ScreenSource> source, pid_t server,
                                     double seconds) {
    std::atomic<int> jpegs{0};
    std::atomic<velora::ScreenStreamer*> view{nullptr};
    velora::ScreenStreamer::Target target{
        [](std::string) {},
        [&](std::vector<uint8_t> frame, std::function<void(bool)> done) {
            if (frame.size() > 4) ++jpegs;
            done(true);
            if (auto* v = view.load()) v->ack();
        }};
    velora::ScreenStreamer streamer(
        std::move(source), target, 1280, 60, [] { return true; }, [] {});
    view = &streamer;
    streamer.start();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const int before = jpegs;
    Meter meter{getpid(), server};
    std::this_thread::sleep_for(Seconds(seconds));
    const Usage usage = meter.read();
    const int sent = jpegs - before;
    streamer.stop();
    return {usage, sent};
}

}  // namespace bench
