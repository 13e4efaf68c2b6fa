// The PipeWire screen source against a real daemon and a video node of known pictures.
#include <gtest/gtest.h>
#include <spa/param/video/raw.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "PipeWireDaemon.h"
#include "TestVideoProducer.h"
#include "platform/pipewire/CastStream.h"
#include "platform/pipewire/PipeWireConnection.h"
#include "platform/pipewire/PipeWireScreenSource.h"

namespace velora::pipewire {
namespace {

using test::CropArea;
using test::PipeWireDaemon;
using test::Rgb;
using test::TestVideoProducer;

// Bounds for waits on the daemon and the session manager; a wait ends as soon as its state is
// reached, these only stop a broken run from hanging.
constexpr auto kLinkLimit = std::chrono::seconds(30);

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255},
    kBlack{0, 0, 0}, kMagenta{255, 0, 255};

// Four vertical bars (red, green, blue, white) over a black lower half: wrong channel order,
// a mirrored or upside-down picture all show.
Rgb bars(int x, int y, int width, int height) {
    if (y >= height / 2) return kBlack;
    const Rgb order[] = {kRed, kGreen, kBlue, kWhite};
    return order[x * 4 / width];
}

// The same bars in reverse order, over a white lower half.
Rgb reversedBars(int x, int y, int width, int height) {
    if (y >= height / 2) return kWhite;
    const Rgb order[] = {kWhite, kBlue, kGreen, kRed};
    return order[x * 4 / width];
}

Rgb pixel(const Image& image, int x, int y) {
    const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
    return {p[2], p[1], p[0]};
}

// Checks the colour at a point given as fractions of the picture's width and height.
void expectColour(const Image& image, double fx, double fy, Rgb expected) {
    const Rgb got =
        pixel(image, static_cast<int>(fx * image.width), static_cast<int>(fy * image.height));
    EXPECT_NEAR(got.r, expected.r, 8) << "at " << fx << ", " << fy;
    EXPECT_NEAR(got.g, expected.g, 8) << "at " << fx << ", " << fy;
    EXPECT_NEAR(got.b, expected.b, 8) << "at " << fx << ", " << fy;
}

void expectBars(const Image& image) {
    expectColour(image, 0.125, 0.25, kRed);
    expectColour(image, 0.375, 0.25, kGreen);
    expectColour(image, 0.625, 0.25, kBlue);
    expectColour(image, 0.875, 0.25, kWhite);
    expectColour(image, 0.5, 0.75, kBlack);
}

bool pastDeadline(std::chrono::steady_clock::time_point deadline) {
    return std::chrono::steady_clock::now() > deadline;
}

// Captures until a picture comes: the session manager links a new stream in its own time, and
// a frame sent while the link is still being set up can be lost, so the producer repaints after
// each capture that waited in vain.
std::optional<Image> firstPicture(ScreenSource& source, PixelSize size,
                                  TestVideoProducer& producer) {
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (!pastDeadline(deadline)) {
        if (auto image = source.capture(size)) return image;
        producer.repaint();
    }
    return std::nullopt;
}

class PipeWireScreenSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const PipeWireDaemon& daemon = PipeWireDaemon::instance();
        if (!daemon.unavailable().empty())
            GTEST_SKIP() << "no PipeWire daemon: " << daemon.unavailable();
    }

    // A cast on a connection made the way the portal's descriptor is used.
    std::shared_ptr<CastStream> cast(uint32_t node, PixelSize logicalSize) {
        const int fd = PipeWireDaemon::instance().connect();
        auto connection = fd < 0 ? nullptr : PipeWireConnection::fromFd(fd);
        return connection ? std::make_shared<CastStream>(connection, node, logicalSize) : nullptr;
    }
};

class PipeWireFormatTest : public PipeWireScreenSourceTest,
                           public ::testing::WithParamInterface<uint32_t> {};

TEST_P(PipeWireFormatTest, PictureArrivesScaledUprightInItsColours) {
    TestVideoProducer producer(GetParam(), 320, 200);
    producer.show(bars);
    const uint32_t node = producer.nodeId();
    ASSERT_NE(node, 0u);
    const auto stream = cast(node, {1600, 1000});
    ASSERT_TRUE(stream);
    PipeWireScreenSource source(stream);
    EXPECT_EQ(source.pixelSize(), (PixelSize{1600, 1000}));

    const auto image = firstPicture(source, {160, 100}, producer);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 160);
    EXPECT_EQ(image->height, 100);
    ASSERT_EQ(image->pixels.size(), 160u * 100u * 4u);
    expectBars(*image);
    // The desktop is asked for no more frames than the view sends.
    const auto [num, denom] = producer.maxFramerate();
    ASSERT_GT(denom, 0u);
    EXPECT_LE(num, 15 * denom);
    EXPECT_GT(num, 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, PipeWireFormatTest,
                         ::testing::Values(SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_RGBx,
                                           SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBA),
                         [](const auto& info) {
                             switch (info.param) {
                                 case SPA_VIDEO_FORMAT_BGRx:
                                     return std::string("BGRx");
                                 case SPA_VIDEO_FORMAT_RGBx:
                                     return std::string("RGBx");
                                 case SPA_VIDEO_FORMAT_BGRA:
                                     return std::string("BGRA");
                                 default:
                                     return std::string("RGBA");
                             }
                         });

// Waits for a frame on a running stream: captures until the picture shows `colour` at the
// top-left bar; none when it does not come.
std::optional<Image> waitForChange(ScreenSource& source, PixelSize size, Rgb colour) {
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (!pastDeadline(deadline)) {
        auto image = source.capture(size);
        if (image && pixel(*image, size.width / 8, size.height / 4) == colour) return image;
        std::this_thread::yield();
    }
    return std::nullopt;
}

TEST_F(PipeWireScreenSourceTest, StillStreamCostsNoCopiesAndAChangeComesThrough) {
    TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer.show(bars);
    const auto stream = cast(producer.nodeId(), {320, 200});
    ASSERT_TRUE(stream);
    PipeWireScreenSource source(stream);
    ASSERT_TRUE(firstPicture(source, {160, 100}, producer));
    // Once this frame is in, every frame sent before it is too: the stream is still from here.
    producer.show(reversedBars);
    const auto image = waitForChange(source, {160, 100}, kWhite);
    ASSERT_TRUE(image);
    const uint64_t received = stream->framesReceived();
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(source.unchangedSinceLastCapture());
        const auto again = source.capture({160, 100});
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, *image);
    }
    EXPECT_EQ(stream->framesReceived(), received);
    // A capture at another size scales the same frame again rather than waiting for a new one.
    const auto smaller = source.capture({80, 50});
    ASSERT_TRUE(smaller);
    expectColour(*smaller, 0.125, 0.25, kWhite);
    expectColour(*smaller, 0.875, 0.25, kRed);

    producer.show(bars);
    const auto changeDeadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (source.unchangedSinceLastCapture() && !pastDeadline(changeDeadline))
        std::this_thread::yield();
    EXPECT_FALSE(source.unchangedSinceLastCapture());
    const auto changed = source.capture({160, 100});
    ASSERT_TRUE(changed);
    expectBars(*changed);
    EXPECT_EQ(stream->framesReceived(), received + 1);
    EXPECT_TRUE(source.unchangedSinceLastCapture());
}

TEST_F(PipeWireScreenSourceTest, CropRegionLimitsThePicture) {
    TestVideoProducer producer(SPA_VIDEO_FORMAT_RGBx, 400, 300);
    // Bars inside a magenta frame 40 pixels wide that the crop region leaves out.
    producer.show(
        [](int x, int y, int width, int height) {
            if (x < 40 || y < 40 || x >= width - 40 || y >= height - 40) return kMagenta;
            return bars(x - 40, y - 40, width - 80, height - 80);
        },
        CropArea{40, 40, 320, 220});
    const auto stream = cast(producer.nodeId(), {});
    ASSERT_TRUE(stream);
    PipeWireScreenSource source(stream);
    EXPECT_EQ(source.pixelSize(), (PixelSize{400, 300}));
    const auto image = firstPicture(source, {160, 110}, producer);
    ASSERT_TRUE(image);
    expectBars(*image);
    expectColour(*image, 0.01, 0.01, kRed);
    expectColour(*image, 0.99, 0.99, kBlack);
}

TEST_F(PipeWireScreenSourceTest, StreamEndsWhenTheProducerGoes) {
    auto producer = std::make_unique<TestVideoProducer>(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer->show(bars);
    const auto stream = cast(producer->nodeId(), {320, 200});
    ASSERT_TRUE(stream);
    PipeWireScreenSource source(stream);
    ASSERT_TRUE(firstPicture(source, {160, 100}, *producer));

    producer.reset();
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (source.capture({160, 100}) && !pastDeadline(deadline)) std::this_thread::yield();
    EXPECT_FALSE(source.capture({160, 100}));
    EXPECT_FALSE(source.unchangedSinceLastCapture());
}

TEST_F(PipeWireScreenSourceTest, NodeThatDoesNotExistGivesNoPicture) {
    const auto stream = cast(987654, {320, 200});
    ASSERT_TRUE(stream);
    PipeWireScreenSource source(stream);
    EXPECT_FALSE(source.capture({160, 100}));
    EXPECT_FALSE(source.capture({160, 100}));
}

// Viewers come and go while frames flow; the one that stays sees every change, and a new one
// on the same connection gets the picture.
TEST_F(PipeWireScreenSourceTest, ViewersComeAndGoWhileFramesFlow) {
    TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer.show(bars);
    const uint32_t node = producer.nodeId();
    const int fd = PipeWireDaemon::instance().connect();
    ASSERT_GE(fd, 0);
    const auto factory = screenSourceFactory({fd, node, {320, 200}});

    std::atomic<bool> stop{false};
    std::thread painter([&] {
        for (int i = 0; !stop; ++i) producer.show(i % 2 ? reversedBars : bars);
    });
    for (int round = 0; round < 3; ++round) {
        auto source = factory();
        ASSERT_TRUE(source);
        EXPECT_TRUE(firstPicture(*source, {160, 100}, producer));
        source->capture({160, 100});
    }
    stop = true;
    painter.join();

    producer.show(reversedBars);
    auto first = factory();
    auto second = factory();
    ASSERT_TRUE(first && second);
    for (ScreenSource* source : {first.get(), second.get()}) {
        const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
        std::optional<Image> image;
        // Frames painted before may still arrive, and the restarted stream's first frame may
        // be lost: wait for the last picture.
        while (!pastDeadline(deadline)) {
            image = source->capture({160, 100});
            if (image && pixel(*image, 20, 25) == kWhite) break;
            producer.repaint();
        }
        ASSERT_TRUE(image);
        expectColour(*image, 0.125, 0.25, kWhite);
        expectColour(*image, 0.875, 0.25, kRed);
    }
}

// The desktop renders for the cast only while someone watches: the last viewer's going ends
// the stream, and the next viewer starts it again with a first picture.
TEST_F(PipeWireScreenSourceTest, StreamRunsOnlyWhileAViewerIsThere) {
    TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer.show(bars);
    const int fd = PipeWireDaemon::instance().connect();
    ASSERT_GE(fd, 0);
    const auto factory = screenSourceFactory({fd, producer.nodeId(), {320, 200}});
    for (int viewer = 0; viewer < 2; ++viewer) {
        auto source = factory();
        ASSERT_TRUE(source);
        EXPECT_FALSE(source->unchangedSinceLastCapture());
        const auto image = firstPicture(*source, {160, 100}, producer);
        ASSERT_TRUE(image);
        expectBars(*image);
        EXPECT_TRUE(producer.waitForStreaming(true));
        source.reset();
        EXPECT_TRUE(producer.waitForStreaming(false));
    }
}

TEST(PipeWireScreenSourceFactoryTest, FactoryNeverUsedClosesItsSocket) {
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets), 0);
    screenSourceFactory({sockets[0], 1, {320, 200}});
    // The far end reads the end of the stream once the factory's end is closed (an open one
    // would give EAGAIN).
    char byte = 0;
    EXPECT_EQ(read(sockets[1], &byte, 1), 0);
    close(sockets[1]);
}

TEST_F(PipeWireScreenSourceTest, FactoryWithoutADaemonGivesNoSources) {
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets), 0);
    // The far end closes at once, as a daemon that has gone away.
    close(sockets[1]);
    const auto factory = screenSourceFactory({sockets[0], 1, {320, 200}});
    // Either no source is made or the one made shows nothing, and neither waits for long.
    auto source = factory();
    EXPECT_TRUE(!source || !source->capture({160, 100}));
}

}  // namespace
}  // namespace velora::pipewire
