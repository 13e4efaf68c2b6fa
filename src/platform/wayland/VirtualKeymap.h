// The keymap of Velora's virtual keyboard, built with xkbcommon: a US base map and spare keys
// bound to the keysyms that text needs.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace velora::wayland {

// A key (XKB keycode) and the modifiers that make it give a keysym.
struct KeyChord {
    uint32_t keycode = 0;
    xkb_mod_mask_t modifiers = 0;
    bool operator==(const KeyChord&) const = default;
};

// The base map has the named keys, the modifiers and the media keys. Keysyms it lacks are bound
// to keys without symbols (keycodes up to 255, which Xwayland can pass on); a binding stays until
// its key is needed for another keysym, and then the least recently used one goes. Every change
// means uploading the whole map again, so callers bind all the keysyms of a piece of text at once.
class VirtualKeymap {
public:
    VirtualKeymap();
    ~VirtualKeymap();
    VirtualKeymap(const VirtualKeymap&) = delete;
    VirtualKeymap& operator=(const VirtualKeymap&) = delete;

    // False when xkbcommon could not build the base map (no XKB data installed).
    bool valid() const { return keymap_ != nullptr; }
    // The whole map as XKB text, as the compositor takes it.
    std::string text() const;

    // Where `sym` is now, or none; marks its binding as used.
    std::optional<KeyChord> find(uint32_t sym);
    // Binds as many of the keysyms of `syms` that have no key as spare keys allow. Bindings of
    // keysyms in `syms` are never given up for one another. True when the map changed.
    bool bindMissing(std::span<const uint32_t> syms);
    size_t bindingCount() const { return bindings_.size(); }
    size_t spareKeyCount() const { return spareKeys_.size(); }

    // The mask of a modifier by its XKB name (XKB_MOD_NAME_CTRL, ...); 0 when unknown.
    xkb_mod_mask_t modifierMask(const char* name) const;

private:
    struct Binding {
        uint32_t sym;
        uint32_t keycode;
        uint64_t lastUse;
    };

    bool compile();
    void buildIndex();
    void findSpareKeys();
    std::optional<uint32_t> freeSpareKey() const;
    std::optional<uint32_t> reusableKey(uint64_t stamp);
    void touch(uint32_t keycode, uint64_t stamp);

    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    std::unordered_map<uint32_t, KeyChord> index_;
    std::vector<uint32_t> spareKeys_;
    std::vector<Binding> bindings_;
    uint64_t clock_ = 0;
};

}  // namespace velora::wayland
