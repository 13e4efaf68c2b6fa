// The X screen's monitors by RandR, on a connection of its own.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace velora::linux_ {

// Monitors in root-window coordinates. Every pointer move asks for them, and reading them is
// a round trip to the X server that costs more than the move itself, so one reading serves
// for `maxAge`: a monitor added or moved is seen within that time. Safe to call from any
// thread.
class X11Displays : public Displays {
public:
    static constexpr std::chrono::milliseconds defaultMaxAge{250};

    // Opens `displayName`, or $DISPLAY when null; check isOpen().
    explicit X11Displays(const char* displayName,
                         std::chrono::steady_clock::duration maxAge = defaultMaxAge);
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
    Monitors query();

    std::mutex mutex_;
    Display* display_ = nullptr;
    bool randrMonitors_ = false;
    std::chrono::steady_clock::duration maxAge_;
    std::optional<std::chrono::steady_clock::time_point> readAt_;
    Monitors last_;
};

}  // namespace velora::linux_
