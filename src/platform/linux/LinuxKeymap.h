// Key, media and power tables for Linux: X keysyms with modifier bits, logind/systemd power.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velora::linux_ {

// Modifier bits of KeyStroke::flags on Linux; the sink presses the matching left-hand key.
namespace modifier {
inline constexpr uint64_t control = 1;
inline constexpr uint64_t shift = 2;
inline constexpr uint64_t alt = 4;
inline constexpr uint64_t super = 8;
}  // namespace modifier

class LinuxKeymap : public Keymap {
public:
    // Reads $XDG_SESSION_ID once, for the log-out command.
    LinuxKeymap();
    explicit LinuxKeymap(const char* sessionId);

    std::optional<uint32_t> named(std::string_view upperName) const override;
    std::optional<uint32_t> character(char lower) const override;
    KeyStroke printScreen() const override;
    uint64_t shiftFlag() const override { return modifier::shift; }
    std::optional<uint64_t> hotkeyModifier(std::string_view lowerName) const override;
    KeyStroke returnKey() const override;
    std::optional<int> mediaKey(std::string_view upperName) const override;
    std::optional<PowerAction> power(std::string_view upperName) const override;

private:
    std::vector<std::string> logoff_;
};

// The log-out command for a session id taken from the environment. A missing or malformed id
// (one that could pass for an option or hold odd characters) becomes the empty id, which
// loginctl takes as the caller's own session.
std::vector<std::string> logoffCommand(const char* sessionId);

}  // namespace velora::linux_
