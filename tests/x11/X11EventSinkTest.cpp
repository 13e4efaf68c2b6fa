#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <thread>

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/X11EventSink.h"
// Xlib's None and Bool macros clash with names inside GoogleTest.
#undef None
#undef Bool
#include <gtest/gtest.h>

namespace velora::linux_ {
namespace {

using Lines = std::vector<std::string>;

// Xlib's names for keysyms, or "U+" and the hex code point for Unicode keysyms (for these
// XKeysymToString returns memory that nobody frees).
std::string keysymName(KeySym sym) {
    if ((sym & 0xFF000000) != 0x01000000) return XKeysymToString(sym);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04lX", sym & 0xFFFFFF);
    return name;
}

// A full-screen window with the input focus, on its own connection, that writes down what
// arrives: "press 1 50,60", "motion 70,80 held 100", "key a 0" (keysym name, state), "up a".
class TestWindow {
public:
    TestWindow() : display_(XOpenDisplay(nullptr)) {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.event_mask =
            ButtonPressMask | ButtonReleaseMask | KeyPressMask | KeyReleaseMask | PointerMotionMask;
        window_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, 1280, 800, 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWEventMask, &attributes);
        int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        XkbQueryExtension(display_, &opcode, &xkbEventBase_, &error, &major, &minor);
        XkbSelectEvents(display_, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
        XMapRaised(display_, window_);
        XSync(display_, False);
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
        XSync(display_, False);
        drain();
    }
    ~TestWindow() {
        XDestroyWindow(display_, window_);
        XCloseDisplay(display_);
    }
    Display* display() const { return display_; }

    // Everything the sink has posted, once the server has handled it.
    Lines after(X11EventSink& sink) {
        sink.flush();
        sink.pointerLocation();  // a round trip: the server has handled all the sink sent
        XSync(display_, False);
        return drain();
    }

    Lines drain() {
        Lines seen;
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == xkbEventBase_) {
                const auto& xkbEvent = reinterpret_cast<const XkbEvent&>(event);
                if (xkbEvent.any.xkb_type == XkbMapNotify) ++mapNotifies_[xkbEvent.any.device];
            } else if (event.type == ButtonPress || event.type == ButtonRelease) {
                seen.push_back((event.type == ButtonPress ? "press " : "release ") +
                               std::to_string(event.xbutton.button) + " " +
                               at(event.xbutton.x_root, event.xbutton.y_root));
            } else if (event.type == MotionNotify) {
                seen.push_back("motion " + at(event.xmotion.x_root, event.xmotion.y_root) +
                               (event.xmotion.state ? " held" : ""));
            } else if (event.type == KeyPress || event.type == KeyRelease) {
                char text[32];
                KeySym sym = 0;
                XLookupString(&event.xkey, text, sizeof text, &sym, nullptr);
                const std::string symbol = keysymName(sym);
                seen.push_back(event.type == KeyRelease
                                   ? "up " + symbol
                                   : "key " + symbol + " " + std::to_string(event.xkey.state));
            }
        }
        return seen;
    }

    // Keyboard map changes seen so far. The server tells every keyboard device of a change,
    // the master keyboard more than once, so the device told least counts the changes.
    int mappingChanges() const {
        int least = 0;
        for (const auto& [device, count] : mapNotifies_)
            if (least == 0 || count < least) least = count;
        return least;
    }

    bool keysAllUp() {
        char keys[32];
        XQueryKeymap(display_, keys);
        return std::all_of(std::begin(keys), std::end(keys), [](char k) { return k == 0; });
    }

private:
    static std::string at(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

    Display* display_;
    Window window_;
    int xkbEventBase_ = 0;
    std::map<unsigned, int> mapNotifies_;
};

// Only the lines that start with `prefix`, without it.
Lines only(const Lines& seen, const std::string& prefix) {
    Lines out;
    for (const std::string& line : seen)
        if (line.rfind(prefix, 0) == 0) out.push_back(line.substr(prefix.size()));
    return out;
}

// The keysym names typed for text, without modifier keys and states.
Lines typed(const Lines& seen) {
    Lines out;
    for (std::string key : only(seen, "key ")) {
        key = key.substr(0, key.find(' '));
        if (key.find("Shift") == std::string::npos) out.push_back(key);
    }
    return out;
}

class X11EventSinkTest : public testing::Test {
protected:
    TestWindow window;
    X11EventSink sink{nullptr};
};

TEST_F(X11EventSinkTest, MovesArePlacedAbsolutelyAndCachedUntilFlush) {
    ASSERT_TRUE(sink.trusted());
    sink.mouseMove({100, 200}, std::nullopt);
    sink.mouseMove({321.4, 654.6}, std::nullopt);
    EXPECT_EQ(sink.pointerLocation(), (Point{321, 655}));
    EXPECT_EQ(window.after(sink), (Lines{"motion 100,200", "motion 321,655"}));
    // Far outside the 16-bit protocol range: held at the screen's edge, not wrapped around.
    sink.mouseMove({1e9, -1e9}, std::nullopt);
    sink.flush();
    EXPECT_EQ(sink.pointerLocation(), (Point{1279, 0}));
}

TEST_F(X11EventSinkTest, ClicksDragsAndScrollReachTheWindow) {
    sink.mouseMove({50, 60}, std::nullopt);
    sink.mouseButton(MouseButton::Left, true, {50, 60});
    sink.mouseMove({70, 80}, MouseButton::Left);
    sink.mouseButton(MouseButton::Left, false, {70, 80});
    for (const MouseButton button : {MouseButton::Right, MouseButton::Middle}) {
        sink.mouseButton(button, true, {70, 80});
        sink.mouseButton(button, false, {70, 80});
    }
    sink.scroll(2, -1);
    sink.scroll(-1, 1);
    Lines expected = {"motion 50,60",  "press 1 50,60",   "motion 70,80 held", "release 1 70,80",
                      "press 3 70,80", "release 3 70,80", "press 2 70,80",     "release 2 70,80"};
    for (const int wheel : {4, 4, 7, 5, 6}) {
        expected.push_back("press " + std::to_string(wheel) + " 70,80");
        expected.push_back("release " + std::to_string(wheel) + " 70,80");
    }
    EXPECT_EQ(window.after(sink), expected);

    // A hostile amount costs at most a hundred clicks, not two billion.
    sink.scroll(INT32_MAX, INT32_MIN);
    const Lines presses = only(window.after(sink), "press ");
    EXPECT_EQ(presses.size(), 200u);
    EXPECT_EQ(std::count(presses.begin(), presses.end(), "4 70,80"), 100);
}

TEST_F(X11EventSinkTest, LeftHandedButtonMapIsHonoured) {
    unsigned char original[32], swapped[32];
    const int buttons = XGetPointerMapping(window.display(), original, sizeof original);
    std::memcpy(swapped, original, sizeof swapped);
    std::swap(swapped[0], swapped[2]);
    ASSERT_EQ(XSetPointerMapping(window.display(), swapped, buttons), MappingSuccess);
    XSync(window.display(), False);
    window.after(sink);  // the sink hears of the new map
    for (const MouseButton button : {MouseButton::Left, MouseButton::Right}) {
        sink.mouseButton(button, true, {});
        sink.mouseButton(button, false, {});
    }
    const Lines seen = only(window.after(sink), "press ");
    XSetPointerMapping(window.display(), original, buttons);
    XSync(window.display(), False);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0][0], '1');
    EXPECT_EQ(seen[1][0], '3');
}

TEST_F(X11EventSinkTest, KeysCarryTheirModifiersAndReleaseThemAll) {
    sink.key({XK_a, 0});
    sink.key({XK_c, modifier::control | modifier::shift});
    sink.key({XK_F4, modifier::alt});
    sink.key({XK_e, modifier::super});
    sink.media(XF86XK_AudioPlay);
    const Lines seen = window.after(sink);
    EXPECT_EQ(only(seen, "key "), (Lines{"a 0", "Control_L 0", "Shift_L 4", "C 5", "Alt_L 0",
                                         "F4 8", "Super_L 0", "e 64", "XF86AudioPlay 0"}));
    // Modifiers go up in reverse order after the key.
    EXPECT_EQ(only(seen, "up "), (Lines{"a", "C", "Shift_L", "Control_L", "F4", "Alt_L", "e",
                                        "Super_L", "XF86AudioPlay"}));
    EXPECT_TRUE(window.keysAllUp());
}

TEST_F(X11EventSinkTest, TextArrivesAsWrittenWithOneMapChangePerBatch) {
    for (const char* cluster : {"H", "i", "!", " ", "\xc3\xa9", "\xed\x95\x9c",
                                "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd", "\xed\x95\x9c"})
        sink.text(cluster);
    EXPECT_EQ(typed(window.after(sink)), (Lines{"H", "i", "exclam", "space", "eacute", "U+D55C",
                                                "U+1F44D", "U+1F3FD", "U+D55C"}));
    EXPECT_EQ(window.mappingChanges(), 1);
    EXPECT_EQ(sink.spareBindings(), 4u);
    EXPECT_TRUE(window.keysAllUp());

    // Kept bindings serve the next batch without another change.
    sink.text("\xc3\xa9");
    sink.text("a");
    EXPECT_EQ(typed(window.after(sink)), (Lines{"eacute", "a"}));
    EXPECT_EQ(window.mappingChanges(), 1);
}

TEST_F(X11EventSinkTest, TextKeepsItsCaseWhileCapsLockIsOn) {
    // Caps Lock locked by the local user, whose notice the sink reads before it types.
    XkbLockModifiers(window.display(), XkbUseCoreKbd, LockMask, LockMask);
    XSync(window.display(), False);
    sink.pointerLocation();
    for (const char* cluster : {"a", "B", "\xc3\xa9", "\xc3\x89", "\xd0\xb6", "1", "!"})
        sink.text(cluster);
    const Lines locked = typed(window.after(sink));
    // The sink's own Caps Lock press counts at once for the text that follows it.
    sink.key({XK_Caps_Lock, 0});
    sink.text("a");
    sink.text("B");
    const Lines unlocked = typed(window.after(sink));
    XkbLockModifiers(window.display(), XkbUseCoreKbd, LockMask, 0);
    XSync(window.display(), False);

    EXPECT_EQ(locked, (Lines{"a", "B", "eacute", "Eacute", "U+0436", "1", "exclam"}));
    EXPECT_EQ(unlocked, (Lines{"Caps_Lock", "a", "B"}));
    EXPECT_TRUE(window.keysAllUp());
}

// The number of keys without symbols in the server's current map.
int spareKeys(Display* display) {
    XkbDescPtr xkb = XkbGetMap(display, XkbKeySymsMask, XkbUseCoreKbd);
    int spare = 0;
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key)
        spare += XkbKeyNumGroups(xkb, key) == 0;
    XkbFreeKeyboard(xkb, 0, True);
    return spare;
}

// A Hangul syllable as UTF-8, and the name of its keysym.
std::string syllable(int i) {
    const char32_t cp = 0xAC00 + i;
    return {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))};
}
std::string syllableKeysym(int i) {
    return keysymName(0x0100AC00 + i);
}

TEST(X11EventSinkSpareKeys, LeastRecentlyUsedAreReusedAndAllRemovedAtTheEnd) {
    TestWindow window;
    const int spare = spareKeys(window.display());
    ASSERT_GT(spare, 2);
    {
        X11EventSink sink(nullptr);
        for (int i = 0; i < spare; ++i) sink.text(syllable(i));
        window.after(sink);
        EXPECT_EQ(spareKeys(window.display()), 0);
        sink.text(syllable(0));  // now the most recent; syllable 1 is the oldest
        window.after(sink);
        sink.text(syllable(spare));
        EXPECT_EQ(typed(window.after(sink)), Lines{syllableKeysym(spare)});
        EXPECT_EQ(sink.spareBindings(), static_cast<size_t>(spare));

        const int changes = window.mappingChanges();
        sink.text(syllable(0));
        window.after(sink);
        EXPECT_EQ(window.mappingChanges(), changes);  // still bound
        sink.text(syllable(1));
        EXPECT_EQ(typed(window.after(sink)), Lines{syllableKeysym(1)});
        EXPECT_EQ(window.mappingChanges(), changes + 1);  // had been given up
    }
    EXPECT_EQ(spareKeys(window.display()), spare);
}

TEST(X11EventSinkSpareKeys, MoreNewKeysymsThanSpareKeysAreAllTyped) {
    TestWindow window;
    const int count = spareKeys(window.display()) + 5;
    X11EventSink sink(nullptr);
    Lines expected;
    for (int i = 0; i < count; ++i) {
        sink.text(syllable(100 + i));
        expected.push_back(syllableKeysym(100 + i));
    }
    // A live client reads while the sink types; it must see every key with the map it was
    // pressed under, although keys are bound anew halfway.
    Lines seen;
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (seen.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& key : typed(window.drain())) seen.push_back(key);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    sink.flush();
    reader.join();
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(window.keysAllUp());
}

TEST(X11Platform, MissingDisplayGivesNoPlatformAndAHarmlessSink) {
    X11EventSink sink(":249.7");
    EXPECT_FALSE(sink.trusted());
    sink.text("a");
    sink.flush();
    EXPECT_EQ(sink.pointerLocation(), (Point{0, 0}));
    EXPECT_FALSE(makeLinuxInputPlatform(":249.7"));
    const auto platform = makeLinuxInputPlatform(nullptr);
    ASSERT_TRUE(platform);
    EXPECT_TRUE(platform->events->trusted());
    EXPECT_TRUE(platform->keymap && platform->displays && platform->launcher && platform->system);
}

}  // namespace
}  // namespace velora::linux_
