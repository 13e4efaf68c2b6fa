// The PipeWire screen source against a real daemon and a video node of known pictures.
#include "platform/pipewire/PipeWireScreenSource.h"

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
#include "platform/pipewire/PipeWireConnection.h"

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
    const Rgb got = pixel(image, static_cast<int>(fx * image.width),
                          static_cast<int>(fy * image.height));
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

// Captures until a picture comes: the session manager links a new stream in its own time.
std::optional<Image> firstPicture(ScreenSource& source, PixelSize size) {
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (!pastDeadline(deadline)) {
        if (auto image = source.capture(size)) return image;
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

    // A connection made the way the portal's descriptor is used.
    std::shared_ptr<PipeWireConnection> connect() {
        const int fd = PipeWireDaemon::instance().connect();
        return fd < 0 ? nullptr : PipeWireConnection::fromFd(fd);
    }
};

class PipeWireFormatTest : public PipeWireScreenSourceTest,
                           public ::testing::WithParamInterface<uint32_t> {};

TEST_P(PipeWireFormatTest, PictureArrivesScaledUprightInItsColours) {
    TestVideoProducer producer(GetParam(), 320, 200);
    producer.show(bars);
    const uint32_t node = producer.nodeId();
    ASSERT_NE(node, 0u);
    auto connection = connect();
    ASSERT_TRUE(connection);
    PipeWireScreenSource source(connection, node, {1600, 1000});
    EXPECT_EQ(source.pixelSize(), (PixelSize{1600, 1000}));

    const auto image = firstPicture(source, {160, 100});
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
                             case SPA_VIDEO_FORMAT_BGRx: return std::string("BGRx");
                             case SPA_VIDEO_FORMAT_RGBx: return std::string("RGBx");
                             case SPA_VIDEO_FORMAT_BGRA: return std::string("BGRA");
                             default: return std::string("RGBA");
                             }
                         });

TEST_F(PipeWireScreenSourceTest, StillStreamCostsNoCopiesAndAChangeComesThrough) {
    TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer.show(bars);
    auto connection = connect();
    ASSERT_TRUE(connection);
    PipeWireScreenSource source(connection, producer.nodeId(), {320, 200});
    ASSERT_TRUE(firstPicture(source, {160, 100}));
    // The producer sent one frame and sends no more until its picture changes.
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (source.framesReceived() < static_cast<uint64_t>(producer.framesSent()) &&
           !pastDeadline(deadline)) {
        std::this_thread::yield();
    }
    const auto image = source.capture({160, 100});
    ASSERT_TRUE(image);
    const uint64_t received = source.framesReceived();
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(source.unchangedSinceLastCapture());
        const auto again = source.capture({160, 100});
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, *image);
    }
    EXPECT_EQ(source.framesReceived(), received);
    // A capture at another size scales the same frame again rather than waiting for a new one.
    const auto smaller = source.capture({80, 50});
    ASSERT_TRUE(smaller);
    expectBars(*smaller);

    producer.show(reversedBars);
    const auto changeDeadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (source.unchangedSinceLastCapture() && !pastDeadline(changeDeadline))
        std::this_thread::yield();
    EXPECT_FALSE(source.unchangedSinceLastCapture());
    const auto changed = source.capture({160, 100});
    ASSERT_TRUE(changed);
    expectColour(*changed, 0.125, 0.25, kWhite);
    expectColour(*changed, 0.875, 0.25, kRed);
    expectColour(*changed, 0.5, 0.75, kWhite);
    EXPECT_EQ(source.framesReceived(), received + 1);
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
    auto connection = connect();
    ASSERT_TRUE(connection);
    PipeWireScreenSource source(connection, producer.nodeId(), {});
    EXPECT_EQ(source.pixelSize(), (PixelSize{400, 300}));
    const auto image = firstPicture(source, {160, 110});
    ASSERT_TRUE(image);
    expectBars(*image);
    expectColour(*image, 0.01, 0.01, kRed);
    expectColour(*image, 0.99, 0.99, kBlack);
}

TEST_F(PipeWireScreenSourceTest, StreamEndsWhenTheProducerGoes) {
    auto producer = std::make_unique<TestVideoProducer>(SPA_VIDEO_FORMAT_BGRx, 320, 200);
    producer->show(bars);
    auto connection = connect();
    ASSERT_TRUE(connection);
    PipeWireScreenSource source(connection, producer->nodeId(), {320, 200});
    ASSERT_TRUE(firstPicture(source, {160, 100}));

    producer.reset();
    const auto deadline = std::chrono::steady_clock::now() + kLinkLimit;
    while (source.capture({160, 100}) && !pastDeadline(deadline)) std::this_thread::yield();
    EXPECT_FALSE(source.capture({160, 100}));
    EXPECT_FALSE(source.unchangedSinceLastCapture());
}

TEST_F(PipeWireScreenSourceTest, NodeThatDoesNotExistGivesNoPicture) {
    auto connection = connect();
    ASSERT_TRUE(connection);
    PipeWireScreenSource source(connection, 987654, {320, 200});
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
        EXPECT_TRUE(firstPicture(*source, {160, 100}));
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
        // Frames painted before may still arrive: wait for the last picture.
        while (!pastDeadline(deadline)) {
            image = source->capture({160, 100});
            if (image && pixel(*image, 150, 80) == kWhite) break;
        }
        ASSERT_TRUE(image);
        expectColour(*image, 0.125, 0.25, kWhite);
        expectColour(*image, 0.875, 0.25, kRed);
    }
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
