// CPU cost of the live view's PipeWire path: a 1920x1080 BGRx screen cast from a producer node
// on a private daemon, taken by the PipeWire source and scaled to 1280x720 at the view's 15
// ticks a second. Counted are the source's two threads: the connection's (which copies each
// frame out of its buffer) and the capturing one (which scales); the producer's work is not.
// Runs: the picture changing at several producer rates, and a still picture.
//
// Usage: PipeWireBench [seconds per run, default 10]
#include <dirent.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "PipeWireDaemon.h"
#include "TestVideoProducer.h"
#include "platform/pipewire/PipeWireScreenSource.h"
#include "spa/param/video/raw.h"

namespace {

using namespace velora;
using Clock = std::chrono::steady_clock;
constexpr int kWidth = 1920, kHeight = 1080;
constexpr PixelSize kViewSize{1280, 720};
constexpr auto kTick = std::chrono::microseconds(1'000'000 / 15);

// CPU seconds of this process's threads with the given name, from /proc/self/task.
double threadCpuSeconds(const std::string& name) {
    double total = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return 0;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        const std::string dir = std::string("/proc/self/task/") + entry->d_name;
        std::string comm;
        std::getline(std::ifstream(dir + "/comm"), comm);
        if (comm != name) continue;
        std::ifstream in(dir + "/stat");
        std::string text((std::istreambuf_iterator<char>(in)), {});
        std::istringstream fields(text.substr(text.rfind(')') + 2));
        std::string field;
        unsigned long long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14) utime = std::stoull(field);
            if (i == 15) stime = std::stoull(field);
        }
        total += static_cast<double>(utime + stime) / sysconf(_SC_CLK_TCK);
    }
    closedir(tasks);
    return total;
}

double ownThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Result {
    int produced = 0;
    int pictures = 0;
    double connectionCpu = 0;
    double captureCpu = 0;
};

// The view's frame pump: each tick, a capture unless the source says nothing changed.
Result run(ScreenSource& source, test::TestVideoProducer& producer, double seconds, int fps,
           const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    Result result;
    std::atomic<bool> done{false};
    std::thread viewer([&] {
        const double start = ownThreadCpuSeconds();
        auto next = Clock::now();
        while (!done) {
            if (!source.unchangedSinceLastCapture() && source.capture(kViewSize)) ++result.pictures;
            next += kTick;
            std::this_thread::sleep_until(next);
        }
        result.captureCpu = ownThreadCpuSeconds() - start;
    });
    const double connectionStart = threadCpuSeconds("velora.pipewire");
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    auto next = Clock::now();
    while (Clock::now() < end) {
        if (fps > 0) {
            producer.show(result.produced % 2 ? a : b);
            ++result.produced;
            next += std::chrono::microseconds(1'000'000 / fps);
        } else {
            next += kTick;
        }
        std::this_thread::sleep_until(next);
    }
    done = true;
    viewer.join();
    result.connectionCpu = threadCpuSeconds("velora.pipewire") - connectionStart;
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10;
    auto& daemon = test::PipeWireDaemon::instance();
    if (!daemon.unavailable().empty()) {
        std::printf("skipped: %s\n", daemon.unavailable().c_str());
        return 0;
    }
    test::TestVideoProducer producer(SPA_VIDEO_FORMAT_BGRx, kWidth, kHeight);
    const auto a = producer.paint([](int x, int y, int, int) {
        return test::Rgb{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 128};
    });
    const auto b = producer.paint([](int x, int y, int, int) {
        return test::Rgb{static_cast<uint8_t>(y), static_cast<uint8_t>(x), 64};
    });
    producer.show(a);
    const auto factory = pipewire::screenSourceFactory({daemon.connect(), producer.nodeId(), {}});
    auto source = factory();
    const auto linkDeadline = Clock::now() + std::chrono::seconds(30);
    while (!(source && source->capture(kViewSize)) && Clock::now() < linkDeadline)
        producer.repaint();
    if (!source || !source->capture(kViewSize)) {
        std::printf("skipped: the stream did not start\n");
        return 0;
    }
    std::printf("PipeWire source, %dx%d BGRx cast scaled to %dx%d, %.0f s a run\n", kWidth, kHeight,
                kViewSize.width, kViewSize.height, seconds);
    std::printf("%-16s %9s %9s %12s %12s %14s %10s\n", "producer", "produced", "pictures",
                "copy cpu s", "scale cpu s", "ms/picture", "% core");
    for (const int fps : {5, 15, 30, 0}) {
        const Result r = run(*source, producer, seconds, fps, a, b);
        const double cpu = r.connectionCpu + r.captureCpu;
        const std::string label = fps > 0 ? std::to_string(fps) + " fps" : "still";
        std::printf("%-16s %9d %9d %12.3f %12.3f %14.2f %10.2f\n", label.c_str(), r.produced,
                    r.pictures, r.connectionCpu, r.captureCpu,
                    r.pictures > 0 ? 1000 * cpu / r.pictures : 0.0, 100 * cpu / seconds);
    }
    return 0;
}
