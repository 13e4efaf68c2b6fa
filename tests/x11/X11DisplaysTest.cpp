#include <X11/extensions/Xrandr.h>

#include <algorithm>

#include "platform/linux/X11Displays.h"
// Xlib's None and Bool macros clash with names inside GoogleTest.
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace velora::linux_ {
namespace {

bool contains(const std::vector<Rect>& rects, const Rect& rect) {
    return std::find(rects.begin(), rects.end(), rect) != rects.end();
}

TEST(X11Displays, TheScreenIsOneMonitor) {
    X11Displays displays(nullptr);
    ASSERT_TRUE(displays.isOpen());
    EXPECT_EQ(displays.active(), (std::vector<Rect>{{0, 0, 1280, 800}}));
    EXPECT_EQ(displays.main(), (Rect{0, 0, 1280, 800}));
}

// Two monitors side by side, the right one primary, defined through RandR by another client.
TEST(X11Displays, ThePrimaryMonitorIsMainAndChangesShowAtOnce) {
    X11Displays displays(nullptr);
    Display* client = XOpenDisplay(nullptr);
    const Window root = DefaultRootWindow(client);
    const Atom left = XInternAtom(client, "VELORA-LEFT", False);
    const Atom right = XInternAtom(client, "VELORA-RIGHT", False);
    auto define = [&](Atom name, int x, bool primary) {
        XRRMonitorInfo* monitor = XRRAllocateMonitor(client, 0);
        monitor->name = name;
        monitor->x = x;
        monitor->width = 640;
        monitor->height = 800;
        monitor->mwidth = 170;
        monitor->mheight = 210;
        monitor->primary = primary;
        XRRSetMonitor(client, root, monitor);
        XRRFreeMonitors(monitor);
    };
    define(left, 0, false);
    define(right, 640, true);
    XSync(client, False);

    const auto active = displays.active();
    const auto main = displays.main();
    XRRDeleteMonitor(client, root, left);
    XRRDeleteMonitor(client, root, right);
    XCloseDisplay(client);

    EXPECT_TRUE(contains(active, {0, 0, 640, 800}));
    EXPECT_TRUE(contains(active, {640, 0, 640, 800}));
    EXPECT_EQ(main, (Rect{640, 0, 640, 800}));
}

TEST(X11Displays, NoDisplayHasNoMonitors) {
    X11Displays displays(":249.7");
    EXPECT_FALSE(displays.isOpen());
    EXPECT_TRUE(displays.active().empty());
    EXPECT_EQ(displays.main(), std::nullopt);
}

}  // namespace
}  // namespace velora::linux_
