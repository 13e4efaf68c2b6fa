// The control server on loopback: PING round trips (p50, p99) and command lines handled per
// second on one admitted connection. Runs the real server in-process on ephemeral ports with the
// simulated platform, so the figures are the server's own cost plus the loopback stack.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "LoopbackRig.h"
#include "core/net/NetServer.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"

using namespace velora;

namespace {

// A server on the simulated platform: input is discarded, so the figures are the server's own.
Platform simPlatform() {
    Platform platform;
    platform.events = std::make_shared<sim::DiscardingEventSink>();
    platform.keymap = std::make_shared<macos::MacKeymap>();
    auto displays = std::make_shared<sim::SimDisplays>();
    displays->displays = {{0, 0, 1920, 1080}};
    displays->mainDisplay = displays->displays.front();
    platform.displays = displays;
    platform.system = std::make_shared<sim::SimSystemInfo>();
    return platform;
}

loopback::LoopbackRig& fixture() {
    static loopback::LoopbackRig rig(simPlatform(), "control");
    return rig;
}

void PingRoundTrip(benchmark::State& state) {
    loopback::LoopbackRig& f = fixture();
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        f.phone->sendAll("PING\n");
        f.phone->readLine();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}
BENCHMARK(PingRoundTrip)->Iterations(20000)->UseRealTime();

// Pointer lines streamed in batches; a PING after each batch proves every line was handled.
void CommandLinesPerSecond(benchmark::State& state) {
    loopback::LoopbackRig& f = fixture();
    const int lines = static_cast<int>(state.range(0));
    std::string batch;
    for (int i = 0; i < lines; ++i) batch += (i % 2 ? "M 3 -2\n" : "M -3 2\n");
    batch += "PING\n";
    for (auto _ : state) {
        f.phone->sendAll(batch);
        f.phone->readLine();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(CommandLinesPerSecond)->Arg(10000)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
