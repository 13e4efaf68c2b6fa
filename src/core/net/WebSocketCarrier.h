// A session carried by a WebSocket: each message from the phone is one line (or several, one
// per LF; none spans two messages), each reply line goes out as one text message without its
// LF, and each screen frame as one binary message holding only the JPEG bytes (the message
// carries its own length; an empty one is a keep-alive). Pings keep a quiet connection honest:
// a phone that vanished stops answering them and its session ends.
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>

#include "core/net/Carrier.h"

namespace velora {

class WebSocketCarrier : public Carrier {
public:
    using Request = boost::beast::http::request<boost::beast::http::empty_body>;

    // `idle`: how long the phone may stay silent; a ping goes out halfway through.
    WebSocketCarrier(boost::beast::tcp_stream stream, std::chrono::milliseconds idle);

    // Answers the upgrade request; `request` must stay valid until `done`.
    void accept(const Request& request, WriteDone done);

    void read(LineFramer& framer, ReadDone done) override;
    void writeLines(std::string_view lines, WriteDone done) override;
    void writeFrame(const std::vector<uint8_t>& frame, WriteDone done) override;
    void endSending(WriteDone done) override;
    void close() override;
    bool isOpen() const override;
    void setLineLimit(size_t maxLine) override;

private:
    boost::beast::websocket::stream<boost::beast::tcp_stream> ws;
    boost::beast::flat_buffer incoming;
};

}  // namespace velora
