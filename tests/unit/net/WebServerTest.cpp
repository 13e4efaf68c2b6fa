// The control port's web side against a real server on loopback: the page and its files, every
// refusal a browser on another site can meet, and sessions over a WebSocket that behave like
// TCP sessions. The clients run on the test's own io_context, each step with a deadline.
#include <gtest/gtest.h>

#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <condition_variable>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/net/Asio.h"
#include "core/net/NetServer.h"
#include "core/net/WebAssets.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/SimSystemInfo.h"
#include "platform/sim/SyntheticScreen.h"

using namespace velora;
using namespace std::chrono_literals;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

namespace {

// Writes down pointer buttons; read from the test thread while the server thread writes.
class ButtonLog : public EventSink {
public:
    Point pointerLocation() override { return {}; }
    void mouseMove(Point, std::optional<MouseButton>) override {}
    void mouseButton(MouseButton button, bool down, Point) override {
        std::lock_guard lock(mutex);
        events.push_back(std::string(down ? "down " : "up ") +
                         (button == MouseButton::Left ? "left" : "other"));
    }
    void scroll(int32_t, int32_t) override {}
    void key(const KeyStroke&) override {}
    void text(std::string_view) override {}
    void media(int) override {}
    bool trusted() override { return true; }
    std::vector<std::string> seen() {
        std::lock_guard lock(mutex);
        return events;
    }

private:
    std::mutex mutex;
    std::vector<std::string> events;
};

// Runs `io` until `done` turns true or five seconds pass.
bool runUntil(asio::io_context& io, const bool& done) {
    io.restart();
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done && io.run_one_until(deadline) > 0) {
    }
    return done;
}

struct Message {
    bool binary = false;
    std::string data;
};

// A browser's WebSocket to /ws.
class WebClient {
public:
    // The handshake's HTTP status: 101 when the session opened.
    unsigned open(uint16_t port, std::optional<std::string> origin = std::nullopt) {
        ws.next_layer().connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
        ws.set_option(websocket::stream_base::decorator([origin](websocket::request_type& r) {
            if (origin) r.set(http::field::origin, *origin);
        }));
        websocket::response_type response;
        ErrorCode ec;
        ws.handshake(response, "127.0.0.1:" + std::to_string(port), "/ws", ec);
        return response.result_int();
    }
    void send(const std::string& text) {
        ws.text(true);
        ws.write(asio::buffer(text));
    }
    // The next message, or none when the connection ended or nothing came in time.
    std::optional<Message> next() {
        bool done = false;
        ErrorCode error;
        buffer.consume(buffer.size());
        ws.async_read(buffer, [&](const ErrorCode& ec, size_t) {
            error = ec;
            done = true;
        });
        if (!runUntil(io, done)) {
            beast::get_lowest_layer(ws).cancel();
            runUntil(io, done);
            return std::nullopt;
        }
        if (error) return std::nullopt;
        return Message{!ws.got_text(), beast::buffers_to_string(buffer.data())};
    }
    std::string nextText() {
        const auto m = next();
        return !m ? "<none>" : m->binary ? "<binary>" : m->data;
    }
    void drop() { beast::get_lowest_layer(ws).close(); }

private:
    asio::io_context io;
    websocket::stream<beast::tcp_stream> ws{io};
    beast::flat_buffer buffer;
};

// A plain connection that sends raw bytes and reads HTTP answers.
class RawClient {
public:
    explicit RawClient(uint16_t port) {
        stream.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), port));
    }
    void send(const std::string& bytes) { asio::write(stream.socket(), asio::buffer(bytes)); }
    std::optional<http::response<http::string_body>> answer(bool head = false) {
        http::response_parser<http::string_body> parser;
        parser.skip(head);
        parser.body_limit(1 << 20);
        bool done = false;
        ErrorCode error;
        http::async_read(stream, buffer, parser, [&](const ErrorCode& ec, size_t) {
            error = ec;
            done = true;
        });
        if (!runUntil(io, done) || error) return std::nullopt;
        return parser.release();
    }
    std::optional<http::response<http::string_body>> ask(const std::string& request,
                                                         bool head = false) {
        send(request);
        return answer(head);
    }
    // True once the server closed the connection.
    bool closedByServer() {
        bool done = false;
        ErrorCode error;
        std::array<char, 4096> sink{};
        std::function<void()> readOn = [&] {
            stream.async_read_some(asio::buffer(sink), [&](const ErrorCode& ec, size_t) {
                if (ec) {
                    error = ec;
                    done = true;
                } else {
                    readOn();
                }
            });
        };
        readOn();
        return runUntil(io, done);
    }
    // A line of the line protocol, for sessions over plain TCP.
    std::string line() {
        bool done = false;
        ErrorCode error;
        asio::async_read_until(stream.socket(), asio::dynamic_buffer(text), '\n',
                               [&](const ErrorCode& ec, size_t) {
                                   error = ec;
                                   done = true;
                               });
        if (!runUntil(io, done) || error) return "<none>";
        const std::string l = text.substr(0, text.find('\n'));
        text.erase(0, l.size() + 1);
        return l;
    }

private:
    asio::io_context io;
    beast::tcp_stream stream{io};
    beast::flat_buffer buffer;
    std::string text;
};

std::string get(std::string_view target, std::string_view host, std::string extra = {}) {
    return "GET " + std::string(target) + " HTTP/1.1\r\nHost: " + std::string(host) + "\r\n" +
           extra + "\r\n";
}

class WebServerTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("velora-web-" + std::to_string(getpid()) + "-" + std::to_string(counter_++));
        store_ = std::make_shared<Store>(folder_);
    }
    void start(const std::function<void(ServerOptions&)>& tweak = {}) {
        auto system = std::make_shared<sim::SimSystemInfo>();
        system->name = "Studio";
        Platform platform;
        platform.events = buttons_;
        platform.keymap = std::make_shared<macos::MacKeymap>();
        platform.system = system;
        platform.screenSource = [] {
            auto screen = std::make_unique<sim::SyntheticScreen>(PixelSize{64, 40});
            screen->setPattern(3);
            return screen;
        };
        platform.screenPermission = [] { return true; };
        ServerOptions options;
        options.controlPort = 0;
        options.discoveryPort = 0;
        options.maxPending = 8;
        options.pinTimeout = 5000ms;
        options.screenTick = 5ms;
        if (tweak) tweak(options);
        server_ = std::make_unique<NetServer>(store_, platform, options);
        server_->onLog = [this](const LogEvent& event) {
            std::lock_guard lock(mutex_);
            logs_.push_back(event.text());
            changed_.notify_all();
        };
        server_->onPinShow = [this](const std::string&, const std::string&, const std::string& pin,
                                    std::function<void()>) {
            std::lock_guard lock(mutex_);
            pin_ = pin;
            changed_.notify_all();
        };
        server_->start();
        port_ = server_->controlPort();
        host_ = "127.0.0.1:" + std::to_string(port_);
        ASSERT_NE(port_, 0);
    }
    void TearDown() override {
        if (server_) server_->stop();
        std::filesystem::remove_all(folder_);
    }
    bool waitLog(const std::string& text) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(
            lock, 5s, [&] { return std::find(logs_.begin(), logs_.end(), text) != logs_.end(); });
    }
    std::vector<std::string> logs() {
        std::lock_guard lock(mutex_);
        return logs_;
    }
    std::string waitPin() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return !pin_.empty(); });
        return pin_;
    }
    static bool eventually(const std::function<bool()>& condition) {
        for (int i = 0; i < 500 && !condition(); ++i) std::this_thread::sleep_for(10ms);
        return condition();
    }

    static inline int counter_ = 0;
    std::filesystem::path folder_;
    std::shared_ptr<Store> store_;
    std::shared_ptr<ButtonLog> buttons_ = std::make_shared<ButtonLog>();
    std::unique_ptr<NetServer> server_;
    uint16_t port_ = 0;
    std::string host_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> logs_;
    std::string pin_;
};

}  // namespace

TEST_F(WebServerTest, ServesThePageItsFilesAndItsIdentityOnOneConnection) {
    start();
    RawClient c(port_);
    const auto page = c.ask(get("/", host_));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->result_int(), 200);
    EXPECT_EQ((*page)[http::field::content_type], "text/html; charset=utf-8");
    EXPECT_EQ((*page)[http::field::cache_control], "no-store");
    EXPECT_EQ(page->body(), findWebAsset("index.html")->body);
    EXPECT_NE((*page)["Content-Security-Policy"].find("connect-src 'self' ws://" + host_ + ";"),
              std::string::npos);
    EXPECT_EQ((*page)["X-Frame-Options"], "DENY");
    EXPECT_EQ((*page)["X-Content-Type-Options"], "nosniff");
    EXPECT_EQ((*page)["Referrer-Policy"], "no-referrer");
    EXPECT_EQ((*page)["Cross-Origin-Resource-Policy"], "same-origin");

    const auto script = c.ask(get("/js/app.js?v=2", host_));
    ASSERT_TRUE(script);
    EXPECT_EQ(script->result_int(), 200);
    EXPECT_EQ((*script)[http::field::content_type], "text/javascript; charset=utf-8");
    EXPECT_EQ((*script)[http::field::cache_control], "no-cache");
    const std::string etag((*script)[http::field::etag]);
    EXPECT_EQ(etag, findWebAsset("js/app.js")->etag);

    const auto again = c.ask(get("/js/app.js", host_, "If-None-Match: " + etag + "\r\n"));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->result_int(), 304);
    EXPECT_TRUE(again->body().empty());
    EXPECT_EQ((*again)["X-Frame-Options"], "DENY");

    const auto head = c.ask("HEAD /manifest.webmanifest HTTP/1.1\r\nHost: localhost\r\n\r\n", true);
    ASSERT_TRUE(head);
    EXPECT_EQ((*head)[http::field::content_type], "application/manifest+json");
    EXPECT_EQ((*head)[http::field::content_length],
              std::to_string(findWebAsset("manifest.webmanifest")->body.size()));

    const auto id = c.ask(get("/id", host_));
    ASSERT_TRUE(id);
    EXPECT_EQ((*id)[http::field::cache_control], "no-store");
    const auto identity = nlohmann::json::parse(id->body());
    EXPECT_EQ(identity["id"], store_->serverId());
    EXPECT_EQ(identity["name"], "Studio");
    EXPECT_EQ(identity["version"], "1.1.0");
    EXPECT_EQ(identity["os"], "linux");
    EXPECT_TRUE(logs().empty());
}

TEST_F(WebServerTest, RefusalsAreAnsweredWithoutLogOrPrompt) {
    start();
    const std::string upgrade =
        "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
    const struct {
        std::string request;
        int status;
    } cases[] = {
        {"POST / HTTP/1.1\r\nHost: " + host_ + "\r\nContent-Length: 5\r\n\r\nhello", 405},
        {"DELETE /id HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n", 405},
        {"BREW /ws HTTP/1.1\r\nHost: " + host_ + "\r\n\r\n", 405},
        {get("/", "evil.example:" + std::to_string(port_)), 421},
        {get("/ws", "evil.example", upgrade), 421},
        {"GET / HTTP/1.1\r\n\r\n", 421},
        {get("/nothing-here", host_), 404},
        {get("/test/fakes.mjs", host_), 404},
        {get("/../CMakeLists.txt", host_), 404},
        {get("//etc/passwd", host_), 404},
        {get("?ws", host_), 404},
        {get("*", host_), 404},
        {get("/", host_, "X-Filler: " + std::string(9000, 'a') + "\r\n"), 431},
        {get("/ws", host_, upgrade + "Origin: http://evil.example\r\n"), 403},
        {get("/ws", host_, upgrade + "Origin: null\r\n"), 403},
        {"GET / HTTP/1.1\r\nHost: " + host_ + "\r\nBad Header\r\n\r\n", 400},
    };
    for (const auto& c : cases) {
        RawClient client(port_);
        const auto answer = client.ask(c.request);
        ASSERT_TRUE(answer) << c.request.substr(0, 60);
        EXPECT_EQ(answer->result_int(), c.status) << c.request.substr(0, 60);
        EXPECT_TRUE(answer->body().empty());
        EXPECT_EQ((*answer)["X-Frame-Options"], "DENY");
        EXPECT_TRUE(client.closedByServer()) << c.request.substr(0, 60);
    }
    EXPECT_TRUE(logs().empty());
    EXPECT_TRUE(pin_.empty());
}

TEST_F(WebServerTest, TlsIsClosedSilentlyAndTheLineProtocolIsUnchanged) {
    start();
    RawClient tls(port_);
    tls.send(std::string("\x16\x03\x01\x00\x05hello", 10));
    EXPECT_TRUE(tls.closedByServer());

    RawClient phone(port_);
    phone.send("HELLO Line_Phone\n");
    EXPECT_EQ(phone.line(), "PIN");
    EXPECT_TRUE(waitLog("Line Phone (127.0.0.1) 접속 · 앱 ?"));
    EXPECT_EQ(logs().front(), "Line Phone (127.0.0.1) 접속 · 앱 ?");
}

TEST_F(WebServerTest, WebSocketSessionPairsAndMapsLinesToMessages) {
    start();
    WebClient c;
    ASSERT_EQ(c.open(port_, "http://" + host_), 101);
    c.send("HELLO Web_Phone");
    EXPECT_EQ(c.nextText(), "PIN");
    EXPECT_TRUE(waitLog("Web Phone (127.0.0.1) 접속 · 앱 ?"));
    c.send("PIN " + waitPin() + "\n");
    const std::string ok = c.nextText();
    ASSERT_TRUE(ok.starts_with("OK ")) << ok;
    EXPECT_TRUE(store_->isPaired(ok.substr(3)));
    EXPECT_TRUE(eventually([&] {
        return server_->clients() == std::vector<ClientInfo>{{"Web Phone", "127.0.0.1"}};
    }));
    EXPECT_TRUE(waitLog("Web Phone (127.0.0.1) 연결됨"));

    // Several lines in one message are several lines; each reply is its own message.
    c.send("PING\nK NO_SUCH_KEY\r\nPING");
    EXPECT_EQ(c.nextText(), "PONG");
    EXPECT_EQ(c.nextText(), "ERR key");
    EXPECT_EQ(c.nextText(), "PONG");
    // No line spans two messages: "PI" and "NG" are two unknown verbs, not a PING.
    c.send("PI");
    c.send("NG");
    c.send("INFO");
    EXPECT_TRUE(c.nextText().starts_with("INFO {\"name\":\"Studio\""));
    // After admission a line may be long.
    c.send("S 0 0" + std::string(100000, ' ') + "\nPING");
    EXPECT_EQ(c.nextText(), "PONG");
    c.drop();
    EXPECT_TRUE(waitLog("Web Phone 연결 해제"));
    EXPECT_TRUE(eventually([&] { return server_->clients().empty(); }));
}

TEST_F(WebServerTest, OverlongMessageBeforeAdmissionEndsTheSessionLikeAnOverlongLine) {
    start();
    WebClient c;
    ASSERT_EQ(c.open(port_), 101);
    c.send("HELLO " + std::string(9000, 'x'));
    EXPECT_FALSE(c.next());
    EXPECT_TRUE(waitLog("127.0.0.1 줄 길이 초과"));
}

TEST_F(WebServerTest, ScreenOverWebSocketSendsBareJpegsAndKeepAlives) {
    start();
    const std::string token = store_->pair("Viewer", "127.0.0.1");
    WebClient c;
    ASSERT_EQ(c.open(port_, "http://" + host_), 101);
    c.send("SCREEN " + token + " 64 60 Viewer");
    EXPECT_EQ(c.nextText(), "SCREEN 64 40");
    const auto frame = c.next();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->binary);
    ASSERT_GT(frame->data.size(), 4u);
    // The message is the JPEG itself, from its start-of-image marker on.
    EXPECT_EQ(frame->data.substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(frame->data.substr(frame->data.size() - 2), "\xFF\xD9");
    EXPECT_EQ(server_->screenViewers(), 1);
    c.send("A");
    // The picture does not change: what follows are keep-alives, empty binary messages.
    for (int i = 0; i < 2; ++i) {
        const auto keepAlive = c.next();
        ASSERT_TRUE(keepAlive);
        EXPECT_TRUE(keepAlive->binary);
        EXPECT_TRUE(keepAlive->data.empty());
        c.send("A");
    }
    c.drop();
    EXPECT_TRUE(waitLog("Viewer (127.0.0.1) 화면 보기 종료"));
    EXPECT_TRUE(eventually([&] { return server_->screenViewers() == 0; }));
}

TEST_F(WebServerTest, ScreenRefusalsCloseTheWebSocketAndViewersShareTheLimitWithTcp) {
    start();
    const std::string token = store_->pair("Viewer", "127.0.0.1");
    WebClient stranger;
    ASSERT_EQ(stranger.open(port_), 101);
    stranger.send("SCREEN not-a-token 64 60 Stranger");
    EXPECT_EQ(stranger.nextText(), "ERR auth");
    EXPECT_FALSE(stranger.next());

    RawClient tcpViewer(port_);
    tcpViewer.send("SCREEN " + token + " 64 60 Viewer\n");
    EXPECT_EQ(tcpViewer.line(), "SCREEN 64 40");
    WebClient webViewer;
    ASSERT_EQ(webViewer.open(port_), 101);
    webViewer.send("SCREEN " + token + " 64 60 Viewer");
    EXPECT_EQ(webViewer.nextText(), "SCREEN 64 40");
    WebClient third;
    ASSERT_EQ(third.open(port_), 101);
    third.send("SCREEN " + token + " 64 60 Viewer");
    EXPECT_EQ(third.nextText(), "ERR busy");
    EXPECT_FALSE(third.next());
    EXPECT_EQ(server_->screenViewers(), 2);
}

TEST_F(WebServerTest, ViewerThatVanishedFreesItsPlace) {
    start([](ServerOptions& o) { o.webSocketIdle = 300ms; });
    const std::string token = store_->pair("Viewer", "127.0.0.1");
    WebClient gone;
    ASSERT_EQ(gone.open(port_), 101);
    gone.send("SCREEN " + token + " 64 60 Viewer");
    EXPECT_EQ(gone.nextText(), "SCREEN 64 40");
    // From here on the client reads nothing and so answers no ping.
    EXPECT_TRUE(waitLog("Viewer (127.0.0.1) 화면 보기 종료"));
    EXPECT_EQ(server_->screenViewers(), 0);
}

TEST_F(WebServerTest, HttpConnectionsShareTheLimitOfUnadmittedConnections) {
    start();
    std::vector<std::unique_ptr<RawClient>> browsers;
    for (int i = 0; i < 8; ++i) {
        browsers.push_back(std::make_unique<RawClient>(port_));
        ASSERT_TRUE(browsers.back()->ask(get("/id", host_)));
    }
    RawClient refused(port_);
    refused.send("HELLO Late\n");
    EXPECT_TRUE(refused.closedByServer());
    WebClient refusedSocket;
    EXPECT_NE(refusedSocket.open(port_), 101u);

    browsers.pop_back();
    EXPECT_TRUE(eventually([&] {
        RawClient phone(port_);
        phone.send("HELLO Late\n");
        return phone.line() == "PIN";
    }));
}

TEST_F(WebServerTest, IdleHttpConnectionsCloseOnTheirOwn) {
    start([](ServerOptions& o) { o.httpIdleTimeout = 200ms; });
    RawClient browser(port_);
    ASSERT_TRUE(browser.ask(get("/", host_)));
    EXPECT_TRUE(browser.closedByServer());
    EXPECT_TRUE(logs().empty());
}

TEST_F(WebServerTest, ButtonHeldWhenTheSessionEndsIsReleased) {
    start();
    const std::string token = store_->pair("Dragger", "127.0.0.1");
    {
        RawClient tcp(port_);
        tcp.send("HELLO Dragger " + token + "\n");
        EXPECT_EQ(tcp.line(), "OK " + token);
        tcp.send("D L\nPING\n");
        EXPECT_EQ(tcp.line(), "PONG");
    }
    EXPECT_TRUE(eventually([&] {
        return buttons_->seen() == std::vector<std::string>{"down left", "up left"};
    }));
    {
        WebClient web;
        ASSERT_EQ(web.open(port_), 101);
        web.send("HELLO Dragger " + token);
        EXPECT_EQ(web.nextText(), "OK " + token);
        // A finished drag leaves nothing to release.
        web.send("D L\nU L\nD L\nPING");
        EXPECT_EQ(web.nextText(), "PONG");
        web.drop();
    }
    EXPECT_TRUE(eventually([&] { return buttons_->seen().size() == 6; }));
    EXPECT_EQ(buttons_->seen(), (std::vector<std::string>{"down left", "up left", "down left",
                                                          "up left", "down left", "up left"}));
}
