#include "platform/macos/MacKeymap.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velora::macos {
namespace {

template <typename Key, typename Value, size_t N>
std::optional<Value> lookup(const std::array<std::pair<Key, Value>, N>& table, Key key) {
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const auto& entry) { return entry.first == key; });
    if (it == table.end()) return std::nullopt;
    return it->second;
}

using Name = std::string_view;

constexpr std::array<std::pair<Name, uint32_t>, 29> kNamed{{
    {"ENTER", 36},  {"TAB", 48},   {"SPACE", 49}, {"BACKSPACE", 51}, {"ESC", 53},   {"LEFT", 123},
    {"RIGHT", 124}, {"DOWN", 125}, {"UP", 126},   {"HOME", 115},     {"END", 119},  {"PGUP", 116},
    {"PGDN", 121},  {"DEL", 117},  {"INS", 114},  {"CAPS", 57},      {"MENU", 110}, {"F1", 122},
    {"F2", 120},    {"F3", 99},    {"F4", 118},   {"F5", 96},        {"F6", 97},    {"F7", 98},
    {"F8", 100},    {"F9", 101},   {"F10", 109},  {"F11", 103},      {"F12", 111},
}};

// What each unshifted key of the US layout types.
constexpr std::array<std::pair<char, uint32_t>, 47> kChars{{
    {'a', 0},   {'b', 11}, {'c', 8},   {'d', 2},  {'e', 14}, {'f', 3},  {'g', 5},  {'h', 4},
    {'i', 34},  {'j', 38}, {'k', 40},  {'l', 37}, {'m', 46}, {'n', 45}, {'o', 31}, {'p', 35},
    {'q', 12},  {'r', 15}, {'s', 1},   {'t', 17}, {'u', 32}, {'v', 9},  {'w', 13}, {'x', 7},
    {'y', 16},  {'z', 6},  {'0', 29},  {'1', 18}, {'2', 19}, {'3', 20}, {'4', 21}, {'5', 23},
    {'6', 22},  {'7', 26}, {'8', 28},  {'9', 25}, {'-', 27}, {'=', 24}, {'[', 33}, {']', 30},
    {'\\', 42}, {';', 41}, {'\'', 39}, {',', 43}, {'.', 47}, {'/', 44}, {'`', 50},
}};

constexpr std::array<std::pair<Name, uint64_t>, 6> kModifiers{{
    {"ctrl", MacFlags::control},
    {"control", MacFlags::control},
    {"shift", MacFlags::shift},
    {"alt", MacFlags::option},
    {"win", MacFlags::command},
    {"cmd", MacFlags::command},
}};

// NX_KEYTYPE_* auxiliary control button codes.
constexpr std::array<std::pair<Name, int>, 6> kMedia{{
    {"PLAY", 16},
    {"NEXT", 17},
    {"PREV", 18},
    {"VOLUP", 0},
    {"VOLDOWN", 1},
    {"MUTE", 7},
}};

constexpr std::array<std::pair<Name, Name>, 4> kPowerScripts{{
    {"SLEEP", "tell application \"System Events\" to sleep"},
    {"LOGOFF", "tell application \"System Events\" to log out"},
    {"RESTART", "tell application \"System Events\" to restart"},
    {"SHUTDOWN", "tell application \"System Events\" to shut down"},
}};

constexpr uint32_t kQKey = 12;
constexpr uint32_t kThreeKey = 20;
constexpr uint32_t kReturnKey = 36;

}  // namespace

std::optional<uint32_t> MacKeymap::named(std::string_view upperName) const {
    return lookup(kNamed, upperName);
}

std::optional<uint32_t> MacKeymap::character(char lower) const {
    return lookup(kChars, lower);
}

KeyStroke MacKeymap::printScreen() const {
    // Shift-Command-3: the whole-screen screenshot shortcut.
    return KeyStroke{kThreeKey, MacFlags::shift | MacFlags::command};
}

std::optional<uint64_t> MacKeymap::hotkeyModifier(std::string_view lowerName) const {
    // PC shortcuts typed on the phone use Control where the Mac uses Command.
    const auto flag = lookup(kModifiers, lowerName);
    if (flag == MacFlags::control) return MacFlags::command;
    return flag;
}

KeyStroke MacKeymap::returnKey() const {
    return KeyStroke{kReturnKey, 0};
}

std::optional<int> MacKeymap::mediaKey(std::string_view upperName) const {
    return lookup(kMedia, upperName);
}

std::optional<PowerAction> MacKeymap::power(std::string_view upperName) const {
    if (upperName == "LOCK") {
        // Control-Command-Q locks the screen.
        return PowerAction{KeyStroke{kQKey, MacFlags::control | MacFlags::command}, {}};
    }
    const auto script = lookup(kPowerScripts, upperName);
    if (!script) return std::nullopt;
    return PowerAction{std::nullopt, {"/usr/bin/osascript", "-e", std::string(*script)}};
}

}  // namespace velora::macos
