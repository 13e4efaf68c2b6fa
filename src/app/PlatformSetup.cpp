#include "app/PlatformSetup.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/PortalTokenFile.h"
#include "core/store/Store.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/LinuxLauncher.h"
#include "platform/linux/LinuxPaths.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/LinuxSystemInfo.h"
#include "platform/linux/X11ScreenSource.h"
#include "platform/portal/PortalEventSink.h"
#include "platform/portal/PortalSession.h"
#include "platform/sim/DiscardingEventSink.h"
#include "platform/sim/SimDisplays.h"
#include "platform/wayland/WaylandConnection.h"
#include "platform/wayland/WaylandPlatform.h"

// Last: Xlib defines macros that would clash with the names above.
#include <X11/Xlib.h>

namespace velora {

namespace {

// Input that goes nowhere, no displays, no screen: what runs where no backend can start.
Platform simulatedPlatform() {
    Platform platform;
    platform.events = std::make_shared<sim::DiscardingEventSink>();
    platform.keymap = std::make_shared<linux_::LinuxKeymap>();
    platform.displays = std::make_shared<sim::SimDisplays>();
    platform.launcher = std::make_shared<linux_::LinuxLauncher>();
    platform.system = std::make_shared<linux_::LinuxSystemInfo>();
    platform.screenPermission = [] { return false; };
    platform.backend = "none (no graphical session)";
    return platform;
}

Platform x11Platform(const char* display) {
    if (display != nullptr && *display != '\0') {
        if (auto platform = makeLinuxInputPlatform(display)) {
            const std::string name = display;
            platform->screenSource = [name] { return linux_::makeX11ScreenSource(name.c_str()); };
            platform->screenPermission = [name] {
                return linux_::x11ScreenCapturable(name.c_str());
            };
            platform->backend = "X11";
            return *platform;
        }
    }
    return simulatedPlatform();
}

constexpr const char* kPortalNote = " (and no desktop portal offers remote desktop input)";

// Whether the portal session also asks for a screen cast. A cast kept open only for absolute
// pointer moves would keep the desktop's sharing indicator on all the time, so it comes with the
// live view's PipeWire source, not before.
constexpr bool kPortalScreenCast = false;

// GNOME's input method (IBus) and GTK take Ctrl+Shift+U hexadecimal entry for characters the
// layout lacks; elsewhere keysyms are the only way and the layout decides.
portal::TextRoute portalTextRoute() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr && std::strstr(desktop, "GNOME") != nullptr
               ? portal::TextRoute::HexEntry
               : portal::TextRoute::Keysyms;
}

// Input through the desktop portal's RemoteDesktop interface, where the session bus offers it.
// The consent dialog is asked for at once, without waiting for the answer.
std::optional<Platform> withPortalInput(Platform platform) {
    auto session = portal::PortalSession::connect("", portalTokenFile(settingsFolder()));
    if (!session || session->remoteDesktopVersion() == 0) return std::nullopt;
    if (!platform.displays) platform.displays = std::make_shared<sim::SimDisplays>();
    platform.events =
        std::make_shared<portal::PortalEventSink>(session, platform.displays, portalTextRoute());
    platform.askConsent = [session] { session->startInBackground(kPortalScreenCast, {}); };
    platform.askConsent();
    return platform;
}

// The wlroots backends the compositor offers, the desktop portal for input where the compositor
// has no virtual pointer and keyboard, the simulated pieces in place of the others.
Platform waylandPlatform() {
    WaylandOffer offer;
    std::optional<Platform> found = makeWaylandPlatform(nullptr, offer);
    Platform platform = found ? std::move(*found) : simulatedPlatform();
    if (!platform.screenPermission) platform.screenPermission = [] { return false; };
    if (!offer.input) {
        if (std::optional<Platform> portal = withPortalInput(platform)) {
            if (offer.screen) {
                portal->backend = "desktop portal (Wayland), wlroots screen";
            } else {
                portal->backend = "desktop portal (Wayland)";
                portal->unavailable =
                    "Input goes through the desktop portal; the screen cannot be shown yet";
                portal->unavailableKey = "linux_no_screen_backend";
            }
            return *portal;
        }
    }
    if (!platform.events) platform.events = std::make_shared<sim::DiscardingEventSink>();
    if (!offer.reachable) {
        platform.backend = "none (Wayland)";
        platform.unavailable =
            "No Wayland compositor answers: input goes nowhere and the screen cannot be shown";
        platform.unavailableKey = "linux_no_compositor";
    } else if (offer.input && offer.screen) {
        platform.backend = "wlroots (Wayland)";
    } else if (offer.input) {
        platform.backend = "wlroots (Wayland), input only";
        platform.unavailable =
            "This Wayland compositor offers no screen copy: the screen cannot be shown";
        platform.unavailableKey = "linux_no_screen_backend";
    } else if (offer.screen) {
        platform.backend = "wlroots (Wayland), screen only";
        platform.unavailable = std::string(
                                   "This Wayland compositor offers no virtual pointer "
                                   "and keyboard: input goes nowhere") +
                               kPortalNote;
        platform.unavailableKey = "linux_no_input_backend";
    } else {
        platform.backend = "none (Wayland)";
        platform.unavailable =
            std::string(
                "This Wayland compositor offers no virtual pointer, keyboard or screen "
                "copy: input goes nowhere and the screen cannot be shown") +
            kPortalNote;
        platform.unavailableKey = "linux_no_backend";
    }
    return platform;
}

}  // namespace

SessionKind currentSessionKind(bool forceX11) {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    return sessionKind({type != nullptr ? type : "", !forceX11 && compositorReachable(), forceX11});
}

Platform makePlatform(SessionKind kind, const char* display) {
    return kind == SessionKind::Wayland ? waylandPlatform() : x11Platform(display);
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

bool compositorReachable() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name != nullptr && *name != '\0' && wayland::compositorReachable(name);
}

}  // namespace velora
