#include "platform/wayland/WaylandPlatform.h"

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/LinuxLauncher.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/wayland/WaylandDisplays.h"
#include "platform/wayland/WaylandEventSink.h"
#include "platform/wayland/WaylandScreenSource.h"

namespace velora {

std::optional<Platform> makeWaylandPlatform(const char* name, WaylandOffer& offer) {
    offer = {};
    std::shared_ptr<wayland::WaylandConnection> connection =
        wayland::WaylandConnection::connect(name);
    if (!connection) return std::nullopt;
    offer.reachable = true;
    Platform platform;
    auto events = std::make_shared<wayland::WaylandEventSink>(connection);
    offer.input = events->isOpen();
    if (offer.input) platform.events = std::move(events);
    platform.keymap = std::make_shared<linux_::LinuxKeymap>();
    platform.displays = std::make_shared<wayland::WaylandDisplays>(connection);
    platform.launcher = std::make_shared<linux_::LinuxLauncher>();
    platform.system = std::make_shared<linux_::LinuxSystemInfo>();
    offer.screen = connection->screencopyManager() && connection->shm() && connection->mainOutput();
    if (offer.screen) {
        const std::string display = name != nullptr ? name : "";
        platform.screenSource = [display] {
            return wayland::makeScreencopySource(display.empty() ? nullptr : display.c_str());
        };
        platform.screenPermission = [display] {
            return wayland::screencopyAvailable(display.empty() ? nullptr : display.c_str());
        };
    }
    return platform;
}

}  // namespace velora
