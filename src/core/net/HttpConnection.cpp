#include "core/net/HttpConnection.h"

#include <boost/beast/websocket/rfc6455.hpp>

#include "core/net/WebAssets.h"
#include "core/net/WebPolicy.h"

namespace velora {

namespace beast = boost::beast;
namespace http = beast::http;

namespace {

// Largest request header; a larger one is answered 431.
constexpr uint32_t kMaxHeader = 8 * 1024;
constexpr size_t kDrainChunk = 4096;

std::string_view withoutQuery(std::string_view target) {
    return target.substr(0, target.find_first_of("?#"));
}

}  // namespace

HttpConnection::HttpConnection(NetServer::Impl& server, asio::ip::tcp::socket socket,
                               std::string ip, std::string_view opening)
    : server(server), stream(std::move(socket)), ip(std::move(ip)) {
    const auto room = buffer.prepare(opening.size());
    asio::buffer_copy(room, asio::buffer(opening.data(), opening.size()));
    buffer.commit(opening.size());
}

void HttpConnection::start() {
    readRequest();
}

void HttpConnection::close() {
    if (upgrading) upgrading->close();
    end();
}

// A browser keeps a connection open after fetching; the idle timeout closes it when it has
// nothing more to ask, so that it does not hold one of the places of unadmitted connections.
void HttpConnection::readRequest() {
    parser.emplace();
    parser->header_limit(kMaxHeader);
    host.clear();
    stream.expires_after(server.options.httpIdleTimeout);
    http::async_read_header(
        stream, buffer, *parser,
        [self = shared_from_this()](const ErrorCode& ec, size_t) { self->onRequest(ec); });
}

void HttpConnection::onRequest(const ErrorCode& ec) {
    if (ended) return;
    if (!ec) return answer(parser->get());
    if (ec == http::error::header_limit) {
        return refuse(http::status::request_header_fields_too_large);
    }
    // A request that does not parse is answered; a connection that closed or fell silent is not.
    const bool malformed =
        &ec.category() == &http::make_error_code(http::error::bad_method).category();
    if (malformed && ec != http::error::end_of_stream && ec != http::error::partial_message) {
        return refuse(http::status::bad_request);
    }
    end();
}

void HttpConnection::answer(const Request& request) {
    if (!hostAllowed(request[http::field::host], server.hostName)) {
        return refuse(http::status::misdirected_request);
    }
    host = std::string(request[http::field::host]);
    if (request.method() != http::verb::get && request.method() != http::verb::head) {
        return refuse(http::status::method_not_allowed);
    }
    const std::string_view path = withoutQuery(request.target());
    // Only targets of the form "/path" name our files; "?x", "*" or a whole URL name nothing.
    if (!path.starts_with('/')) return refuse(http::status::not_found);
    if (path == "/ws" && beast::websocket::is_upgrade(request)) return upgrade(request);
    if (path == "/id") return serveIdentity(request);
    serveFile(request, path == "/" ? "index.html" : path.substr(1));
}

void HttpConnection::serveFile(const Request& request, std::string_view path) {
    const WebAsset* asset = path.starts_with('/') ? nullptr : findWebAsset(path);
    if (!asset) return refuse(http::status::not_found);
    // The page itself is never cached: it names the computer the phone pairs with. The other
    // files are checked with their tag, so an upgrade of the program is picked up.
    const std::string_view cache = asset->path == "index.html" ? "no-store" : "no-cache";
    const bool fresh = etagMatches(request[http::field::if_none_match], asset->etag);
    Response<http::span_body<const char>> response{
        fresh ? http::status::not_modified : http::status::ok, request.version()};
    response.set(http::field::etag, asset->etag);
    if (!fresh) {
        response.set(http::field::content_type, asset->contentType);
        response.content_length(asset->body.size());
        if (request.method() == http::verb::get)
            response.body() = {asset->body.data(), asset->body.size()};
    }
    write(std::move(response), cache);
}

// The identity that discovery announces, for the page to keep its token per computer. Never
// cached: a cached one would pair a phone with whichever computer has the address next.
void HttpConnection::serveIdentity(const Request& request) {
    Response<http::string_body> response{http::status::ok, request.version()};
    response.set(http::field::content_type, "application/json");
    const std::string identity = server.owner.identityJson();
    response.content_length(identity.size());
    if (request.method() == http::verb::get) response.body() = identity;
    write(std::move(response), "no-store");
}

// Refused before any session exists: no pairing prompt, no log line.
void HttpConnection::upgrade(const Request& request) {
    const auto origin = request.find(http::field::origin);
    const std::optional<std::string_view> originText =
        origin == request.end() ? std::nullopt : std::optional<std::string_view>(origin->value());
    if (!originAllowed(originText, host)) return refuse(http::status::forbidden);
    upgraded = true;
    upgrading = std::make_unique<WebSocketCarrier>(std::move(stream), server.options.webSocketIdle);
    upgrading->accept(request, [self = shared_from_this()](const ErrorCode& ec) {
        if (self->ended) return;
        if (ec) {
            self->upgrading->close();
            return self->end();
        }
        // The session counts as unadmitted from here on, in place of this connection.
        self->server.startSession(std::move(self->upgrading), self->ip);
        self->end();
    });
}

void HttpConnection::refuse(http::status status) {
    Response<http::empty_body> response{status, 11};
    if (status == http::status::method_not_allowed) response.set(http::field::allow, "GET, HEAD");
    response.content_length(0);
    // After a refusal the rest of the request (a body, a bad header) is not worth reading.
    response.keep_alive(false);
    write(std::move(response));
}

template <typename Body>
void HttpConnection::write(Response<Body> response, std::string_view cacheControl) {
    response.set("Content-Security-Policy", contentSecurityPolicy(host));
    response.set("X-Frame-Options", "DENY");
    response.set("X-Content-Type-Options", "nosniff");
    response.set("Referrer-Policy", "no-referrer");
    response.set("Cross-Origin-Resource-Policy", "same-origin");
    if (!cacheControl.empty()) response.set(http::field::cache_control, cacheControl);
    // A request with a body is answered without reading the body, and ends the connection.
    if (!parser->get().keep_alive() || !parser->is_done()) response.keep_alive(false);
    auto held = std::make_shared<Response<Body>>(std::move(response));
    stream.expires_after(server.options.httpIdleTimeout);
    http::async_write(stream, *held,
                      [self = shared_from_this(), held](const ErrorCode& ec, size_t) {
                          if (self->ended) return;
                          if (ec) return self->end();
                          if (held->keep_alive()) return self->readRequest();
                          self->drain();
                      });
}

// Closes after the answer: the sending side first, then whatever the browser still sends is
// read and dropped until it closes too, so that a reset does not destroy the answer in flight.
void HttpConnection::drain() {
    ErrorCode ec;
    stream.socket().shutdown(asio::ip::tcp::socket::shutdown_send, ec);
    buffer.consume(buffer.size());
    stream.async_read_some(buffer.prepare(kDrainChunk),
                           [self = shared_from_this()](const ErrorCode& ec, size_t) {
                               if (self->ended) return;
                               if (ec) return self->end();
                               self->drain();
                           });
}

void HttpConnection::end() {
    if (ended) return;
    ended = true;
    if (!upgraded) stream.close();
    server.httpEnded(this);
}

}  // namespace velora
