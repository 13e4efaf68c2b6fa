// The wlroots backend beside the X11 one, in one run: a headless sway (HEADLESS-1, 1920x1080,
// software rendering) and an Xvfb of the same size, both started here.
//
// - Line to flush: the time from a protocol line leaving the phone's socket to the flush that
//   sends its requests to the compositor (wl_display_flush) or the X server (XFlush), p50 and
//   p99, for M, MA, C, K and T lines.
// - CPU per changed frame of the live view (capture, scale, compare, JPEG at 1280 wide, quality
//   60) while a 480x270 region of a 1920x1080 picture is redrawn 15 times a second: on sway by a
//   small Wayland client that damages only that region, on Xvfb by XPutImage. The display
//   server's share is included: its CPU time during the view minus what the drawing alone costs.
// - A still screen: the view's CPU (the program and the display server) while nothing changes.
//
// Usage: WaylandBench [Google Benchmark flags] [--seconds=N per screen run, default 10]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchDesktop.h"
#include "BenchProcess.h"
#include "BenchSway.h"
#include "BenchXvfb.h"
#include "FlushClock.h"
#include "WaylandPainter.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11ScreenSource.h"
#include "platform/wayland/WaylandPlatform.h"
#include "platform/wayland/WaylandScreenSource.h"

using namespace velora;

namespace {

bench::Sway sway;
pid_t xvfb = 0;

enum Backend { x11, wlroots };
const char* const kBackendNames[] = {"X11", "wlroots"};

// Each kind of line twice, so that moves go back and forth and keys are pressed in turn.
struct LineKind {
    const char* name;
    const char* lines[2];
};
const LineKind kLines[] = {
    {"M", {"M 3 -2\n", "M -3 2\n"}},
    {"MA", {"MA 30000 30000\n", "MA 35000 35000\n"}},
    {"C", {"C\n", "C right\n"}},
    {"K", {"K a\n", "K ENTER\n"}},
    // "Hé" and "ok": a keysym outside the base map, bound once and kept.
    {"T", {"T SMOp\n", "T b2s=\n"}},
};

std::unique_ptr<bench::Rig> rigs[2];

bench::Rig* rigFor(Backend backend) {
    if (rigs[backend]) return rigs[backend].get();
    std::optional<Platform> platform;
    if (backend == x11) {
        platform = makeLinuxInputPlatform(nullptr);
    } else {
        WaylandOffer offer;
        platform = makeWaylandPlatform(sway.socket.c_str(), offer);
    }
    if (platform && platform->events && platform->events->trusted())
        rigs[backend] = std::make_unique<bench::Rig>(*platform, kBackendNames[backend]);
    return rigs[backend].get();
}

// One line at a time: from just before the send to the flush that carried its events.
void lineToFlush(benchmark::State& state, Backend backend, const LineKind& kind) {
    bench::Rig* rig = rigFor(backend);
    if (rig == nullptr) return state.SkipWithError("the backend has no input");
    bench::timeLineToFlush(state, *rig, kind.lines[0], kind.lines[1]);
}

struct ScreenRun {
    bench::Usage usage;
    int frames;
    // The display server's CPU rate with the drawing alone, no viewer.
    double drawingRate;
    // CPU milliseconds per JPEG frame: the program plus the server's share above the drawing.
    double perFrameMs() const {
        const double serverShare = usage.serverCpu - drawingRate * usage.seconds;
        return 1000.0 * (usage.processCpu + serverShare) / std::max(frames, 1);
    }
};

using SourceMaker = std::function<std::unique_ptr<ScreenSource>()>;

// The drawing's cost to the server alone, then a view of it.
ScreenRun changingScreen(pid_t server, pid_t drawer, const SourceMaker& source, double seconds) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const bench::Meter drawing{drawer, server};
    std::this_thread::sleep_for(bench::Seconds(seconds));
    const bench::Usage idle = drawing.read();
    const auto [usage, frames] = bench::runView(source(), server, seconds);
    return {usage, frames, idle.serverCpu / idle.seconds};
}

void printScreen(const char* name, const ScreenRun& run) {
    std::printf(
        "%-8s: %d frames in %.1f s, process %.2f s, server %.2f s CPU (drawing alone "
        "%.1f%% of a core): %.2f ms per changed frame\n",
        name, run.frames, run.usage.seconds, run.usage.processCpu, run.usage.serverCpu,
        100 * run.drawingRate, run.perFrameMs());
}

void printStill(const char* name, const bench::Usage& still, int frames) {
    std::printf(
        "%-8s still: %d frames, %.2f%% of a core (process %.2f s + server %.2f s in "
        "%.1f s)\n",
        name, frames, 100 * (still.processCpu + still.serverCpu) / still.seconds, still.processCpu,
        still.serverCpu, still.seconds);
}

void screenRuns(double seconds) {
    const std::string display = std::getenv("DISPLAY");
    if (Display* connection = XOpenDisplay(display.c_str())) {
        bench::drawDesktop(connection);
        XCloseDisplay(connection);
    }
    const SourceMaker x11Source = [display] {
        return linux_::makeX11ScreenSource(display.c_str());
    };
    const SourceMaker waylandSource = [] {
        return wayland::makeScreencopySource(sway.socket.c_str());
    };

    // Both still first: nothing draws yet on either server.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto [waylandStill, waylandStillFrames] =
        bench::runView(waylandSource(), sway.pid, seconds);
    const auto [x11Still, x11StillFrames] = bench::runView(x11Source(), xvfb, seconds);

    const pid_t painter = fork();
    if (painter == 0) bench::WaylandPainter::run(sway.socket);
    const ScreenRun waylandRun = changingScreen(sway.pid, painter, waylandSource, seconds);
    bench::end(painter);

    const pid_t drawer = fork();
    if (drawer == 0) bench::animate(display);
    const ScreenRun x11Run = changingScreen(xvfb, drawer, x11Source, seconds);
    bench::end(drawer);

    printScreen("wlroots", waylandRun);
    printScreen("X11", x11Run);
    std::printf("CPU per changed frame, wlroots / X11: %.2f\n",
                waylandRun.perFrameMs() / x11Run.perFrameMs());
    printStill("wlroots", waylandStill, waylandStillFrames);
    printStill("X11", x11Still, x11StillFrames);
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--seconds=", 10) == 0) seconds = std::atof(argv[i] + 10);
    if ((xvfb = bench::startXvfb("1920x1080x24")) == 0) {
        std::fprintf(stderr, "Xvfb could not be started\n");
        return 1;
    }
    sway = bench::startSway(bench::kWidth, bench::kHeight);
    if (sway.pid == 0) {
        std::fprintf(stderr, "sway could not be started\n");
        bench::stopXvfb(xvfb);
        return 1;
    }
    for (const Backend backend : {x11, wlroots})
        for (const LineKind& kind : kLines)
            benchmark::RegisterBenchmark(
                (std::string("lineToFlush/") + kBackendNames[backend] + "/" + kind.name).c_str(),
                [backend, &kind](benchmark::State& state) { lineToFlush(state, backend, kind); })
                ->Iterations(5000)
                ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& rig : rigs) rig.reset();
    if (seconds > 0) screenRuns(seconds);
    bench::stopSway(sway);
    bench::stopXvfb(xvfb);
    return 0;
}
