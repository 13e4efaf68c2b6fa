// One control connection: line framing, the greeting, pairing, the send queue and teardown.
#include <random>

#include "core/Text.h"
#include "core/net/NetServerImpl.h"
#include "core/shell/L.h"

namespace velora {

namespace {

// Longest line without its LF before admission, and after it.
constexpr size_t kMaxGreetingLine = 8 * 1024;
constexpr size_t kMaxCommandLine = 1024 * 1024;
// How long a finished session may still flush queued lines to a phone that does not read.
constexpr auto kLinger = std::chrono::seconds(2);
// Replies that a phone does not read wait in memory up to this much; past it, its further lines
// wait in its own socket until it catches up. Every PING costs a reply, so without the limit a
// phone that never reads could make the server hold any amount of them.
constexpr size_t kMaxQueuedBytes = 1024 * 1024;

std::string drawPin() {
    std::random_device rd;  // the system's cryptographically secure source
    std::uniform_int_distribution<uint32_t> digits(0, 999999);
    return formatPin(digits(rd));
}

}  // namespace

Session::Session(NetServer::Impl& server, asio::ip::tcp::socket socket, std::string ip)
    : server(server),
      socket(std::move(socket)),
      ip(std::move(ip)),
      framer(kMaxGreetingLine),
      name(L::T("device_default")),
      greetingTimer(*server.io),
      pinTimer(*server.io),
      busyTimer(*server.io),
      lingerTimer(*server.io) {}

void Session::receive() {
    socket.async_read_some(
        asio::buffer(readBuffer),
        [self = shared_from_this()](const ErrorCode& ec, size_t n) { self->onRead(ec, n); });
}

void Session::awaitGreeting() {
    greetingTimer.expires_after(server.options.greetingTimeout);
    greetingTimer.async_wait([weak = weak_from_this()](const ErrorCode& ec) {
        auto self = weak.lock();
        if (ec || !self || self->greeted || self->finished_) return;
        self->finish();
    });
}

void Session::onRead(const ErrorCode& ec, size_t n) {
    if (finished_) return;
    if (n > 0) framer.append(std::string_view(readBuffer.data(), n));
    readError = ec;
    takeLines();
}

// Handles the lines read so far, then reads on. While the phone waits for the pairing slot, or
// its text is being typed, its later lines stay unread and nothing more is read.
void Session::takeLines() {
    while (!waitingForSlot && typing.empty()) {
        const auto line = framer.next();
        if (!line) break;
        handle(*line);
        if (finished_) return;
    }
    if (waitingForSlot || !typing.empty()) return;
    // Input events of one read go out together.
    server.input.sink().flush();
    if (framer.overflowed()) {
        server.log({.kind = LogKind::LineTooLong, .ip = ip});
        finish();
        return;
    }
    // The end of the stream and a receive error both end the session.
    if (readError) {
        finish();
        return;
    }
    if (queuedBytes > kMaxQueuedBytes) {
        readPaused = true;
        return;
    }
    receive();
}

void Session::resumeReading() {
    if (!readPaused || finished_ || queuedBytes > kMaxQueuedBytes / 2) return;
    readPaused = false;
    receive();
}

void Session::handle(const std::string& line) {
    if (screen) {
        if (line == "A") screen->ack();
        return;
    }
    if (!greeted) {
        if (line.starts_with("SCREEN ")) {
            greeted = true;
            startScreen(line);
        } else if (line.starts_with("HELLO ")) {
            greet(line);
        } else {
            server.log({.kind = LogKind::BadGreeting, .ip = ip});
            finish();
        }
        return;
    }
    if (expectedPin) {
        pinLine(line);
    } else if (paired) {
        execute(line);
    }
}

void Session::greet(const std::string& line) {
    greeted = true;
    const Greeting g = parseGreeting(line);
    name = g.name;
    LogEvent hello = event(LogKind::Greeted);
    hello.version = g.version;
    server.log(hello);
    if (server.store->isPaired(g.token)) {
        server.store->touch(g.token, ip);
        accept(g.token);
    } else {
        askPin();
    }
}

void Session::askPin() {
    // While too many wrong PINs were sent lately, no prompt opens: as if another one were up.
    if (server.pairingPaused()) {
        busy();
        return;
    }
    if (server.takePairingSlot(shared_from_this())) {
        openPrompt();
        return;
    }
    // Another prompt is open: wait for the slot without holding up any other phone.
    waitingForSlot = true;
    busyTimer.expires_after(server.options.busyWait);
    busyTimer.async_wait([weak = weak_from_this()](const ErrorCode& ec) {
        auto self = weak.lock();
        if (ec || !self || !self->waitingForSlot || self->finished_) return;
        self->busy();
    });
}

void Session::busy() {
    waitingForSlot = false;
    send("ERR busy\n");
    finish();
}

// Called with the pairing slot held.
void Session::openPrompt() {
    if (waitingForSlot) {
        // The lines that came while this phone waited are taken once the prompt is open.
        asio::post(*server.io, [self = shared_from_this()] {
            if (!self->finished_) self->takeLines();
        });
    }
    waitingForSlot = false;
    busyTimer.cancel();
    expectedPin = drawPin();
    pinDeadline = server.options.now() + server.options.pinTimeout;
    LogEvent request = event(LogKind::PairingRequest);
    request.pin = *expectedPin;
    server.log(request);
    if (server.owner.onPinShow) {
        std::weak_ptr<asio::io_context> io = server.io;
        std::weak_ptr<Session> weak = weak_from_this();
        // The Allow button may press from any thread; approval always runs on the server thread.
        auto approveOnServer = [io, weak] {
            if (auto context = io.lock()) {
                asio::post(*context, [weak] {
                    if (auto self = weak.lock()) self->approve();
                });
            }
        };
        server.owner.onPinShow(name, ip, *expectedPin, approveOnServer);
    }
    send("PIN\n");
    // A prompt nobody answers must not hold the only pairing slot forever.
    pinTimer.expires_after(server.options.pinTimeout);
    pinTimer.async_wait([weak = weak_from_this()](const ErrorCode& ec) {
        auto self = weak.lock();
        if (ec || !self || !self->expectedPin || self->finished_) return;
        self->server.log(self->event(LogKind::PairingTimeout));
        self->finish();
    });
}

void Session::pinLine(const std::string& line) {
    if (!line.starts_with("PIN ")) return;
    if (pinDeadline && server.options.now() > *pinDeadline) {
        server.log(event(LogKind::PairingTimeout));
        finish();
        return;
    }
    const std::string candidate = text::trimWhitespace(std::string_view(line).substr(4));
    if (candidate == *expectedPin) {
        approve();
        return;
    }
    send("ERR pin\n");
    server.fail(ip);
    server.log(event(LogKind::PinWrong));
    finish();
}

void Session::approve() {
    if (!expectedPin || finished_) return;
    expectedPin.reset();
    pinTimer.cancel();
    if (server.owner.onPinHide) server.owner.onPinHide();
    // Admitted before the next waiting phone's prompt opens, so the log tells them apart in order.
    accept(server.store->pair(name, ip));
    server.freePairingSlot();
}

void Session::accept(const std::string& token) {
    paired = true;
    if (counted) {
        counted = false;
        --server.unadmitted;
    }
    framer.setLimit(kMaxCommandLine);
    send("OK " + token + "\n");
    info = ClientInfo{name, ip};
    server.unblock(ip);
    server.clients.push_back(*info);
    server.clientsChanged();
    server.log(event(LogKind::Connected));
}

void Session::send(std::string line) {
    enqueue(Outgoing{std::move(line), nullptr, false});
}

void Session::enqueue(Outgoing item) {
    queuedBytes += item.bytes.size();
    // Lines waiting behind the write in flight go out together in one write, which also keeps
    // the memory of many small replies close to their size.
    const size_t inFlight = writing ? 1 : 0;
    const bool plain = !item.done && !item.final;
    if (plain && outgoing.size() > inFlight && !outgoing.back().done && !outgoing.back().final) {
        outgoing.back().bytes += item.bytes;
        return;
    }
    outgoing.push_back(std::move(item));
    pump();
}

void Session::sendFrame(std::string frame, std::function<void(bool)> done) {
    if (finished_) {
        done(false);
        return;
    }
    enqueue(Outgoing{std::move(frame), std::move(done), false});
}

void Session::close() {
    enqueue(Outgoing{{}, nullptr, true});
}

// Writes the queue in order, one write in flight.
void Session::pump() {
    if (writing || outgoing.empty() || !socket.is_open()) return;
    if (outgoing.front().final) {
        outgoing.pop_front();
        ErrorCode ec;
        socket.shutdown(asio::ip::tcp::socket::shutdown_send, ec);
        finish();
        return;
    }
    writing = true;
    asio::async_write(socket, asio::buffer(outgoing.front().bytes),
                      [self = shared_from_this()](const ErrorCode& ec, size_t) {
                          self->writing = false;
                          self->queuedBytes -= self->outgoing.front().bytes.size();
                          auto done = std::move(self->outgoing.front().done);
                          self->outgoing.pop_front();
                          if (done) done(!ec);
                          if (ec) {
                              self->outgoing.clear();
                              self->queuedBytes = 0;
                              self->closeSocket();
                              // No read is under way to notice the end: finish here.
                              if (self->readPaused) self->finish();
                              return;
                          }
                          if (self->finished_ && self->outgoing.empty()) {
                              self->closeSocket();
                              return;
                          }
                          self->resumeReading();
                          self->pump();
                      });
}

void Session::closeSocket() {
    lingerTimer.cancel();
    ErrorCode ec;
    socket.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket.close(ec);
    // The write in flight, if any, completes with an error and reports itself.
    const size_t inFlight = writing ? 1 : 0;
    for (size_t i = inFlight; i < outgoing.size(); ++i) {
        if (outgoing[i].done) outgoing[i].done(false);
    }
    outgoing.erase(outgoing.begin() + inFlight, outgoing.end());
    queuedBytes = inFlight ? outgoing.front().bytes.size() : 0;
}

void Session::finish() {
    if (finished_) return;
    finished_ = true;
    if (screen) {
        screen->stop();
        screen.reset();
        --server.screenViewers;
        server.viewersChanged();
        if (server.owner.onScreenViewer) server.owner.onScreenViewer(name, false);
        server.log(event(LogKind::ViewEnded));
    }
    if (info) {
        std::erase(server.clients, *info);
        server.clientsChanged();
        server.log({.kind = LogKind::Disconnected, .name = info->name});
    }
    if (expectedPin) {
        if (server.owner.onPinHide) server.owner.onPinHide();
        expectedPin.reset();
        server.freePairingSlot();
    }
    if (counted) {
        counted = false;
        --server.unadmitted;
    }
    waitingForSlot = false;
    greetingTimer.cancel();
    pinTimer.cancel();
    busyTimer.cancel();
    // Lines queued just before (such as "ERR pin") still go out, for a bounded time.
    if (writing || !outgoing.empty()) {
        lingerTimer.expires_after(kLinger);
        lingerTimer.async_wait([self = shared_from_this()](const ErrorCode& ec) {
            if (!ec) self->closeSocket();
        });
    } else {
        closeSocket();
    }
    server.release(this);
}

}  // namespace velora
