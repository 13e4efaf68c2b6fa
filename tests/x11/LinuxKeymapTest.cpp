#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/TextKeysyms.h"

namespace velora::linux_ {
namespace {

using Strings = std::vector<std::string>;

TEST(LinuxKeymap, NamedKeysAndCharactersAreKeysyms) {
    const LinuxKeymap keymap("4");
    EXPECT_EQ(keymap.named("ENTER"), XK_Return);
    EXPECT_EQ(keymap.named("BACKSPACE"), XK_BackSpace);
    EXPECT_EQ(keymap.named("PGUP"), XK_Prior);
    EXPECT_EQ(keymap.named("PGDN"), XK_Next);
    EXPECT_EQ(keymap.named("F12"), XK_F12);
    EXPECT_EQ(keymap.named("F13"), std::nullopt);
    EXPECT_EQ(keymap.named("enter"), std::nullopt);  // callers upper-case first
    EXPECT_EQ(keymap.named("PRTSC"), std::nullopt);  // printScreen() has it

    EXPECT_EQ(keymap.character('a'), XK_a);
    EXPECT_EQ(keymap.character('0'), XK_0);
    EXPECT_EQ(keymap.character('`'), XK_grave);
    EXPECT_EQ(keymap.character('\\'), XK_backslash);
    for (const char shiftedOrOther : std::string("A!? \n\0", 6))
        EXPECT_EQ(keymap.character(shiftedOrOther), std::nullopt) << int(shiftedOrOther);
    int count = 0;
    for (int c = 1; c < 128; ++c) count += keymap.character(static_cast<char>(c)).has_value();
    EXPECT_EQ(count, 47);

    EXPECT_EQ(keymap.printScreen(), (KeyStroke{XK_Print, 0}));
    EXPECT_EQ(keymap.returnKey(), (KeyStroke{XK_Return, 0}));
    EXPECT_EQ(keymap.shiftFlag(), modifier::shift);
}

TEST(LinuxKeymap, HotkeyModifiersKeepControl) {
    const LinuxKeymap keymap("4");
    EXPECT_EQ(keymap.hotkeyModifier("ctrl"), modifier::control);
    EXPECT_EQ(keymap.hotkeyModifier("control"), modifier::control);
    EXPECT_EQ(keymap.hotkeyModifier("shift"), modifier::shift);
    EXPECT_EQ(keymap.hotkeyModifier("alt"), modifier::alt);
    EXPECT_EQ(keymap.hotkeyModifier("win"), modifier::super);
    EXPECT_EQ(keymap.hotkeyModifier("cmd"), modifier::super);
    EXPECT_EQ(keymap.hotkeyModifier(""), std::nullopt);
    EXPECT_EQ(keymap.hotkeyModifier("option"), std::nullopt);
}

TEST(LinuxKeymap, MediaKeysAreXf86Keysyms) {
    const LinuxKeymap keymap("4");
    EXPECT_EQ(keymap.mediaKey("PLAY"), XF86XK_AudioPlay);
    EXPECT_EQ(keymap.mediaKey("NEXT"), XF86XK_AudioNext);
    EXPECT_EQ(keymap.mediaKey("PREV"), XF86XK_AudioPrev);
    EXPECT_EQ(keymap.mediaKey("VOLUP"), XF86XK_AudioRaiseVolume);
    EXPECT_EQ(keymap.mediaKey("VOLDOWN"), XF86XK_AudioLowerVolume);
    EXPECT_EQ(keymap.mediaKey("MUTE"), XF86XK_AudioMute);
    EXPECT_EQ(keymap.mediaKey("STOP"), std::nullopt);
}

TEST(LinuxKeymap, PowerActionsAreCommandsWithoutKeys) {
    const LinuxKeymap keymap("c7");
    const std::pair<const char*, Strings> expected[] = {
        {"LOCK", {"loginctl", "lock-session"}},
        {"SLEEP", {"systemctl", "suspend"}},
        {"LOGOFF", {"loginctl", "terminate-session", "c7"}},
        {"RESTART", {"systemctl", "reboot"}},
        {"SHUTDOWN", {"systemctl", "poweroff"}},
    };
    for (const auto& [name, command] : expected) {
        const auto action = keymap.power(name);
        ASSERT_TRUE(action) << name;
        EXPECT_EQ(action->command, command) << name;
        EXPECT_FALSE(action->press) << name;
    }
    EXPECT_EQ(keymap.power("SHUT DOWN"), std::nullopt);
    EXPECT_EQ(keymap.power("lock"), std::nullopt);
}

TEST(LinuxKeymap, LogoffFallsBackToOwnSessionForMissingOrOddIds) {
    EXPECT_EQ(logoffCommand("2"), (Strings{"loginctl", "terminate-session", "2"}));
    for (const char* odd :
         {static_cast<const char*>(nullptr), "", "--help", "-1", "3 4", "a;b", "x\n", "\xc3\xa9"}) {
        EXPECT_EQ(logoffCommand(odd), (Strings{"loginctl", "terminate-session", ""}))
            << (odd ? odd : "null");
    }
}

TEST(TextKeysyms, CodePointsBecomeClassicOrUnicodeKeysyms) {
    using Syms = std::vector<uint32_t>;
    EXPECT_EQ(keysymsForText("a"), Syms{XK_a});
    EXPECT_EQ(keysymsForText("~"), Syms{XK_asciitilde});
    EXPECT_EQ(keysymsForText("\xc3\xa9"), Syms{XK_eacute});        // é
    EXPECT_EQ(keysymsForText("\xc2\xa0"), Syms{XK_nobreakspace});  // no-break space
    EXPECT_EQ(keysymsForText("\xed\x95\x9c"), Syms{0x0100D55C});   // 한
    EXPECT_EQ(keysymsForText("\xe2\x82\xac"), Syms{0x010020AC});   // €
    // Thumbs up with a skin tone: its two code points in order.
    EXPECT_EQ(keysymsForText("\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd"), (Syms{0x0101F44D, 0x0101F3FD}));
    EXPECT_EQ(keysymsForText("\r\n"), Syms{XK_Return});
    EXPECT_EQ(keysymsForText("\t"), Syms{XK_Tab});
    EXPECT_EQ(keysymsForText("\x01\xc2\x85"), Syms{});    // control characters
    EXPECT_EQ(keysymsForText("\xff"), Syms{0x0100FFFD});  // ill-formed byte
    EXPECT_EQ(keysymsForText(""), Syms{});
}

}  // namespace
}  // namespace velora::linux_
