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

Session::Session(NetServer::Impl& server, std::unique_ptr<Carrier> carrier, std::string ip)
    : server(server),
      carrier(std::move(carrier)),
      ip(std::move(ip)),
      framer(kMaxGreetingLine),
      name(L::T("device_default")),
      greetingTimer(*server.io),
      pinTimer(*server.io),
      busyTimer(*server.io),
      lingerTimer(*server.io) {
    this->carrier->setLineLimit(kMaxGreetingLine);
}

void Session::receive() {
    carrier->read(framer, [self = shared_from_this()](const ErrorCode& ec, bool tooLong) {
        self->onRead(ec, tooLong);
    });
}

void Session::awaitGreeting() {
    greetingTimer.expires_after(server.options.greetingTimeout);
    greetingTimer.async_wait([weak = weak_from_this()](const ErrorCode& ec) {
        auto self = weak.lock();
        if (ec || !self || self->greeted || self->finished_) return;
        self->finish();
    });
}

void Session::onRead(const ErrorCode& ec, bool tooLong) {
    if (finished_) return;
    readError = ec;
    messageTooLong = tooLong;
    takeLines();
}

// Handles the lines read so far, then reads on. While the phone waits for the pairing slot, or
// its text is being typed, its later lines stay unread and nothing more is read.
void Session::takeLines() {
    while (!waitingForSlot && !typingJob) {
        const auto line = framer.next();
        if (!line) break;
        handle(*line);
        if (finished_) return;
    }
    if (waitingForSlot || typingJob) return;
    // Input events of one read go out together.
    if (inputPosted) {
        Typist::Hold hold(server.typist);
        server.input.sink().flush();
        inputPosted = false;
    }
    if (framer.overflowed() || messageTooLong) {
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
    carrier->setLineLimit(kMaxCommandLine);
    send("OK " + token + "\n");
    info = ClientInfo{name, ip};
    server.unblock(ip);
    server.clients.push_back(*info);
    server.clientsChanged();
    server.log(event(LogKind::Connected));
}

void Session::send(std::string line) {
    enqueue(Outgoing{.lines = std::move(line)});
}

void Session::enqueue(Outgoing item) {
    using Kind = Outgoing::Kind;
    queuedBytes += item.size();
    // Lines waiting behind the write in flight go out together in one write, which also keeps
    // the memory of many small replies close to their size.
    const size_t inFlight = writing ? 1 : 0;
    if (item.kind == Kind::Lines && outgoing.size() > inFlight &&
        outgoing.back().kind == Kind::Lines) {
        outgoing.back().lines += item.lines;
        return;
    }
    outgoing.push_back(std::move(item));
    pump();
}

void Session::sendFrame(std::vector<uint8_t> frame, std::function<void(bool)> done) {
    if (finished_) {
        done(false);
        return;
    }
    enqueue(Outgoing{
        .kind = Outgoing::Kind::Frame, .frame = std::move(frame), .done = std::move(done)});
}

void Session::close() {
    enqueue(Outgoing{.kind = Outgoing::Kind::End});
}

// Writes the queue in order, one write in flight.
void Session::pump() {
    if (writing || outgoing.empty() || !carrier->isOpen()) return;
    writing = true;
    const Outgoing& item = outgoing.front();
    auto done = [self = shared_from_this()](const ErrorCode& ec) { self->written(ec); };
    switch (item.kind) {
        case Outgoing::Kind::Lines:
            carrier->writeLines(item.lines, std::move(done));
            break;
        case Outgoing::Kind::Frame:
            carrier->writeFrame(item.frame, std::move(done));
            break;
        case Outgoing::Kind::End:
            // The session is over; the socket closes once the carrier has said goodbye (or
            // when the linger ends).
            finish();
            carrier->endSending(std::move(done));
            break;
    }
}

void Session::written(const ErrorCode& ec) {
    writing = false;
    queuedBytes -= outgoing.front().size();
    auto done = std::move(outgoing.front().done);
    outgoing.pop_front();
    if (done) done(!ec);
    if (ec) {
        outgoing.clear();
        queuedBytes = 0;
        closeSocket();
        // No read is under way to notice the end: finish here.
        if (readPaused) finish();
        return;
    }
    if (finished_ && outgoing.empty()) {
        closeSocket();
        return;
    }
    resumeReading();
    pump();
}

void Session::closeSocket() {
    lingerTimer.cancel();
    carrier->close();
    // The write in flight, if any, completes with an error and reports itself.
    const size_t inFlight = writing ? 1 : 0;
    for (size_t i = inFlight; i < outgoing.size(); ++i) {
        if (outgoing[i].done) outgoing[i].done(false);
    }
    outgoing.erase(outgoing.begin() + inFlight, outgoing.end());
    queuedBytes = inFlight ? outgoing.front().size() : 0;
}

void Session::finish() {
    if (finished_) return;
    finished_ = true;
    if (typingJob) typingJob->cancel();
    releaseHeldButton();
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

namespace velora {

// A drag cut off by a lost connection would otherwise leave the button down on the desktop.
void Session::releaseHeldButton() {
    if (!heldButton) return;
    Typist::Hold hold(server.typist);
    if (server.input.heldButton()) {
        server.input.buttonUp(*heldButton);
        server.input.sink().flush();
    }
    heldButton.reset();
}

}  // namespace velora
