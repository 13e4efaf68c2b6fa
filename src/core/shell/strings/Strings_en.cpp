#include "core/shell/strings/Languages.h"

namespace velora::strings {

Texts texts_en() {
    return {
        {"tray_none", "No device connected"},
        {"tray_connected", "Connected: {n}"},
        {"tray_addr_pending", "Checking address…"},
        {"tray_addr", "This PC's address: {addr}"},
        {"tray_devices", "Paired devices"},
        {"tray_power", "Allow PC power control"},
        {"tray_screen", "Allow screen viewing from phone"},
        {"tray_autostart", "Start with Windows"},
        {"tray_help", "Help"},
        {"tray_quit", "Quit"},
        {"tip_idle", "Velora — waiting"},
        {"tip_connected", "Velora — {n} connected"},
        {"tip_viewing", "Velora — screen viewed by: {names}"},
        {"balloon_running_title", "Velora is running"},
        {"balloon_running_body", "Your phone can now find this PC ({addr})."},
        {"balloon_viewing", "{name} is viewing this screen."},
        {"devices_none", "None yet"},
        {"device_forget", "{name} ({ip}) — Disconnect"},
        {"devices_forget_all", "Disconnect all"},
        {"addr_unknown", "Unavailable"},
        {"pin_title", "Velora connection request"},
        {"pin_head", "{name} ({ip}) wants to connect."},
        {"pin_allow", "Allow"},
        {"pin_or", "Or enter this number on your phone"},
        {"pin_foot", "If you don't recognize this device, close this window."},
        {"device_default", "Device"},
        {"mac_addr", "This Mac's address: {addr}"},
        {"mac_power", "Allow Mac power control"},
        {"mac_login", "Open at Login"},
        {"mac_viewing", "Viewing screen: {names}"},
        {"mac_ax_warn", "⚠\uFE0E Accessibility permission needed — click to open settings"},
        {"mac_ax_title", "Accessibility permission required"},
        {"mac_ax_body",
         "To let your phone move this Mac's mouse and keyboard, turn on this permission.\n\n"
         "System Settings › Privacy & Security › Accessibility — turn on Velora.\n"
         "It takes effect right away. If the pointer still doesn't move, quit the app and open it "
         "again."},
        {"mac_open_settings", "Open Settings"},
        {"mac_later", "Later"},
    };
}

Texts linuxTexts_en() {
    return {
        {"linux_ax_warn", "⚠\uFE0E Input control unavailable — click for help"},
        {"linux_ax_title", "Input control unavailable"},
        {"linux_ax_body",
         "Velora moves the pointer and types through the X11 XTEST extension, which this session "
         "does not offer.\n\n"
         "Log out, choose an X11 (Xorg) session on the login screen, and start Velora again.\n"
         "Pairing and screen viewing keep working meanwhile."},
        {"linux_ax_help", "Open Help"},
        {"linux_ports_closed",
         "⚠\uFE0E TCP port {tcp} and UDP port {udp} could not be opened — phones cannot reach this "
         "PC"},
        {"linux_control_closed",
         "⚠\uFE0E TCP port {port} could not be opened — phones cannot connect"},
        {"linux_discovery_closed",
         "⚠\uFE0E UDP port {port} could not be opened — phones cannot find this PC"},
        {"settings_damaged_title", "Velora settings repaired"},
        {"settings_damaged",
         "The settings file was damaged; a copy was kept as {file}. Reset to defaults: {what}"},
        {"phone_menu", "Connect a phone…"},
        {"phone_title", "Connect a phone"},
        {"phone_howto",
         "Open this address in your phone's browser, or scan the code with its camera."},
        {"phone_named",
         "This address is the computer's name: it stays the same after a restart or a network "
         "change."},
        {"phone_numeric",
         "This is a numeric address: it may change when the network gives the computer a new one."},
        {"phone_others", "Also reachable at:"},
        {"phone_none",
         "No network address yet: connect this computer to the same network as your phone."},
        {"log_discovery_port_failed", "Could not open the discovery port: {error}"},
        {"log_control_port_failed", "Could not open the control port: {error}"},
        {"log_outside_refused", "Connection from an outside address refused: {ip}"},
        {"log_address_blocked", "{ip} wrong PIN {count} times — blocked until {until}"},
        {"log_pairing_paused",
         "{count} wrong PINs in all (last {ip}) — new pairings on hold until {until}"},
        {"log_line_too_long", "{ip} line too long"},
        {"log_bad_greeting", "{ip} invalid greeting"},
        {"log_greeted", "{name} ({ip}) connecting · app {version}"},
        {"log_pairing_request", "{name} ({ip}) pairing request — PIN {pin} shown"},
        {"log_pairing_timeout", "{name} ({ip}) pairing timed out"},
        {"log_pin_wrong", "{name} ({ip}) wrong PIN"},
        {"log_connected", "{name} ({ip}) connected"},
        {"log_disconnected", "{name} disconnected"},
        {"log_view_started",
         "{name} ({ip}) screen viewing started · width {width} · quality {quality}"},
        {"log_view_ended", "{name} ({ip}) screen viewing ended"},
        {"log_view_denied", "{name} ({ip}) screen viewing — no screen recording permission"},
        {"linux_consent_warn", "⚠\uFE0E Input control not allowed yet — click to be asked again"},
        {"linux_consent_title", "Input control needs your consent"},
        {"linux_consent_body",
         "Your desktop asks in a window of its own whether Velora may control the pointer and "
         "keyboard and share the screen.\n\n"
         "Allow it there, and turn on remembering the choice so that you are not asked at every "
         "start.\n"
         "If the window was refused or closed, choose Ask again. Velora keeps running meanwhile "
         "and phones stay paired."},
        {"linux_consent_ask", "Ask again"},
        {"linux_consent_console",
         "Input control needs your consent: allow it in the window your desktop shows, and let it "
         "remember the choice. If it was refused or closed, type consent to be asked again."},
        {"linux_no_compositor",
         "No Wayland compositor answers: input goes nowhere and the screen cannot be shown"},
        {"linux_no_screen_backend",
         "This Wayland desktop offers no screen capture that Velora can use: the screen cannot be "
         "shown"},
        {"linux_no_input_backend",
         "This Wayland desktop offers no input control that Velora can use: input goes nowhere"},
        {"linux_no_backend",
         "This Wayland desktop offers no input control or screen capture that Velora can use: "
         "input goes nowhere and the screen cannot be shown"},
    };
}

}  // namespace velora::strings
