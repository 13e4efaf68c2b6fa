// The status menu as plain data: entries, tooltip and icon, computed from what the shell knows
// at the moment of a rebuild. Rendering is the shell's business; the content is decided here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/Store.h"

namespace velora {

// What choosing a menu item does.
enum class MenuAction {
    None,
    OpenPermissionHelp,
    ConnectPhone,
    ForgetDevice,
    ForgetAll,
    TogglePower,
    ToggleScreen,
    ToggleAutoStart,
    OpenHelp,
    Quit,
};

struct MenuEntry {
    bool separator = false;
    // Ready for a Qt menu: a literal "&" is doubled so it never becomes a mnemonic.
    std::string title;
    bool enabled = false;
    MenuAction action = MenuAction::None;
    bool checked = false;
    std::string keyEquivalent;
    // The device token of a "forget" item.
    std::optional<std::string> token;
    std::vector<MenuEntry> submenu;
    bool operator==(const MenuEntry&) const = default;
};

// The tray icon: a pointer with rays while nobody views the screen, an eye while someone does.
enum class TrayIcon { Pointer, Eye };

// Which set of texts the menu uses.
enum class MenuProfile { Linux, Mac };

struct MenuInputs {
    MenuProfile profile = MenuProfile::Linux;
    std::string language = "en";
    size_t clientCount = 0;
    // Names of the phones viewing the screen, in the order their views began.
    std::vector<std::string> viewers;
    // Whether posted input reaches the system; false adds the warning item.
    bool trusted = true;
    // Whether input waits for the desktop's consent dialog; the warning item then offers to ask
    // again instead of help.
    bool consent = false;
    std::vector<Device> devices;
    bool allowPower = true;
    bool allowScreen = true;
    bool launchAtLogin = false;
    // The computer's address, or none when it has no LAN address.
    std::optional<std::string> localAddress;
    // The ports the server could not open; each adds a warning line under the address.
    std::optional<unsigned short> closedControlPort;
    std::optional<unsigned short> closedDiscoveryPort;
};

struct StatusMenu {
    std::vector<MenuEntry> entries;
    std::string tooltip;
    TrayIcon icon = TrayIcon::Pointer;
};

StatusMenu buildStatusMenu(const MenuInputs& in);

// Whether choosing the action switches a setting, shown with a check mark.
bool isToggle(MenuAction action);

// `text` with every "&" doubled, for Qt titles where "&" marks a shortcut letter.
std::string escapeMnemonic(std::string_view text);

// Devices newest first by `lastSeen`; devices seen at the same moment keep their stored order.
std::vector<Device> devicesNewestFirst(std::vector<Device> devices);

}  // namespace velora
