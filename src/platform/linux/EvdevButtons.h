// Linux input event codes for Velora's pointer buttons, as evdev and the protocols built on it
// (Wayland, the desktop portal) take them.
#pragma once

#include <linux/input-event-codes.h>

#include <cstdint>

#include "platform/Platform.h"

namespace velora::linux_ {

inline uint32_t evdevButton(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return BTN_LEFT;
        case MouseButton::Middle:
            return BTN_MIDDLE;
        case MouseButton::Right:
            return BTN_RIGHT;
    }
    return BTN_LEFT;
}

}  // namespace velora::linux_
