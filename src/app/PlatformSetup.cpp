#include "app/PlatformSetup.h"

#include <string>

#include "core/store/Store.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/LinuxLauncher.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/X11ScreenSource.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"

// Last: Xlib defines macros that would clash with the names above.
#include <X11/Xlib.h>

namespace velora {

Platform makePlatform(const char* display) {
    if (display != nullptr && *display != '\0') {
        if (auto platform = makeLinuxInputPlatform(display)) {
            const std::string name = display;
            platform->screenSource = [name] { return linux_::makeX11ScreenSource(name.c_str()); };
            platform->screenPermission = [name] {
                return linux_::x11ScreenCapturable(name.c_str());
            };
            return *platform;
        }
    }
    Platform platform;
    platform.events = std::make_shared<sim::DiscardingEventSink>();
    platform.keymap = std::make_shared<linux_::LinuxKeymap>();
    platform.displays = std::make_shared<sim::SimDisplays>();
    platform.launcher = std::make_shared<linux_::LinuxLauncher>();
    platform.system = std::make_shared<linux_::LinuxSystemInfo>();
    platform.screenPermission = [] { return false; };
    return platform;
}

std::filesystem::path settingsFolder() {
    return linuxConfigFolder(linux_::configHome());
}

AutoStartProfile autoStartProfile() {
    return linuxAutoStartProfile(linux_::configHome(), programPath());
}

std::filesystem::path programPath() {
    return programFile(linux_::runningExecutable());
}

bool displayReachable(const char* display) {
    if (display == nullptr || *display == '\0') return false;
    Display* connection = XOpenDisplay(display);
    if (connection == nullptr) return false;
    XCloseDisplay(connection);
    return true;
}

}  // namespace velora
