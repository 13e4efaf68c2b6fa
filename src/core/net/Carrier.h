// How one session's bytes travel: its phone's lines in, reply lines and screen frames out. A raw
// TCP connection and a WebSocket carry the same session; everything above this seam is one path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/net/Asio.h"
#include "core/net/Protocol.h"

namespace velora {

class Carrier {
public:
    // `tooLong`: the phone sent a message larger than the line limit.
    using ReadDone = std::function<void(const ErrorCode& ec, bool tooLong)>;
    using WriteDone = std::function<void(const ErrorCode& ec)>;

    virtual ~Carrier() = default;

    // Reads the next input into `framer`; lines that are complete are there on completion.
    virtual void read(LineFramer& framer, ReadDone done) = 0;
    // Writes `lines`, one or more LF-ended lines; they must stay valid until `done`.
    virtual void writeLines(std::string_view lines, WriteDone done) = 0;
    // Writes one screen frame: its 4-byte length field, then the JPEG bytes (none for a
    // keep-alive). It must stay valid until `done`.
    virtual void writeFrame(const std::vector<uint8_t>& frame, WriteDone done) = 0;
    // Ends the sending side once what was written has gone.
    virtual void endSending(WriteDone done) = 0;
    // Closes at once; operations under way complete with an error.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The longest line the phone may send from now on.
    virtual void setLineLimit(size_t maxLine) = 0;
};

}  // namespace velora
