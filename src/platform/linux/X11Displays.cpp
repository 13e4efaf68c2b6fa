#include "platform/linux/X11Displays.h"

#include <X11/extensions/Xrandr.h>

namespace velora::linux_ {

X11Displays::X11Displays(const char* displayName, std::chrono::steady_clock::duration maxAge)
    : display_(XOpenDisplay(displayName)), maxAge_(maxAge) {
    if (display_ == nullptr) return;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    randrMonitors_ = XRRQueryExtension(display_, &eventBase, &errorBase) &&
                     XRRQueryVersion(display_, &major, &minor) &&
                     (major > 1 || (major == 1 && minor >= 5));
}

X11Displays::~X11Displays() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

X11Displays::Monitors X11Displays::read() {
    std::lock_guard lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    if (!readAt_ || now - *readAt_ >= maxAge_) {
        last_ = query();
        readAt_ = now;
    }
    return last_;
}

X11Displays::Monitors X11Displays::query() {
    Monitors result;
    if (display_ == nullptr) return result;
    if (randrMonitors_) {
        int count = 0;
        XRRMonitorInfo* info = XRRGetMonitors(display_, DefaultRootWindow(display_), True, &count);
        for (int i = 0; i < count; ++i) {
            result.rects.push_back({static_cast<double>(info[i].x), static_cast<double>(info[i].y),
                                    static_cast<double>(info[i].width),
                                    static_cast<double>(info[i].height)});
            if (info[i].primary) result.primary = result.rects.size() - 1;
        }
        if (info != nullptr) XRRFreeMonitors(info);
    }
    if (result.rects.empty()) {
        const int screen = DefaultScreen(display_);
        result.rects.push_back({0, 0, static_cast<double>(DisplayWidth(display_, screen)),
                                static_cast<double>(DisplayHeight(display_, screen))});
    }
    return result;
}

std::vector<Rect> X11Displays::active() {
    if (display_ == nullptr) return {};
    return read().rects;
}

std::optional<Rect> X11Displays::main() {
    if (display_ == nullptr) return std::nullopt;
    Monitors monitors = read();
    return monitors.rects[monitors.primary];
}

}  // namespace velora::linux_
