#include "core/net/WebSocketCarrier.h"

namespace velora {

namespace beast = boost::beast;
namespace websocket = beast::websocket;

namespace {

// Bytes of the length field that a TCP frame starts with.
constexpr size_t kFrameLengthField = 4;
constexpr auto kHandshakeTimeout = std::chrono::seconds(10);

}  // namespace

WebSocketCarrier::WebSocketCarrier(beast::tcp_stream stream, std::chrono::milliseconds idle)
    : ws(std::move(stream)) {
    beast::get_lowest_layer(ws).expires_never();
    ws.set_option(websocket::stream_base::timeout{kHandshakeTimeout, idle, true});
    // A frame goes out as one WebSocket frame, written straight from the frame's own bytes.
    ws.auto_fragment(false);
}

void WebSocketCarrier::accept(const Request& request, WriteDone done) {
    ws.async_accept(request, [done = std::move(done)](const ErrorCode& ec) { done(ec); });
}

void WebSocketCarrier::read(LineFramer& framer, ReadDone done) {
    ws.async_read(incoming, [this, &framer, done = std::move(done)](const ErrorCode& ec, size_t) {
        if (!ec) {
            const auto data = incoming.cdata();
            const std::string_view message(static_cast<const char*>(data.data()), data.size());
            framer.append(message);
            if (!message.ends_with('\n')) framer.append("\n");
            incoming.consume(incoming.size());
        }
        done(ec, ec == websocket::error::message_too_big);
    });
}

void WebSocketCarrier::writeLines(std::string_view lines, WriteDone done) {
    const size_t lf = lines.find('\n');
    const std::string_view line = lines.substr(0, lf);
    const std::string_view rest = lf == std::string_view::npos ? "" : lines.substr(lf + 1);
    ws.text(true);
    ws.async_write(asio::buffer(line.data(), line.size()),
                   [this, rest, done = std::move(done)](const ErrorCode& ec, size_t) mutable {
                       if (ec || rest.empty()) return done(ec);
                       writeLines(rest, std::move(done));
                   });
}

void WebSocketCarrier::writeFrame(const std::vector<uint8_t>& frame, WriteDone done) {
    const size_t skip = std::min(frame.size(), kFrameLengthField);
    ws.binary(true);
    ws.async_write(asio::buffer(frame.data() + skip, frame.size() - skip),
                   [done = std::move(done)](const ErrorCode& ec, size_t) { done(ec); });
}

void WebSocketCarrier::endSending(WriteDone done) {
    ws.async_close(websocket::close_code::normal, std::move(done));
}

void WebSocketCarrier::close() {
    beast::get_lowest_layer(ws).close();
}

bool WebSocketCarrier::isOpen() const {
    return beast::get_lowest_layer(ws).socket().is_open();
}

void WebSocketCarrier::setLineLimit(size_t maxLine) {
    // Room for the LF a message may end with.
    ws.read_message_max(maxLine + 1);
}

}  // namespace velora
