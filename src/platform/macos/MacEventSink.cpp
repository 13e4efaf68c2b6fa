#include "platform/macos/MacEventSink.h"

#include <unicode/unistr.h>

namespace velora::macos {
namespace {

uint32_t buttonNumber(MouseButton button) {
    switch (button) {
        case MouseButton::Right:
            return kCGMouseButtonRight;
        case MouseButton::Middle:
            return kCGMouseButtonCenter;
        case MouseButton::Left:
            break;
    }
    return kCGMouseButtonLeft;
}

uint32_t dragType(MouseButton button) {
    switch (button) {
        case MouseButton::Right:
            return kCGEventRightMouseDragged;
        case MouseButton::Middle:
            return kCGEventOtherMouseDragged;
        case MouseButton::Left:
            break;
    }
    return kCGEventLeftMouseDragged;
}

uint32_t buttonType(MouseButton button, bool down) {
    switch (button) {
        case MouseButton::Right:
            return down ? kCGEventRightMouseDown : kCGEventRightMouseUp;
        case MouseButton::Middle:
            return down ? kCGEventOtherMouseDown : kCGEventOtherMouseUp;
        case MouseButton::Left:
            break;
    }
    return down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp;
}

CGEventRecord keyboardEvent(uint32_t code, bool down) {
    CGEventRecord e;
    e.type = down ? kCGEventKeyDown : kCGEventKeyUp;
    e.keyCode = static_cast<uint16_t>(code);
    e.keyDown = down;
    return e;
}

// A media key event: the key state byte (0x0A pressed, 0x0B released) sits in bits 8 to 15 of
// both the modifier flags and data1, the key type in bits 16 to 31 of data1.
CGEventRecord mediaEvent(int keyType, int64_t state) {
    CGEventRecord e;
    e.type = kNSEventTypeSystemDefined;
    e.subtype = kAuxControlButtonsSubtype;
    e.flags = static_cast<uint64_t>(state);
    e.data1 = (static_cast<int64_t>(keyType) << 16) | state;
    e.data2 = -1;
    return e;
}

}  // namespace

void MacEventSink::mouseMove(Point to, std::optional<MouseButton> held) {
    CGEventRecord e;
    e.type = held ? dragType(*held) : kCGEventMouseMoved;
    e.location = to;
    e.mouseButton = held ? buttonNumber(*held) : kCGMouseButtonLeft;
    poster_->post(e);
}

void MacEventSink::mouseButton(MouseButton button, bool down, Point at) {
    CGEventRecord e;
    e.type = buttonType(button, down);
    e.location = at;
    e.mouseButton = buttonNumber(button);
    poster_->post(e);
}

void MacEventSink::scroll(int32_t vertical, int32_t horizontal) {
    CGEventRecord e;
    e.type = kCGEventScrollWheel;
    e.scrollUnits = kCGScrollEventUnitLine;
    e.wheelCount = 2;
    e.wheel1 = vertical;
    e.wheel2 = horizontal;
    poster_->post(e);
}

void MacEventSink::key(const KeyStroke& key) {
    // Modifiers travel only as flags on the two events; no modifier key is pressed itself.
    for (bool down : {true, false}) {
        CGEventRecord e = keyboardEvent(key.code, down);
        e.flags = key.flags;
        poster_->post(e);
    }
}

void MacEventSink::text(std::string_view cluster) {
    // Text rides on key code 0 as Unicode units, so it arrives as written whatever the layout.
    const icu::UnicodeString units = icu::UnicodeString::fromUTF8(
        icu::StringPiece(cluster.data(), static_cast<int32_t>(cluster.size())));
    const std::u16string utf16(units.getBuffer(), static_cast<size_t>(units.length()));
    for (bool down : {true, false}) {
        CGEventRecord e = keyboardEvent(0, down);
        e.unicode = utf16;
        poster_->post(e);
    }
}

void MacEventSink::media(int keyType) {
    poster_->post(mediaEvent(keyType, 0xa00));
    poster_->post(mediaEvent(keyType, 0xb00));
}

}  // namespace velora::macos
