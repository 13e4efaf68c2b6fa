// The control port's web side, over a real listener on loopback with the simulated platform.
// Each input is one browser connection: the bytes up to the first blank line (the request
// header) go first; once the server has answered, or had a moment to, the rest follows (a body,
// further requests, or after an upgrade the WebSocket frames of a session). Then the sending side
// closes and everything is read until the server closes the connection. A paired device with a
// fixed token is stored beforehand, so that sessions over the WebSocket get past the greeting.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "FuzzSupport.h"
#include "core/net/NetServer.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"
#include "platform/sim/SyntheticScreen.h"

using namespace velora;
using namespace std::chrono_literals;

namespace {

constexpr const char* kPairedToken = "0123456789abcdef0123456789abcdef";
// How long the first answer may take before the rest is sent anyway.
constexpr int kAnswerWaitMs = 100;

struct Fixture {
    fuzzing::TempFolder folder;
    std::shared_ptr<Store> store;
    std::unique_ptr<NetServer> server;
    uint16_t port = 0;

    Fixture() {
        Saved saved;
        saved.serverId = "fedcba9876543210fedcba9876543210";
        saved.devices.push_back(Device{kPairedToken, "Fuzz phone", "127.0.0.1", 0});
        fuzzing::writeFile(folder.path / "config.json", encodeConfig(saved));
        store = std::make_shared<Store>(folder.path);

        auto displays = std::make_shared<sim::SimDisplays>();
        displays->displays = {Rect{0, 0, 1920, 1080}};
        displays->mainDisplay = displays->displays.front();
        Platform platform;
        platform.events = std::make_shared<sim::DiscardingEventSink>();
        platform.keymap = std::make_shared<linux_::LinuxKeymap>("1");
        platform.displays = displays;
        platform.system = std::make_shared<sim::SimSystemInfo>();
        platform.screenSource = [] {
            auto screen = std::make_unique<sim::SyntheticScreen>(PixelSize{64, 40});
            screen->setPattern(7);
            return screen;
        };
        platform.screenPermission = [] { return true; };

        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        options.busyWait = 50ms;
        options.pinTimeout = 1000ms;
        options.blockTime = 0ms;
        options.httpIdleTimeout = 1000ms;
        options.screenTick = 1ms;
        server = std::make_unique<NetServer>(store, platform, options);
        server->start();
        port = server->controlPort();
        fuzzing::check(port != 0, "control listener did not open");
    }
};

void sendAll(int fd, std::string_view bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;  // the server may end the connection before reading everything
        sent += static_cast<size_t>(n);
    }
}

// Reads what arrives within the wait, or until the header of an answer is complete.
void awaitAnswer(int fd) {
    std::string answer;
    char chunk[4096];
    pollfd p{fd, POLLIN, 0};
    while (answer.find("\r\n\r\n") == std::string::npos && poll(&p, 1, kAnswerWaitMs) > 0) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) return;
        answer.append(chunk, static_cast<size_t>(n));
    }
}

void converse(uint16_t port, std::string_view bytes) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
    fuzzing::check(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0,
                   "connect to the control port");
    const size_t blank = bytes.find("\r\n\r\n");
    const size_t headerEnd = blank == std::string_view::npos ? bytes.size() : blank + 4;
    sendAll(fd, bytes.substr(0, headerEnd));
    if (headerEnd < bytes.size()) {
        awaitAnswer(fd);
        sendAll(fd, bytes.substr(headerEnd));
    }
    shutdown(fd, SHUT_WR);
    char sink[65536];
    // Every connection ends once its peer stopped sending; a stuck one shows up as a libFuzzer
    // timeout.
    while (recv(fd, sink, sizeof sink, 0) > 0) {
    }
    fuzzing::closeWithoutTimeWait(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    converse(fixture.port, std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
