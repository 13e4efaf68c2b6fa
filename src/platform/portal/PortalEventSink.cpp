#include "platform/portal/PortalEventSink.h"

#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <cstdio>

#include "platform/linux/EvdevButtons.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/TextKeysyms.h"

namespace velora::portal {

namespace {

// A phone can send any amount; each line is one wheel step.
constexpr int32_t kMaxScrollLines = 100;
constexpr uint32_t kVerticalAxis = 0;
constexpr uint32_t kHorizontalAxis = 1;
// XKB keycodes are evdev codes plus 8.
constexpr uint32_t kEvdevOffset = 8;

// The left-hand modifier keys a stroke's flags press, in the order they go down.
constexpr struct {
    uint64_t flag;
    int32_t code;
} kModifierKeys[] = {
    {linux_::modifier::control, KEY_LEFTCTRL},
    {linux_::modifier::shift, KEY_LEFTSHIFT},
    {linux_::modifier::alt, KEY_LEFTALT},
    {linux_::modifier::super, KEY_LEFTMETA},
};

// Printable ASCII has a key on every Latin layout the portal resolves keysyms against.
bool asciiKeysym(uint32_t keysym) {
    return keysym >= 0x20 && keysym <= 0x7e;
}

// Keysyms of characters, as opposed to those of function, modifier and media keys.
bool characterKeysym(uint32_t keysym) {
    return keysym < 0xff00 || (keysym >= 0x01000000 && keysym <= 0x0110ffff);
}

}  // namespace

PortalEventSink::PortalEventSink(std::shared_ptr<PortalSession> session,
                                 std::shared_ptr<Displays> displays, TextRoute route)
    : session_(std::move(session)), displays_(std::move(displays)), route_(route) {}

Point PortalEventSink::pointerLocation() {
    if (at_) return *at_;
    const std::optional<Rect> main = displays_->main();
    if (!main) return {};
    return {main->x + main->width / 2, main->y + main->height / 2};
}

void PortalEventSink::mouseMove(Point to, std::optional<MouseButton>) {
    if (!session_->started()) return;
    const std::optional<Rect> main = displays_->main();
    const std::optional<PortalStream> stream = session_->firstStream();
    if (stream && main && main->width > 0 && main->height > 0 && stream->logicalSize.width > 0) {
        const double x = std::clamp(to.x - main->x, 0.0, main->width - 1);
        const double y = std::clamp(to.y - main->y, 0.0, main->height - 1);
        session_->pointerMotionAbsolute(stream->nodeId, x * stream->logicalSize.width / main->width,
                                        y * stream->logicalSize.height / main->height);
    } else {
        const Point from = pointerLocation();
        session_->pointerMotion(to.x - from.x, to.y - from.y);
    }
    at_ = to;
}

// A pressed button stays held on the desktop's seat, so a move with it is a drag by itself.
void PortalEventSink::mouseMoveBy(Point by, Point to, std::optional<MouseButton>) {
    if (!session_->started()) return;
    session_->pointerMotion(by.x, by.y);
    at_ = to;
}

void PortalEventSink::mouseButton(MouseButton button, bool down, Point) {
    session_->pointerButton(static_cast<int32_t>(linux_::evdevButton(button)), down);
}

// Velora's lines count up and left as positive, the portal's steps down and right.
void PortalEventSink::scroll(int32_t vertical, int32_t horizontal) {
    if (vertical != 0)
        session_->pointerAxisDiscrete(kVerticalAxis,
                                      -std::clamp(vertical, -kMaxScrollLines, kMaxScrollLines));
    if (horizontal != 0)
        session_->pointerAxisDiscrete(kHorizontalAxis,
                                      -std::clamp(horizontal, -kMaxScrollLines, kMaxScrollLines));
}

std::optional<int32_t> PortalEventSink::evdevCode(uint32_t keysym) {
    const auto chord = keys_.find(keysym);
    if (!chord || chord->keycode < kEvdevOffset) return std::nullopt;
    return static_cast<int32_t>(chord->keycode - kEvdevOffset);
}

void PortalEventSink::tapKeysym(uint32_t keysym) {
    session_->keyboardKeysym(static_cast<int32_t>(keysym), true);
    session_->keyboardKeysym(static_cast<int32_t>(keysym), false);
}

void PortalEventSink::tapKeycode(int32_t code) {
    session_->keyboardKeycode(code, true);
    session_->keyboardKeycode(code, false);
}

// Modifiers go down as keys around the stroke. A character key goes as its keysym, so that a
// shortcut such as Ctrl+Z lands on the key the layout labels Z; other keys go by position.
void PortalEventSink::key(const KeyStroke& stroke) {
    if (!session_->started()) return;
    const bool character = characterKeysym(stroke.code);
    const std::optional<int32_t> code = character ? std::nullopt : evdevCode(stroke.code);
    if (!character && !code) return;
    for (const auto& modifier : kModifierKeys)
        if (stroke.flags & modifier.flag) session_->keyboardKeycode(modifier.code, true);
    if (code)
        tapKeycode(*code);
    else
        tapKeysym(stroke.code);
    for (auto modifier = std::rbegin(kModifierKeys); modifier != std::rend(kModifierKeys);
         ++modifier)
        if (stroke.flags & modifier->flag) session_->keyboardKeycode(modifier->code, false);
}

// Ctrl+Shift+U, the code point in hexadecimal, then a space that ends the entry (and is not
// typed): the Unicode entry of GTK and of IBus, GNOME's input method.
void PortalEventSink::hexEntry(char32_t codePoint) {
    session_->keyboardKeycode(KEY_LEFTCTRL, true);
    session_->keyboardKeycode(KEY_LEFTSHIFT, true);
    tapKeysym(XKB_KEY_u);
    session_->keyboardKeycode(KEY_LEFTSHIFT, false);
    session_->keyboardKeycode(KEY_LEFTCTRL, false);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(codePoint));
    for (const char* digit = digits; *digit != '\0'; ++digit)
        tapKeysym(static_cast<unsigned char>(*digit));
    tapKeysym(XKB_KEY_space);
}

void PortalEventSink::text(std::string_view cluster) {
    if (!session_->started()) return;
    for (const uint32_t keysym : linux_::keysymsForText(cluster)) {
        const uint32_t codePoint = xkb_keysym_to_utf32(keysym);
        if (route_ == TextRoute::HexEntry && characterKeysym(keysym) && !asciiKeysym(keysym) &&
            codePoint != 0)
            hexEntry(codePoint);
        else if (const auto code = characterKeysym(keysym) ? std::nullopt : evdevCode(keysym))
            tapKeycode(*code);
        else
            tapKeysym(keysym);
    }
}

void PortalEventSink::media(int keyType) {
    if (!session_->started() || keyType <= 0) return;
    if (const auto code = evdevCode(static_cast<uint32_t>(keyType))) tapKeycode(*code);
}

}  // namespace velora::portal
