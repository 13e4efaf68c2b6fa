// Pointer lines through the real control server into an X server: the time from a line leaving
// the phone's socket to the XFlush that carries its motion (p50, p99), and moves per second on one
// admitted loopback connection. The same runs against a sink that discards input show what the
// X side costs, and runs that read the monitors for every move what the monitor cache saves. Uses
// $DISPLAY, or an Xvfb of its own when unset.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "BenchXvfb.h"
#include "FlushClock.h"
#include "LoopbackRig.h"
#include "core/net/NetServer.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11Displays.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"

using namespace velora;
using bench::Rig;

namespace {

// The three paths compared: input discarded in-process; the X server with the program's
// monitor list; the X server with the monitors read afresh for every move.
enum Path { discarded, xServer, xServerFreshMonitors };

// Made on first use and ended before the X server goes away.
std::unique_ptr<Rig> rigs[3];

Platform platformFor(Path path) {
    auto platform = makeLinuxInputPlatform(nullptr);
    if (!platform || !platform->events->trusted()) return {};
    if (path == discarded) {
        platform->events = std::make_shared<sim::DiscardingEventSink>();
        auto displays = std::make_shared<sim::SimDisplays>();
        displays->displays = {{0, 0, 1280, 800}};
        displays->mainDisplay = displays->displays.front();
        platform->displays = displays;
    } else if (path == xServerFreshMonitors) {
        platform->displays =
            std::make_shared<linux_::X11Displays>(nullptr, std::chrono::seconds(0));
    }
    return *platform;
}

Rig* rigFor(benchmark::State& state) {
    static const char* const labels[] = {"discarded", "X server", "X server, monitors per move"};
    const auto path = static_cast<Path>(state.range(0));
    if (!rigs[path]) {
        Platform platform = platformFor(path);
        if (platform.events) rigs[path] = std::make_unique<Rig>(platform, std::to_string(path));
    }
    if (!rigs[path]) state.SkipWithError("no X display with XTEST");
    state.SetLabel(labels[path]);
    return rigs[path].get();
}

// One move line at a time: from just before the send to the flush that carried it.
void lineToFlush(benchmark::State& state) {
    Rig* rig = rigFor(state);
    if (rig == nullptr) return;
    bench::timeLineToFlush(state, *rig, "M 3 -2\n", "M -3 2\n");
}
BENCHMARK(lineToFlush)->DenseRange(0, 2)->Iterations(20000)->UseRealTime();

// Move lines streamed in batches; the clock stops at the flush that carried the batch's last move.
void movesPerSecond(benchmark::State& state) {
    Rig* rig = rigFor(state);
    if (rig == nullptr) return;
    const int lines = 10000;
    std::string batch;
    for (int i = 0; i < lines; ++i) batch += (i % 2 ? "M 3 -2\n" : "M -3 2\n");
    for (auto _ : state) {
        const uint64_t target = rig->sink->flushedEvents() + lines - 1;
        rig->phone->sendAll(batch);
        rig->sink->waitPast(target);
    }
    state.counters["moves/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * lines,
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(movesPerSecond)->DenseRange(0, 2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    pid_t xvfb = 0;
    if (std::getenv("DISPLAY") == nullptr && (xvfb = bench::startXvfb()) == 0) {
        std::fprintf(stderr, "no DISPLAY and Xvfb could not be started\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& rig : rigs) rig.reset();
    bench::stopXvfb(xvfb);
    return 0;
}
