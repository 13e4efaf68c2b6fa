#include "Connection.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace remote {
namespace {

// Longest line accepted from the computer; its longest reply (INFO) is far shorter.
constexpr size_t kMaxLine = 64 * 1024;

using AddrInfoPtr = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

std::string describeConnectError(int err) {
    switch (err) {
        case ECONNREFUSED:
            return "connection refused";
        case ETIMEDOUT:
            return "connection timed out";
        case ENETUNREACH:
        case EHOSTUNREACH:
            return "host unreachable";
        default:
            return std::strerror(err);
    }
}

// Connects one candidate address; returns the socket or -1 with errno-style `err` set.
int connectOne(const addrinfo& ai, Clock::time_point deadline, int& err) {
    int fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) {
        err = errno;
        return -1;
    }
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return fd;
    err = errno;
    if (err == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int ready = ::poll(&p, 1, pollTimeout(deadline));
        socklen_t len = sizeof err;
        if (ready == 0) {
            err = ETIMEDOUT;
        } else if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) < 0) {
            err = errno;
        }
        if (ready > 0 && err == 0) return fd;
    }
    ::close(fd);
    return -1;
}

}  // namespace

int pollTimeout(Clock::time_point deadline) {
    if (deadline == Clock::time_point::max()) return -1;
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<int64_t>(left, 0, INT32_MAX));
}

std::optional<Connection> Connection::open(const std::string& host, uint16_t port,
                                           Clock::duration timeout, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) {
        error = "cannot resolve " + host + ": " + gai_strerror(rc);
        return std::nullopt;
    }
    AddrInfoPtr list(found, freeaddrinfo);
    const auto deadline = Clock::now() + timeout;
    int err = ENOENT;
    for (const addrinfo* ai = list.get(); ai; ai = ai->ai_next) {
        int fd = connectOne(*ai, deadline, err);
        if (fd < 0) continue;
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return Connection(fd);
    }
    error = host + " port " + std::to_string(port) + ": " + describeConnectError(err);
    return std::nullopt;
}

Connection::Connection(Connection&& other) noexcept
    : fd_(other.fd_), buffer_(std::move(other.buffer_)) {
    other.fd_ = -1;
}

Connection::~Connection() {
    if (fd_ >= 0) ::close(fd_);
}

bool Connection::sendLine(std::string_view line) {
    std::string out(line);
    out += '\n';
    size_t sent = 0;
    while (sent < out.size()) {
        ssize_t n = ::send(fd_, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, 5000) > 0) continue;
        }
        return false;
    }
    return true;
}

ReadStatus Connection::fill(Clock::time_point deadline, std::string& error) {
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        int ready = ::poll(&p, 1, pollTimeout(deadline));
        if (ready == 0) return ReadStatus::timeout;
        if (ready < 0 && errno == EINTR) continue;
        char chunk[16384];
        ssize_t n = ready < 0 ? -1 : ::recv(fd_, chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.append(chunk, static_cast<size_t>(n));
            return ReadStatus::ok;
        }
        if (n == 0) return ReadStatus::closed;
        if (errno == EINTR || errno == EAGAIN) continue;
        // A reset is how a computer that drops the connection at once often looks.
        if (errno == ECONNRESET) return ReadStatus::closed;
        error = std::strerror(errno);
        return ReadStatus::failed;
    }
}

bool Connection::hasLine() const {
    return buffer_.find('\n') != std::string::npos;
}

ReadResult Connection::readLine(Clock::time_point deadline) {
    for (;;) {
        size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return {ReadStatus::ok, line};
        }
        if (buffer_.size() > kMaxLine) return {ReadStatus::failed, "reply line too long"};
        std::string error;
        ReadStatus status = fill(deadline, error);
        if (status != ReadStatus::ok) return {status, error};
    }
}

ReadResult Connection::readBytes(size_t count, Clock::time_point deadline) {
    while (buffer_.size() < count) {
        std::string error;
        ReadStatus status = fill(deadline, error);
        if (status != ReadStatus::ok) return {status, error};
    }
    std::string bytes = buffer_.substr(0, count);
    buffer_.erase(0, count);
    return {ReadStatus::ok, bytes};
}

}  // namespace remote
