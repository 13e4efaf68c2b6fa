#pragma once

#include "platform/Platform.h"

namespace velora {

// The X11 platform when `display` can be opened, else the simulated one: input goes nowhere
// ("trusted" false), there are no displays, and the screen cannot be captured.
Platform makePlatform(const char* display);

}  // namespace velora
