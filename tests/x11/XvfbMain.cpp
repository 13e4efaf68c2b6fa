// Runs the X11 tests against an Xvfb of their own on a free display number, ended by process id.
#include <gtest/gtest.h>
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

namespace {

pid_t startXvfb(int display) {
    const std::string name = ":" + std::to_string(display);
    const char* argv[] = {"Xvfb", name.c_str(), "-screen", "0", "1280x800x24", "-noreset",
                          "-nolisten", "tcp", nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return 0;
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
    for (int i = 0; i < 100; ++i) {
        if (std::filesystem::exists(socket)) return pid;
        if (waitpid(pid, nullptr, WNOHANG) == pid) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::mt19937 rng(static_cast<unsigned>(getpid()));
    pid_t xvfb = 0;
    int display = 0;
    for (int attempt = 0; attempt < 10 && xvfb == 0; ++attempt) {
        display = 50 + static_cast<int>(rng() % 200);
        if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(display))) continue;
        xvfb = startXvfb(display);
    }
    if (xvfb == 0) {
        fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    const int result = RUN_ALL_TESTS();
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}
