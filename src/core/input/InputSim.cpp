#include "core/input/InputSim.h"

#include <algorithm>
#include <limits>

#include "core/Text.h"
#include "core/net/Protocol.h"

namespace velora {
namespace {

// Where pointer maths happens when the platform reports no display at all.
constexpr Rect kFallbackBounds{0, 0, 1440, 900};
constexpr double kAbsGrid = 65535.0;

// The first character of a button letter: R is right, M middle, anything else left.
MouseButton buttonFor(std::string_view letter) {
    const std::string first = buttonLetter(letter);
    if (first == "R") return MouseButton::Right;
    if (first == "M") return MouseButton::Middle;
    return MouseButton::Left;
}

int32_t toInt32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

Rect pointerBounds(const std::vector<Rect>& displays) {
    if (displays.empty()) return kFallbackBounds;
    double minX = displays.front().minX(), minY = displays.front().minY();
    double maxX = displays.front().maxX(), maxY = displays.front().maxY();
    for (const Rect& r : displays) {
        minX = std::min(minX, r.minX());
        minY = std::min(minY, r.minY());
        maxX = std::max(maxX, r.maxX());
        maxY = std::max(maxY, r.maxY());
    }
    return Rect{minX, minY, maxX - minX, maxY - minY};
}

InputSim::InputSim(std::shared_ptr<EventSink> sink, std::shared_ptr<Keymap> keymap,
                   std::shared_ptr<Displays> displays, std::shared_ptr<Launcher> launcher)
    : sink_(std::move(sink)),
      keymap_(std::move(keymap)),
      displays_(std::move(displays)),
      launcher_(std::move(launcher)) {}

void InputSim::move(int64_t dx, int64_t dy) {
    const Point from = sink_->pointerLocation();
    const Rect bounds = pointerBounds(displays_->active());
    // The pointer stays one point inside the right and bottom edges. The lower bound is applied
    // first, so a bounding box less than a point wide or high ends at maxX - 1 / maxY - 1.
    double x = from.x + static_cast<double>(dx);
    double y = from.y + static_cast<double>(dy);
    x = std::max(x, bounds.minX());
    x = std::min(x, bounds.maxX() - 1);
    y = std::max(y, bounds.minY());
    y = std::min(y, bounds.maxY() - 1);
    sink_->mouseMoveBy(Point{x - from.x, y - from.y}, Point{x, y}, heldButton_);
}

void InputSim::moveAbs(int64_t x, int64_t y) {
    const Rect bounds = displays_->main().value_or(kFallbackBounds);
    const double gx = static_cast<double>(std::clamp<int64_t>(x, 0, 65535));
    const double gy = static_cast<double>(std::clamp<int64_t>(y, 0, 65535));
    // 65535 lands on the right and bottom edge itself, not one point inside.
    sink_->mouseMove(Point{gx * bounds.width / kAbsGrid + bounds.minX(),
                           gy * bounds.height / kAbsGrid + bounds.minY()},
                     heldButton_);
}

void InputSim::buttonDown(std::string_view letter) {
    const MouseButton button = buttonFor(letter);
    heldButton_ = button;
    sink_->mouseButton(button, true, sink_->pointerLocation());
}

void InputSim::buttonUp(std::string_view letter) {
    heldButton_.reset();
    sink_->mouseButton(buttonFor(letter), false, sink_->pointerLocation());
}

void InputSim::scroll(int64_t horizontal, int64_t vertical) {
    // The platform takes 32-bit amounts; larger ones are clamped rather than wrapped round.
    sink_->scroll(toInt32(vertical), toInt32(horizontal));
}

std::optional<KeyStroke> InputSim::resolve(std::string_view name) const {
    const std::string upperName = text::upper(name);
    if (upperName == "PRTSC") return keymap_->printScreen();
    if (auto code = keymap_->named(upperName)) return KeyStroke{*code, 0};
    if (text::graphemes(name).size() != 1) return std::nullopt;
    const std::string lowered = text::lower(name);
    if (lowered.size() != 1) return std::nullopt;
    const auto code = keymap_->character(lowered.front());
    if (!code) return std::nullopt;
    // A character that lower-casing changes into a table character is an upper-case one.
    return KeyStroke{*code, name != lowered ? keymap_->shiftFlag() : 0};
}

void InputSim::press(const KeyStroke& key) {
    sink_->key(key);
}

bool InputSim::hotkey(std::string_view combination) {
    const auto pieces = text::splitNonEmpty(combination, '+');
    if (pieces.empty()) return false;
    uint64_t flags = 0;
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        // A piece of blanks only is trimmed to an empty name, which is no modifier.
        const auto flag = keymap_->hotkeyModifier(text::lower(text::trimWhitespace(pieces[i])));
        if (!flag) return false;
        flags |= *flag;
    }
    auto key = resolve(text::trimWhitespace(pieces.back()));
    if (!key) return false;
    key->flags |= flags;
    press(*key);
    return true;
}

void InputSim::type(std::string_view utf8) {
    for (const std::string& cluster : text::graphemes(utf8)) typeCluster(cluster);
}

void InputSim::typeCluster(std::string_view cluster) {
    // A CR LF pair is one cluster and goes out as text; only a lone LF or CR presses Return.
    if (cluster == "\n" || cluster == "\r") {
        press(keymap_->returnKey());
    } else {
        sink_->text(cluster);
    }
}

bool InputSim::media(std::string_view name) {
    const auto keyType = keymap_->mediaKey(text::upper(name));
    if (!keyType) return false;
    sink_->media(*keyType);
    return true;
}

bool InputSim::power(std::string_view action) {
    const auto what = keymap_->power(text::upper(action));
    if (!what) return false;
    if (what->press) {
        press(*what->press);
        return true;
    }
    return launcher_->launch(what->command);
}

}  // namespace velora
