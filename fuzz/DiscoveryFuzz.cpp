// The discovery responder of a real server on loopback. Each input is one datagram; a known
// probe follows it. The server must answer the input exactly when it is a probe, and every
// answer must be "RMK!" and a JSON object.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <nlohmann/json.hpp>

#include "FuzzSupport.h"
#include "core/net/NetServer.h"
#include "core/net/Protocol.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimSystemInfo.h"

using namespace velora;

namespace {

struct Fixture {
    fuzzing::TempFolder folder;
    std::unique_ptr<NetServer> server;
    int fd = -1;
    sockaddr_in to{};

    Fixture() {
        Platform platform;
        platform.events = std::make_shared<sim::DiscardingEventSink>();
        platform.system = std::make_shared<sim::SimSystemInfo>();
        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        options.discoveryRepliesPerSecond = 1 << 30;
        server =
            std::make_unique<NetServer>(std::make_shared<Store>(folder.path), platform, options);
        server->start();
        fuzzing::check(server->discoveryPort() != 0, "discovery listener did not open");
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        to.sin_family = AF_INET;
        to.sin_port = htons(server->discoveryPort());
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    }

    void send(std::string_view datagram) const {
        sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof to);
    }

    // The next reply, or none after a generous wait. libFuzzer's timeout alarm interrupts the
    // wait now and then; that is no reason to give up on the reply.
    std::optional<std::string> reply() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        pollfd p{fd, POLLIN, 0};
        int ready;
        do {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            ready = poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
        } while (ready < 0 && errno == EINTR);
        if (ready <= 0) return std::nullopt;
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0) return std::nullopt;
        return std::string(buffer, static_cast<size_t>(n));
    }
};

void checkReply(const std::optional<std::string>& reply) {
    fuzzing::check(reply.has_value(), "no answer to a probe");
    fuzzing::check(reply->starts_with("RMK!"), "answer without RMK!");
    const auto json = nlohmann::json::parse(reply->substr(4), nullptr, false);
    fuzzing::check(json.is_object(), "answer is not a JSON object");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Fixture fixture;
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    fixture.send(datagram);
    fixture.send("RMK?");
    if (isDiscoveryProbe(datagram)) checkReply(fixture.reply());
    checkReply(fixture.reply());
    // Nothing more may be waiting: one answer per probe.
    pollfd p{fixture.fd, POLLIN, 0};
    fuzzing::check(poll(&p, 1, 0) == 0, "an answer too many");
    return 0;
}
