// The control server on loopback: PING round trips (p50, p99) and command lines handled per
// second on one admitted connection. Runs the real server in-process on ephemeral ports with the
// simulated platform, so the figures are the server's own cost plus the loopback stack.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <vector>

#include "core/NetServer.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"
#include "platform/macos/MacKeymap.h"

using namespace velora;

namespace {

struct Fixture {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velora-bench-" + std::to_string(getpid()));
    std::shared_ptr<Store> store = std::make_shared<Store>(folder);
    std::unique_ptr<NetServer> server;
    int fd = -1;
    std::string pending;

    Fixture() {
        Platform platform;
        platform.events = std::make_shared<sim::DiscardingEventSink>();
        platform.keymap = std::make_shared<macos::MacKeymap>();
        auto displays = std::make_shared<sim::SimDisplays>();
        displays->displays = {{0, 0, 1920, 1080}};
        displays->mainDisplay = displays->displays.front();
        platform.displays = displays;
        platform.system = std::make_shared<sim::SimSystemInfo>();
        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        server = std::make_unique<NetServer>(store, platform, options);
        server->start();
        const std::string token = store->pair("Bench", "127.0.0.1");
        fd = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(server->controlPort());
        inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
        connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        sendAll("HELLO Bench " + token + " 1\n");
        readLine();
    }
    ~Fixture() {
        ::close(fd);
        server->stop();
        std::filesystem::remove_all(folder);
    }
    void sendAll(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<size_t>(n);
        }
    }
    std::string readLine() {
        while (true) {
            const size_t lf = pending.find('\n');
            if (lf != std::string::npos) {
                std::string line = pending.substr(0, lf);
                pending.erase(0, lf + 1);
                return line;
            }
            char chunk[4096];
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) return {};
            pending.append(chunk, static_cast<size_t>(n));
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void PingRoundTrip(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        f.sendAll("PING\n");
        f.readLine();
        micros.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}
BENCHMARK(PingRoundTrip)->Iterations(20000)->UseRealTime();

// Pointer lines streamed in batches; a PING after each batch proves every line was handled.
void CommandLinesPerSecond(benchmark::State& state) {
    Fixture& f = fixture();
    const int lines = static_cast<int>(state.range(0));
    std::string batch;
    for (int i = 0; i < lines; ++i) batch += (i % 2 ? "M 3 -2\n" : "M -3 2\n");
    batch += "PING\n";
    for (auto _ : state) {
        f.sendAll(batch);
        f.readLine();
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(CommandLinesPerSecond)->Arg(10000)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
