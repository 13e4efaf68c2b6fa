#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/linux/X11Displays.h"
// Xlib's None and Bool macros clash with names inside GoogleTest.
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace velora::linux_ {
namespace {

// Defines a 640 x 800 monitor at (x, 0) through RandR, as another client would.
void defineMonitor(Display* client, const char* name, int x, bool primary) {
    XRRMonitorInfo* monitor = XRRAllocateMonitor(client, 0);
    monitor->name = XInternAtom(client, name, False);
    monitor->x = x;
    monitor->width = 640;
    monitor->height = 800;
    monitor->mwidth = 170;
    monitor->mheight = 210;
    monitor->primary = primary;
    XRRSetMonitor(client, DefaultRootWindow(client), monitor);
    XRRFreeMonitors(monitor);
}

TEST(X11Displays, ThePrimaryMonitorIsMainAndChangesShowAtOnce) {
    X11Displays displays(nullptr, std::chrono::seconds(0));
    EXPECT_EQ(displays.active(), (std::vector<Rect>{{0, 0, 1280, 800}}));
    EXPECT_EQ(displays.main(), (Rect{0, 0, 1280, 800}));

    Display* client = XOpenDisplay(nullptr);
    defineMonitor(client, "VELORA-LEFT", 0, false);
    defineMonitor(client, "VELORA-RIGHT", 640, true);
    XSync(client, False);
    const auto active = displays.active();
    const auto main = displays.main();
    for (const char* name : {"VELORA-LEFT", "VELORA-RIGHT"})
        XRRDeleteMonitor(client, DefaultRootWindow(client), XInternAtom(client, name, False));
    XCloseDisplay(client);

    EXPECT_EQ(std::count(active.begin(), active.end(), Rect{0, 0, 640, 800}), 1);
    EXPECT_EQ(std::count(active.begin(), active.end(), Rect{640, 0, 640, 800}), 1);
    EXPECT_EQ(main, (Rect{640, 0, 640, 800}));
}

TEST(X11Displays, OneReadingServesUntilItExpires) {
    X11Displays cached(nullptr, std::chrono::hours(1));
    X11Displays brief(nullptr, std::chrono::milliseconds(20));
    const std::vector<Rect> whole{{0, 0, 1280, 800}};
    EXPECT_EQ(cached.active(), whole);
    EXPECT_EQ(brief.active(), whole);

    Display* client = XOpenDisplay(nullptr);
    defineMonitor(client, "VELORA-ONLY", 320, true);
    XSync(client, False);
    const Rect defined{320, 0, 640, 800};
    auto shows = [&](const std::vector<Rect>& rects) {
        return std::find(rects.begin(), rects.end(), defined) != rects.end();
    };
    bool seen = false;
    for (int i = 0; i < 100 && !seen; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        seen = shows(brief.active());
    }
    const auto stillCached = cached.active();
    XRRDeleteMonitor(client, DefaultRootWindow(client), XInternAtom(client, "VELORA-ONLY", False));
    XCloseDisplay(client);

    EXPECT_TRUE(seen);
    EXPECT_EQ(stillCached, whole);
}

TEST(X11Displays, NoDisplayHasNoMonitors) {
    X11Displays displays(":249.7");
    EXPECT_TRUE(displays.active().empty());
    EXPECT_EQ(displays.main(), std::nullopt);
}

}  // namespace
}  // namespace velora::linux_
