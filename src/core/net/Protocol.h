// Parsers of the control protocol's outside input: line framing, greetings, commands, screen
// requests and discovery probes. Pure and unit-tested; the server calls them on its thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velora {

// Cuts a byte stream into LF-terminated lines, decoded as UTF-8 with replacement and trimmed of
// white space and newlines; empty lines are dropped. A line longer than the limit without its
// LF is an overflow, which ends the connection.
class LineFramer {
public:
    explicit LineFramer(size_t maxLine) : maxLine_(maxLine) {}

    void append(std::string_view bytes);
    // The next complete, non-empty line, if any.
    std::optional<std::string> next();
    // True when the bytes after the last LF exceed the limit (checked once lines are drained).
    bool overflowed() const { return buffer_.size() - start_ > maxLine_; }
    void setLimit(size_t maxLine) { maxLine_ = maxLine; }

private:
    std::string buffer_;
    size_t start_ = 0;
    size_t scanned_ = 0;
    size_t maxLine_;
};

struct Greeting {
    std::string name;
    std::string token;
    std::string version;
};

// "HELLO name token version": "_" in the name stands for a space; token "-" and version "?"
// when absent; pieces after the fourth are ignored.
Greeting parseGreeting(std::string_view line);

// A command line's verb (before the first space) and argument (everything after it).
std::pair<std::string_view, std::string_view> splitCommand(std::string_view line);

// The first two integers among the space-separated pieces, else (0, 0).
std::pair<int64_t, int64_t> two(std::string_view argument);

// The button letter of "C", "D" and "U": the argument's first character upper-cased, "L" if empty.
std::string buttonLetter(std::string_view argument);

// Strict padded standard Base64 (RFC 4648): none for any character outside the alphabet.
std::optional<std::string> decodeBase64(std::string_view text);
std::string encodeBase64(std::string_view bytes);

struct ScreenRequest {
    std::string token = "-";
    int64_t width = 1280;
    int64_t quality = 60;
    std::string name;
};

// "SCREEN token width quality name": unusable numbers take their defaults.
ScreenRequest parseScreenRequest(std::string_view line, std::string defaultName);

// True for a discovery probe: at least four bytes beginning "RMK?".
bool isDiscoveryProbe(std::string_view datagram);

// Six decimal digits with leading zeros for a number below 1 000 000.
std::string formatPin(uint32_t number);

}  // namespace velora
