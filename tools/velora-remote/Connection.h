// One TCP connection to the computer's control port: lines out, lines and length-prefixed
// frames in, every read bounded by a deadline. Plain POSIX sockets, non-blocking, polled.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace remote {

using Clock = std::chrono::steady_clock;

enum class ReadStatus { ok, closed, timeout, failed };

struct ReadResult {
    ReadStatus status;
    std::string data;  // the line (without its line end) or the bytes; the error text if failed
};

class Connection {
public:
    // Connects to host:port within `timeout`; on failure `error` says why.
    static std::optional<Connection> open(const std::string& host, uint16_t port,
                                          Clock::duration timeout, std::string& error);
    Connection(Connection&& other) noexcept;
    Connection& operator=(Connection&&) = delete;
    ~Connection();

    // Sends `line` followed by "\n". False when the connection is gone.
    bool sendLine(std::string_view line);
    // The next LF-terminated line, CR LF accepted.
    ReadResult readLine(Clock::time_point deadline);
    // Exactly `count` bytes.
    ReadResult readBytes(size_t count, Clock::time_point deadline);
    // Whether a complete line is already buffered (so polling the socket is not needed).
    bool hasLine() const;
    int fd() const { return fd_; }

private:
    explicit Connection(int fd) : fd_(fd) {}
    // Waits for and appends one chunk of input.
    ReadStatus fill(Clock::time_point deadline, std::string& error);

    int fd_;
    std::string buffer_;
};

// Milliseconds left until `deadline` for poll(), never negative; -1 for "no deadline".
int pollTimeout(Clock::time_point deadline);

}  // namespace remote
