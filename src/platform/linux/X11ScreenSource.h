// The live view's picture on X11: the main monitor grabbed through shared memory, scaled with a
// box filter, the pointer drawn in, and XDamage telling when nothing has been drawn since.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace velora::linux_ {

// A capture source with its own connection to `display` (nullptr: $DISPLAY); none when the
// display cannot be opened.
std::unique_ptr<ScreenSource> makeX11ScreenSource(const char* display);

// Whether the display can be captured: it opens and a one-pixel grab of its root succeeds.
bool x11ScreenCapturable(const char* display);

}  // namespace velora::linux_
