#include "platform/linux/LinuxKeymap.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace velora::linux_ {

namespace {

const std::map<std::string_view, uint32_t>& namedKeys() {
    static const std::map<std::string_view, uint32_t> keys = {
        {"ENTER", XK_Return}, {"TAB", XK_Tab},    {"SPACE", XK_space}, {"BACKSPACE", XK_BackSpace},
        {"ESC", XK_Escape},   {"LEFT", XK_Left},  {"RIGHT", XK_Right}, {"UP", XK_Up},
        {"DOWN", XK_Down},    {"HOME", XK_Home},  {"END", XK_End},     {"PGUP", XK_Prior},
        {"PGDN", XK_Next},    {"DEL", XK_Delete}, {"INS", XK_Insert},  {"CAPS", XK_Caps_Lock},
        {"MENU", XK_Menu},    {"F1", XK_F1},      {"F2", XK_F2},       {"F3", XK_F3},
        {"F4", XK_F4},        {"F5", XK_F5},      {"F6", XK_F6},       {"F7", XK_F7},
        {"F8", XK_F8},        {"F9", XK_F9},      {"F10", XK_F10},     {"F11", XK_F11},
        {"F12", XK_F12},
    };
    return keys;
}

// What the unshifted keys of the US layout type; their keysyms equal their ASCII codes.
constexpr std::string_view usCharacters = "abcdefghijklmnopqrstuvwxyz0123456789-=[]\\;',./`";

bool validSessionId(std::string_view id) {
    if (id.empty() || id.size() > 64 || id.front() == '-') return false;
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    });
}

}  // namespace

std::vector<std::string> logoffCommand(const char* sessionId) {
    const std::string_view id = sessionId != nullptr ? sessionId : "";
    return {"loginctl", "terminate-session", validSessionId(id) ? std::string(id) : std::string()};
}

LinuxKeymap::LinuxKeymap() : LinuxKeymap(std::getenv("XDG_SESSION_ID")) {}

LinuxKeymap::LinuxKeymap(const char* sessionId) : logoff_(logoffCommand(sessionId)) {}

std::optional<uint32_t> LinuxKeymap::named(std::string_view upperName) const {
    const auto found = namedKeys().find(upperName);
    if (found == namedKeys().end()) return std::nullopt;
    return found->second;
}

std::optional<uint32_t> LinuxKeymap::character(char lower) const {
    if (lower == '\0' || usCharacters.find(lower) == std::string_view::npos) return std::nullopt;
    return static_cast<uint32_t>(static_cast<unsigned char>(lower));
}

KeyStroke LinuxKeymap::printScreen() const {
    return {XK_Print, 0};
}

std::optional<uint64_t> LinuxKeymap::hotkeyModifier(std::string_view lowerName) const {
    if (lowerName == "ctrl" || lowerName == "control") return modifier::control;
    if (lowerName == "shift") return modifier::shift;
    if (lowerName == "alt") return modifier::alt;
    if (lowerName == "win" || lowerName == "cmd") return modifier::super;
    return std::nullopt;
}

KeyStroke LinuxKeymap::returnKey() const {
    return {XK_Return, 0};
}

std::optional<int> LinuxKeymap::mediaKey(std::string_view upperName) const {
    static const std::map<std::string_view, int> keys = {
        {"PLAY", XF86XK_AudioPlay},           {"NEXT", XF86XK_AudioNext},
        {"PREV", XF86XK_AudioPrev},           {"VOLUP", XF86XK_AudioRaiseVolume},
        {"VOLDOWN", XF86XK_AudioLowerVolume}, {"MUTE", XF86XK_AudioMute},
    };
    const auto found = keys.find(upperName);
    if (found == keys.end()) return std::nullopt;
    return found->second;
}

std::optional<PowerAction> LinuxKeymap::power(std::string_view upperName) const {
    auto command = [](std::vector<std::string> argv) { return PowerAction{std::nullopt, argv}; };
    if (upperName == "LOCK") return command({"loginctl", "lock-session"});
    if (upperName == "SLEEP") return command({"systemctl", "suspend"});
    if (upperName == "LOGOFF") return command(logoff_);
    if (upperName == "RESTART") return command({"systemctl", "reboot"});
    if (upperName == "SHUTDOWN") return command({"systemctl", "poweroff"});
    return std::nullopt;
}

}  // namespace velora::linux_
