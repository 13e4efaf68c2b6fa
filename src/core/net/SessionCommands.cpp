// An admitted phone's command lines, and the screen request of a viewing connection.
#include "common/Utf8.h"
#include "core/Text.h"
#include "core/net/NetServerImpl.h"
#include "core/shell/L.h"

namespace velora {

namespace {

// Longest text a "T" line may type, decoded: about half a minute of key presses on X11.
constexpr size_t kMaxTypedBytes = 64 * 1024;

}  // namespace

void Session::execute(const std::string& line) {
    const auto [verb, argument] = splitCommand(line);
    if (verb == "PING") {
        send("PONG\n");
        return;
    }
    if (verb == "INFO") {
        send(server.owner.infoLine());
        return;
    }
    if (verb == "T") {
        // A text too long to type in reasonable time is refused as silently as invalid Base64.
        auto bytes = decodeBase64(argument);
        if (bytes && bytes->size() <= kMaxTypedBytes) startTyping(utf8::sanitize(*bytes));
        return;
    }
    // The input is shared with the typist's thread, which lets go of it between slices.
    Typist::Hold hold(server.typist);
    inputPosted = true;
    InputSim& input = server.input;
    if (verb == "M") {
        const auto [dx, dy] = two(argument);
        input.move(dx, dy);
    } else if (verb == "MA") {
        const auto [x, y] = two(argument);
        input.moveAbs(x, y);
    } else if (verb == "S") {
        const auto [horizontal, vertical] = two(argument);
        input.scroll(horizontal, vertical);
    } else if (verb == "C") {
        const std::string letter = buttonLetter(argument);
        input.buttonDown(letter);
        input.buttonUp(letter);
    } else if (verb == "D") {
        heldButton = buttonLetter(argument);
        input.buttonDown(*heldButton);
    } else if (verb == "U") {
        heldButton.reset();
        input.buttonUp(buttonLetter(argument));
    } else if (verb == "K") {
        if (auto key = input.resolve(argument)) {
            input.press(*key);
        } else {
            send("ERR key\n");
        }
    } else if (verb == "H") {
        if (!input.hotkey(argument)) send("ERR hotkey\n");
    } else if (verb == "MEDIA") {
        if (!input.media(argument)) send("ERR media\n");
    } else if (verb == "PWR") {
        if (!server.store->allowPower()) {
            send("ERR disabled\n");
        } else {
            send(input.power(argument) ? "OK\n" : "ERR power\n");
        }
    }
}

void Session::startTyping(std::string text) {
    std::weak_ptr<asio::io_context> io = server.io;
    typingJob = server.typist.type(std::move(text), [io, weak = weak_from_this()] {
        if (auto context = io.lock()) {
            asio::post(*context, [weak] {
                if (auto self = weak.lock()) self->typingDone();
            });
        }
    });
}

void Session::typingDone() {
    typingJob.reset();
    if (!finished_) takeLines();
}

// Frames and the header reach the socket on the server thread, whatever thread sends them.
ScreenStreamer::Target Session::streamTarget() {
    std::weak_ptr<asio::io_context> io = server.io;
    std::weak_ptr<Session> weak = weak_from_this();
    ScreenStreamer::Target target;
    target.sendLine = [io, weak](std::string line) {
        if (auto context = io.lock()) {
            asio::post(*context, [weak, line = std::move(line)]() mutable {
                if (auto self = weak.lock()) self->send(std::move(line));
            });
        }
    };
    target.sendFrame = [io, weak](std::vector<uint8_t> frame, std::function<void(bool)> done) {
        auto context = io.lock();
        if (!context) {
            done(false);
            return;
        }
        asio::post(*context, [weak, frame = std::move(frame), done = std::move(done)]() mutable {
            auto self = weak.lock();
            if (!self) {
                done(false);
                return;
            }
            self->sendFrame(std::move(frame), std::move(done));
        });
    };
    return target;
}

void Session::startScreen(const std::string& line) {
    const ScreenRequest request = parseScreenRequest(line, L::T("device_default"));
    name = request.name;
    auto refuse = [this](const char* reply) {
        send(reply);
        close();
    };
    if (!server.store->isPaired(request.token)) return refuse("ERR auth\n");
    if (!server.store->allowScreen()) return refuse("ERR disabled\n");
    auto permissionMissing = [&] {
        server.log(event(LogKind::ViewDenied));
        refuse("ERR perm\n");
    };
    if (!server.platform.screenPermission || !server.platform.screenPermission()) {
        return permissionMissing();
    }
    if (server.screenViewers > 1) return refuse("ERR busy\n");
    auto source = server.platform.screenSource ? server.platform.screenSource() : nullptr;
    if (!source) return permissionMissing();

    ++server.screenViewers;
    server.viewersChanged();
    if (counted) {
        counted = false;
        --server.unadmitted;
    }
    LogEvent started = event(LogKind::ViewStarted);
    started.width = request.width;
    started.quality = request.quality;
    server.log(started);
    if (server.owner.onScreenViewer) server.owner.onScreenViewer(name, true);

    std::weak_ptr<Store> store = server.store;
    auto allowed = [store] {
        auto s = store.lock();
        return s && s->allowScreen();
    };
    std::weak_ptr<asio::io_context> io = server.io;
    std::weak_ptr<Session> weak = weak_from_this();
    auto onEnd = [io, weak] {
        if (auto context = io.lock()) {
            asio::post(*context, [weak] {
                if (auto self = weak.lock()) self->finish();
            });
        }
    };
    ScreenStreamer::Timing timing;
    timing.tick = server.options.screenTick;
    screen = std::make_unique<ScreenStreamer>(std::move(source), streamTarget(), request.width,
                                              request.quality, allowed, onEnd, timing);
    screen->start();
}

}  // namespace velora
