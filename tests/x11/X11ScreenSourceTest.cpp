#include "platform/linux/X11ScreenSource.h"

// gtest before Xlib: Xlib's macros (None, Bool) clash with gtest's names.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <turbojpeg.h>

#include <filesystem>
#include <random>
#include <thread>

#include "core/JpegEncoder.h"

using velora::Image;
using velora::PixelSize;
using velora::ScreenSource;
using velora::linux_::makeX11ScreenSource;
using velora::linux_::x11ScreenCapturable;

extern char** environ;

namespace {

constexpr unsigned long kRed = 0xE02010, kGreen = 0x20C040, kBlue = 0x3040D0, kWhite = 0xF0F0F0;

// Pixel (x, y) of a BGRA image as 0xRRGGBB.
unsigned long rgbAt(const Image& image, int x, int y) {
    const uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * image.width + x) * 4;
    return static_cast<unsigned long>(p[2]) << 16 | p[1] << 8 | p[0];
}

bool near(unsigned long a, unsigned long b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(d) > tolerance) return false;
    }
    return true;
}

// Draws on the test's Xvfb through a connection of its own.
class X11ScreenSourceTest : public testing::Test {
  protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        root = DefaultRootWindow(display);
        gc = XCreateGC(display, root, 0, nullptr);
        // Four quadrants of 640 x 400; the pointer parked in the white one's far corner.
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
        XWarpPointer(display, None, root, 0, 0, 0, 0, x, y);
        XSync(display, False);
    }

    Display* display = nullptr;
    Window root = 0;
    GC gc = nullptr;
};

void expectQuadrants(const Image& image, int tolerance) {
    const int w = image.width, h = image.height;
    EXPECT_TRUE(near(rgbAt(image, w / 4, h / 4), kRed, tolerance))
        << std::hex << rgbAt(image, w / 4, h / 4);
    EXPECT_TRUE(near(rgbAt(image, 3 * w / 4, h / 4), kGreen, tolerance));
    EXPECT_TRUE(near(rgbAt(image, w / 4, 3 * h / 4), kBlue, tolerance));
    EXPECT_TRUE(near(rgbAt(image, 3 * w / 4, 3 * h / 4 - 20), kWhite, tolerance));
    // Just either side of the vertical border, a box filter keeps the colours apart.
    EXPECT_TRUE(near(rgbAt(image, w / 2 - 1, h / 8), kRed, tolerance));
    EXPECT_TRUE(near(rgbAt(image, w / 2, h / 8), kGreen, tolerance));
}

TEST_F(X11ScreenSourceTest, CapturesTheScreenScaledWithColoursInPlace) {
    auto source = makeX11ScreenSource(nullptr);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->pixelSize(), (PixelSize{1280, 800}));
    const auto image = source->capture({640, 400});
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 640);
    ASSERT_EQ(image->height, 400);
    // The scaler's fixed-point averaging may lose a step or two of a channel.
    expectQuadrants(*image, 3);

    // A size that does not divide evenly still lands each colour in its place.
    const auto odd = source->capture({1000, 625});
    ASSERT_TRUE(odd);
    expectQuadrants(*odd, 3);
}

TEST_F(X11ScreenSourceTest, DrawsThePointerAtItsScaledPlace) {
    auto source = makeX11ScreenSource(nullptr);
    ASSERT_TRUE(source);
    movePointer(320, 200);
    const auto image = source->capture({640, 400});
    ASSERT_TRUE(image);
    int marked = 0;
    for (int y = 90; y < 110; ++y)
        for (int x = 150; x < 170; ++x) marked += !near(rgbAt(*image, x, y), kRed, 3);
    EXPECT_GT(marked, 0) << "no pointer around (160, 100)";
    EXPECT_TRUE(near(rgbAt(*image, 100, 50), kRed, 3));
}

TEST_F(X11ScreenSourceTest, JpegOfACaptureDecodesToTheFrameSizeAndColours) {
    auto source = makeX11ScreenSource(nullptr);
    ASSERT_TRUE(source);
    const auto image = source->capture({640, 400});
    ASSERT_TRUE(image);
    velora::JpegEncoder encoder;
    const auto jpeg = encoder.encode(*image, 60);
    ASSERT_TRUE(jpeg);

    tjhandle decoder = tjInitDecompress();
    int w = 0, h = 0, subsampling = -1, colorspace = 0;
    ASSERT_EQ(
        tjDecompressHeader3(decoder, jpeg->data(), jpeg->size(), &w, &h, &subsampling, &colorspace),
        0);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 400);
    EXPECT_EQ(subsampling, TJSAMP_420);
    Image decoded{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
    ASSERT_EQ(tjDecompress2(decoder, jpeg->data(), jpeg->size(), decoded.pixels.data(), w, 0, h,
                            TJPF_BGRX, 0),
              0);
    tjDestroy(decoder);
    const int w4 = w / 4, h4 = h / 4;
    EXPECT_TRUE(near(rgbAt(decoded, w4, h4), kRed, 12));
    EXPECT_TRUE(near(rgbAt(decoded, 3 * w4, h4), kGreen, 12));
    EXPECT_TRUE(near(rgbAt(decoded, w4, 3 * h4), kBlue, 12));
}

TEST_F(X11ScreenSourceTest, DamageTellsAStillScreenFromDrawingAndPointerMoves) {
    auto source = makeX11ScreenSource(nullptr);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->unchangedSinceLastCapture()) << "nothing captured yet";
    ASSERT_TRUE(source->capture({640, 400}));
    EXPECT_TRUE(source->unchangedSinceLastCapture());
    EXPECT_TRUE(source->unchangedSinceLastCapture());

    fill(0x123456, 10, 10, 5, 5);
    EXPECT_FALSE(source->unchangedSinceLastCapture());
    const auto drawn = source->capture({1280, 800});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(rgbAt(*drawn, 12, 12), 0x123456u);
    EXPECT_TRUE(source->unchangedSinceLastCapture());

    // Drawing inside an application's window counts too.
    Window window = XCreateSimpleWindow(display, root, 100, 100, 50, 50, 0, 0, kWhite);
    XMapWindow(display, window);
    XSync(display, False);
    ASSERT_TRUE(source->capture({640, 400}));
    fill(0x654321, 0, 0, 10, 10, window);
    EXPECT_FALSE(source->unchangedSinceLastCapture());
    XDestroyWindow(display, window);
    XSync(display, False);

    ASSERT_TRUE(source->capture({640, 400}));
    EXPECT_TRUE(source->unchangedSinceLastCapture());
    movePointer(1200, 700);
    EXPECT_FALSE(source->unchangedSinceLastCapture());
}

TEST_F(X11ScreenSourceTest, UpdatingOnlyDamagedPartsMatchesAFreshCapture) {
    std::mt19937 rng(11);
    for (const PixelSize size : {PixelSize{1000, 625}, PixelSize{640, 400}}) {
        auto source = makeX11ScreenSource(nullptr);
        ASSERT_TRUE(source);
        ASSERT_TRUE(source->capture(size));
        for (int round = 0; round < 4; ++round) {
            for (int i = 0; i < 1 + round * 9; ++i) {
                fill(rng() & 0xFFFFFF, static_cast<int>(rng() % 1250),
                     static_cast<int>(rng() % 780), 1 + rng() % 300, 1 + rng() % 200);
            }
            const auto updated = source->capture(size);
            const auto fresh = makeX11ScreenSource(nullptr)->capture(size);
            ASSERT_TRUE(updated && fresh);
            ASSERT_EQ(*updated, *fresh) << size.width << " round " << round;
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
    int number = 0;
    pid_t xvfb = 0;
    for (int attempt = 0; attempt < 10 && xvfb == 0; ++attempt) {
        number = 50 + static_cast<int>(rng() % 200);
        if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) continue;
        const std::string name = ":" + std::to_string(number);
        const char* argv[] = {"Xvfb",       name.c_str(), "-screen",   "0",
                              "640x480x24", "-noreset",   "-nolisten", "tcp",
                              "-extension", "MIT-SHM",    nullptr};
        if (posix_spawnp(&xvfb, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ))
            xvfb = 0;
        for (int i = 0; xvfb && i < 100; ++i) {
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) break;
            if (waitpid(xvfb, nullptr, WNOHANG) == xvfb) xvfb = 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ASSERT_NE(xvfb, 0);
    const std::string name = ":" + std::to_string(number);
    Display* display = XOpenDisplay(name.c_str());
    if (display) {
        XSetWindowBackground(display, DefaultRootWindow(display), kBlue);
        XClearWindow(display, DefaultRootWindow(display));
        XSync(display, False);
        auto source = makeX11ScreenSource(name.c_str());
        ASSERT_TRUE(source);
        EXPECT_EQ(source->pixelSize(), (PixelSize{640, 480}));
        const auto image = source->capture({320, 240});
        ASSERT_TRUE(image);
        EXPECT_TRUE(near(rgbAt(*image, 20, 20), kBlue, 3));
        XCloseDisplay(display);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    EXPECT_NE(display, nullptr);
}

}  // namespace
