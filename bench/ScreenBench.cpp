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

#include "BenchDesktop.h"
#include "BenchProcess.h"
#include "BenchXvfb.h"
#include "platform/linux/X11ScreenSource.h"

namespace {

using bench::end;
using bench::Meter;
using bench::Seconds;
using bench::spawn;
using bench::Usage;

// Runs the live view for `seconds`; returns the usage and the number of JPEG frames sent.
std::pair<Usage, int> runVelora(const std::string& display, pid_t server, double seconds) {
    return bench::runView(velora::linux_::makeX11ScreenSource(display.c_str()), server, seconds);
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
    const pid_t server = bench::startXvfb("1920x1080x24");
    const std::string display = server ? std::getenv("DISPLAY") : "";
    if (!server) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) {
        end(server);
        return 1;
    }
    bench::drawDesktop(connection);
    XCloseDisplay(connection);

    compare("small region (480x270 redrawn at 15 fps)", bench::animate, display, server, seconds);
    compare("moving window (822x642 moved 30 times a second)", bench::moveWindow, display, server,
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
