// The phone page's WebSocket against the line protocol's own TCP carrier, side by side in one
// run on one in-process server: PING round trips (p50, p99) and the server's CPU time per screen
// frame (its network thread and the view's capture and encode thread). The clients run on the
// benchmark's own threads, which are not counted.
//
// Usage: WebBench [PING rounds per carrier, default 20000] [seconds of screen per carrier, 5]
#include <dirent.h>

#include <algorithm>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <vector>

#include "LoopbackRig.h"
#include "core/net/Asio.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"
#include "platform/sim/SyntheticScreen.h"

using namespace velora;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using Clock = std::chrono::steady_clock;

namespace {

// A screen that changes before every capture, so that every tick sends a new JPEG.
class ChangingScreen : public ScreenSource {
public:
    ChangingScreen() : inner(PixelSize{1280, 720}) {}
    PixelSize pixelSize() override { return inner.pixelSize(); }
    std::optional<Image> capture(PixelSize size) override {
        inner.setPattern(++seed);
        return inner.capture(size);
    }
    bool unchangedSinceLastCapture() override { return false; }

private:
    sim::SyntheticScreen inner;
    uint32_t seed = 0;
};

Platform benchPlatform() {
    Platform platform;
    platform.events = std::make_shared<sim::DiscardingEventSink>();
    platform.keymap = std::make_shared<macos::MacKeymap>();
    auto displays = std::make_shared<sim::SimDisplays>();
    displays->displays = {{0, 0, 1280, 720}};
    displays->mainDisplay = displays->displays.front();
    platform.displays = displays;
    platform.system = std::make_shared<sim::SimSystemInfo>();
    platform.screenSource = [] { return std::make_unique<ChangingScreen>(); };
    platform.screenPermission = [] { return true; };
    return platform;
}

// A phone on the WebSocket, with blocking calls.
class WebPhone {
public:
    explicit WebPhone(uint16_t port) {
        ws.next_layer().connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
        ws.next_layer().set_option(asio::ip::tcp::no_delay(true));
        ws.handshake("127.0.0.1:" + std::to_string(port), "/ws");
    }
    void send(std::string_view text) {
        ws.text(true);
        ws.write(asio::buffer(text.data(), text.size()));
    }
    // The next message's size; its bytes stay in `buffer`.
    size_t next() {
        buffer.consume(buffer.size());
        return ws.read(buffer);
    }
    std::string nextText() {
        next();
        return beast::buffers_to_string(buffer.data());
    }

private:
    asio::io_context io;
    websocket::stream<asio::ip::tcp::socket> ws{io};
    beast::flat_buffer buffer;
};

// Nanoseconds on the CPU of this process's threads named "velora.server" or "velora.screen",
// by thread id.
std::map<std::string, uint64_t> serverThreadTimes() {
    std::map<std::string, uint64_t> times;
    DIR* tasks = opendir("/proc/self/task");
    while (dirent* entry = tasks ? readdir(tasks) : nullptr) {
        const std::string task = std::string("/proc/self/task/") + entry->d_name;
        std::string name;
        std::getline(std::ifstream(task + "/comm"), name);
        if (name != "velora.server" && name != "velora.screen") continue;
        uint64_t ns = 0;
        std::ifstream(task + "/schedstat") >> ns;
        times[entry->d_name] = ns;
    }
    if (tasks) closedir(tasks);
    return times;
}

uint64_t cpuSince(const std::map<std::string, uint64_t>& before) {
    uint64_t total = 0;
    for (const auto& [tid, ns] : serverThreadTimes()) {
        const auto it = before.find(tid);
        if (it != before.end()) total += ns - it->second;
    }
    return total;
}

struct Percentiles {
    double p50;
    double p99;
};

Percentiles percentiles(std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    return {micros[micros.size() / 2], micros[micros.size() * 99 / 100]};
}

template <typename Fn>
double timedMicros(Fn&& fn) {
    const auto start = Clock::now();
    fn();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Server CPU milliseconds per frame while `viewer` (which reads one frame and acknowledges it
// per call) runs for `seconds` after a warm-up.
template <typename Viewer>
std::pair<double, int> cpuPerFrame(Viewer&& nextFrame, double seconds) {
    for (int i = 0; i < 20; ++i) nextFrame();
    const auto before = serverThreadTimes();
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    int frames = 0;
    while (Clock::now() < end) frames += nextFrame() ? 1 : 0;
    return {cpuSince(before) / 1e6 / std::max(frames, 1), frames};
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    loopback::LoopbackRig rig(benchPlatform(), "web");
    const uint16_t port = rig.server->controlPort();
    const std::string token = rig.store->pair("Bench", "127.0.0.1");

    WebPhone web(port);
    web.send("HELLO Bench " + token + " 1");
    web.nextText();
    // The two carriers take turns, so that both see the same machine.
    std::vector<double> tcpMicros, webMicros;
    for (int i = 0; i < rounds; ++i) {
        tcpMicros.push_back(timedMicros([&] {
            rig.phone->sendAll("PING\n");
            rig.phone->readLine();
        }));
        webMicros.push_back(timedMicros([&] {
            web.send("PING");
            web.next();
        }));
    }
    const Percentiles tcp = percentiles(tcpMicros), ws = percentiles(webMicros);
    std::printf(
        "PING round trip, %d each: TCP p50 %.1f us p99 %.1f us; WebSocket p50 %.1f us "
        "p99 %.1f us; ratio p50 %.2f p99 %.2f\n",
        rounds, tcp.p50, tcp.p99, ws.p50, ws.p99, ws.p50 / tcp.p50, ws.p99 / tcp.p99);

    const std::string request = "SCREEN " + token + " 1280 60 Bench";
    double tcpMs = 0, webMs = 0;
    int tcpFrames = 0, webFrames = 0;
    // Two turns each, alternating, to even out the machine's drift.
    for (int turn = 0; turn < 2; ++turn) {
        {
            loopback::LoopbackPhone viewer(port);
            viewer.sendAll(request + "\n");
            viewer.readLine();
            const auto [ms, frames] = cpuPerFrame(
                [&] {
                    const bool jpeg = viewer.readFrame() > 0;
                    viewer.sendAll("A\n");
                    return jpeg;
                },
                seconds / 2);
            tcpMs += ms / 2;
            tcpFrames += frames;
        }
        {
            WebPhone viewer(port);
            viewer.send(request);
            viewer.nextText();
            const auto [ms, frames] = cpuPerFrame(
                [&] {
                    const bool jpeg = viewer.next() > 0;
                    viewer.send("A");
                    return jpeg;
                },
                seconds / 2);
            webMs += ms / 2;
            webFrames += frames;
        }
    }
    std::printf(
        "server CPU per 1280x720 frame: TCP %.3f ms (%d frames), WebSocket %.3f ms (%d "
        "frames); ratio %.3f\n",
        tcpMs, tcpFrames, webMs, webFrames, webMs / tcpMs);
    return 0;
}
