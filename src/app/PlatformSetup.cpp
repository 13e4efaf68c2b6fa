#include "app/PlatformSetup.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/PortalCastSources.h"
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
constexpr const char* kNoScreenKey = "linux_no_screen_backend";

// GNOME's input method (IBus) and GTK take Ctrl+Shift+U hexadecimal entry for characters the
// layout lacks; elsewhere keysyms are the only way and the layout decides.
portal::TextRoute portalTextRoute() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr && std::strstr(desktop, "GNOME") != nullptr
               ? portal::TextRoute::HexEntry
               : portal::TextRoute::Keysyms;
}

// VELORA_SCREEN=portal takes the screen from the desktop portal's screen cast even where the
// compositor offers screen copy, so that the portal path can be used and tested on its own.
bool portalScreenForced() {
    const char* choice = std::getenv("VELORA_SCREEN");
    return choice != nullptr && std::strcmp(choice, "portal") == 0;
}

// Input through the desktop portal's RemoteDesktop interface, where the session bus offers it;
// with `wantScreen` (and a ScreenCast interface) the screen cast comes in the same session,
// which also gives absolute pointer moves their coordinates. The consent dialog is asked for at
// once, without waiting for the answer. `screen` tells whether the cast was asked for.
std::optional<Platform> withPortalInput(Platform platform, bool wantScreen, bool& screen) {
    auto session = portal::PortalSession::connect("", portalTokenFile(settingsFolder()));
    if (!session || session->remoteDesktopVersion() == 0) return std::nullopt;
    if (!platform.displays) platform.displays = std::make_shared<sim::SimDisplays>();
    platform.events =
        std::make_shared<portal::PortalEventSink>(session, platform.displays, portalTextRoute());
    screen = wantScreen && session->screenCastVersion() != 0;
    if (screen) usePortalScreen(platform, session);
    platform.askConsent = [session, screen] { session->startInBackground(screen, {}); };
    platform.askConsent();
    return platform;
}

// The screen through a screen cast session of its own, for input that needs no portal. Its
// consent dialog is asked for at once, in the background; false where no portal offers casts.
bool withPortalScreen(Platform& platform) {
    auto session = portal::PortalSession::connect(
        "", portalTokenFile(settingsFolder(), "portal-screencast-token"));
    if (!session || session->screenCastVersion() == 0) return false;
    usePortalScreen(platform, session);
    platform.askConsent = [session] { session->startScreenCastInBackground({}); };
    platform.askConsent();
    return true;
}

// The wlroots backends the compositor offers, the desktop portal for input where the compositor
// has no virtual pointer and keyboard, the simulated pieces in place of the others.
Platform waylandPlatform() {
    WaylandOffer offer;
    std::optional<Platform> found = makeWaylandPlatform(nullptr, offer);
    Platform platform = found ? std::move(*found) : simulatedPlatform();
    const bool forced = portalScreenForced();
    if (forced) {
        platform.screenSource = nullptr;
        platform.screenPermission = nullptr;
    }
    if (!platform.screenPermission) platform.screenPermission = [] { return false; };
    const bool screencopy = offer.screen && !forced;
    if (!offer.input) {
        bool portalScreen = false;
        if (std::optional<Platform> portal = withPortalInput(platform, !screencopy, portalScreen)) {
            if (portalScreen) {
                portal->backend = "desktop portal (Wayland)";
            } else if (screencopy) {
                portal->backend = "desktop portal (Wayland), wlroots screen";
            } else {
                portal->backend = "desktop portal (Wayland), input only";
                portal->unavailable =
                    "Input goes through the desktop portal, which offers no screen cast: the "
                    "screen cannot be shown";
                portal->unavailableKey = kNoScreenKey;
            }
            return *portal;
        }
    } else if (!screencopy && withPortalScreen(platform)) {
        if (!platform.events) platform.events = std::make_shared<sim::DiscardingEventSink>();
        platform.backend = "wlroots (Wayland), desktop portal screen";
        return platform;
    }
    if (!platform.events) platform.events = std::make_shared<sim::DiscardingEventSink>();
    if (!offer.reachable) {
        platform.backend = "none (Wayland)";
        platform.unavailable =
            "No Wayland compositor answers: input goes nowhere and the screen cannot be shown";
        platform.unavailableKey = "linux_no_compositor";
    } else if (offer.input && screencopy) {
        platform.backend = "wlroots (Wayland)";
    } else if (offer.input) {
        platform.backend = "wlroots (Wayland), input only";
        platform.unavailable =
            "This Wayland compositor offers no screen copy: the screen cannot be shown";
        platform.unavailableKey = kNoScreenKey;
    } else if (screencopy) {
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
