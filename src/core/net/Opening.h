// What a new connection on the control port speaks, judged from its first bytes: the line
// protocol, HTTP (a browser fetching the phone page or opening its WebSocket) or TLS.
#pragma once

#include <cstddef>
#include <string_view>

namespace velora {

enum class Opening {
    Undecided,  // more bytes are needed
    Line,       // the line protocol (or nonsense, which the line protocol refuses)
    Http,       // a request line "METHOD SP target SP HTTP/1.x"
    Tls,        // a TLS record (a ClientHello from an https:// address)
};

// Judges the bytes received so far. A first line longer than `maxLine` without its LF is
// decided at once: a greeting that long is the line protocol's overflow, anything else is an
// HTTP request whose header is too large.
Opening classifyOpening(std::string_view bytes, size_t maxLine);

}  // namespace velora
