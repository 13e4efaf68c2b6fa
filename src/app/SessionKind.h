// Which kind of graphical session Velora runs in, and so which backend it uses.
#pragma once

#include <string_view>

namespace velora {

enum class SessionKind { X11, Wayland };

// What decides the kind: $XDG_SESSION_TYPE, whether a Wayland compositor answers on
// $WAYLAND_DISPLAY, and the --x11 option.
struct SessionFacts {
    std::string_view sessionType;
    bool compositorAnswers = false;
    bool forceX11 = false;
};

// Wayland when the session says so or a compositor answers, unless --x11 forces X11. A
// $WAYLAND_DISPLAY left over from an ended session reaches nothing and changes nothing.
SessionKind sessionKind(const SessionFacts& facts);

}  // namespace velora
