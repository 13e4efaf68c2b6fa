// The Linux input half of the platform bundle: X11 input and displays, key tables, launcher.
#pragma once

#include <optional>

#include "platform/Platform.h"

namespace velora {

// Events, keymap, displays, launcher and system facts for the X display `displayName` ($DISPLAY
// when null); none when the display cannot be opened. Screen capture is left unset.
std::optional<Platform> makeLinuxInputPlatform(const char* displayName);

}  // namespace velora
