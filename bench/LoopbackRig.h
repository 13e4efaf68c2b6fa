// The real control server in-process on ephemeral loopback ports, with one phone admitted by a
// paired token over a blocking connection; the benchmarks drive the server through it.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "core/net/NetServer.h"
#include "core/store/Store.h"

namespace velora::loopback {

class LoopbackPhone {
public:
    // Connected, nothing sent yet.
    explicit LoopbackPhone(uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &addr.sin_addr);
        connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    }
    // Admitted by a paired token.
    LoopbackPhone(uint16_t port, const std::string& token) : LoopbackPhone(port) {
        sendAll("HELLO Bench " + token + " 1\n");
        readLine();
    }
    ~LoopbackPhone() { ::close(fd_); }
    LoopbackPhone(const LoopbackPhone&) = delete;
    LoopbackPhone& operator=(const LoopbackPhone&) = delete;

    void sendAll(const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<size_t>(n);
        }
    }

    // The next reply line without its "\n"; empty once the connection has ended.
    std::string readLine() {
        while (true) {
            const size_t lf = pending_.find('\n');
            if (lf != std::string::npos) {
                std::string line = pending_.substr(0, lf);
                pending_.erase(0, lf + 1);
                return line;
            }
            if (!receive()) return {};
        }
    }

    // The payload size of the next screen frame (0 for a keep-alive), its bytes dropped; 0 too
    // once the connection has ended.
    size_t readFrame() {
        if (!await(4)) return 0;
        const auto* b = reinterpret_cast<const unsigned char*>(pending_.data());
        const size_t size = size_t{b[0]} << 24 | size_t{b[1]} << 16 | size_t{b[2]} << 8 | b[3];
        if (!await(4 + size)) return 0;
        pending_.erase(0, 4 + size);
        return size;
    }

private:
    bool receive() {
        char chunk[65536];
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        pending_.append(chunk, static_cast<size_t>(n));
        return true;
    }
    bool await(size_t bytes) {
        while (pending_.size() < bytes) {
            if (!receive()) return false;
        }
        return true;
    }

    int fd_ = -1;
    std::string pending_;
};

// A server on `platform` with its settings in a fresh temporary folder, and one admitted phone.
struct LoopbackRig {
    std::filesystem::path folder;
    std::shared_ptr<Store> store;
    std::unique_ptr<NetServer> server;
    std::unique_ptr<LoopbackPhone> phone;

    LoopbackRig(Platform platform, const std::string& tag)
        : folder(std::filesystem::temp_directory_path() /
                 ("velora-bench-" + tag + "-" + std::to_string(getpid()))),
          store(std::make_shared<Store>(folder)) {
        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        server = std::make_unique<NetServer>(store, std::move(platform), options);
        server->start();
        phone = std::make_unique<LoopbackPhone>(server->controlPort(),
                                                store->pair("Bench", "127.0.0.1"));
    }
    ~LoopbackRig() {
        phone.reset();
        server->stop();
        std::filesystem::remove_all(folder);
    }
    LoopbackRig(const LoopbackRig&) = delete;
    LoopbackRig& operator=(const LoopbackRig&) = delete;
};

}  // namespace velora::loopback
