// The main output as a picture source, through the wlroots screen copy protocol.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace velora::wayland {

// A source with a connection of its own for one viewer; none when the compositor is not
// reachable or offers no screen copy.
std::unique_ptr<ScreenSource> makeScreencopySource(const char* displayName);

// Whether the compositor on `displayName` offers screen copy and an output to copy.
bool screencopyAvailable(const char* displayName);

}  // namespace velora::wayland
