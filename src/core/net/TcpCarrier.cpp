#include "core/net/TcpCarrier.h"

#include "core/net/Opening.h"

namespace velora {

TcpCarrier::TcpCarrier(asio::ip::tcp::socket socket, HttpHandover onHttp)
    : socket(std::move(socket)), onHttp(std::move(onHttp)) {}

void TcpCarrier::read(LineFramer& framer, ReadDone done) {
    socket.async_read_some(asio::buffer(readBuffer), [this, &framer, done = std::move(done)](
                                                         const ErrorCode& ec, size_t n) mutable {
        const std::string_view bytes(readBuffer.data(), n);
        if (judged) {
            framer.append(bytes);
            done(ec, false);
            return;
        }
        opening.append(bytes);
        judgeOpening(framer, ec, done);
    });
}

void TcpCarrier::judgeOpening(LineFramer& framer, const ErrorCode& ec, ReadDone& done) {
    switch (classifyOpening(opening, lineLimit)) {
        case Opening::Undecided:
            if (!ec) return read(framer, std::move(done));
            [[fallthrough]];
        case Opening::Line:
            judged = true;
            framer.append(opening);
            opening.clear();
            done(ec, false);
            return;
        case Opening::Http:
            judged = true;
            onHttp(std::move(socket), std::move(opening));
            // The session ends silently: the connection lives on as HTTP.
            done(asio::error::eof, false);
            return;
        case Opening::Tls:
            judged = true;
            done(asio::error::eof, false);
            return;
    }
}

void TcpCarrier::writeLines(std::string_view lines, WriteDone done) {
    asio::async_write(socket, asio::buffer(lines.data(), lines.size()),
                      [done = std::move(done)](const ErrorCode& ec, size_t) { done(ec); });
}

void TcpCarrier::writeFrame(const std::vector<uint8_t>& frame, WriteDone done) {
    asio::async_write(socket, asio::buffer(frame),
                      [done = std::move(done)](const ErrorCode& ec, size_t) { done(ec); });
}

void TcpCarrier::endSending(WriteDone done) {
    ErrorCode ec;
    socket.shutdown(asio::ip::tcp::socket::shutdown_send, ec);
    done(ec);
}

void TcpCarrier::close() {
    ErrorCode ec;
    socket.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket.close(ec);
}

}  // namespace velora
