// Where keysyms sit on the X keyboard, by XKB, and spare keys bound to the ones that sit nowhere.
#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velora::linux_ {

// A key and the modifier keys to hold so that it gives the wanted keysym.
struct KeyChord {
    KeyCode key = 0;
    std::vector<KeyCode> modifiers;
};

// Looks keysyms up in the core keyboard's map for the current group and locked modifiers, and
// binds missing keysyms to spare keys (keys without symbols). Bindings stay until destruction,
// so a client still reading an earlier key press never sees its key change under it; when no
// spare key is left, the least recently used binding is reused. One connection, one thread.
class X11Keyboard {
public:
    // Needs XKB on `display`; without it nothing is found and nothing is bound.
    explicit X11Keyboard(Display* display);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // Takes note of an event of the connection; true when it concerned the keyboard.
    bool handle(const XEvent& event);
    // The keyboard map changed (a core MappingNotify).
    void invalidate() { stale_ = true; }
    // Takes note of a key that this connection pressed: a lock key changes the locked state,
    // which is read afresh before the next lookup rather than waiting for the server's notice.
    void pressed(KeySym sym);

    // Where `sym` is now, or none.
    std::optional<KeyChord> find(KeySym sym);
    // Binds as many of the keysyms not on the keyboard as spare keys allow, in one map change.
    // Bindings for keysyms of `syms` are never given up for one another.
    void bindMissing(std::span<const KeySym> syms);
    // How many spare-key bindings are in place.
    size_t bindingCount() const { return bindings_.size(); }

private:
    struct Binding {
        KeySym sym;
        KeyCode key;
        uint64_t lastUse;
    };

    bool ready();
    void load();
    void readState();
    void buildIndex();
    std::optional<std::pair<KeySym, KeyChord>> chordFor(KeyCode key, unsigned held) const;
    std::optional<KeyCode> spareKey() const;
    std::optional<KeyCode> reusableKey(uint64_t stamp);
    void touch(KeyCode key, uint64_t stamp);
    void removeBindings();

    Display* display_;
    bool available_ = false;
    int eventBase_ = 0;
    XkbDescPtr xkb_ = nullptr;
    bool stale_ = true;
    bool indexDirty_ = true;
    bool stateStale_ = false;
    int group_ = 0;
    unsigned lockedMods_ = 0;
    // A key that sets each of the eight real modifiers, or 0.
    KeyCode modifierKeys_[8] = {};
    std::unordered_map<KeySym, KeyChord> index_;
    std::vector<Binding> bindings_;
    uint64_t clock_ = 0;
};

}  // namespace velora::linux_
