// The line protocol's own carrier: LF-ended lines and length-prefixed frames on a TCP stream.
// The first bytes of the stream decide what it speaks: an HTTP request is handed over with the
// socket, a TLS handshake is closed without a word.
#pragma once

#include <array>
#include <string>

#include "core/net/Carrier.h"

namespace velora {

class TcpCarrier : public Carrier {
public:
    // Takes the socket and the bytes read so far when the connection turns out to be HTTP.
    using HttpHandover = std::function<void(asio::ip::tcp::socket socket, std::string opening)>;

    TcpCarrier(asio::ip::tcp::socket socket, HttpHandover onHttp);

    void read(LineFramer& framer, ReadDone done) override;
    void writeLines(std::string_view lines, WriteDone done) override;
    void writeFrame(const std::vector<uint8_t>& frame, WriteDone done) override;
    void endSending(WriteDone done) override;
    void close() override;
    bool isOpen() const override { return socket.is_open(); }
    void setLineLimit(size_t maxLine) override { lineLimit = maxLine; }

private:
    void judgeOpening(LineFramer& framer, const ErrorCode& ec, ReadDone& done);

    asio::ip::tcp::socket socket;
    HttpHandover onHttp;
    std::array<char, 8192> readBuffer{};
    // The first bytes, held until they show what the connection speaks.
    std::string opening;
    bool judged = false;
    size_t lineLimit = 0;
};

}  // namespace velora
