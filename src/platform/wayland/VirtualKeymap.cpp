#include "platform/wayland/VirtualKeymap.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace velora::wayland {

namespace {

// X keeps keycodes to a byte; Xwayland clients never see keys above it.
constexpr uint32_t kHighestKeycode = 255;

// Evdev keycodes, the PC modifiers and a US layout with the multimedia keys. What the map holds
// beyond them is appended to its symbols section.
std::string keymapSource(const std::string& extraSymbols) {
    return "xkb_keymap {\n"
           "  xkb_keycodes { include \"evdev+aliases(qwerty)\" };\n"
           "  xkb_types { include \"complete\" };\n"
           "  xkb_compat { include \"complete\" };\n"
           "  xkb_symbols { include \"pc+us+inet(evdev)\"\n" +
           extraSymbols +
           "  };\n"
           "};\n";
}

}  // namespace

VirtualKeymap::VirtualKeymap() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (context_ == nullptr || !compile()) return;
    findSpareKeys();
}

VirtualKeymap::~VirtualKeymap() {
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

std::string VirtualKeymap::text() const {
    if (keymap_ == nullptr) return {};
    char* text = xkb_keymap_get_as_string(keymap_, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (text == nullptr) return {};
    std::string copy = text;
    std::free(text);
    return copy;
}

// Compiles the base map with the current bindings; the previous map stays when that fails.
bool VirtualKeymap::compile() {
    std::string extra;
    for (const Binding& binding : bindings_) {
        char symName[64];
        if (xkb_keysym_get_name(binding.sym, symName, sizeof symName) <= 0) continue;
        const char* keyName = xkb_keymap_key_get_name(keymap_, binding.keycode);
        extra += "    key <" + std::string(keyName) + "> { [ " + symName + " ] };\n";
    }
    const std::string source = keymapSource(extra);
    xkb_keymap* compiled =
        xkb_keymap_new_from_buffer(context_, source.data(), source.size(),
                                   XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (compiled == nullptr) return false;
    xkb_keymap_unref(keymap_);
    keymap_ = compiled;
    buildIndex();
    return true;
}

// For each keysym the key that gives it with the fewest modifiers, the lowest keycode first.
void VirtualKeymap::buildIndex() {
    index_.clear();
    const uint32_t last = std::min(xkb_keymap_max_keycode(keymap_), kHighestKeycode);
    for (uint32_t key = xkb_keymap_min_keycode(keymap_); key <= last; ++key) {
        if (xkb_keymap_num_layouts_for_key(keymap_, key) == 0) continue;
        const uint32_t levels = xkb_keymap_num_levels_for_key(keymap_, key, 0);
        for (uint32_t level = 0; level < levels; ++level) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, key, 0, level, &syms) != 1) continue;
            xkb_mod_mask_t masks[4] = {};
            if (xkb_keymap_key_get_mods_for_level(keymap_, key, 0, level, masks, 4) == 0) continue;
            const KeyChord chord{key, masks[0]};
            const auto [found, added] = index_.try_emplace(syms[0], chord);
            if (!added && std::popcount(chord.modifiers) < std::popcount(found->second.modifiers))
                found->second = chord;
        }
    }
}

// Keys the base map names but gives no symbols: free for bindings.
void VirtualKeymap::findSpareKeys() {
    const uint32_t last = std::min(xkb_keymap_max_keycode(keymap_), kHighestKeycode);
    for (uint32_t key = xkb_keymap_min_keycode(keymap_); key <= last; ++key) {
        if (xkb_keymap_key_get_name(keymap_, key) != nullptr &&
            xkb_keymap_num_layouts_for_key(keymap_, key) == 0)
            spareKeys_.push_back(key);
    }
}

std::optional<KeyChord> VirtualKeymap::find(uint32_t sym) {
    const auto found = index_.find(sym);
    if (found == index_.end()) return std::nullopt;
    touch(found->second.keycode, ++clock_);
    return found->second;
}

void VirtualKeymap::touch(uint32_t keycode, uint64_t stamp) {
    for (Binding& binding : bindings_)
        if (binding.keycode == keycode) binding.lastUse = stamp;
}

std::optional<uint32_t> VirtualKeymap::freeSpareKey() const {
    for (const uint32_t key : spareKeys_) {
        const bool taken = std::any_of(bindings_.begin(), bindings_.end(),
                                       [key](const Binding& b) { return b.keycode == key; });
        if (!taken) return key;
    }
    return std::nullopt;
}

// The least recently used binding not used since `stamp`, given up for reuse.
std::optional<uint32_t> VirtualKeymap::reusableKey(uint64_t stamp) {
    const auto oldest =
        std::min_element(bindings_.begin(), bindings_.end(),
                         [](const Binding& a, const Binding& b) { return a.lastUse < b.lastUse; });
    if (oldest == bindings_.end() || oldest->lastUse >= stamp) return std::nullopt;
    const uint32_t key = oldest->keycode;
    bindings_.erase(oldest);
    return key;
}

bool VirtualKeymap::bindMissing(std::span<const uint32_t> syms) {
    if (keymap_ == nullptr) return false;
    const uint64_t stamp = ++clock_;
    std::vector<uint32_t> missing;
    for (const uint32_t sym : syms) {
        const auto found = index_.find(sym);
        if (found != index_.end())
            touch(found->second.keycode, stamp);
        else if (sym != XKB_KEY_NoSymbol &&
                 std::find(missing.begin(), missing.end(), sym) == missing.end())
            missing.push_back(sym);
    }
    bool changed = false;
    for (const uint32_t sym : missing) {
        std::optional<uint32_t> key = freeSpareKey();
        if (!key && !(key = reusableKey(stamp))) break;
        bindings_.push_back({sym, *key, stamp});
        changed = true;
    }
    return changed && compile();
}

xkb_mod_mask_t VirtualKeymap::modifierMask(const char* name) const {
    if (keymap_ == nullptr) return 0;
    const xkb_mod_index_t index = xkb_keymap_mod_get_index(keymap_, name);
    return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t{1} << index;
}

}  // namespace velora::wayland
