// The command argument parsers and input synthesis behind them: numbers for moves and scrolls,
// Base64 text, key names and hotkey combinations, media and power names. The first byte picks
// the keymap (Linux or the macOS profile) and the displays; the rest is command lines.
#include <cmath>

#include "FuzzSupport.h"
#include "common/Utf8.h"
#include "core/Text.h"
#include "core/input/InputSim.h"
#include "core/net/Protocol.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/SimDisplays.h"

using namespace velora;

namespace {

// Keeps what the checks below look at: the pointer, key presses and typed clusters.
class CheckingSink : public EventSink {
public:
    Point location;
    std::vector<KeyStroke> keys;
    std::vector<std::string> texts;
    int mediaKeys = 0;

    Point pointerLocation() override { return location; }
    void mouseMove(Point to, std::optional<MouseButton>) override { location = to; }
    void mouseButton(MouseButton, bool, Point) override {}
    void scroll(int32_t, int32_t) override {}
    void key(const KeyStroke& key) override { keys.push_back(key); }
    void text(std::string_view cluster) override { texts.emplace_back(cluster); }
    void media(int) override { ++mediaKeys; }
    bool trusted() override { return true; }
};

class NullLauncher : public Launcher {
public:
    bool launch(const std::vector<std::string>&) override { return true; }
    void run(const std::vector<std::string>&) override {}
};

std::vector<Rect> displaysFor(uint8_t choice) {
    switch (choice % 4) {
        case 0:
            return {};
        case 1:
            return {Rect{0, 0, 1920, 1080}};
        case 2:
            return {Rect{0, 0, 2560, 1440}, Rect{-1280, -200, 1280, 1024}};
        default:
            return {Rect{0, 0, 0.5, 0.5}};
    }
}

bool inside(Point p, double minX, double minY, double maxX, double maxY) {
    return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= minX && p.y >= minY && p.x <= maxX &&
           p.y <= maxY;
}

void command(InputSim& input, CheckingSink& sink, const std::vector<Rect>& displays,
             std::string_view line) {
    const auto [verb, argument] = splitCommand(line);
    if (verb == "M") {
        const auto [dx, dy] = two(argument);
        input.move(dx, dy);
        // The pointer stays within the bounding box of the displays (or the fallback box).
        if (!displays.empty() && displays.front().width >= 1 && displays.front().height >= 1) {
            const Rect b = pointerBounds(displays);
            fuzzing::check(inside(sink.location, b.minX(), b.minY(), b.maxX() - 1, b.maxY() - 1),
                           "relative move left the displays");
        }
    } else if (verb == "MA") {
        const auto [x, y] = two(argument);
        input.moveAbs(x, y);
        if (!displays.empty()) {
            const Rect& m = displays.front();
            fuzzing::check(inside(sink.location, m.minX(), m.minY(), m.maxX(), m.maxY()),
                           "absolute move left the main display");
        }
    } else if (verb == "S") {
        const auto [h, v] = two(argument);
        input.scroll(h, v);
    } else if (verb == "C" || verb == "D" || verb == "U") {
        const std::string letter = buttonLetter(argument);
        fuzzing::check(argument.empty()
                           ? letter == "L"
                           : !letter.empty() && text::upper(argument).starts_with(letter),
                       "a button letter is the first character of the argument");
        if (verb != "U") input.buttonDown(letter);
        if (verb != "D") input.buttonUp(letter);
    } else if (verb == "K") {
        if (auto key = input.resolve(argument)) input.press(*key);
    } else if (verb == "H") {
        const size_t before = sink.keys.size();
        const bool pressed = input.hotkey(argument);
        fuzzing::check(sink.keys.size() == before + (pressed ? 1 : 0),
                       "a hotkey presses one key exactly when it is accepted");
    } else if (verb == "T") {
        if (auto bytes = decodeBase64(argument)) {
            fuzzing::check(encodeBase64(*bytes).size() == argument.size(), "Base64 length");
            const std::string typed = utf8::sanitize(*bytes);
            const size_t before = sink.keys.size() + sink.texts.size();
            input.type(typed);
            fuzzing::check(
                sink.keys.size() + sink.texts.size() - before == text::graphemes(typed).size(),
                "one event per typed cluster");
        }
        // Any bytes survive a trip through Base64.
        fuzzing::check(decodeBase64(encodeBase64(argument)) == std::string(argument),
                       "Base64 round trip");
    } else if (verb == "MEDIA") {
        const int before = sink.mediaKeys;
        const bool known = input.media(argument);
        fuzzing::check(known == (sink.mediaKeys == before + 1), "one media key per known name");
    } else if (verb == "PWR") {
        input.power(argument);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::Reader in(data, size);
    const uint8_t setup = in.byte();
    auto sink = std::make_shared<CheckingSink>();
    auto displays = std::make_shared<sim::SimDisplays>();
    displays->displays = displaysFor(setup >> 1);
    if (!displays->displays.empty()) displays->mainDisplay = displays->displays.front();
    std::shared_ptr<Keymap> keymap;
    if (setup & 1) {
        keymap = std::make_shared<macos::MacKeymap>();
    } else {
        keymap = std::make_shared<linux_::LinuxKeymap>("1");
    }
    InputSim input(sink, keymap, displays, std::make_shared<NullLauncher>());

    std::string_view rest = in.rest();
    while (!rest.empty()) {
        const size_t lf = rest.find('\n');
        command(input, *sink, displays->displays, rest.substr(0, lf));
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
    }
    return 0;
}
