#include "Discovery.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <utility>

#include "Connection.h"

namespace remote {
namespace {

constexpr std::string_view kProbe = "RMK?";
constexpr std::string_view kAnswer = "RMK!";

std::string member(const nlohmann::json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end()) return "?";
    if (it->is_string()) return it->get<std::string>();
    if (it->is_number_integer()) return std::to_string(it->get<int64_t>());
    return "?";
}

std::string addressText(const sockaddr_storage& from) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (from.ss_family == AF_INET) {
        auto* in = reinterpret_cast<const sockaddr_in*>(&from);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
    } else if (from.ss_family == AF_INET6) {
        auto* in6 = reinterpret_cast<const sockaddr_in6*>(&from);
        ::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
    }
    return text;
}

// One UDP socket per address family, opened when a target of that family shows up.
class ProbeSockets {
public:
    ~ProbeSockets() {
        for (const auto& p : polls_) ::close(p.fd);
    }
    std::vector<pollfd>& polls() { return polls_; }

    // Sends the probe to every address of `host`; false if none could be sent.
    bool probe(const std::string& host, uint16_t port, std::string& error) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        if (rc != 0) {
            error = "cannot resolve " + host + ": " + gai_strerror(rc);
            return false;
        }
        bool sent = false;
        for (const addrinfo* ai = found; ai; ai = ai->ai_next) {
            int fd = socketFor(ai->ai_family);
            if (fd >= 0 && ::sendto(fd, kProbe.data(), kProbe.size(), 0, ai->ai_addr,
                                    ai->ai_addrlen) == static_cast<ssize_t>(kProbe.size())) {
                sent = true;
            } else {
                error = "cannot send the probe to " + host + ": " + std::strerror(errno);
            }
        }
        ::freeaddrinfo(found);
        return sent;
    }

private:
    int socketFor(int family) {
        auto known = families_.find(family);
        if (known != families_.end()) return known->second;
        int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
        families_.emplace(family, fd);
        polls_.push_back({fd, POLLIN, 0});
        return fd;
    }

    std::map<int, int> families_;
    std::vector<pollfd> polls_;
};

}  // namespace

std::optional<DiscoveryAnswer> parseDiscoveryAnswer(std::string_view datagram,
                                                    const std::string& address) {
    if (!datagram.starts_with(kAnswer)) return std::nullopt;
    auto json = nlohmann::json::parse(datagram.substr(kAnswer.size()), nullptr, false);
    if (!json.is_object()) json = nlohmann::json::object();
    return DiscoveryAnswer{address,
                           member(json, "name"),
                           member(json, "os"),
                           member(json, "ver"),
                           member(json, "port"),
                           member(json, "id")};
}

std::vector<DiscoveryAnswer> discover(const std::vector<std::string>& targets, uint16_t port,
                                      std::chrono::milliseconds timeout, bool firstOnly,
                                      std::string& error) {
    ProbeSockets sockets;
    for (const auto& host : targets) sockets.probe(host, port, error);
    std::vector<DiscoveryAnswer> answers;
    std::set<std::pair<std::string, std::string>> seen;
    const auto deadline = Clock::now() + timeout;
    auto& polls = sockets.polls();
    while (!polls.empty() && !(firstOnly && !answers.empty())) {
        int ready = ::poll(polls.data(), polls.size(), pollTimeout(deadline));
        if (ready == 0) break;
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (auto& p : polls) {
            if (p.revents & POLLERR) {
                // Clear a pending ICMP error so that poll() does not report it again.
                int err = 0;
                socklen_t len = sizeof err;
                ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &err, &len);
            }
            if (!(p.revents & POLLIN)) continue;
            char datagram[65536];
            sockaddr_storage from{};
            socklen_t fromLen = sizeof from;
            ssize_t n = ::recvfrom(p.fd, datagram, sizeof datagram, 0,
                                   reinterpret_cast<sockaddr*>(&from), &fromLen);
            if (n < 0) continue;
            std::string bytes(datagram, static_cast<size_t>(n));
            std::string address = addressText(from);
            if (!seen.emplace(address, bytes).second) continue;
            if (auto answer = parseDiscoveryAnswer(bytes, address)) answers.push_back(*answer);
        }
    }
    return answers;
}

}  // namespace remote
