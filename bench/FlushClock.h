// An event sink that notes when each flush of input happened, and a loopback server whose
// input passes through one: what the input-path benchmarks time.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackRig.h"
#include "platform/Platform.h"

namespace bench {

using Clock = std::chrono::steady_clock;
using namespace velora;

// Passes everything on and notes, at each flush, when it happened and how many input events
// (moves, clicks, keys, text) it carried.
class FlushClock : public EventSink {
public:
    explicit FlushClock(std::shared_ptr<EventSink> inner) : inner_(std::move(inner)) {}
    Point pointerLocation() override { return inner_->pointerLocation(); }
    void mouseMove(Point to, std::optional<MouseButton> held) override {
        inner_->mouseMove(to, held);
        count();
    }
    void mouseMoveBy(Point by, Point to, std::optional<MouseButton> held) override {
        inner_->mouseMoveBy(by, to, held);
        count();
    }
    void mouseButton(MouseButton b, bool down, Point at) override {
        inner_->mouseButton(b, down, at);
        count();
    }
    void scroll(int32_t v, int32_t h) override {
        inner_->scroll(v, h);
        count();
    }
    void key(const KeyStroke& k) override {
        inner_->key(k);
        count();
    }
    void text(std::string_view cluster) override {
        inner_->text(cluster);
        count();
    }
    void textAhead(std::string_view utf8) override { inner_->textAhead(utf8); }
    void media(int keyType) override {
        inner_->media(keyType);
        count();
    }
    bool trusted() override { return inner_->trusted(); }
    void flush() override {
        inner_->flush();
        flushedAt_.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
        flushedEvents_.store(events_.load(std::memory_order_relaxed), std::memory_order_release);
    }

    uint64_t flushedEvents() const { return flushedEvents_.load(std::memory_order_acquire); }
    Clock::time_point flushedAt() const {
        return Clock::time_point(Clock::duration(flushedAt_.load(std::memory_order_relaxed)));
    }
    // Waits until a flush has carried more than `events` events.
    void waitPast(uint64_t events) const {
        while (flushedEvents() <= events) std::this_thread::yield();
    }

private:
    void count() { events_.fetch_add(1, std::memory_order_relaxed); }

    std::shared_ptr<EventSink> inner_;
    std::atomic<uint64_t> events_{0};
    std::atomic<uint64_t> flushedEvents_{0};
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

// Sends `first` and `second` by turns, one line per iteration, each timed from just before the
// send to the flush that carried its events; the p50_us and p99_us counters.
inline void timeLineToFlush(benchmark::State& state, Rig& rig, const char* first,
                            const char* second) {
    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(state.max_iterations));
    bool odd = false;
    for (auto _ : state) {
        const uint64_t before = rig.sink->flushedEvents();
        const auto sent = Clock::now();
        rig.phone->sendAll((odd = !odd) ? first : second);
        rig.sink->waitPast(before);
        micros.push_back(
            std::chrono::duration<double, std::micro>(rig.sink->flushedAt() - sent).count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}

}  // namespace bench
