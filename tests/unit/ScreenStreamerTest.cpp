#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "core/JpegEncoder.h"
#include "core/ScreenStreamer.h"
#include "platform/sim/SyntheticScreen.h"

using namespace std::chrono_literals;
using velora::Image;
using velora::PixelSize;
using velora::ScreenStreamer;
using velora::sim::SyntheticScreen;

namespace {

// Waits up to two seconds for `done` to hold.
template <typename F>
bool eventually(F done) {
    for (auto until = std::chrono::steady_clock::now() + 2s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(1ms))
        if (done()) return true;
    return done();
}

// The connection as the streamer sees it: records lines and frames; completes each send at once
// or, when `holdSends` is set, when the test says so.
class FakeConnection {
  public:
    bool holdSends = false;

    ScreenStreamer::Target target() {
        return {[this](std::string line) {
                    std::lock_guard lock(mutex_);
                    lines_.push_back(std::move(line));
                },
                [this](std::vector<uint8_t> frame, std::function<void(bool)> done) {
                    {
                        std::lock_guard lock(mutex_);
                        frames_.push_back(std::move(frame));
                        if (holdSends) return held_.push_back(std::move(done));
                    }
                    done(true);
                }};
    }

    std::vector<std::string> lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    size_t frameCount() {
        std::lock_guard lock(mutex_);
        return frames_.size();
    }
    std::vector<uint8_t> frame(size_t i) {
        std::lock_guard lock(mutex_);
        return frames_.at(i);
    }
    void completeHeld(bool ok) {
        std::vector<std::function<void(bool)>> held;
        {
            std::lock_guard lock(mutex_);
            held.swap(held_);
        }
        for (auto& done : held) done(ok);
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::vector<std::vector<uint8_t>> frames_;
    std::vector<std::function<void(bool)>> held_;
};

PixelSize jpegSize(const std::vector<uint8_t>& frame) {
    tjhandle d = tjInitDecompress();
    int w = 0, h = 0, sub = 0, space = 0;
    tjDecompressHeader3(d, frame.data() + 4, frame.size() - 4, &w, &h, &sub, &space);
    tjDestroy(d);
    return {w, h};
}

uint32_t lengthField(const std::vector<uint8_t>& frame) {
    return uint32_t(frame[0]) << 24 | uint32_t(frame[1]) << 16 | uint32_t(frame[2]) << 8 | frame[3];
}

bool isKeepAlive(const std::vector<uint8_t>& frame) {
    return frame == std::vector<uint8_t>{0, 0, 0, 0};
}

class ScreenStreamerTest : public testing::Test {
  protected:
    void startView(PixelSize display, int64_t maxW = 1280) {
        auto source = std::make_unique<SyntheticScreen>(display);
        screen = source.get();
        screen->setPattern(1);
        ScreenStreamer::Timing timing;
        timing.tick = 2ms;
        timing.now = [this] { return ScreenStreamer::Clock::time_point(clock.load()); };
        streamer = std::make_unique<ScreenStreamer>(
            std::move(source), connection.target(), maxW, 60, [this] { return allowed.load(); },
            [this] { ++ends; }, timing);
        streamer->start();
    }

    // Lets the streamer run `n` more captures.
    bool capturesPass(int n) {
        const int target = screen->captures() + n;
        return eventually([&] { return screen->captures() >= target; });
    }

    // Gives the streamer time for many ticks and checks that no frame came out.
    void expectNoFrameFor(std::chrono::milliseconds span) {
        const size_t before = connection.frameCount();
        std::this_thread::sleep_for(span);
        EXPECT_EQ(connection.frameCount(), before);
    }

    FakeConnection connection;
    std::atomic<std::chrono::nanoseconds> clock{std::chrono::hours(1000)};
    std::atomic<bool> allowed{true};
    std::atomic<int> ends{0};
    SyntheticScreen* screen = nullptr;
    std::unique_ptr<ScreenStreamer> streamer;
};

TEST(ScreenStreamerSize, FrameWidthIsCappedAndHeightRoundsHalfAway) {
    EXPECT_EQ(ScreenStreamer::frameSize({2560, 1600}, 1280), (PixelSize{1280, 800}));
    EXPECT_EQ(ScreenStreamer::frameSize({1366, 768}, 1000), (PixelSize{1000, 562}));
    EXPECT_EQ(ScreenStreamer::frameSize({1280, 721}, 640), (PixelSize{640, 361}));
    EXPECT_EQ(ScreenStreamer::frameSize({800, 600}, 1280), (PixelSize{800, 600}));
    EXPECT_EQ(ScreenStreamer::frameSize({0, 1080}, 1280), (PixelSize{0, 0}));
    EXPECT_EQ(ScreenStreamer::frameSize({1920, 0}, 1280), (PixelSize{0, 0}));
}

TEST(ScreenStreamerSize, WishesAreClamped) {
    const auto make = [](int64_t w, int64_t q) {
        return ScreenStreamer(std::make_unique<SyntheticScreen>(), {}, w, q, {}, {});
    };
    EXPECT_EQ(make(-10, 30).maxW(), 320);
    EXPECT_DOUBLE_EQ(make(-10, 30).quality(), 0.30);
    EXPECT_EQ(make(5000, 95).maxW(), 1920);
    EXPECT_DOUBLE_EQ(make(5000, 95).quality(), 0.90);
    EXPECT_DOUBLE_EQ(make(1280, 5).quality(), 0.20);
}

TEST_F(ScreenStreamerTest, HeaderCarriesDisplaySizeAndFramesTheReducedSize) {
    startView({2560, 1600});
    ASSERT_TRUE(eventually([&] { return connection.frameCount() >= 1; }));
    EXPECT_EQ(connection.lines(), std::vector<std::string>{"SCREEN 2560 1600\n"});
    const auto frame = connection.frame(0);
    EXPECT_EQ(lengthField(frame), frame.size() - 4);
    EXPECT_EQ(jpegSize(frame), (PixelSize{1280, 800}));
    EXPECT_EQ(screen->lastCaptureSize(), (PixelSize{1280, 800}));

    bool named = false;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        named = named || comm == "velora.screen";
    }
    EXPECT_TRUE(named);
}

TEST_F(ScreenStreamerTest, NarrowDisplayIsSentAtItsOwnSize) {
    startView({1280, 721}, 640);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() >= 1; }));
    EXPECT_EQ(jpegSize(connection.frame(0)), (PixelSize{640, 361}));
    streamer.reset();

    FakeConnection narrow;
    auto source = std::make_unique<SyntheticScreen>(PixelSize{800, 600});
    source->setPattern(2);
    ScreenStreamer view(std::move(source), narrow.target(), 1280, 60, {}, {});
    view.start();
    ASSERT_TRUE(eventually([&] { return narrow.frameCount() >= 1; }));
    EXPECT_EQ(jpegSize(narrow.frame(0)), (PixelSize{800, 600}));
}

TEST_F(ScreenStreamerTest, AtMostTwoFramesAwaitAcknowledgementAndSurplusAcksAreIgnored) {
    startView({1280, 800});
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    screen->setPattern(2);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 2; }));
    screen->setPattern(3);
    const int captures = screen->captures();
    expectNoFrameFor(60ms);
    EXPECT_EQ(screen->captures(), captures) << "a throttled view captures nothing";

    streamer->ack();
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 3; }));
    EXPECT_FALSE(isKeepAlive(connection.frame(2)));

    // Five acknowledgements for two frames: the count stops at zero, so two frames may follow.
    for (int i = 0; i < 5; ++i) streamer->ack();
    screen->setPattern(4);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 4; }));
    screen->setPattern(5);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 5; }));
    screen->setPattern(6);
    expectNoFrameFor(60ms);
}

TEST_F(ScreenStreamerTest, StillScreenSendsKeepAlivesAndAChangeSendsAJpeg) {
    startView({1280, 800});
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    streamer->ack();
    ASSERT_TRUE(capturesPass(3));
    clock = clock.load() + 999ms;
    ASSERT_TRUE(capturesPass(3));
    EXPECT_EQ(connection.frameCount(), 1u);

    clock = clock.load() + 1ms;
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 2; }));
    EXPECT_TRUE(isKeepAlive(connection.frame(1)));
    streamer->ack();

    // The keep-alive restarted the second: the next one is due a full second later.
    clock = clock.load() + 500ms;
    ASSERT_TRUE(capturesPass(3));
    EXPECT_EQ(connection.frameCount(), 2u);

    screen->setPattern(9);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 3; }));
    const auto frame = connection.frame(2);
    EXPECT_EQ(jpegSize(frame), (PixelSize{1280, 800}));
    EXPECT_NE(frame, connection.frame(0));
}

TEST_F(ScreenStreamerTest, FailedCapturesSendOnlyKeepAlives) {
    auto source = std::make_unique<SyntheticScreen>(PixelSize{1280, 800});
    source->setFailing(true);
    screen = source.get();
    ScreenStreamer view(
        std::move(source), connection.target(), 1280, 60, {}, {},
        {2ms, 1s, [this] { return ScreenStreamer::Clock::time_point(clock.load()); }});
    view.start();
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    EXPECT_TRUE(isKeepAlive(connection.frame(0)));
    view.ack();
    ASSERT_TRUE(capturesPass(3));
    EXPECT_EQ(connection.frameCount(), 1u);
}

TEST_F(ScreenStreamerTest, UnchangedHintSkipsCapturesOnlyOnceInSync) {
    auto source = std::make_unique<SyntheticScreen>(PixelSize{1280, 800});
    source->setReportsUnchanged(true);
    screen = source.get();
    ScreenStreamer view(
        std::move(source), connection.target(), 1280, 60, {}, {},
        {2ms, 1s, [this] { return ScreenStreamer::Clock::time_point(clock.load()); }});
    view.start();
    // Nothing has been sent yet, so the hint cannot be trusted: the first tick captures.
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    view.ack();
    EXPECT_FALSE(isKeepAlive(connection.frame(0)));
    const int captures = screen->captures();

    // Ticks go on (the keep-alive shows it) without capturing.
    clock = clock.load() + 1s;
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 2; }));
    EXPECT_TRUE(isKeepAlive(connection.frame(1)));
    view.ack();
    EXPECT_EQ(screen->captures(), captures);

    screen->setReportsUnchanged(false);
    screen->setColor(0xFF336699);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 3; }));
    EXPECT_FALSE(isKeepAlive(connection.frame(2)));
}

TEST_F(ScreenStreamerTest, SwitchedOffViewEndsOnceAndCapturesNoMore) {
    startView({1280, 800});
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    streamer->ack();
    allowed = false;
    ASSERT_TRUE(eventually([&] { return ends == 1; }));
    const int captures = screen->captures();
    screen->setPattern(7);
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(screen->captures(), captures);
    EXPECT_EQ(connection.frameCount(), 1u);
}

TEST_F(ScreenStreamerTest, DisplayWithoutWidthEndsTheView) {
    startView({0, 1080});
    ASSERT_TRUE(eventually([&] { return ends == 1; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(connection.lines().empty());
    EXPECT_EQ(connection.frameCount(), 0u);
    EXPECT_EQ(screen->captures(), 0);
}

TEST_F(ScreenStreamerTest, QueuedFrameHoldsTheNextTickAndAFailedSendStops) {
    connection.holdSends = true;
    startView({1280, 800});
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 1; }));
    // The phone acknowledges without reading: the frame is still waiting to be written.
    streamer->ack();
    screen->setPattern(2);
    const int captures = screen->captures();
    expectNoFrameFor(40ms);
    EXPECT_EQ(screen->captures(), captures);

    connection.completeHeld(true);
    ASSERT_TRUE(eventually([&] { return connection.frameCount() == 2; }));
    streamer->ack();
    connection.completeHeld(false);
    screen->setPattern(3);
    expectNoFrameFor(40ms);
    EXPECT_EQ(ends, 0) << "a broken connection is noticed by the session, not the streamer";
}

// A source whose first capture blocks until the test lets it go.
class GatedScreen : public SyntheticScreen {
  public:
    std::optional<Image> capture(PixelSize size) override {
        std::unique_lock lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
        return SyntheticScreen::capture(size);
    }
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
};

TEST_F(ScreenStreamerTest, NothingIsWrittenAfterStopEvenForACaptureUnderWay) {
    auto source = std::make_unique<GatedScreen>();
    GatedScreen* gated = source.get();
    ScreenStreamer view(std::move(source), connection.target(), 1280, 60, {}, [this] { ++ends; },
                        {2ms, 1s, ScreenStreamer::Clock::now});
    view.start();
    {
        std::unique_lock lock(gated->mutex);
        ASSERT_TRUE(gated->changed.wait_for(lock, 2s, [&] { return gated->entered; }));
    }
    view.stop();
    view.stop();
    {
        std::lock_guard lock(gated->mutex);
        gated->released = true;
    }
    gated->changed.notify_all();
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(connection.lines().size(), 1u);
    EXPECT_EQ(connection.frameCount(), 0u);
    EXPECT_EQ(gated->captures(), 1);
    EXPECT_EQ(ends, 0);
}

TEST_F(ScreenStreamerTest, StreamerMayBeReleasedFromItsOwnEndCallback) {
    std::atomic<bool> released{false};
    auto source = std::make_unique<SyntheticScreen>();
    streamer = std::make_unique<ScreenStreamer>(
        std::move(source), connection.target(), 1280, 60, [] { return false; },
        [&] {
            streamer.reset();
            released = true;
        },
        ScreenStreamer::Timing{2ms, 1s, ScreenStreamer::Clock::now});
    streamer->start();
    ASSERT_TRUE(eventually([&] { return released.load(); }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(connection.frameCount(), 0u);
}

std::vector<uint8_t> bytes(const std::optional<std::span<const uint8_t>>& jpeg) {
    return jpeg ? std::vector<uint8_t>(jpeg->begin(), jpeg->end()) : std::vector<uint8_t>{};
}

TEST(JpegEncoder, RejectsMalformedImagesAndEncodesEqualPicturesEqually) {
    velora::JpegEncoder encoder;
    EXPECT_FALSE(encoder.encode(Image{}, 60));
    EXPECT_FALSE(encoder.encode(Image{4, 4, std::vector<uint8_t>(10)}, 60));

    SyntheticScreen screen;
    screen.setPattern(3);
    const Image picture = screen.render({320, 200});
    const auto first = bytes(encoder.encode(picture, 60));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0], 0xFF);
    EXPECT_EQ(first[1], 0xD8);
    ASSERT_TRUE(encoder.encode(screen.render({64, 40}), 60));
    EXPECT_EQ(bytes(encoder.encode(picture, 60)), first);
    EXPECT_LT(bytes(encoder.encode(picture, 20)).size(), first.size());
}

TEST(JpegEncoder, ReencodingChangedBlockRowsGivesTheFileOfAWholeEncoding) {
    SyntheticScreen screen;
    screen.setPattern(4);
    const Image before = screen.render({321, 201});
    Image after = before;
    // Rows 47..60 straddle block rows 2 and 3; row 200 is in the last, partial block row.
    for (int y : {47, 55, 60, 200})
        for (int x = 0; x < after.width; ++x) after.pixels[(y * after.width + x) * 4 + 1] ^= 0x5A;
    const std::vector<velora::JpegEncoder::Rows> changed = {{47, 61}, {200, 201}};

    velora::JpegEncoder fresh;
    const auto whole = bytes(fresh.encode(after, 60));
    velora::JpegEncoder encoder;
    ASSERT_TRUE(encoder.encode(before, 60));
    const auto spliced = bytes(encoder.encodeChanged(after, 60, changed));
    EXPECT_EQ(spliced, whole);

    tjhandle decoder = tjInitDecompress();
    Image decoded{321, 201, std::vector<uint8_t>(321 * 201 * 4)};
    EXPECT_EQ(tjDecompress2(decoder, spliced.data(), spliced.size(), decoded.pixels.data(), 321, 0,
                            201, TJPF_BGRX, 0),
              0);
    tjDestroy(decoder);

    // A hint about a picture of another size or quality is not trusted.
    ASSERT_TRUE(encoder.encode(screen.render({100, 100}), 60));
    EXPECT_EQ(bytes(encoder.encodeChanged(after, 60, changed)), whole);
    ASSERT_TRUE(encoder.encode(before, 30));
    EXPECT_EQ(bytes(encoder.encodeChanged(after, 60, changed)), whole);
}

}  // namespace
