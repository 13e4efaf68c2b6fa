#include "core/net/Opening.h"

#include <string>

namespace velora {

namespace {

// The characters of an HTTP token (the method).
bool isTokenChar(char c) {
    if (c >= '0' && c <= '9') return true;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool isTargetChar(char c) {
    return static_cast<unsigned char>(c) > 0x20 && c != 0x7f;
}

// Matches `bytes` against "METHOD SP target SP HTTP/1.d [CR] LF": Http on a whole request
// line, Undecided on a prefix of one, Line as soon as it cannot be one.
Opening matchRequestLine(std::string_view bytes) {
    constexpr std::string_view kVersion = "HTTP/1.";
    enum { Method, Target, Version, Digit, End } phase = Method;
    size_t pieceLength = 0;
    for (const char c : bytes) {
        switch (phase) {
            case Method:
            case Target:
                if (c == ' ' && pieceLength > 0) {
                    phase = phase == Method ? Target : Version;
                    pieceLength = 0;
                } else if (phase == Method ? isTokenChar(c) : isTargetChar(c)) {
                    ++pieceLength;
                } else {
                    return Opening::Line;
                }
                break;
            case Version:
                if (c != kVersion[pieceLength++]) return Opening::Line;
                if (pieceLength == kVersion.size()) phase = Digit;
                break;
            case Digit:
                if (c < '0' || c > '9') return Opening::Line;
                phase = End;
                pieceLength = 0;
                break;
            case End:
                if (c == '\n') return Opening::Http;
                if (c != '\r' || pieceLength++ > 0) return Opening::Line;
                break;
        }
    }
    return Opening::Undecided;
}

}  // namespace

Opening classifyOpening(std::string_view bytes, size_t maxLine) {
    if (bytes.empty()) return Opening::Undecided;
    if (bytes.front() == 0x16) return Opening::Tls;
    const Opening match = matchRequestLine(bytes);
    if (match != Opening::Undecided || bytes.size() <= maxLine) return match;
    const bool greeting = bytes.starts_with("HELLO ") || bytes.starts_with("SCREEN ");
    return greeting ? Opening::Line : Opening::Http;
}

}  // namespace velora
