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
#include "LoopbackRig.h"
#include "core/net/NetServer.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11Displays.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"

using namespace velora;
using Clock = std::chrono::steady_clock;

namespace {

// Passes everything on and notes, at each flush, when it happened and how many moves it carried.
class FlushClock : public EventSink {
public:
    explicit FlushClock(std::shared_ptr<EventSink> inner) : inner_(std::move(inner)) {}
    Point pointerLocation() override { return inner_->pointerLocation(); }
    void mouseMove(Point to, std::optional<MouseButton> held) override {
        inner_->mouseMove(to, held);
        moves_.fetch_add(1, std::memory_order_relaxed);
    }
    void mouseButton(MouseButton b, bool down, Point at) override {
        inner_->mouseButton(b, down, at);
    }
    void scroll(int32_t v, int32_t h) override { inner_->scroll(v, h); }
    void key(const KeyStroke& k) override { inner_->key(k); }
    void text(std::string_view cluster) override { inner_->text(cluster); }
    void media(int keyType) override { inner_->media(keyType); }
    bool trusted() override { return inner_->trusted(); }
    void flush() override {
        inner_->flush();
        flushedAt_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        flushedMoves_.store(moves_.load(std::memory_order_relaxed), std::memory_order_release);
    }

    uint64_t flushedMoves() const { return flushedMoves_.load(std::memory_order_acquire); }
    Clock::time_point flushedAt() const {
        return Clock::time_point(Clock::duration(flushedAt_.load(std::memory_order_relaxed)));
    }
    // Waits until a flush has carried more than `moves` moves.
    void waitPast(uint64_t moves) const {
        while (flushedMoves() <= moves) std::this_thread::yield();
    }

private:
    std::shared_ptr<EventSink> inner_;
    std::atomic<uint64_t> moves_{0};
    std::atomic<uint64_t> flushedMoves_{0};
    std::atomic<Clock::rep> flushedAt_{0};
};

// A loopback rig whose input passes through a FlushClock, with the pointer put mid-screen.
struct Rig {
    std::shared_ptr<FlushClock> sink;
    loopback::LoopbackRig loop;
    loopback::LoopbackPhone* phone;

    Rig(Platform platform, const std::string& tag)
        : sink(std::make_shared<FlushClock>(platform.events)),
          loop(withEvents(std::move(platform), sink), "input-" + tag),
          phone(loop.phone.get()) {
        phone->sendAll("MA 32768 32768\nPING\n");
        phone->readLine();
    }
    static Platform withEvents(Platform platform, std::shared_ptr<EventSink> events) {
        platform.events = std::move(events);
        return platform;
    }
};

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
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(state.max_iterations));
    bool odd = false;
    for (auto _ : state) {
        const uint64_t before = rig->sink->flushedMoves();
        const auto sent = Clock::now();
        rig->phone->sendAll((odd = !odd) ? "M 3 -2\n" : "M -3 2\n");
        rig->sink->waitPast(before);
        micros.push_back(
            std::chrono::duration<double, std::micro>(rig->sink->flushedAt() - sent).count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
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
        const uint64_t target = rig->sink->flushedMoves() + lines - 1;
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
