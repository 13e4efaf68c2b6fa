// Another phone's PING round trip while one phone types 780 000 bytes of "T" lines, against its
// round trip at rest, in the same run; and how long the typing takes with and without the pings.
// The sink spends 65 µs on each typed cluster, what a key press through XTest cost when 20 000 of
// them took 1.3 s, so the typing is as slow as on a real display.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "LoopbackRig.h"
#include "core/net/Protocol.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"

using namespace velora;
using Clock = std::chrono::steady_clock;

namespace {

class SlowTextSink : public sim::DiscardingEventSink {
public:
    void text(std::string_view) override {
        const auto until = Clock::now() + std::chrono::microseconds(65);
        while (Clock::now() < until) {
        }
    }
};

Platform slowPlatform() {
    Platform platform;
    platform.events = std::make_shared<SlowTextSink>();
    platform.keymap = std::make_shared<macos::MacKeymap>();
    platform.displays = std::make_shared<sim::SimDisplays>();
    platform.system = std::make_shared<sim::SimSystemInfo>();
    return platform;
}

double p99(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    return micros.empty() ? 0 : micros[micros.size() * 99 / 100];
}

double pingMicros(loopback::LoopbackPhone& phone) {
    const auto start = Clock::now();
    phone.sendAll("PING\n");
    phone.readLine();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void PingWhileAnotherPhoneTypes(benchmark::State& state) {
    loopback::LoopbackRig rig(slowPlatform(), "typing");
    loopback::LoopbackPhone typist(rig.server->controlPort(), rig.store->pair("T", "127.0.0.1"));
    // Nine lines of 2 600 family emoji (25 bytes each, one key press each): 585 000 bytes, 780 000
    // in Base64, each line under the 64 KiB limit.
    std::string family =
        "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7"
        "\xE2\x80\x8D\xF0\x9F\x91\xA6";
    std::string text;
    for (int i = 0; i < 2600; ++i) text += family;
    const std::string line = "T " + encodeBase64(text) + "\n";
    std::string lines;
    for (int i = 0; i < 9; ++i) lines += line;
    for (auto _ : state) {
        // The same text typed while nobody else talks, to show what the pings cost the typing.
        const auto aloneStart = Clock::now();
        typist.sendAll(lines + "PING\n");
        typist.readLine();
        const double alone = std::chrono::duration<double>(Clock::now() - aloneStart).count();
        std::vector<double> rest;
        for (int i = 0; i < 2000; ++i) rest.push_back(pingMicros(*rig.phone));
        std::atomic<bool> typed{false};
        std::thread typing([&] {
            typist.sendAll(lines + "PING\n");
            typist.readLine();
            typed = true;
        });
        std::vector<double> busy;
        const auto started = Clock::now();
        while (!typed) busy.push_back(pingMicros(*rig.phone));
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        typing.join();
        state.counters["base64_bytes"] = static_cast<double>(lines.size());
        state.counters["typing_s"] = seconds;
        state.counters["typing_alone_s"] = alone;
        state.counters["pings_while_typing"] = static_cast<double>(busy.size());
        state.counters["p99_rest_us"] = p99(rest);
        state.counters["p99_typing_us"] = p99(busy);
        state.counters["ratio"] = p99(busy) / p99(rest);
    }
}
BENCHMARK(PingWhileAnotherPhoneTypes)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
