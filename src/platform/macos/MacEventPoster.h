// The macOS event layer as plain records: each CoreGraphics event that the profile would create,
// with the fields it sets, handed to a poster that a macOS build backs with CGEventPost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace velora::macos {

// CGEventType numbers (and the NSEvent system-defined type, whose CGEvent carries the same).
enum CGEventTypeNumber : uint32_t {
    kCGEventLeftMouseDown = 1,
    kCGEventLeftMouseUp = 2,
    kCGEventRightMouseDown = 3,
    kCGEventRightMouseUp = 4,
    kCGEventMouseMoved = 5,
    kCGEventLeftMouseDragged = 6,
    kCGEventRightMouseDragged = 7,
    kCGEventKeyDown = 10,
    kCGEventKeyUp = 11,
    kNSEventTypeSystemDefined = 14,
    kCGEventScrollWheel = 22,
    kCGEventOtherMouseDown = 25,
    kCGEventOtherMouseUp = 26,
    kCGEventOtherMouseDragged = 27,
};

// CGMouseButton numbers.
enum CGMouseButtonNumber : uint32_t {
    kCGMouseButtonLeft = 0,
    kCGMouseButtonRight = 1,
    kCGMouseButtonCenter = 2,
};

constexpr uint32_t kCGScrollEventUnitLine = 1;
// NSEvent subtype of the auxiliary control buttons (media keys).
constexpr int16_t kAuxControlButtonsSubtype = 8;

// One event as created, with every field the profile sets; fields an event kind does not use
// keep their zero values.
struct CGEventRecord {
    uint32_t type = 0;
    Point location;
    // Mouse events (CGEventCreateMouseEvent).
    uint32_t mouseButton = 0;
    // Keyboard events (CGEventCreateKeyboardEvent): code, direction, the flags set with
    // CGEventSetFlags (none when left as created) and the CGEventKeyboardSetUnicodeString units.
    uint16_t keyCode = 0;
    bool keyDown = false;
    std::optional<uint64_t> flags;
    std::u16string unicode;
    // Scroll events (CGEventCreateScrollWheelEvent2).
    uint32_t scrollUnits = 0;
    uint32_t wheelCount = 0;
    int32_t wheel1 = 0;
    int32_t wheel2 = 0;
    int32_t wheel3 = 0;
    // System-defined events (NSEvent otherEventWithType:...); their modifier flags go in `flags`.
    int16_t subtype = 0;
    int64_t data1 = 0;
    int64_t data2 = 0;
    bool operator==(const CGEventRecord&) const = default;
};

// The OS calls behind the macOS event sink.
class MacEventPoster {
  public:
    virtual ~MacEventPoster() = default;
    // Creates the event described and posts it at kCGHIDEventTap; an event that cannot be
    // created is skipped.
    virtual void post(const CGEventRecord& event) = 0;
    // CGEventGetLocation of an empty event; (0, 0) when none can be created.
    virtual Point location() = 0;
    // AXIsProcessTrusted().
    virtual bool trusted() = 0;
};

}  // namespace velora::macos
