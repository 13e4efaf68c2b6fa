#include "platform/linux/X11Keyboard.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>

namespace velora::linux_ {

namespace {

// The group a key shows in the effective group `group`, following its out-of-range rule.
int keyGroup(XkbDescPtr xkb, KeyCode key, int group) {
    const int groups = XkbKeyNumGroups(xkb, key);
    if (groups == 0) return -1;
    if (group < groups) return group;
    const unsigned info = XkbKeyGroupInfo(xkb, key);
    switch (XkbOutOfRangeGroupAction(info)) {
        case XkbRedirectIntoRange: {
            const int target = XkbOutOfRangeGroupNumber(info);
            return target < groups ? target : 0;
        }
        case XkbClampIntoRange:
            return groups - 1;
        default:
            return group % groups;
    }
}

bool isLockKey(KeySym sym) {
    return sym == XK_Caps_Lock || sym == XK_Shift_Lock || sym == XK_Num_Lock ||
           sym == XK_Scroll_Lock || sym == XK_ISO_Lock || sym == XK_ISO_Level3_Lock ||
           sym == XK_ISO_Level5_Lock || sym == XK_ISO_Group_Lock;
}

}  // namespace

X11Keyboard::X11Keyboard(Display* display) : display_(display) {
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    available_ = XkbQueryExtension(display_, &opcode, &eventBase_, &error, &major, &minor);
    if (!available_) return;
    const unsigned mapEvents = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
    XkbSelectEvents(display_, XkbUseCoreKbd, mapEvents, mapEvents);
    const unsigned stateDetails = XkbGroupStateMask | XkbModifierLockMask;
    XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, stateDetails, stateDetails);
}

X11Keyboard::~X11Keyboard() {
    if (!bindings_.empty() && ready()) removeBindings();
    if (xkb_ != nullptr) XkbFreeKeyboard(xkb_, 0, True);
}

bool X11Keyboard::handle(const XEvent& event) {
    if (!available_ || event.type != eventBase_) return false;
    const auto& xkbEvent = reinterpret_cast<const XkbEvent&>(event);
    switch (xkbEvent.any.xkb_type) {
        case XkbStateNotify:
            group_ = xkbEvent.state.group;
            lockedMods_ = xkbEvent.state.locked_mods;
            indexDirty_ = true;
            break;
        case XkbMapNotify:
        case XkbNewKeyboardNotify:
            stale_ = true;
            break;
        default:
            break;
    }
    return true;
}

void X11Keyboard::pressed(KeySym sym) {
    if (isLockKey(sym)) stateStale_ = true;
}

bool X11Keyboard::ready() {
    if (!available_) return false;
    if (stale_) load();
    if (xkb_ == nullptr) return false;
    if (stateStale_) readState();
    if (indexDirty_) buildIndex();
    return true;
}

void X11Keyboard::load() {
    if (xkb_ != nullptr) XkbFreeKeyboard(xkb_, 0, True);
    xkb_ = XkbGetMap(display_, XkbAllClientInfoMask, XkbUseCoreKbd);
    readState();
    stale_ = false;
    if (xkb_ == nullptr) return;
    // Bindings that another client has overwritten are no longer ours.
    std::erase_if(bindings_, [this](const Binding& b) {
        return XkbKeyNumGroups(xkb_, b.key) != 1 || XkbKeySymEntry(xkb_, b.key, 0, 0) != b.sym;
    });
}

// A round trip: the server has handled every key press sent before it.
void X11Keyboard::readState() {
    XkbStateRec state{};
    if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) {
        group_ = state.group;
        lockedMods_ = state.locked_mods;
    }
    stateStale_ = false;
    indexDirty_ = true;
}

void X11Keyboard::buildIndex() {
    index_.clear();
    std::fill(std::begin(modifierKeys_), std::end(modifierKeys_), 0);
    // For each modifier the lowest key that sets it (Shift_L before Shift_R), lock keys aside.
    for (int key = xkb_->max_key_code; key >= xkb_->min_key_code; --key) {
        const int group = keyGroup(xkb_, key, group_);
        if (group < 0) continue;
        const unsigned modmap = xkb_->map->modmap[key];
        if (modmap == 0 || isLockKey(XkbKeySymEntry(xkb_, key, 0, group))) continue;
        for (int bit = 0; bit < 8; ++bit)
            if (modmap & (1u << bit)) modifierKeys_[bit] = static_cast<KeyCode>(key);
    }
    for (int key = xkb_->min_key_code; key <= xkb_->max_key_code; ++key) {
        const int group = keyGroup(xkb_, key, group_);
        if (group < 0) continue;
        // Every combination of the modifiers that the key's type looks at, Lock aside: it
        // cannot be held down without toggling it.
        const unsigned typeMods = XkbKeyKeyType(xkb_, key, group)->mods.mask & ~LockMask;
        for (unsigned held = typeMods;; held = (held - 1) & typeMods) {
            if (auto entry = chordFor(static_cast<KeyCode>(key), held)) {
                auto [place, added] = index_.try_emplace(entry->first, entry->second);
                if (!added && entry->second.modifiers.size() < place->second.modifiers.size())
                    place->second = std::move(entry->second);
            }
            if (held == 0) break;
        }
    }
    indexDirty_ = false;
}

// The keysym that a client reads from `key` pressed with the `held` modifiers on top of the
// locked ones, and the chord that presses it that way; none when a modifier has no key.
std::optional<std::pair<KeySym, KeyChord>> X11Keyboard::chordFor(KeyCode key, unsigned held) const {
    KeyChord chord{key, {}};
    for (int bit = 0; bit < 8; ++bit) {
        if (!(held & (1u << bit))) continue;
        if (modifierKeys_[bit] == 0) return std::nullopt;
        chord.modifiers.push_back(modifierKeys_[bit]);
    }
    const unsigned state = held | lockedMods_;
    unsigned consumed = 0;
    KeySym sym = NoSymbol;
    if (!XkbTranslateKeyCode(xkb_, key, XkbBuildCoreState(state, group_), &consumed, &sym) ||
        sym == NoSymbol) {
        return std::nullopt;
    }
    // Clients turn a letter to upper case when Lock is on and the key's type leaves it unused.
    if (state & ~consumed & LockMask) {
        KeySym lower = sym, upper = sym;
        XConvertCase(sym, &lower, &upper);
        sym = upper;
    }
    return std::pair{sym, std::move(chord)};
}

std::optional<KeyChord> X11Keyboard::find(KeySym sym) {
    if (!ready()) return std::nullopt;
    const auto found = index_.find(sym);
    if (found == index_.end()) return std::nullopt;
    touch(found->second.key, ++clock_);
    return found->second;
}

void X11Keyboard::touch(KeyCode key, uint64_t stamp) {
    for (Binding& binding : bindings_)
        if (binding.key == key) binding.lastUse = stamp;
}

std::optional<KeyCode> X11Keyboard::spareKey() const {
    for (int key = xkb_->max_key_code; key >= xkb_->min_key_code; --key)
        if (XkbKeyNumGroups(xkb_, key) == 0) return static_cast<KeyCode>(key);
    return std::nullopt;
}

// The least recently used binding not used since `stamp`, given up for reuse.
std::optional<KeyCode> X11Keyboard::reusableKey(uint64_t stamp) {
    auto oldest =
        std::min_element(bindings_.begin(), bindings_.end(),
                         [](const Binding& a, const Binding& b) { return a.lastUse < b.lastUse; });
    if (oldest == bindings_.end() || oldest->lastUse >= stamp) return std::nullopt;
    const KeyCode key = oldest->key;
    bindings_.erase(oldest);
    return key;
}

void X11Keyboard::bindMissing(std::span<const KeySym> syms) {
    if (!ready()) return;
    const uint64_t stamp = ++clock_;
    std::vector<KeySym> missing;
    for (const KeySym sym : syms) {
        const auto found = index_.find(sym);
        if (found != index_.end())
            touch(found->second.key, stamp);
        else if (sym != NoSymbol && std::find(missing.begin(), missing.end(), sym) == missing.end())
            missing.push_back(sym);
    }
    int low = xkb_->max_key_code + 1, high = -1;
    // Both levels of an alphabetic key carry the keysym: that type takes Lock in, so clients
    // leave the case of a bound letter alone while Caps Lock is on.
    int alphabetic[XkbNumKbdGroups] = {XkbAlphabeticIndex};
    for (const KeySym sym : missing) {
        std::optional<KeyCode> key = spareKey();
        if (key) {
            if (XkbChangeTypesOfKey(xkb_, *key, 1, XkbGroup1Mask, alphabetic, nullptr) != Success)
                break;
        } else if (!(key = reusableKey(stamp))) {
            break;
        }
        XkbKeySymsPtr(xkb_, *key)[0] = sym;
        XkbKeySymsPtr(xkb_, *key)[1] = sym;
        bindings_.push_back({sym, *key, stamp});
        low = std::min<int>(low, *key);
        high = std::max<int>(high, *key);
    }
    if (high < 0) return;
    XkbMapChangesRec changes{};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = static_cast<KeyCode>(low);
    changes.num_key_syms = static_cast<unsigned char>(high - low + 1);
    XkbChangeMap(display_, xkb_, &changes);
    buildIndex();
}

void X11Keyboard::removeBindings() {
    if (bindings_.empty()) return;
    int low = xkb_->max_key_code + 1, high = -1;
    for (const Binding& binding : bindings_) {
        XkbChangeTypesOfKey(xkb_, binding.key, 0, XkbGroup1Mask, nullptr, nullptr);
        low = std::min<int>(low, binding.key);
        high = std::max<int>(high, binding.key);
    }
    bindings_.clear();
    XkbMapChangesRec changes{};
    changes.changed = XkbKeySymsMask;
    changes.first_key_sym = static_cast<KeyCode>(low);
    changes.num_key_syms = static_cast<unsigned char>(high - low + 1);
    XkbChangeMap(display_, xkb_, &changes);
    XSync(display_, False);
}

}  // namespace velora::linux_
