#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "core/input/Typist.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/RecordingEventSink.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/SimDisplays.h"

using namespace velora;

namespace {

// Records what is typed; a test can stop the typing at a given cluster until it lets go.
class GatedSink : public sim::RecordingEventSink {
public:
    void text(std::string_view cluster) override {
        std::unique_lock lock(mutex);
        typed.emplace_back(cluster);
        changed.notify_all();
        changed.wait(lock, [this] { return !gateAt || typed.size() < *gateAt; });
    }
    void textAhead(std::string_view utf8) override {
        std::lock_guard lock(mutex);
        ahead.emplace_back(utf8);
    }
    void waitTyped(size_t count) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return typed.size() >= count; });
    }
    void open() {
        std::lock_guard lock(mutex);
        gateAt.reset();
        changed.notify_all();
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> typed;
    std::vector<std::string> ahead;
    std::optional<size_t> gateAt;
};

class TypistTest : public testing::Test {
protected:
    std::shared_ptr<GatedSink> sink = std::make_shared<GatedSink>();
    InputSim input{sink, std::make_shared<macos::MacKeymap>(), std::make_shared<sim::SimDisplays>(),
                   std::make_shared<sim::RecordingLauncher>()};

    // Waits for `count` calls of `done`.
    struct Counter {
        std::mutex mutex;
        std::condition_variable changed;
        int count = 0;
        std::function<void()> done() {
            return [this] {
                std::lock_guard lock(mutex);
                ++count;
                changed.notify_all();
            };
        }
        void waitFor(int n) {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return count >= n; });
        }
    };
};

// Two texts take turns slice by slice; each is typed whole, in its own order, as whole clusters,
// and prepared for in full before its first slice.
TEST_F(TypistTest, TextsTakeTurnsAndEachStaysWholeAndInOrder) {
    Counter done;
    std::string first;
    for (int i = 0; i < 300; ++i) first += "e\xCC\x81";  // e + combining acute: one cluster
    const std::string second(300, 'b');
    sink->gateAt = 1;
    {
        Typist typist(input);
        typist.type(first, done.done());
        sink->waitTyped(1);
        typist.type(second, done.done());
        sink->open();
        done.waitFor(2);
    }
    ASSERT_EQ(sink->typed.size(), 600u);
    EXPECT_EQ(sink->ahead, (std::vector<std::string>{first, second}));
    size_t firstLast = 0;
    size_t secondFirst = sink->typed.size();
    std::string a;
    std::string b;
    for (size_t i = 0; i < sink->typed.size(); ++i) {
        if (sink->typed[i] == "b") {
            b += "b";
            secondFirst = std::min(secondFirst, i);
        } else {
            a += sink->typed[i];
            firstLast = i;
        }
    }
    EXPECT_EQ(a, first);
    EXPECT_EQ(b, second);
    EXPECT_LT(secondFirst, firstLast) << "the second text waited for the whole first one";
}

// The server thread's hold gets the input at the end of the slice under way, not after the
// whole text.
TEST_F(TypistTest, AHoldWaitsForOneSliceOnly) {
    Counter done;
    sink->gateAt = 3;
    Typist typist(input);
    typist.type(std::string(5000, 'x'), done.done());
    sink->waitTyped(3);
    size_t typedAtHold = 0;
    std::thread server([&] {
        Typist::Hold hold(typist);
        std::lock_guard lock(sink->mutex);
        typedAtHold = sink->typed.size();
    });
    while (!typist.holdWaiting()) std::this_thread::yield();
    sink->open();
    server.join();
    done.waitFor(1);
    EXPECT_GE(typedAtHold, 3u);
    EXPECT_LE(typedAtHold, 8u) << "the hold waited past the slice it arrived in";
    EXPECT_EQ(sink->typed.size(), 5000u);
}

// A cancelled text stops at the end of its slice and one cancelled before its turn types
// nothing; stopping the typist ends every queued text. Every text's `done` runs once, since a
// phone waits for it before its later lines are read.
TEST_F(TypistTest, CancellingAndStoppingEndTextsAndReportThem) {
    Counter done;
    sink->gateAt = 2;
    std::optional<Typist> typist(std::in_place, input);
    auto cut = typist->type(std::string(5000, 'x'), done.done());
    typist->type(std::string(50, 'y'), done.done());
    typist->type(std::string(10, 'z'), done.done())->cancel();
    sink->waitTyped(2);
    cut->cancel();
    sink->open();
    done.waitFor(3);
    const auto count = [&](const char* what) {
        std::lock_guard lock(sink->mutex);
        return std::count(sink->typed.begin(), sink->typed.end(), what);
    };
    EXPECT_LE(count("x"), 8);
    EXPECT_EQ(count("y"), 50);
    EXPECT_EQ(count("z"), 0);

    typist->type(std::string(5000, 'v'), done.done());
    typist->type(std::string(5000, 'w'), done.done());
    typist.reset();
    EXPECT_EQ(done.count, 5);
}

}  // namespace
