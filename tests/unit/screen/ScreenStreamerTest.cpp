#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <semaphore>
#include <thread>
#include <utility>

#include "core/screen/JpegEncoder.h"
#include "core/screen/ScreenStreamer.h"
#include "platform/sim/SyntheticScreen.h"

using namespace std::chrono_literals;
using velora::Image;
using velora::JpegEncoder;
using velora::PixelSize;
using velora::ScreenStreamer;
using velora::sim::SyntheticScreen;
using Bytes = std::vector<uint8_t>;

namespace {

template <typename F>
bool eventually(F done) {
    for (auto until = std::chrono::steady_clock::now() + 2s; !done();
         std::this_thread::sleep_for(1ms))
        if (std::chrono::steady_clock::now() > until) return false;
    return true;
}

// The connection as the streamer sees it; sends complete at once unless `hold` is set.
struct FakeConnection {
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<Bytes> frames;
    std::vector<std::function<void(bool)>> held;
    bool hold = false;

    ScreenStreamer::Target target() {
        return {[this](std::string line) {
                    std::lock_guard lock(mutex);
                    lines.push_back(line);
                },
                [this](Bytes frame, std::function<void(bool)> done) {
                    std::unique_lock lock(mutex);
                    frames.push_back(std::move(frame));
                    if (hold) return held.push_back(done);
                    lock.unlock();
                    done(true);
                }};
    }
    size_t count() {
        std::lock_guard lock(mutex);
        return frames.size();
    }
    Bytes frame(size_t i) {
        std::lock_guard lock(mutex);
        return frames.at(i);
    }
    void release(bool ok) {
        std::unique_lock lock(mutex);
        auto done = std::move(held);
        lock.unlock();
        for (auto& d : done) d(ok);
    }
};

PixelSize jpegSize(const Bytes& frame) {
    tjhandle d = tjInitDecompress();
    int w = 0, h = 0, sub = 0, space = 0;
    tjDecompressHeader3(d, frame.data() + 4, frame.size() - 4, &w, &h, &sub, &space);
    tjDestroy(d);
    return {w, h};
}

const Bytes kKeepAlive{0, 0, 0, 0};

class ScreenStreamerTest : public testing::Test {
protected:
    void start(PixelSize display, int64_t maxW = 1280, void (*setup)(SyntheticScreen&) = nullptr) {
        auto source = std::make_unique<SyntheticScreen>(display);
        screen = source.get();
        screen->setPattern(1);
        if (setup) setup(*screen);
        ScreenStreamer::Timing timing{
            2ms, 1s, [this] { return ScreenStreamer::Clock::time_point(clock.load()); }};
        streamer = std::make_unique<ScreenStreamer>(
            std::move(source), connection.target(), maxW, 60, [this] { return allowed.load(); },
            [this] { ++ends; }, timing);
        streamer->start();
    }
    bool framesReach(size_t n) {
        return eventually([&] { return connection.count() >= n; }) && connection.count() == n;
    }
    // Lets the streamer run `n` more captures.
    bool capturesPass(int n) {
        const int target = screen->captures() + n;
        return eventually([&] { return screen->captures() >= target; });
    }
    // Gives the streamer time for many ticks and checks that no frame and no capture came out.
    void expectQuietFor(std::chrono::milliseconds span) {
        const size_t frames = connection.count();
        const int captures = screen->captures();
        std::this_thread::sleep_for(span);
        EXPECT_EQ(connection.count(), frames);
        EXPECT_EQ(screen->captures(), captures);
    }

    FakeConnection connection;
    std::atomic<std::chrono::nanoseconds> clock{std::chrono::hours(1000)};
    std::atomic<bool> allowed{true};
    std::atomic<int> ends{0};
    SyntheticScreen* screen = nullptr;
    std::unique_ptr<ScreenStreamer> streamer;
};

TEST(ScreenStreamerSize, FrameSizeAndClampedWishes) {
    EXPECT_EQ(ScreenStreamer::frameSize({2560, 1600}, 1280), (PixelSize{1280, 800}));
    EXPECT_EQ(ScreenStreamer::frameSize({1366, 768}, 1000), (PixelSize{1000, 562}));
    EXPECT_EQ(ScreenStreamer::frameSize({1280, 721}, 640), (PixelSize{640, 361}));
    EXPECT_EQ(ScreenStreamer::frameSize({800, 600}, 1280), (PixelSize{800, 600}));
    EXPECT_EQ(ScreenStreamer::frameSize({0, 1080}, 1280), (PixelSize{0, 0}));
    EXPECT_EQ(ScreenStreamer::frameSize({1920, 1}, 320), (PixelSize{320, 0}));
    EXPECT_EQ(ScreenStreamer::frameSize({1920, -5}, 320), (PixelSize{320, 0}));

    const ScreenStreamer low(std::make_unique<SyntheticScreen>(), {}, -10, 5, {}, {});
    EXPECT_EQ(low.maxW(), 320);
    EXPECT_DOUBLE_EQ(low.quality(), 0.20);
    const ScreenStreamer high(std::make_unique<SyntheticScreen>(), {}, 5000, 95, {}, {});
    EXPECT_EQ(high.maxW(), 1920);
    EXPECT_DOUBLE_EQ(high.quality(), 0.90);
}

TEST_F(ScreenStreamerTest, HeaderCarriesDisplaySizeAndFramesTheReducedSize) {
    start({2560, 1600});
    ASSERT_TRUE(framesReach(1));
    EXPECT_EQ(connection.lines, std::vector<std::string>{"SCREEN 2560 1600\n"});
    const Bytes frame = connection.frame(0);
    EXPECT_EQ(frame[0] << 24 | frame[1] << 16 | frame[2] << 8 | frame[3], int(frame.size() - 4));
    EXPECT_EQ(jpegSize(frame), (PixelSize{1280, 800}));
    EXPECT_EQ(screen->lastCaptureSize(), (PixelSize{1280, 800}));

    std::string comm, names;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        std::getline(std::ifstream(task.path() / "comm"), comm), names += comm + ",";
    EXPECT_NE(names.find("velora.screen,"), std::string::npos);
}

TEST_F(ScreenStreamerTest, AtMostTwoFramesAwaitAcknowledgementAndSurplusAcksAreIgnored) {
    start({1280, 800});
    ASSERT_TRUE(framesReach(1));
    screen->setPattern(2);
    ASSERT_TRUE(framesReach(2));
    screen->setPattern(3);
    expectQuietFor(60ms);
    streamer->ack();
    ASSERT_TRUE(framesReach(3));
    EXPECT_NE(connection.frame(2), kKeepAlive);

    // Five acknowledgements for two frames: the count stops at zero, so only two may follow.
    for (int i = 0; i < 5; ++i) streamer->ack();
    screen->setPattern(4);
    ASSERT_TRUE(framesReach(4));
    screen->setPattern(5);
    ASSERT_TRUE(framesReach(5));
    screen->setPattern(6);
    expectQuietFor(60ms);
}

TEST_F(ScreenStreamerTest, StillScreenSendsKeepAlivesAndAChangeSendsAJpeg) {
    start({1280, 800});
    ASSERT_TRUE(framesReach(1));
    streamer->ack();
    clock = clock.load() + 999ms;
    ASSERT_TRUE(capturesPass(3));
    EXPECT_EQ(connection.count(), 1u);
    clock = clock.load() + 1ms;
    ASSERT_TRUE(framesReach(2));
    EXPECT_EQ(connection.frame(1), kKeepAlive);
    streamer->ack();
    // The keep-alive restarted the second.
    clock = clock.load() + 500ms;
    ASSERT_TRUE(capturesPass(3));
    EXPECT_EQ(connection.count(), 2u);

    screen->setPattern(9);
    ASSERT_TRUE(framesReach(3));
    EXPECT_EQ(jpegSize(connection.frame(2)), (PixelSize{1280, 800}));
    EXPECT_NE(connection.frame(2), connection.frame(0));
}

TEST_F(ScreenStreamerTest, FailedCapturesSendKeepAlivesAndTheUnchangedHintIsTrustedOnlyInSync) {
    start({1280, 800}, 1280, [](SyntheticScreen& s) {
        s.setFailing(true);
        s.setReportsUnchanged(true);
    });
    // Nothing was ever sent: a failed first capture brings a keep-alive at once.
    ASSERT_TRUE(framesReach(1));
    EXPECT_EQ(connection.frame(0), kKeepAlive);
    streamer->ack();
    // The source claims nothing changed, but the last capture failed: capture again.
    screen->setFailing(false);
    ASSERT_TRUE(framesReach(2));
    EXPECT_NE(connection.frame(1), kKeepAlive);
    streamer->ack();
    // In sync now: ticks go on (the keep-alive shows it) without capturing.
    const int captures = screen->captures();
    clock = clock.load() + 1s;
    ASSERT_TRUE(framesReach(3));
    EXPECT_EQ(connection.frame(2), kKeepAlive);
    streamer->ack();
    EXPECT_EQ(screen->captures(), captures);

    screen->setReportsUnchanged(false);
    screen->setColor(0xFF336699);
    ASSERT_TRUE(framesReach(4));
    EXPECT_NE(connection.frame(3), kKeepAlive);
}

TEST_F(ScreenStreamerTest, SwitchedOffViewEndsOnceAndCapturesNoMore) {
    start({1280, 800});
    ASSERT_TRUE(framesReach(1));
    streamer->ack();
    allowed = false;
    ASSERT_TRUE(eventually([&] { return ends == 1; }));
    screen->setPattern(7);
    expectQuietFor(40ms);
    EXPECT_EQ(ends, 1);
}

TEST_F(ScreenStreamerTest, DisplayWithoutWidthEndsTheView) {
    start({0, 1080});
    ASSERT_TRUE(eventually([&] { return ends == 1; }));
    expectQuietFor(20ms);
    EXPECT_TRUE(connection.lines.empty());
    EXPECT_EQ(connection.count(), 0u);
}

// Frames of no rows: the view stays, with its header and keep-alives, and nothing is captured.
TEST_F(ScreenStreamerTest, DisplayTooFlatForAFrameRowKeepsTheViewAlive) {
    start({1920, 1}, 320);
    ASSERT_TRUE(framesReach(1));
    EXPECT_EQ(connection.lines, std::vector<std::string>{"SCREEN 1920 1\n"});
    EXPECT_EQ(connection.frame(0), kKeepAlive);
    streamer->ack();
    clock = clock.load() + 1s;
    ASSERT_TRUE(framesReach(2));
    EXPECT_EQ(connection.frame(1), kKeepAlive);
    EXPECT_EQ(screen->captures(), 0);
    EXPECT_EQ(ends, 0);
}

TEST_F(ScreenStreamerTest, QueuedFrameHoldsTheNextTickAndAFailedSendStops) {
    connection.hold = true;
    start({1280, 800});
    ASSERT_TRUE(framesReach(1));
    // The phone acknowledges a frame that is still waiting to be written.
    streamer->ack();
    screen->setPattern(2);
    expectQuietFor(40ms);
    connection.release(true);
    ASSERT_TRUE(framesReach(2));
    streamer->ack();
    connection.release(false);
    screen->setPattern(3);
    expectQuietFor(40ms);
    EXPECT_EQ(ends, 0) << "a broken connection is the session's to notice";
}

// A source whose capture waits until the test opens the gate.
struct GatedScreen : SyntheticScreen {
    std::binary_semaphore entered{0}, open{0};
    std::optional<Image> capture(PixelSize size) override {
        entered.release();
        open.acquire();
        return SyntheticScreen::capture(size);
    }
};

TEST_F(ScreenStreamerTest, NothingIsWrittenAfterStopEvenForACaptureUnderWay) {
    auto source = std::make_unique<GatedScreen>();
    GatedScreen& gated = *source;
    ScreenStreamer view(std::move(source), connection.target(), 1280, 60, {}, [this] { ++ends; });
    view.start();
    ASSERT_TRUE(gated.entered.try_acquire_for(2s));
    view.stop();
    view.stop();
    gated.open.release();
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(connection.lines.size(), 1u);
    EXPECT_EQ(connection.count(), 0u);
    EXPECT_EQ(ends, 0);
}

TEST_F(ScreenStreamerTest, StreamerMayBeReleasedFromItsOwnEndCallback) {
    std::atomic<bool> released{false};
    streamer = std::make_unique<ScreenStreamer>(
        std::make_unique<SyntheticScreen>(), connection.target(), 1280, 60, [] { return false; },
        [&] { streamer.reset(), released = true; });
    streamer->start();
    ASSERT_TRUE(eventually([&] { return released.load(); }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(connection.count(), 0u);
}

Bytes bytes(const std::optional<std::span<const uint8_t>>& jpeg) {
    return jpeg ? Bytes(jpeg->begin(), jpeg->end()) : Bytes{};
}

// A source that keeps its picture in place and reports the rows it redrew, as a damage-driven
// capture does. The test sets pictures from its own thread; the streamer's next capture takes
// the latest.
class InPlaceScreen : public velora::ScreenSource {
public:
    explicit InPlaceScreen(const Image& start) : next_(start), picture_(start) {}

    void show(const Image& next, const std::vector<velora::PictureRows>& reported) {
        std::lock_guard lock(mutex_);
        next_ = next;
        reported_.insert(reported_.end(), reported.begin(), reported.end());
    }
    int captures() const { return captures_; }

    PixelSize pixelSize() override { return {picture_.width, picture_.height}; }
    std::optional<Image> capture(PixelSize) override { return std::nullopt; }
    const Image* captureInPlace(PixelSize, std::vector<velora::PictureRows>& changed) override {
        std::lock_guard lock(mutex_);
        picture_ = next_;
        changed = std::exchange(reported_, {});
        if (captures_++ == 0) changed = {{0, picture_.height}};
        return &picture_;
    }

private:
    std::mutex mutex_;
    Image next_;
    Image picture_;
    std::vector<velora::PictureRows> reported_;
    std::atomic<int> captures_{0};
};

// Sets the green channel of rows [begin, end).
Image painted(Image image, int begin, int end, uint8_t green) {
    for (int y = begin; y < end; ++y)
        for (int x = 0; x < image.width; ++x)
            image.pixels[(size_t(y) * image.width + x) * 4 + 1] = green;
    return image;
}

// Frames from reported rows are the files a whole encoding of the picture gives; rows that were
// reported but not changed send nothing, and a change undone counts as a change.
TEST(ScreenStreamerInPlace, ReportedRowsAreComparedAndEncodedAgainstTheLastFrameSent) {
    const Image start = SyntheticScreen().render({320, 200});
    auto source = std::make_unique<InPlaceScreen>(start);
    InPlaceScreen& screen = *source;
    FakeConnection connection;
    ScreenStreamer streamer(
        std::move(source), connection.target(), 320, 60, [] { return true; }, [] {},
        {2ms, 1h, ScreenStreamer::Clock::now});
    streamer.start();
    const auto framesReach = [&](size_t n) {
        return eventually([&] { return connection.count() >= n; }) && connection.count() == n;
    };
    const auto payload = [&](size_t i) {
        const Bytes frame = connection.frame(i);
        return Bytes(frame.begin() + 4, frame.end());
    };
    const auto wholeEncoding = [](const Image& image) {
        return bytes(JpegEncoder().encode(image, 60));
    };
    ASSERT_TRUE(framesReach(1));
    EXPECT_EQ(payload(0), wholeEncoding(start));
    streamer.ack();

    const Image changed = painted(start, 40, 50, 0x11);
    screen.show(changed, {{30, 60}});
    ASSERT_TRUE(framesReach(2));
    EXPECT_EQ(payload(1), wholeEncoding(changed));
    streamer.ack();

    // Reported, but the pixels are those already sent.
    screen.show(changed, {{0, 200}});
    const int captures = screen.captures();
    ASSERT_TRUE(eventually([&] { return screen.captures() >= captures + 3; }));
    EXPECT_EQ(connection.count(), 2u);

    // The first picture's rows again, and a change in the last, partial block row.
    const Image undone = painted(start, 199, 200, 0x77);
    screen.show(undone, {{40, 50}, {190, 200}});
    ASSERT_TRUE(framesReach(3));
    EXPECT_EQ(payload(2), wholeEncoding(undone));
    streamer.stop();
}

TEST(JpegEncoder, RejectsWhatItCannotEncodeAndEncodesEqualPicturesEqually) {
    JpegEncoder encoder;
    EXPECT_FALSE(encoder.encode(Image{}, 60));
    EXPECT_FALSE(encoder.encode(Image{4, 4, Bytes(10)}, 60));
    // Wider than a JPEG may be: the library's error comes back as no result.
    EXPECT_FALSE(encoder.encode(Image{70000, 1, Bytes(70000 * 4)}, 60));

    SyntheticScreen screen;
    screen.setPattern(3);
    const Image picture = screen.render({320, 200});
    const Bytes first = bytes(encoder.encode(picture, 60));
    ASSERT_FALSE(first.empty());
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
    const std::vector<JpegEncoder::Box> changed = {{47, 61, 0, 321}, {200, 201, 0, 321}};

    const Bytes whole = bytes(JpegEncoder().encode(after, 60));
    JpegEncoder encoder;
    ASSERT_TRUE(encoder.encode(before, 60));
    const Bytes spliced = bytes(encoder.encodeChanged(after, 60, changed));
    EXPECT_EQ(spliced, whole);
    tjhandle decoder = tjInitDecompress();
    Bytes decoded(321 * 201 * 4);
    EXPECT_EQ(tjDecompress2(decoder, spliced.data(), spliced.size(), decoded.data(), 321, 0, 201,
                            TJPF_BGRX, 0),
              0);
    tjDestroy(decoder);

    // A hint about a picture of another size or quality is not trusted.
    ASSERT_TRUE(encoder.encode(screen.render({100, 100}), 60));
    EXPECT_EQ(bytes(encoder.encodeChanged(after, 60, changed)), whole);
    ASSERT_TRUE(encoder.encode(before, 30));
    EXPECT_EQ(bytes(encoder.encodeChanged(after, 60, changed)), whole);
}

// Boxes of any shape, at the right and bottom edges too, in pictures whose rows split into
// segments of several sizes or not at all: the spliced file is the whole encoding's.
TEST(JpegEncoder, ReencodingChangedSegmentsGivesTheFileOfAWholeEncodingOverRandomChanges) {
    std::mt19937 rng(5);
    for (const PixelSize size : {PixelSize{321, 201}, PixelSize{1280, 720}, PixelSize{200, 90}}) {
        SyntheticScreen screen;
        screen.setPattern(6);
        Image picture = screen.render(size);
        JpegEncoder encoder;
        ASSERT_TRUE(encoder.encode(picture, 60));
        for (int round = 0; round < 6; ++round) {
            std::vector<JpegEncoder::Box> changed;
            for (int i = 0; i < 1 + round % 3; ++i) {
                const int left = int(rng() % size.width), top = int(rng() % size.height);
                const int right = std::min(size.width, left + 1 + int(rng() % 90));
                const int bottom = std::min(size.height, top + 1 + int(rng() % 40));
                for (int y = top; y < bottom; ++y)
                    for (int x = left; x < right; ++x)
                        picture.pixels[(size_t(y) * size.width + x) * 4 + round % 3] += 97;
                changed.push_back({top, bottom, left, right});
            }
            const Bytes spliced = bytes(encoder.encodeChanged(picture, 60, changed));
            ASSERT_EQ(spliced, bytes(JpegEncoder().encode(picture, 60)))
                << size.width << "x" << size.height << " round " << round;
        }
    }
}

}  // namespace
