// Internals of NetServer shared by its source files: the server state and the Session class.
// Everything here lives on the server thread unless a member says otherwise.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <unordered_map>

#include "core/input/InputSim.h"
#include "core/input/Typist.h"
#include "core/net/Asio.h"
#include "core/net/Carrier.h"
#include "core/net/NetServer.h"
#include "core/net/Protocol.h"
#include "core/screen/ScreenStreamer.h"

namespace velora {

class HttpConnection;
class Session;

struct NetServer::Impl {
    using Clock = ServerOptions::Clock;

    Impl(NetServer& owner, std::shared_ptr<Store> store, Platform platform, ServerOptions options);

    NetServer& owner;
    std::shared_ptr<Store> store;
    Platform platform;
    ServerOptions options;
    std::shared_ptr<asio::io_context> io = std::make_shared<asio::io_context>();
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work;
    std::thread thread;
    std::optional<asio::ip::tcp::acceptor> acceptor;
    std::optional<asio::steady_timer> acceptRetry;
    std::optional<asio::ip::udp::socket> udp;
    InputSim input;
    // Types long texts off the server thread; every other use of `input` holds it.
    Typist typist{input};

    // Server-thread state.
    std::map<const Session*, std::shared_ptr<Session>> sessions;
    std::map<const HttpConnection*, std::shared_ptr<HttpConnection>> httpConnections;
    // This computer's host name, one of the names the phone page may be reached by.
    std::string hostName;
    std::vector<ClientInfo> clients;
    int screenViewers = 0;
    struct Failures {
        int fails = 0;
        Clock::time_point until = Clock::time_point::min();
    };
    std::unordered_map<std::string, Failures> blocked;
    // The latest wrong PINs from any address (at most pinFailureLimit), and the end of the pause
    // of new pairings that they caused.
    std::deque<Clock::time_point> recentFailures;
    Clock::time_point pairingPausedUntil = Clock::time_point::min();
    bool pairingTaken = false;
    std::deque<std::weak_ptr<Session>> pairingWaiters;
    size_t unadmitted = 0;
    asio::ip::udp::endpoint probeSender;
    std::array<char, 2048> probeBuffer{};
    Clock::time_point replyWindow{};
    int repliesInWindow = 0;

    // Copies for readers on other threads.
    mutable std::mutex publishLock;
    std::vector<ClientInfo> publishedClients;
    std::atomic<int> publishedViewers{0};
    std::atomic<uint16_t> boundControl{0};
    std::atomic<uint16_t> boundDiscovery{0};

    void log(const LogEvent& event) const;
    void clientsChanged();
    void viewersChanged();

    void startDiscovery();
    void startControl();
    void accept();
    void handle(asio::ip::tcp::socket socket);
    // A new connection not yet admitted, as a session or as HTTP.
    void startSession(std::unique_ptr<Carrier> carrier, const std::string& ip);
    void startHttp(asio::ip::tcp::socket socket, const std::string& ip, std::string_view opening);
    void httpEnded(const HttpConnection* connection);
    void receiveProbe();
    bool replyAllowed();
    void fail(const std::string& ip);
    void unblock(const std::string& ip);
    bool isBlocked(const std::string& ip) const;
    bool pairingPaused() const;
    void countFailure(const std::string& ip, Clock::time_point now);
    std::string timeOfDayAt(Clock::time_point when) const;
    void release(const Session* session);

    // The single pairing slot: taken at once, or granted later to the first waiter.
    bool takePairingSlot(const std::shared_ptr<Session>& waiter);
    void freePairingSlot();
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(NetServer::Impl& server, std::unique_ptr<Carrier> carrier, std::string ip);

    void receive();
    void awaitGreeting();
    void handle(const std::string& line);
    void send(std::string line);
    void sendFrame(std::vector<uint8_t> frame, std::function<void(bool)> done);
    void close();
    void finish();

    // Pairing.
    void askPin();
    void openPrompt();
    void busy();
    void pinLine(const std::string& line);
    void approve();
    void accept(const std::string& token);

    // Commands and the screen request.
    void execute(const std::string& line);
    void startTyping(std::string text);
    void typingDone();
    void startScreen(const std::string& line);

    bool admitted() const { return paired || screen != nullptr; }
    bool finished() const { return finished_; }
    const std::string& address() const { return ip; }

private:
    struct Outgoing {
        enum class Kind { Lines, Frame, End };
        Kind kind = Kind::Lines;
        std::string lines{};
        std::vector<uint8_t> frame{};
        std::function<void(bool)> done{};
        size_t size() const { return lines.size() + frame.size(); }
    };

    void onRead(const ErrorCode& ec, bool tooLong);
    void takeLines();
    void greet(const std::string& line);
    void pump();
    void enqueue(Outgoing item);
    void resumeReading();
    void written(const ErrorCode& ec);
    void closeSocket();
    void releaseHeldButton();
    // An entry about this phone.
    LogEvent event(LogKind kind) const { return {.kind = kind, .name = name, .ip = ip}; }
    ScreenStreamer::Target streamTarget();

    NetServer::Impl& server;
    std::unique_ptr<Carrier> carrier;
    std::string ip;
    LineFramer framer;
    ErrorCode readError;  // of the last read, acted on once its lines are taken
    bool messageTooLong = false;
    bool greeted = false;
    bool paired = false;
    bool finished_ = false;
    bool counted = true;  // counts against the server's unadmitted connections
    std::string name;
    std::optional<ClientInfo> info;
    std::optional<std::string> expectedPin;
    std::optional<NetServer::Impl::Clock::time_point> pinDeadline;
    std::unique_ptr<ScreenStreamer> screen;
    // The mouse button this phone pressed and has not let go (a drag under way).
    std::optional<std::string> heldButton;
    asio::steady_timer greetingTimer;
    asio::steady_timer pinTimer;
    asio::steady_timer busyTimer;
    asio::steady_timer lingerTimer;
    bool waitingForSlot = false;
    // The text of a "T" line while it is being typed; the phone's later lines wait until it is
    // done.
    std::shared_ptr<Typist::Job> typingJob;
    // Whether this read's lines posted input events, which then go out together.
    bool inputPosted = false;
    std::deque<Outgoing> outgoing;
    size_t queuedBytes = 0;
    bool writing = false;
    // The phone's lines are not read while too many of its replies wait unsent.
    bool readPaused = false;
};

}  // namespace velora
