#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/TextKeysyms.h"

namespace velora::linux_ {
namespace {

using Strings = std::vector<std::string>;

TEST(LinuxKeymap, KeysAreKeysymsWithLinuxModifiers) {
    const LinuxKeymap keymap("4");
    EXPECT_EQ(keymap.named("BACKSPACE"), XK_BackSpace);
    EXPECT_EQ(keymap.named("PGDN"), XK_Next);
    EXPECT_EQ(keymap.named("F12"), XK_F12);
    EXPECT_EQ(keymap.named("F13"), std::nullopt);
    EXPECT_EQ(keymap.printScreen(), (KeyStroke{XK_Print, 0}));
    EXPECT_EQ(keymap.character('`'), XK_grave);
    int characters = 0;
    for (int c = 0; c < 128; ++c) characters += keymap.character(static_cast<char>(c)).has_value();
    EXPECT_EQ(characters, 47);
    EXPECT_EQ(keymap.character('A'), std::nullopt);
    EXPECT_EQ(keymap.character('!'), std::nullopt);
    EXPECT_EQ(keymap.hotkeyModifier("ctrl"), modifier::control);  // no turn into Super
    EXPECT_EQ(keymap.hotkeyModifier("cmd"), modifier::super);
    EXPECT_EQ(keymap.hotkeyModifier("option"), std::nullopt);
    EXPECT_EQ(keymap.mediaKey("VOLDOWN"), XF86XK_AudioLowerVolume);
    EXPECT_EQ(keymap.mediaKey("STOP"), std::nullopt);
}

TEST(LinuxKeymap, PowerActionsAreCommandsAndLogoffNeedsASaneSession) {
    const LinuxKeymap keymap("c7");
    EXPECT_EQ(keymap.power("LOGOFF")->command, (Strings{"loginctl", "terminate-session", "c7"}));
    EXPECT_EQ(keymap.power("SHUTDOWN")->command, (Strings{"systemctl", "poweroff"}));
    EXPECT_FALSE(keymap.power("LOCK")->press);
    EXPECT_EQ(keymap.power("SHUT DOWN"), std::nullopt);
    // A missing or odd id (an option, say) becomes "", which loginctl reads as its own session.
    for (const char* odd : {static_cast<const char*>(nullptr), "", "--help", "3 4", "a;b"}) {
        EXPECT_EQ(logoffCommand(odd), (Strings{"loginctl", "terminate-session", ""}))
            << (odd ? odd : "null");
    }
}

TEST(TextKeysyms, CodePointsBecomeClassicOrUnicodeKeysyms) {
    using Syms = std::vector<uint32_t>;
    EXPECT_EQ(keysymsForText("~"), Syms{XK_asciitilde});
    EXPECT_EQ(keysymsForText("\xc3\xa9"), Syms{XK_eacute});       // é
    EXPECT_EQ(keysymsForText("\xed\x95\x9c"), Syms{0x0100D55C});  // 한
    // Thumbs up with a skin tone: its two code points in order.
    EXPECT_EQ(keysymsForText("\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd"), (Syms{0x0101F44D, 0x0101F3FD}));
    EXPECT_EQ(keysymsForText("\r\n\t"), (Syms{XK_Return, XK_Tab}));
    EXPECT_EQ(keysymsForText("\x01\xc2\x85"), Syms{});    // control characters
    EXPECT_EQ(keysymsForText("\xff"), Syms{0x0100FFFD});  // ill-formed byte
}

}  // namespace
}  // namespace velora::linux_
