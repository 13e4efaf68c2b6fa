#pragma once

#include <filesystem>

#include "core/store/AutoStart.h"
#include "platform/Platform.h"

namespace velora {

// The X11 platform when `display` can be opened, else the simulated one: input goes nowhere
// ("trusted" false), there are no displays, and the screen cannot be captured.
Platform makePlatform(const char* display);

// The settings folder and launch at login for this user and this program.
std::filesystem::path settingsFolder();
AutoStartProfile autoStartProfile();
// The file of the running program, as launch at login should name it.
std::filesystem::path programPath();

// Whether an X connection to `display` can be made now (a null or empty name never can).
bool displayReachable(const char* display);

}  // namespace velora
