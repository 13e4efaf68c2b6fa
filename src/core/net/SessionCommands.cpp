// An admitted phone's command lines, and the screen request of a viewing connection.
#include "common/Utf8.h"
#include "core/Text.h"
#include "core/net/NetServerImpl.h"
#include "core/shell/L.h"

namespace velora {

namespace {

// Longest text a "T" line may type, decoded: about half a minute of key presses on X11.
constexpr size_t kMaxTypedBytes = 64 * 1024;
// One slice of typing: other phones' lines are handled between slices.
constexpr size_t kSliceClusters = 8;
constexpr size_t kSliceBytes = 512;

// The start of the UTF-8 sequence at or before `at`.
size_t codePointStart(std::string_view text, size_t at) {
    while (at > 0 && at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
        --at;
    }
    return at;
}

}  // namespace

void Session::execute(const std::string& line) {
    const auto [verb, argument] = splitCommand(line);
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
    } else if (verb == "T") {
        // A text too long to type in reasonable time is refused as silently as invalid Base64.
        auto bytes = decodeBase64(argument);
        if (bytes && bytes->size() <= kMaxTypedBytes) startTyping(utf8::sanitize(*bytes));
    } else if (verb == "MEDIA") {
        if (!input.media(argument)) send("ERR media\n");
    } else if (verb == "PWR") {
        if (!server.store->allowPower()) {
            send("ERR disabled\n");
        } else {
            send(input.power(argument) ? "OK\n" : "ERR power\n");
        }
    } else if (verb == "PING") {
        send("PONG\n");
    } else if (verb == "INFO") {
        send(server.owner.infoLine());
    }
}

void Session::startTyping(std::string text) {
    typing = std::move(text);
    typed = 0;
    server.input.sink().textAhead(typing);
    typeSlice();
}

// Types the next slice of `typing`. While text remains, the rest is posted behind whatever else
// waits on the server thread, and this phone's own lines are taken up again once all is typed.
// True while text remains.
bool Session::typeSlice() {
    const std::string_view rest = std::string_view(typing).substr(typed);
    // The last cluster of a window that cuts the text may go on past it: it waits for the next.
    size_t window = kSliceBytes;
    std::vector<std::string> clusters;
    do {
        window = codePointStart(rest, std::min(window, rest.size()));
        clusters = text::graphemes(rest.substr(0, window));
        window *= 2;
    } while (window / 2 < rest.size() && clusters.size() < 2);
    const bool whole = window / 2 >= rest.size();
    const size_t count = std::min(kSliceClusters, whole ? clusters.size() : clusters.size() - 1);
    for (size_t i = 0; i < count; ++i) {
        server.input.typeCluster(clusters[i]);
        typed += clusters[i].size();
    }
    if (typed >= typing.size()) {
        typing = std::string();
        return false;
    }
    server.input.sink().flush();
    asio::post(*server.io, [self = shared_from_this()] {
        if (!self->finished_ && !self->typeSlice()) self->takeLines();
    });
    return true;
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
