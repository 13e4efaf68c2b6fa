// An Xvfb of the benchmark's own, for benchmarks that need an X server when $DISPLAY is unset.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

extern char** environ;

namespace bench {

// Starts Xvfb with a screen of `screen` (width x height x depth) on a free display number between
// 50 and 249 and points $DISPLAY at it; its process id, or 0.
inline pid_t startXvfb(const char* screen = "1280x800x24") {
    std::mt19937 rng(static_cast<unsigned>(getpid()));
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int number = 50 + static_cast<int>(rng() % 200);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (std::filesystem::exists(socket)) continue;
        const std::string name = ":" + std::to_string(number);
        const char* argv[] = {"Xvfb",     name.c_str(), "-screen", "0",    screen,
                              "-noreset", "-nolisten",  "tcp",     nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return 0;
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (std::filesystem::exists(socket)) {
            setenv("DISPLAY", name.c_str(), 1);
            return pid;
        }
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    return 0;
}

// Ends an Xvfb from startXvfb(); SIGTERM lets it remove its socket and lock file.
inline void stopXvfb(pid_t pid) {
    if (pid == 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

}  // namespace bench
