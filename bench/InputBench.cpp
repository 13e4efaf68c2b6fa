// Pointer moves through X11EventSink into an X server: moves per second with one XFlush per
// batch of N moves, and the cost of one move. Uses $DISPLAY, or an Xvfb of its own when unset.
#include <benchmark/benchmark.h>
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

#include "platform/linux/X11EventSink.h"

extern char** environ;

namespace {

// Starts Xvfb on a free display number between 50 and 249; its process id, or 0.
pid_t startXvfb() {
    std::mt19937 rng(static_cast<unsigned>(getpid()));
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int number = 50 + static_cast<int>(rng() % 200);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (std::filesystem::exists(socket)) continue;
        const std::string name = ":" + std::to_string(number);
        const char* argv[] = {"Xvfb",     name.c_str(), "-screen", "0",    "1280x800x24",
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

// N moves along a diagonal, then one flush; counters report moves per second.
void pointerMoves(benchmark::State& state) {
    velora::linux_::X11EventSink sink(nullptr);
    if (!sink.trusted()) {
        state.SkipWithError("no X display with XTEST");
        return;
    }
    const int batch = static_cast<int>(state.range(0));
    int step = 0;
    for (auto _ : state) {
        for (int i = 0; i < batch; ++i, ++step) {
            const double position = step % 700;
            sink.mouseMove({position, position}, std::nullopt);
        }
        sink.flush();
    }
    // A round trip inside the timing: the server has handled every move when the clock stops.
    sink.pointerLocation();
    const double moves = static_cast<double>(state.iterations()) * batch;
    state.counters["moves/s"] = benchmark::Counter(moves, benchmark::Counter::kIsRate);
    state.counters["per move"] =
        benchmark::Counter(moves, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(pointerMoves)->Arg(1)->Arg(8)->Arg(64)->Arg(512)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    pid_t xvfb = 0;
    if (std::getenv("DISPLAY") == nullptr && (xvfb = startXvfb()) == 0) {
        fprintf(stderr, "no DISPLAY and Xvfb could not be started\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (xvfb != 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return 0;
}
