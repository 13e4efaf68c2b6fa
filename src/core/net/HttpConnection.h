// A connection on the control port that spoke HTTP first: it serves the phone page's files and
// its identity, refuses what a browser on another site could try, and turns a WebSocket upgrade
// of "/ws" into a session like any other.
#pragma once

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <memory>
#include <optional>
#include <string>

#include "core/net/NetServerImpl.h"
#include "core/net/WebSocketCarrier.h"

namespace velora {

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    // `opening`: the bytes already read from the socket.
    HttpConnection(NetServer::Impl& server, asio::ip::tcp::socket socket, std::string ip,
                   std::string_view opening);

    void start();
    // Ends the connection at once (the server stops).
    void close();

private:
    using Request = WebSocketCarrier::Request;
    template <typename Body>
    using Response = boost::beast::http::response<Body>;

    void readRequest();
    void onRequest(const ErrorCode& ec);
    void answer(const Request& request);
    void serveFile(const Request& request, std::string_view path);
    void serveIdentity(const Request& request);
    void upgrade(const Request& request);
    void refuse(boost::beast::http::status status);
    template <typename Body>
    void write(Response<Body> response, std::string_view cacheControl = {});
    void drain();
    void end();

    NetServer::Impl& server;
    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser;
    std::unique_ptr<WebSocketCarrier> upgrading;
    std::string ip;
    // The request's Host once it passed the check; named in the security policy.
    std::string host;
    // The stream belongs to the WebSocket from the upgrade on.
    bool upgraded = false;
    bool ended = false;
};

}  // namespace velora
