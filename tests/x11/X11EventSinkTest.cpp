#include <X11/XF86keysym.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
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

// What a client sees of one input event, keysyms translated the way applications do.
struct Seen {
    int type = 0;
    unsigned detail = 0;  // button number or keysym
    unsigned state = 0;
    int x = 0;
    int y = 0;
};

// A full-screen window with the input focus that records what arrives, on its own connection.
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

    // Keyboard map changes seen so far. The server tells every keyboard device of a change,
    // the master keyboard more than once, so the device told least counts the changes.
    int mappingChanges() const {
        int least = 0;
        for (const auto& [device, count] : mapNotifies_)
            if (least == 0 || count < least) least = count;
        return least;
    }

    // Everything the sink has posted, once the server has handled it.
    std::vector<Seen> after(X11EventSink& sink) {
        sink.flush();
        sink.pointerLocation();  // a round trip: the server has handled all the sink sent
        XSync(display_, False);
        return drain();
    }

    std::vector<Seen> drain() {
        std::vector<Seen> seen;
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == xkbEventBase_) {
                const auto& xkbEvent = reinterpret_cast<const XkbEvent&>(event);
                if (xkbEvent.any.xkb_type == XkbMapNotify) ++mapNotifies_[xkbEvent.any.device];
                continue;
            }
            switch (event.type) {
                case MappingNotify:
                    XRefreshKeyboardMapping(&event.xmapping);
                    break;
                case ButtonPress:
                case ButtonRelease:
                    seen.push_back({event.type, event.xbutton.button, event.xbutton.state,
                                    event.xbutton.x_root, event.xbutton.y_root});
                    break;
                case MotionNotify:
                    seen.push_back({event.type, 0, event.xmotion.state, event.xmotion.x_root,
                                    event.xmotion.y_root});
                    break;
                case KeyPress:
                case KeyRelease: {
                    char text[32];
                    KeySym sym = NoSymbol;
                    XLookupString(&event.xkey, text, sizeof text, &sym, nullptr);
                    seen.push_back({event.type, static_cast<unsigned>(sym), event.xkey.state});
                    break;
                }
                default:
                    break;
            }
        }
        return seen;
    }

    bool keysAllUp() {
        char keys[32];
        XQueryKeymap(display_, keys);
        return std::all_of(std::begin(keys), std::end(keys), [](char k) { return k == 0; });
    }

private:
    Display* display_;
    Window window_;
    int xkbEventBase_ = 0;
    std::map<unsigned, int> mapNotifies_;
};

std::vector<unsigned> pressedKeysyms(const std::vector<Seen>& seen) {
    std::vector<unsigned> syms;
    for (const Seen& s : seen)
        if (s.type == KeyPress) syms.push_back(s.detail);
    return syms;
}

// The keys pressed for text, without the modifiers that select their level.
std::vector<unsigned> typedKeysyms(const std::vector<Seen>& seen) {
    std::vector<unsigned> syms = pressedKeysyms(seen);
    std::erase_if(syms, [](unsigned sym) { return IsModifierKey(sym); });
    return syms;
}

int count(const std::vector<Seen>& seen, int type, unsigned detail) {
    return static_cast<int>(std::count_if(seen.begin(), seen.end(), [&](const Seen& s) {
        return s.type == type && s.detail == detail;
    }));
}

class X11EventSinkTest : public testing::Test {
protected:
    TestWindow window;
    X11EventSink sink{nullptr};
};

TEST_F(X11EventSinkTest, MovesArePlacedAbsolutelyAndCachedUntilFlush) {
    ASSERT_TRUE(sink.trusted());
    sink.mouseMove({100, 200}, std::nullopt);
    EXPECT_EQ(sink.pointerLocation(), (Point{100, 200}));
    sink.mouseMove({321.4, 654.6}, std::nullopt);
    EXPECT_EQ(sink.pointerLocation(), (Point{321, 655}));
    const auto seen = window.after(sink);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back().type, MotionNotify);
    EXPECT_EQ(seen.back().x, 321);
    EXPECT_EQ(seen.back().y, 655);

    // Far outside the 16-bit protocol range: held at the screen's edge, not wrapped around.
    sink.mouseMove({1e9, -1e9}, std::nullopt);
    sink.flush();
    EXPECT_EQ(sink.pointerLocation(), (Point{1279, 0}));
}

TEST_F(X11EventSinkTest, ClicksAndDragsReachTheWindow) {
    sink.mouseMove({50, 60}, std::nullopt);
    sink.mouseButton(MouseButton::Left, true, {50, 60});
    sink.mouseMove({70, 80}, MouseButton::Left);
    sink.mouseButton(MouseButton::Left, false, {70, 80});
    sink.mouseButton(MouseButton::Right, true, {70, 80});
    sink.mouseButton(MouseButton::Right, false, {70, 80});
    sink.mouseButton(MouseButton::Middle, true, {70, 80});
    sink.mouseButton(MouseButton::Middle, false, {70, 80});
    std::vector<Seen> seen = window.after(sink);
    std::erase_if(seen, [](const Seen& s) { return s.type == MotionNotify && s.state == 0; });
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].type, ButtonPress);
    EXPECT_EQ(seen[0].detail, 1u);
    EXPECT_EQ(seen[0].x, 50);
    EXPECT_EQ(seen[1].type, MotionNotify);  // the drag
    EXPECT_TRUE(seen[1].state & Button1Mask);
    EXPECT_EQ(seen[1].x, 70);
    EXPECT_EQ(seen[1].y, 80);
    EXPECT_EQ(seen[2].type, ButtonRelease);
    EXPECT_EQ(seen[2].detail, 1u);
    EXPECT_EQ(seen[3].detail, 3u);
    EXPECT_EQ(seen[5].detail, 2u);
    EXPECT_EQ(seen[6].type, ButtonRelease);
}

TEST_F(X11EventSinkTest, LeftHandedButtonMapIsHonoured) {
    unsigned char original[32];
    const int buttons = XGetPointerMapping(window.display(), original, sizeof original);
    unsigned char swapped[32];
    std::memcpy(swapped, original, sizeof swapped);
    std::swap(swapped[0], swapped[2]);
    ASSERT_EQ(XSetPointerMapping(window.display(), swapped, buttons), MappingSuccess);
    XSync(window.display(), False);
    window.after(sink);  // the sink hears of the new map

    sink.mouseButton(MouseButton::Left, true, {});
    sink.mouseButton(MouseButton::Left, false, {});
    sink.mouseButton(MouseButton::Right, true, {});
    sink.mouseButton(MouseButton::Right, false, {});
    const auto seen = window.after(sink);
    XSetPointerMapping(window.display(), original, buttons);
    XSync(window.display(), False);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].detail, 1u);
    EXPECT_EQ(seen[2].detail, 3u);
}

TEST_F(X11EventSinkTest, ScrollIsOneWheelClickPerLineWithinLimits) {
    sink.scroll(3, -2);
    auto seen = window.after(sink);
    EXPECT_EQ(count(seen, ButtonPress, 4), 3);
    EXPECT_EQ(count(seen, ButtonRelease, 4), 3);
    EXPECT_EQ(count(seen, ButtonPress, 7), 2);
    EXPECT_EQ(seen.size(), 10u);

    sink.scroll(-1, 1);
    seen = window.after(sink);
    EXPECT_EQ(count(seen, ButtonPress, 5), 1);
    EXPECT_EQ(count(seen, ButtonPress, 6), 1);

    // A hostile amount costs at most a hundred clicks, not two billion.
    sink.scroll(INT32_MAX, INT32_MIN);
    seen = window.after(sink);
    EXPECT_EQ(count(seen, ButtonPress, 4), 100);
    EXPECT_EQ(count(seen, ButtonPress, 7), 100);
}

TEST_F(X11EventSinkTest, KeysCarryTheirModifiersAndReleaseThemAll) {
    sink.key({XK_a, 0});
    sink.key({XK_a, modifier::shift});
    sink.key({XK_c, modifier::control | modifier::shift});
    sink.key({XK_F4, modifier::alt});
    sink.key({XK_e, modifier::super});
    const auto seen = window.after(sink);
    const std::vector<unsigned> expected = {
        XK_a, XK_Shift_L, XK_A, XK_Control_L, XK_Shift_L, XK_C, XK_Alt_L, XK_F4, XK_Super_L, XK_e,
    };
    EXPECT_EQ(pressedKeysyms(seen), expected);
    auto stateOf = [&](unsigned sym) {
        for (const Seen& s : seen)
            if (s.type == KeyPress && s.detail == sym) return s.state;
        return ~0u;
    };
    EXPECT_EQ(stateOf(XK_a), 0u);
    EXPECT_EQ(stateOf(XK_C), static_cast<unsigned>(ControlMask | ShiftMask));
    EXPECT_EQ(stateOf(XK_F4), static_cast<unsigned>(Mod1Mask));
    EXPECT_EQ(stateOf(XK_e), static_cast<unsigned>(Mod4Mask));
    // Modifiers go up in reverse order after the key.
    std::vector<unsigned> released;
    for (const Seen& s : seen)
        if (s.type == KeyRelease) released.push_back(s.detail);
    EXPECT_EQ(std::vector<unsigned>(released.begin() + 3, released.begin() + 6),
              (std::vector<unsigned>{XK_C, XK_Shift_L, XK_Control_L}));
    EXPECT_TRUE(window.keysAllUp());
}

TEST_F(X11EventSinkTest, TextArrivesAsWrittenWithOneMapChangePerBatch) {
    for (const char* cluster : {"H", "i", "!", " ", "\xc3\xa9", "\xed\x95\x9c",
                                "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd", "\xed\x95\x9c"})
        sink.text(cluster);
    auto seen = window.after(sink);
    const std::vector<unsigned> expected = {
        XK_H, XK_i, XK_exclam, XK_space, XK_eacute, 0x0100D55C, 0x0101F44D, 0x0101F3FD, 0x0100D55C};
    EXPECT_EQ(typedKeysyms(seen), expected);
    EXPECT_EQ(window.mappingChanges(), 1);
    EXPECT_EQ(sink.spareBindings(), 4u);
    EXPECT_TRUE(window.keysAllUp());

    // Kept bindings serve the next batch without another change.
    sink.text("\xc3\xa9");
    sink.text("a");
    seen = window.after(sink);
    EXPECT_EQ(typedKeysyms(seen), (std::vector<unsigned>{XK_eacute, XK_a}));
    EXPECT_EQ(window.mappingChanges(), 1);
}

TEST_F(X11EventSinkTest, MediaKeysArePressedAndReleased) {
    sink.media(XF86XK_AudioPlay);
    sink.media(XF86XK_AudioMute);
    const auto seen = window.after(sink);
    EXPECT_EQ(pressedKeysyms(seen), (std::vector<unsigned>{XF86XK_AudioPlay, XF86XK_AudioMute}));
    EXPECT_EQ(count(seen, KeyRelease, XF86XK_AudioMute), 1);
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

TEST(X11EventSinkSpareKeys, LeastRecentlyUsedAreReusedAndAllRemovedAtTheEnd) {
    TestWindow window;
    const int spare = spareKeys(window.display());
    ASSERT_GT(spare, 2);
    auto hangul = [](int i) { return static_cast<char32_t>(0xAC00 + i); };
    auto utf8 = [](char32_t cp) {
        return std::string{static_cast<char>(0xE0 | (cp >> 12)),
                           static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                           static_cast<char>(0x80 | (cp & 0x3F))};
    };
    {
        X11EventSink sink(nullptr);
        for (int i = 0; i < spare; ++i) sink.text(utf8(hangul(i)));
        window.after(sink);
        EXPECT_EQ(sink.spareBindings(), static_cast<size_t>(spare));
        EXPECT_EQ(spareKeys(window.display()), 0);

        sink.text(utf8(hangul(0)));  // now the most recent; hangul(1) is the oldest
        window.after(sink);
        sink.text(utf8(hangul(spare)));
        auto seen = window.after(sink);
        EXPECT_EQ(typedKeysyms(seen), std::vector<unsigned>{0x01000000u | hangul(spare)});
        EXPECT_EQ(sink.spareBindings(), static_cast<size_t>(spare));

        const int changes = window.mappingChanges();
        sink.text(utf8(hangul(0)));
        seen = window.after(sink);
        EXPECT_EQ(window.mappingChanges(), changes);  // still bound
        sink.text(utf8(hangul(1)));
        seen = window.after(sink);
        EXPECT_EQ(window.mappingChanges(), changes + 1);  // had been given up
        EXPECT_EQ(typedKeysyms(seen), std::vector<unsigned>{0x01000000u | hangul(1)});
    }
    EXPECT_EQ(spareKeys(window.display()), spare);
}

TEST(X11EventSinkSpareKeys, MoreNewKeysymsThanSpareKeysAreAllTyped) {
    TestWindow window;
    const int spare = spareKeys(window.display());
    X11EventSink sink(nullptr);
    std::vector<unsigned> expected;
    for (int i = 0; i < spare + 5; ++i) {
        const char32_t cp = 0x0410 + i;  // Cyrillic capitals, two bytes each
        sink.text(std::string{static_cast<char>(0xC0 | (cp >> 6)),
                              static_cast<char>(0x80 | (cp & 0x3F))});
        expected.push_back(0x01000000u | cp);
    }
    // A live client reads while the sink types; it must see every key with the map it was
    // pressed under, although keys are bound anew halfway.
    std::vector<unsigned> typed;
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (typed.size() < expected.size() && std::chrono::steady_clock::now() < deadline) {
            for (const unsigned sym : typedKeysyms(window.drain())) typed.push_back(sym);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    sink.flush();
    reader.join();
    EXPECT_EQ(typed, expected);
    EXPECT_TRUE(window.keysAllUp());
}

TEST(X11Platform, MissingDisplayGivesNoPlatformAndAHarmlessSink) {
    X11EventSink sink(":249.7");
    EXPECT_FALSE(sink.isOpen());
    EXPECT_FALSE(sink.trusted());
    sink.mouseMove({1, 1}, std::nullopt);
    sink.text("a");
    sink.flush();
    EXPECT_EQ(sink.pointerLocation(), (Point{0, 0}));
    EXPECT_FALSE(makeLinuxInputPlatform(":249.7"));

    const auto platform = makeLinuxInputPlatform(nullptr);
    ASSERT_TRUE(platform);
    EXPECT_TRUE(platform->events->trusted());
    EXPECT_TRUE(platform->keymap && platform->displays && platform->launcher && platform->system);
    EXPECT_EQ(platform->system->os(), "linux");
}

}  // namespace
}  // namespace velora::linux_
