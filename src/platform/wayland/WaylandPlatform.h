// The Wayland half of the platform bundle for wlroots compositors.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace velora {

// What a Wayland compositor offers Velora.
struct WaylandOffer {
    bool reachable = false;
    bool input = false;
    bool screen = false;
};

// Events, keymap, displays, launcher, system facts and the screen for the compositor on `name`
// (a socket name or an absolute path; $WAYLAND_DISPLAY when null). Input and the screen are
// each set only when the compositor offers their protocols; `offer` tells which.
std::optional<Platform> makeWaylandPlatform(const char* name, WaylandOffer& offer);

}  // namespace velora
