#include "core/shell/MenuModel.h"

#include <algorithm>

#include "core/Text.h"
#include "core/shell/L.h"

namespace velora {
namespace {

class MenuTexts {
public:
    MenuTexts(const MenuInputs& in) : in_(in) {}

    std::string get(std::string_view key, const L::Params& params = {}) const {
        return L::lookup(STRINGS(), in_.language, key, params);
    }
    std::string linuxText(std::string_view key, const L::Params& params = {}) const {
        return L::lookup(LINUX_STRINGS(), in_.language, key, params);
    }
    bool mac() const { return in_.profile == MenuProfile::Mac; }

private:
    const MenuInputs& in_;
};

MenuEntry info(std::string_view title) {
    MenuEntry entry;
    entry.title = escapeMnemonic(title);
    return entry;
}

MenuEntry item(std::string_view title, MenuAction action, bool checked = false, char key = 0) {
    MenuEntry entry;
    if (key != 0) entry.keyEquivalent.push_back(key);
    entry.title = escapeMnemonic(title);
    entry.enabled = true;
    entry.action = action;
    entry.checked = checked;
    return entry;
}

MenuEntry separator() {
    MenuEntry entry;
    entry.separator = true;
    return entry;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names) {
        if (!out.empty()) out += ", ";
        out += text::oneLine(name);
    }
    return out;
}

std::vector<MenuEntry> devicesSubmenu(const MenuInputs& in, const MenuTexts& t) {
    if (in.devices.empty()) return {info(t.get("devices_none"))};
    std::vector<MenuEntry> entries;
    for (const Device& device : devicesNewestFirst(in.devices)) {
        // The phone's own name goes in last, so that braces in it stay as written. Control
        // characters are shown as "?": a tab would start a menu's shortcut column.
        MenuEntry forget = item(t.get("device_forget", {{"ip", text::oneLine(device.ip)},
                                                        {"name", text::oneLine(device.name)}}),
                                MenuAction::ForgetDevice);
        forget.token = device.token;
        entries.push_back(std::move(forget));
    }
    entries.push_back(separator());
    entries.push_back(item(t.get("devices_forget_all"), MenuAction::ForgetAll));
    return entries;
}

}  // namespace

bool isToggle(MenuAction action) {
    return action == MenuAction::TogglePower || action == MenuAction::ToggleScreen ||
           action == MenuAction::ToggleAutoStart;
}

std::string escapeMnemonic(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

std::vector<Device> devicesNewestFirst(std::vector<Device> devices) {
    std::stable_sort(devices.begin(), devices.end(),
                     [](const Device& a, const Device& b) { return a.lastSeen > b.lastSeen; });
    return devices;
}

StatusMenu buildStatusMenu(const MenuInputs& in) {
    const MenuTexts t(in);
    StatusMenu menu;
    auto& entries = menu.entries;

    entries.push_back(info("Velora"));
    const L::Params count{{"n", std::to_string(in.clientCount)}};
    if (in.clientCount > 0) {
        entries.push_back(info(t.get("tray_connected", count)));
        menu.tooltip = t.get("tip_connected", count);
    } else {
        entries.push_back(info(t.get("tray_none")));
        menu.tooltip = t.get("tip_idle");
    }
    const std::string address = in.localAddress.value_or(t.get("addr_unknown"));
    entries.push_back(info(t.get(t.mac() ? "mac_addr" : "tray_addr", {{"addr", address}})));
    const auto port = [](std::optional<unsigned short> number) { return std::to_string(*number); };
    if (in.closedControlPort && in.closedDiscoveryPort) {
        entries.push_back(
            info(t.linuxText("linux_ports_closed", {{"tcp", port(in.closedControlPort)},
                                                    {"udp", port(in.closedDiscoveryPort)}})));
    } else if (in.closedControlPort) {
        entries.push_back(
            info(t.linuxText("linux_control_closed", {{"port", port(in.closedControlPort)}})));
    } else if (in.closedDiscoveryPort) {
        entries.push_back(
            info(t.linuxText("linux_discovery_closed", {{"port", port(in.closedDiscoveryPort)}})));
    }

    if (!in.viewers.empty()) {
        const L::Params names{{"names", joined(in.viewers)}};
        entries.push_back(info(t.get("mac_viewing", names)));
        menu.tooltip = t.get("tip_viewing", names);
        menu.icon = TrayIcon::Eye;
    }

    if (!in.trusted) {
        entries.push_back(separator());
        const std::string warning = t.mac()      ? t.get("mac_ax_warn")
                                    : in.consent ? t.linuxText("linux_consent_warn")
                                                 : t.linuxText("linux_ax_warn");
        entries.push_back(item(warning, MenuAction::OpenPermissionHelp));
    }

    entries.push_back(separator());
    entries.push_back(item(t.linuxText("phone_menu"), MenuAction::ConnectPhone));
    MenuEntry devices = item(t.get("tray_devices"), MenuAction::None);
    devices.submenu = devicesSubmenu(in, t);
    entries.push_back(std::move(devices));
    entries.push_back(
        item(t.get(t.mac() ? "mac_power" : "tray_power"), MenuAction::TogglePower, in.allowPower));
    entries.push_back(item(t.get("tray_screen"), MenuAction::ToggleScreen, in.allowScreen));
    entries.push_back(item(t.get("mac_login"), MenuAction::ToggleAutoStart, in.launchAtLogin));
    entries.push_back(separator());
    entries.push_back(item(t.get("tray_help"), MenuAction::OpenHelp));
    entries.push_back(item(t.get("tray_quit"), MenuAction::Quit, false, 'q'));
    return menu;
}

}  // namespace velora
