// CPU cost of the live view's pipeline (capture, scale, compare, encode) against an ffmpeg x11grab
// + scale + MJPEG pipeline (720p, 4:2:0) on the same Xvfb 1920x1080 desktop, in two workloads:
// a 480x270 region redrawn at 15 fps, and a textured 822x642 window moved 30 times a second
// (about a third of the screen damaged per frame). Then the cost of a still screen. The X
// server's share is included for both: its CPU time during each run minus what the drawing alone
// costs it.
//
// Usage: ScreenBench [seconds per run, default 10]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/screen/ScreenStreamer.h"
#include "platform/linux/X11ScreenSource.h"

extern char** environ;

namespace {

using Seconds = std::chrono::duration<double>;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRegionW = 480, kRegionH = 270;
constexpr int kWindowW = 822, kWindowH = 642;

// CPU seconds (user + system) of a process from /proc/<pid>/stat.
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
}

pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : 0;
}

void end(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

pid_t startXvfb(std::string& name) {
    std::mt19937 rng(static_cast<unsigned>(getpid()));
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int number = 50 + static_cast<int>(rng() % 200);
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (std::filesystem::exists(socket)) continue;
        name = ":" + std::to_string(number);
        const pid_t pid =
            spawn({"Xvfb", name, "-screen", "0", "1920x1080x24", "-noreset", "-nolisten", "tcp"});
        for (int i = 0; pid && i < 100; ++i) {
            if (std::filesystem::exists(socket)) return pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        end(pid);
    }
    return 0;
}

// A desktop-like picture as the root window's background, so that the server repaints whatever a
// moved window uncovers: a gradient wallpaper, windows with title bars and lines of text, and a
// photo-like area of smooth noise.
void drawDesktop(Display* display) {
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
[[noreturn]] void animateRegion(const std::string& displayName) {
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
        for (int y = 0; y < kRegionH; ++y)
            for (int x = 0; x < kRegionW; ++x) {
                const int v = (x * 3 + y * 2 + frame * 9) & 0xFF;
                const int w = ((x - y) / 4 + frame * 5) & 0xFF;
                pixels[static_cast<size_t>(y) * kRegionW + x] =
                    static_cast<uint32_t>(v << 16 | w << 8 | ((v + w) / 2));
            }
        XPutImage(display, root, gc, image, 0, 0, 1000, 200, kRegionW, kRegionH);
        XSync(display, False);
        next += std::chrono::microseconds(66667);
        std::this_thread::sleep_until(next);
    }
}

// Moves a textured 822x642 window (text on a noisy photo-like background) 30 times a second
// around the desktop until killed; the server repaints both the window and what it uncovers.
[[noreturn]] void moveWindow(const std::string& displayName) {
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

struct Usage {
    double seconds;
    double processCpu;
    double serverCpu;
};

struct Meter {
    pid_t process;
    pid_t server;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    double processStart = cpuSeconds(process);
    double serverStart = cpuSeconds(server);
    Usage read() const {
        return {Seconds(std::chrono::steady_clock::now() - start).count(),
                cpuSeconds(process) - processStart, cpuSeconds(server) - serverStart};
    }
};

// Runs the live view for `seconds`; returns the usage and the number of JPEG frames sent.
std::pair<Usage, int> runVelora(const std::string& display, pid_t server, double seconds) {
    std::atomic<int> jpegs{0};
    std::atomic<velora::ScreenStreamer*> view{nullptr};
    velora::ScreenStreamer::Target target{
        [](std::string) {},
        [&](std::vector<uint8_t> frame, std::function<void(bool)> done) {
            if (frame.size() > 4) ++jpegs;
            done(true);
            if (auto* v = view.load()) v->ack();
        }};
    velora::ScreenStreamer streamer(
        velora::linux_::makeX11ScreenSource(display.c_str()), target, 1280, 60, [] { return true; },
        [] {});
    view = &streamer;
    // The first frames set up buffers; measure the steady state.
    streamer.start();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const int before = jpegs;
    Meter meter{getpid(), server};
    std::this_thread::sleep_for(Seconds(seconds));
    const Usage usage = meter.read();
    const int sent = jpegs - before;
    streamer.stop();
    return {usage, sent};
}

int progressFrames(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    int frames = 0;
    while (std::getline(in, line))
        if (line.rfind("frame=", 0) == 0) frames = std::stoi(line.substr(6));
    return frames;
}

// Runs ffmpeg's pipeline for `seconds`; returns the usage and the number of frames encoded. The
// grabber can stamp two frames alike on a busy machine, which the encoder refuses: frames are
// stamped by their number instead.
std::pair<Usage, int> runFfmpeg(const std::string& display, pid_t server, double seconds) {
    const std::string progress = "/tmp/velora-bench-progress-" + std::to_string(getpid());
    const pid_t ffmpeg =
        spawn({"ffmpeg",     "-nostdin", "-loglevel",   "error",
               "-progress",  progress,   "-f",          "x11grab",
               "-framerate", "15",       "-video_size", "1920x1080",
               "-i",         display,    "-vf",         "setpts=N/15/TB,scale=1280:720",
               "-pix_fmt",   "yuvj420p", "-c:v",        "mjpeg",
               "-q:v",       "7",        "-f",          "null",
               "-"});
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const int startFrames = progressFrames(progress);
    Meter meter{ffmpeg, server};
    std::this_thread::sleep_for(Seconds(seconds));
    const Usage usage = meter.read();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));  // the progress file lags
    const int frames = progressFrames(progress) - startFrames;
    end(ffmpeg);
    std::filesystem::remove(progress);
    return {usage, frames};
}

// One workload: the drawing alone, then Velora, then ffmpeg, each for `seconds`. Prints each
// one's CPU per changed frame, the X server's share beyond the drawing's included.
void compare(const char* name, void (*draw)(const std::string&), const std::string& display,
             pid_t server, double seconds) {
    const pid_t drawer = fork();
    if (drawer == 0) draw(display);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    Meter drawing{drawer, server};
    std::this_thread::sleep_for(Seconds(seconds));
    const Usage idle = drawing.read();
    const double drawingServerRate = idle.serverCpu / idle.seconds;
    const auto [velora, jpegs] = runVelora(display, server, seconds);
    const auto [ff, ffmpegFrames] = runFfmpeg(display, server, seconds);
    end(drawer);

    const auto perFrameMs = [&](const Usage& u, int frames) {
        const double serverShare = u.serverCpu - drawingServerRate * u.seconds;
        return 1000.0 * (u.processCpu + serverShare) / std::max(frames, 1);
    };
    const double veloraMs = perFrameMs(velora, jpegs);
    const double ffmpegMs = perFrameMs(ff, ffmpegFrames);
    std::printf("== %s\n", name);
    std::printf("drawing alone: X server %.1f%% of a core\n", 100 * drawingServerRate);
    std::printf("velora : %d frames in %.1f s, process %.2f s, X server %.2f s CPU\n", jpegs,
                velora.seconds, velora.processCpu, velora.serverCpu);
    std::printf("ffmpeg : %d frames in %.1f s, process %.2f s, X server %.2f s CPU\n", ffmpegFrames,
                ff.seconds, ff.processCpu, ff.serverCpu);
    std::printf("CPU per changed frame: velora %.2f ms, ffmpeg %.2f ms, ratio %.2f\n", veloraMs,
                ffmpegMs, veloraMs / ffmpegMs);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    std::string display;
    const pid_t server = startXvfb(display);
    if (!server) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) {
        end(server);
        return 1;
    }
    drawDesktop(connection);
    XCloseDisplay(connection);

    compare("small region (480x270 redrawn at 15 fps)", animateRegion, display, server, seconds);
    compare("moving window (822x642 moved 30 times a second)", moveWindow, display, server,
            seconds);
    const auto [still, stillJpegs] = runVelora(display, server, seconds);
    end(server);
    std::printf(
        "== still screen: %d frames, %.2f%% of a core (process %.2f s + X server %.2f s in "
        "%.1f s)\n",
        stillJpegs, 100 * (still.processCpu + still.serverCpu) / still.seconds, still.processCpu,
        still.serverCpu, still.seconds);
    return 0;
}
