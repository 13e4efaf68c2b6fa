#pragma once

#include "platform/Platform.h"

namespace velora::macos {

// CGEventFlags bits.
struct MacFlags {
    static constexpr uint64_t shift = 0x20000;
    static constexpr uint64_t control = 0x40000;
    static constexpr uint64_t option = 0x80000;
    static constexpr uint64_t command = 0x100000;
};

// The macOS key, modifier, media and power tables (US ANSI virtual key codes).
class MacKeymap : public Keymap {
  public:
    std::optional<uint32_t> named(std::string_view upperName) const override;
    std::optional<uint32_t> character(char lower) const override;
    KeyStroke printScreen() const override;
    uint64_t shiftFlag() const override { return MacFlags::shift; }
    std::optional<uint64_t> hotkeyModifier(std::string_view lowerName) const override;
    KeyStroke returnKey() const override;
    std::optional<int> mediaKey(std::string_view upperName) const override;
    std::optional<PowerAction> power(std::string_view upperName) const override;
};

}  // namespace velora::macos
