#pragma once

#include <filesystem>

#include "app/SessionKind.h"
#include "core/store/AutoStart.h"
#include "platform/Platform.h"

namespace velora {

// The kind of this session from the environment; `forceX11` is the --x11 option.
SessionKind currentSessionKind(bool forceX11);

// The platform for a session of `kind`: on X11 the X platform when `display` can be opened; on
// Wayland the wlroots backends the compositor offers, and input through the desktop portal (which
// asks the person for consent in the background) where the compositor has no virtual input. What
// cannot start is simulated: input goes
// nowhere ("trusted" false), there are no displays, and the screen cannot be captured; the
// bundle's `unavailable` then says so.
Platform makePlatform(SessionKind kind, const char* display);

// The settings folder and launch at login for this user and this program.
std::filesystem::path settingsFolder();
AutoStartProfile autoStartProfile();
// The file of the running program, as launch at login should name it.
std::filesystem::path programPath();

// Whether an X connection to `display` can be made now (a null or empty name never can).
bool displayReachable(const char* display);
// Whether a Wayland compositor answers on $WAYLAND_DISPLAY now (never when it is unset).
bool compositorReachable();

}  // namespace velora
