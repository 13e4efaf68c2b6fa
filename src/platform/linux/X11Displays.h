// The X screen's monitors by RandR, on a connection of its own.
#pragma once

#include <X11/Xlib.h>

#include <mutex>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace velora::linux_ {

// Monitors in root-window coordinates, read afresh on every call (one round trip), so a
// monitor added or moved is seen at once. Safe to call from any thread.
class X11Displays : public Displays {
public:
    // Opens `displayName`, or $DISPLAY when null; check isOpen().
    explicit X11Displays(const char* displayName);
    ~X11Displays() override;
    X11Displays(const X11Displays&) = delete;
    X11Displays& operator=(const X11Displays&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    std::vector<Rect> active() override;
    // The primary monitor, else the first; the whole screen without RandR 1.5.
    std::optional<Rect> main() override;

private:
    struct Monitors {
        std::vector<Rect> rects;
        size_t primary = 0;
    };
    Monitors read();

    std::mutex mutex_;
    Display* display_ = nullptr;
    bool randrMonitors_ = false;
};

}  // namespace velora::linux_
