// The picture the screen benchmarks show on an X server: a desktop-like still picture and a
// "video" region redrawn 15 times a second.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace bench {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRegionW = 480, kRegionH = 270;
constexpr int kRegionX = 1000, kRegionY = 200;
constexpr int kWindowW = 822, kWindowH = 642;

// The video region's pixels (0x00RRGGBB) in its `frame`th picture.
inline void videoFrame(std::vector<uint32_t>& pixels, int frame) {
    pixels.resize(static_cast<size_t>(kRegionW) * kRegionH);
    for (int y = 0; y < kRegionH; ++y)
        for (int x = 0; x < kRegionW; ++x) {
            const int v = (x * 3 + y * 2 + frame * 9) & 0xFF;
            const int w = ((x - y) / 4 + frame * 5) & 0xFF;
            pixels[static_cast<size_t>(y) * kRegionW + x] =
                static_cast<uint32_t>(v << 16 | w << 8 | ((v + w) / 2));
        }
}

// A desktop-like picture as the root window's background, so that the server repaints whatever a
// moved window uncovers: a gradient wallpaper, windows with title bars and lines of text, and a
// photo-like area of smooth noise.
inline void drawDesktop(Display* display) {
    const Window root = DefaultRootWindow(display);
    const int screen = DefaultScreen(display);
    std::vector<uint32_t> wallpaper(static_cast<size_t>(kWidth) * kHeight);
    std::mt19937 rng(7);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t r = 30 + x * 60 / kWidth, g = 60 + y * 80 / kHeight,
                           b = 120 + (x + y) * 100 / (kWidth + kHeight);
            wallpaper[static_cast<size_t>(y) * kWidth + x] = r << 16 | g << 8 | b;
        }
    for (int y = 600; y < 1000; ++y)
        for (int x = 1200; x < 1800; ++x) {
            const double v = 0.5 + 0.25 * std::sin(x / 37.0) * std::cos(y / 23.0) +
                             0.1 * (static_cast<int>(rng() % 100) / 100.0);
            const auto c = static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255);
            wallpaper[static_cast<size_t>(y) * kWidth + x] = c << 16 | (c * 3 / 4) << 8 | c / 2;
        }
    const Pixmap desktop = XCreatePixmap(display, root, kWidth, kHeight, 24);
    XImage* image = XCreateImage(display, DefaultVisual(display, screen), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(wallpaper.data()), kWidth, kHeight, 32, 0);
    GC gc = XCreateGC(display, desktop, 0, nullptr);
    XPutImage(display, desktop, gc, image, 0, 0, 0, 0, kWidth, kHeight);
    image->data = nullptr;
    XDestroyImage(image);

    const int windows[][4] = {{60, 60, 900, 620}, {700, 140, 760, 420}, {200, 640, 820, 380}};
    for (const auto& w : windows) {
        XSetForeground(display, gc, 0xFAFAFA);
        XFillRectangle(display, desktop, gc, w[0], w[1], w[2], w[3]);
        XSetForeground(display, gc, 0x3C3F44);
        XFillRectangle(display, desktop, gc, w[0], w[1], w[2], 28);
        XSetForeground(display, gc, 0x202020);
        for (int line = 0; line < (w[3] - 40) / 16; ++line) {
            const std::string text = "  " + std::to_string(line * 37 + w[0]) +
                                     "  int main(int argc, char** argv) { return run(argv); }";
            XDrawString(display, desktop, gc, w[0] + 8, w[1] + 48 + line * 16, text.c_str(),
                        static_cast<int>(text.size()) - (line % 7) * 4);
        }
    }
    XFreeGC(display, gc);
    XSetWindowBackgroundPixmap(display, root, desktop);
    XClearWindow(display, root);
    XFreePixmap(display, desktop);
    XSync(display, False);
}

// Redraws a 480x270 "video" region 15 times a second until killed.
[[noreturn]] inline void animate(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display) _exit(1);
    const Window root = DefaultRootWindow(display);
    std::vector<uint32_t> pixels(static_cast<size_t>(kRegionW) * kRegionH);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, DefaultScreen(display)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(pixels.data()), kRegionW, kRegionH, 32, 0);
    GC gc = XCreateGC(display, root, 0, nullptr);
    auto next = std::chrono::steady_clock::now();
    for (int frame = 0;; ++frame) {
        videoFrame(pixels, frame);
        XPutImage(display, root, gc, image, 0, 0, kRegionX, kRegionY, kRegionW, kRegionH);
        XSync(display, False);
        next += std::chrono::microseconds(66667);
        std::this_thread::sleep_until(next);
    }
}

// Moves a textured 822x642 window (text on a noisy photo-like background) 30 times a second
// around the desktop until killed; the server repaints both the window and what it uncovers.
[[noreturn]] inline void moveWindow(const std::string& displayName) {
    Display* display = XOpenDisplay(displayName.c_str());
    if (!display) _exit(1);
    const Window root = DefaultRootWindow(display);
    std::vector<uint32_t> pixels(static_cast<size_t>(kWindowW) * kWindowH);
    std::mt19937 rng(3);
    for (int y = 0; y < kWindowH; ++y)
        for (int x = 0; x < kWindowW; ++x) {
            const int v = 128 + static_cast<int>(60 * std::sin(x / 19.0 + y / 41.0)) +
                          static_cast<int>(rng() % 24);
            pixels[static_cast<size_t>(y) * kWindowW + x] =
                static_cast<uint32_t>(v << 16 | (255 - v) << 8 | (v / 2 + 40));
        }
    const Pixmap texture = XCreatePixmap(display, root, kWindowW, kWindowH, 24);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, DefaultScreen(display)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(pixels.data()), kWindowW, kWindowH, 32, 0);
    GC gc = XCreateGC(display, texture, 0, nullptr);
    XPutImage(display, texture, gc, image, 0, 0, 0, 0, kWindowW, kWindowH);
    XSetForeground(display, gc, 0x101010);
    for (int line = 0; line < kWindowH / 18; ++line) {
        const std::string text = "window line " + std::to_string(line) + "  the quick brown fox";
        XDrawString(display, texture, gc, 12, 20 + line * 18, text.c_str(),
                    static_cast<int>(text.size()));
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = texture;
    const Window window =
        XCreateWindow(display, root, 100, 100, kWindowW, kWindowH, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixmap, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    auto next = std::chrono::steady_clock::now();
    for (int step = 0;; ++step) {
        // Around an ellipse across most of the screen, 24 pixels a move.
        const double angle = step * 0.03;
        const int x = static_cast<int>((kWidth - kWindowW) / 2 * (1 + std::cos(angle)));
        const int y = static_cast<int>((kHeight - kWindowH) / 2 * (1 + std::sin(angle)));
        XMoveWindow(display, window, x, y);
        XSync(display, False);
        next += std::chrono::microseconds(33333);
        std::this_thread::sleep_until(next);
    }
}

}  // namespace bench
