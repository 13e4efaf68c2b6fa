#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/LinuxLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/X11Displays.h"
#include "platform/linux/X11EventSink.h"

namespace velora {

std::optional<Platform> makeLinuxInputPlatform(const char* displayName) {
    auto events = std::make_shared<linux_::X11EventSink>(displayName);
    auto displays = std::make_shared<linux_::X11Displays>(displayName);
    if (!events->isOpen() || !displays->isOpen()) return std::nullopt;
    Platform platform;
    platform.events = std::move(events);
    platform.keymap = std::make_shared<linux_::LinuxKeymap>();
    platform.displays = std::move(displays);
    platform.launcher = std::make_shared<linux_::LinuxLauncher>();
    platform.system = std::make_shared<linux_::LinuxSystemInfo>();
    return platform;
}

}  // namespace velora
