#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/input/InputSim.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/RecordingEventSink.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/SimDisplays.h"

using namespace velora;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class InputSimTest : public testing::Test {
protected:
    std::shared_ptr<sim::RecordingEventSink> sink = std::make_shared<sim::RecordingEventSink>();
    std::shared_ptr<sim::SimDisplays> displays = std::make_shared<sim::SimDisplays>();
    std::shared_ptr<sim::RecordingLauncher> launcher = std::make_shared<sim::RecordingLauncher>();
    InputSim input{sink, std::make_shared<macos::MacKeymap>(), displays, launcher};
};

TEST_F(InputSimTest, RelativeMovesStayOnePointInsideTheDisplaysUnion) {
    // A second display left of and below the main one: the union spans both.
    displays->displays = {{0, 0, 1920, 1080}, {-1280, 200, 1280, 1024}};
    input.move(100000, 100000);
    input.move(-100000, -100000);
    sink->location = {10.5, 20};
    input.move(3, -4);
    EXPECT_THAT(sink->events, ElementsAre("move 1919 1223", "move -1280 0", "move 13.5 16"));
}

TEST_F(InputSimTest, WithoutDisplaysMovesUseA1440By900Screen) {
    input.move(INT64_MAX, INT64_MAX);
    input.move(INT64_MIN, 0);
    EXPECT_THAT(sink->events, ElementsAre("move 1439 899", "move 0 899"));
}

TEST_F(InputSimTest, AbsoluteMovesMapTheGridOntoTheMainDisplayOnly) {
    displays->displays = {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}};
    displays->mainDisplay = Rect{1920, 0, 2560, 1440};
    input.moveAbs(65535, 65535);
    input.moveAbs(-5, 70000);
    input.moveAbs(32767, 0);
    ASSERT_EQ(sink->events.size(), 3u);
    EXPECT_EQ(sink->events[0], "move 4480 1440");
    EXPECT_EQ(sink->events[1], "move 1920 1440");
    EXPECT_NEAR(sink->location.x, 3199.98, 0.01);
    EXPECT_EQ(sink->location.y, 0);

    displays->mainDisplay.reset();
    input.moveAbs(65535, 65535);
    EXPECT_EQ(sink->events.back(), "move 1440 900");
}

TEST_F(InputSimTest, HeldButtonTurnsMovesIntoDragsUntilAnyRelease) {
    sink->location = {5, 6};
    input.buttonDown("");
    input.move(1, 1);
    input.buttonUp("x");
    input.move(1, 1);
    input.buttonDown("right");
    input.buttonUp("L");
    EXPECT_FALSE(input.heldButton());
    input.buttonDown("r\xCC\x81");  // r with a combining acute accent is another letter
    input.buttonUp("");
    input.buttonDown("m");
    input.moveAbs(0, 0);
    EXPECT_EQ(input.heldButton(), MouseButton::Middle);
    EXPECT_THAT(sink->events,
                ElementsAre("down left 5 6", "drag left 6 7", "up left 6 7", "move 7 8",
                            "down right 7 8", "up left 7 8", "down left 7 8", "up left 7 8",
                            "down middle 7 8", "drag middle 0 0"));
}

TEST_F(InputSimTest, ScrollSwapsAxesAndClampsTo32Bits) {
    input.scroll(0, -3);
    input.scroll(INT64_MAX, INT64_MIN);
    EXPECT_THAT(sink->events, ElementsAre("scroll vertical -3 horizontal 0",
                                          "scroll vertical -2147483648 horizontal 2147483647"));
}

TEST_F(InputSimTest, ResolveNamesCharactersAndScreenshot) {
    EXPECT_EQ(input.resolve("enter"), (KeyStroke{36, 0}));
    EXPECT_EQ(input.resolve("F12"), (KeyStroke{111, 0}));
    EXPECT_EQ(input.resolve("prtsc"), (KeyStroke{20, 0x120000}));
    EXPECT_EQ(input.resolve("a"), (KeyStroke{0, 0}));
    EXPECT_EQ(input.resolve("A"), (KeyStroke{0, 0x20000}));
    EXPECT_EQ(input.resolve("1"), (KeyStroke{18, 0}));
    EXPECT_EQ(input.resolve("`"), (KeyStroke{50, 0}));
    // The Kelvin sign lower-cases to k and is itself upper case.
    EXPECT_EQ(input.resolve("\u212A"), (KeyStroke{40, 0x20000}));
    for (const char* none : {"!", "ab", "", "\u00E9", " "}) {
        EXPECT_FALSE(input.resolve(none)) << none;
    }
}

TEST_F(InputSimTest, HotkeysTurnControlIntoCommand) {
    EXPECT_TRUE(input.hotkey("ctrl+c"));
    EXPECT_TRUE(input.hotkey("Control+shift+T"));
    EXPECT_TRUE(input.hotkey("alt + f4"));
    EXPECT_TRUE(input.hotkey("\tc"));
    EXPECT_TRUE(input.hotkey("win+prtsc"));
    EXPECT_TRUE(input.hotkey("cmd++a+"));
    EXPECT_THAT(sink->events, ElementsAre("key 8 flags 0x100000", "key 17 flags 0x120000",
                                          "key 118 flags 0x80000", "key 8 flags 0",
                                          "key 20 flags 0x120000", "key 0 flags 0x100000"));
}

TEST_F(InputSimTest, BadHotkeysPressNothing) {
    for (const char* bad :
         {"+", "", "foo+c", "ctrl+nokey", "ctrl+ +c", "c+ctrl", "ctrl+ ", "ctrl\n+c"}) {
        EXPECT_FALSE(input.hotkey(bad)) << bad;
    }
    EXPECT_THAT(sink->events, IsEmpty());
}

TEST_F(InputSimTest, TypingSendsClustersAndReturnForLoneLineBreaks) {
    input.type("a\nb\r\r\n\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
    EXPECT_THAT(sink->events, ElementsAre("text a", "key 36 flags 0", "text b", "key 36 flags 0",
                                          "text \r\n", "text \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"));
}

TEST_F(InputSimTest, PowerReportsAScriptHostThatFailedToStart) {
    EXPECT_FALSE(input.power("shut down"));
    launcher->succeeds = false;
    EXPECT_FALSE(input.power("Sleep"));
    EXPECT_EQ(launcher->launched.size(), 1u);
}

}  // namespace
