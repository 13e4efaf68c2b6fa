// gtest before Xlib: Xlib's macros (None, Bool) clash with gtest's names.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <turbojpeg.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

#include "core/screen/JpegEncoder.h"
#include "platform/linux/X11ScreenSource.h"

using velora::Image;
using velora::PixelSize;
using velora::linux_::makeX11ScreenSource;
using velora::linux_::x11ScreenCapturable;

extern char** environ;

namespace {

constexpr unsigned long kRed = 0xE02010, kGreen = 0x20C040, kBlue = 0x3040D0, kWhite = 0xF0F0F0;

unsigned long rgbAt(const Image& image, int x, int y) {
    const uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 4;
    return static_cast<unsigned long>(p[2]) << 16 | p[1] << 8 | p[0];
}

// Colours within a few steps per channel: the scaler's fixed-point averaging may lose some.
bool near(unsigned long a, unsigned long b, int tolerance = 3) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// Draws on the test's Xvfb (1280x800) through a connection of its own: four coloured
// quadrants, the pointer parked in the white one's far corner.
class X11ScreenSourceTest : public testing::Test {
protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        root = DefaultRootWindow(display);
        gc = XCreateGC(display, root, 0, nullptr);
        fill(kRed, 0, 0, 640, 400);
        fill(kGreen, 640, 0, 640, 400);
        fill(kBlue, 0, 400, 640, 400);
        fill(kWhite, 640, 400, 640, 400);
        movePointer(1270, 790);
    }
    void TearDown() override {
        XFreeGC(display, gc);
        XCloseDisplay(display);
    }
    void fill(unsigned long rgb, int x, int y, unsigned w, unsigned h, Window into = 0) {
        XSetForeground(display, gc, rgb);
        XFillRectangle(display, into ? into : root, gc, x, y, w, h);
        XSync(display, False);
    }
    void movePointer(int x, int y) {
        XWarpPointer(display, 0, root, 0, 0, 0, 0, x, y);
        XSync(display, False);
    }

    Display* display = nullptr;
    Window root = 0;
    GC gc = nullptr;
};

TEST_F(X11ScreenSourceTest, CapturesScaledWithColoursInPlaceAndThePointerDrawnIn) {
    auto source = makeX11ScreenSource(nullptr);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->pixelSize(), (PixelSize{1280, 800}));
    // A size that halves the screen and one that does not divide it evenly.
    for (const PixelSize size : {PixelSize{640, 400}, PixelSize{1000, 625}}) {
        const auto image = source->capture(size);
        ASSERT_TRUE(image);
        const int w = image->width, h = image->height;
        ASSERT_EQ(PixelSize(w, h), size);
        EXPECT_TRUE(near(rgbAt(*image, w / 4, h / 4), kRed));
        EXPECT_TRUE(near(rgbAt(*image, 3 * w / 4, h / 4), kGreen));
        EXPECT_TRUE(near(rgbAt(*image, w / 4, 3 * h / 4), kBlue));
        EXPECT_TRUE(near(rgbAt(*image, 3 * w / 4, 3 * h / 4 - 20), kWhite));
        // Either side of the border the box filter keeps the colours apart.
        EXPECT_TRUE(near(rgbAt(*image, w / 2 - 1, h / 8), kRed));
        EXPECT_TRUE(near(rgbAt(*image, w / 2, h / 8), kGreen));
    }

    movePointer(320, 200);
    const auto image = source->capture({640, 400});
    ASSERT_TRUE(image);
    int marked = 0;
    for (int y = 90; y < 110; ++y)
        for (int x = 150; x < 170; ++x) marked += !near(rgbAt(*image, x, y), kRed);
    EXPECT_GT(marked, 0) << "no pointer around (160, 100)";
}

TEST_F(X11ScreenSourceTest, JpegOfACaptureDecodesToTheFrameSizeAndColours) {
    const auto image = makeX11ScreenSource(nullptr)->capture({640, 400});
    ASSERT_TRUE(image);
    velora::JpegEncoder encoder;
    const auto jpeg = encoder.encode(*image, 60);
    ASSERT_TRUE(jpeg);
    tjhandle decoder = tjInitDecompress();
    int w = 0, h = 0, subsampling = -1, colorspace = 0;
    tjDecompressHeader3(decoder, jpeg->data(), jpeg->size(), &w, &h, &subsampling, &colorspace);
    EXPECT_EQ(PixelSize(w, h), (PixelSize{640, 400}));
    EXPECT_EQ(subsampling, TJSAMP_420);
    Image decoded{w, h, std::vector<uint8_t>(size_t(w) * h * 4)};
    ASSERT_EQ(tjDecompress2(decoder, jpeg->data(), jpeg->size(), decoded.pixels.data(), w, 0, h,
                            TJPF_BGRX, 0),
              0);
    tjDestroy(decoder);
    EXPECT_TRUE(near(rgbAt(decoded, w / 4, h / 4), kRed, 12));
    EXPECT_TRUE(near(rgbAt(decoded, 3 * w / 4, h / 4), kGreen, 12));
    EXPECT_TRUE(near(rgbAt(decoded, w / 4, 3 * h / 4), kBlue, 12));
}

TEST_F(X11ScreenSourceTest, DamageTellsAStillScreenFromDrawingAndPointerMoves) {
    auto source = makeX11ScreenSource(nullptr);
    EXPECT_FALSE(source->unchangedSinceLastCapture()) << "nothing captured yet";
    ASSERT_TRUE(source->capture({640, 400}));
    EXPECT_TRUE(source->unchangedSinceLastCapture());
    EXPECT_TRUE(source->unchangedSinceLastCapture());
    fill(0x123456, 10, 10, 5, 5);
    EXPECT_FALSE(source->unchangedSinceLastCapture());

    // Drawing inside an application's window counts too, and lands in the next capture.
    Window window = XCreateSimpleWindow(display, root, 100, 100, 50, 50, 0, 0, kWhite);
    XMapWindow(display, window);
    XSync(display, False);
    ASSERT_TRUE(source->capture({1280, 800}));
    fill(0x654321, 0, 0, 10, 10, window);
    EXPECT_FALSE(source->unchangedSinceLastCapture());
    const auto drawn = source->capture({1280, 800});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(rgbAt(*drawn, 12, 12), 0x123456u);
    EXPECT_EQ(rgbAt(*drawn, 105, 105), 0x654321u);
    XDestroyWindow(display, window);
    XSync(display, False);

    ASSERT_TRUE(source->capture({640, 400}));
    EXPECT_TRUE(source->unchangedSinceLastCapture());
    movePointer(1200, 700);
    EXPECT_FALSE(source->unchangedSinceLastCapture());
}

// The picture kept in place follows the damage: after random drawing and pointer moves it equals a
// fresh capture pixel for pixel, and rows outside the reported runs are those of the picture
// before.
TEST_F(X11ScreenSourceTest, UpdatingOnlyDamagedPartsMatchesAFreshCapture) {
    std::mt19937 rng(11);
    // Halved, and reduced to widths that are no multiple of the scaler's vector chunks.
    for (const PixelSize size : {PixelSize{1000, 625}, PixelSize{640, 400}, PixelSize{853, 533}}) {
        auto source = makeX11ScreenSource(nullptr);
        std::vector<velora::PictureRows> changed;
        const Image* kept = source->captureInPlace(size, changed);
        ASSERT_TRUE(kept);
        EXPECT_EQ(changed, (std::vector<velora::PictureRows>{{0, size.height}}));
        for (int round = 0; round < 12; ++round) {
            const Image before = *kept;
            for (int i = 0; i < 1 + round % 4 * 6; ++i)
                fill(rng() & 0xFFFFFF, int(rng() % 1250), int(rng() % 780),
                     round % 4 == 2 ? 600 + rng() % 680 : 1 + rng() % 300,
                     1 + rng() % (round % 3 == 0 ? 8 : 200));
            if (round % 2) movePointer(int(rng() % 1280), int(rng() % 800));
            ASSERT_EQ(source->captureInPlace(size, changed), kept);
            const auto fresh = makeX11ScreenSource(nullptr)->capture(size);
            ASSERT_TRUE(fresh);
            ASSERT_EQ(*kept, *fresh) << size.width << " round " << round;
            int y = 0;
            const size_t pitch = size_t(size.width) * 4;
            for (const auto& rows : changed) {
                ASSERT_TRUE(y <= rows.begin && rows.begin < rows.end && rows.end <= size.height)
                    << "runs out of order, overlapping or outside the picture";
                for (; y < rows.begin; ++y)
                    ASSERT_EQ(std::memcmp(kept->pixels.data() + y * pitch,
                                          before.pixels.data() + y * pitch, pitch),
                              0)
                        << "row " << y << " changed outside the reported runs";
                y = rows.end;
            }
            for (; y < size.height; ++y)
                ASSERT_EQ(std::memcmp(kept->pixels.data() + y * pitch,
                                      before.pixels.data() + y * pitch, pitch),
                          0)
                    << "row " << y << " changed below the reported runs";
        }
    }
}

TEST_F(X11ScreenSourceTest, CapturabilityFollowsTheDisplay) {
    EXPECT_TRUE(x11ScreenCapturable(nullptr));
    EXPECT_FALSE(x11ScreenCapturable(":4999"));
    EXPECT_EQ(makeX11ScreenSource(":4999"), nullptr);
}

// A server without MIT-SHM: captures fall back to plain image requests.
TEST(X11ScreenSourceWithoutShm, CapturesThroughPlainImageRequests) {
    std::mt19937 rng(static_cast<unsigned>(getpid()) * 31u);
    std::string name, socket;
    for (int attempt = 0; attempt < 10 && (name.empty() || std::filesystem::exists(socket));
         ++attempt) {
        name = ":" + std::to_string(50 + rng() % 200);
        socket = "/tmp/.X11-unix/X" + name.substr(1);
    }
    ASSERT_FALSE(std::filesystem::exists(socket));
    const char* argv[] = {"Xvfb",       name.c_str(), "-screen",   "0",
                          "640x480x24", "-noreset",   "-nolisten", "tcp",
                          "-extension", "MIT-SHM",    nullptr};
    pid_t xvfb = 0;
    ASSERT_EQ(posix_spawnp(&xvfb, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    Display* display = XOpenDisplay(name.c_str());
    std::optional<Image> image;
    if (display) {
        XSetWindowBackground(display, DefaultRootWindow(display), kBlue);
        XClearWindow(display, DefaultRootWindow(display));
        XSync(display, False);
        image = makeX11ScreenSource(name.c_str())->capture({320, 240});
        XCloseDisplay(display);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    ASSERT_TRUE(image);
    EXPECT_TRUE(near(rgbAt(*image, 20, 20), kBlue));
}

}  // namespace
