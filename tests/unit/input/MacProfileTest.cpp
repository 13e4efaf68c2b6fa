#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>

#include "core/input/InputSim.h"
#include "platform/macos/MacEventSink.h"
#include "platform/macos/MacKeymap.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/RecordingMacPoster.h"
#include "platform/sim/SimDisplays.h"

namespace velora::macos {

void PrintTo(const CGEventRecord& e, std::ostream* os) {
    *os << "{type " << e.type << " at " << e.location.x << "," << e.location.y << " button "
        << e.mouseButton << " key " << e.keyCode << (e.keyDown ? " down" : " up") << " flags "
        << (e.flags ? std::to_string(*e.flags) : "unset") << " units " << e.unicode.size()
        << " wheels " << e.scrollUnits << "/" << e.wheelCount << "/" << e.wheel1 << "/" << e.wheel2
        << " subtype " << e.subtype << " data1 " << e.data1 << " data2 " << e.data2 << "}";
}

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

CGEventRecord mouse(uint32_t type, Point at, uint32_t button) {
    CGEventRecord e;
    e.type = type;
    e.location = at;
    e.mouseButton = button;
    return e;
}

CGEventRecord keyboard(bool down, uint16_t code, std::optional<uint64_t> flags,
                       std::u16string units = {}) {
    CGEventRecord e;
    e.type = down ? kCGEventKeyDown : kCGEventKeyUp;
    e.keyCode = code;
    e.keyDown = down;
    e.flags = flags;
    e.unicode = std::move(units);
    return e;
}

CGEventRecord system(uint64_t flags, int64_t data1) {
    CGEventRecord e;
    e.type = 14;
    e.subtype = 8;
    e.flags = flags;
    e.data1 = data1;
    e.data2 = -1;
    return e;
}

class MacProfileTest : public testing::Test {
protected:
    std::shared_ptr<sim::RecordingMacPoster> poster = std::make_shared<sim::RecordingMacPoster>();
    std::shared_ptr<sim::RecordingLauncher> launcher = std::make_shared<sim::RecordingLauncher>();
    InputSim input{std::make_shared<MacEventSink>(poster), std::make_shared<MacKeymap>(),
                   std::make_shared<sim::SimDisplays>(), launcher};
};

TEST_F(MacProfileTest, PointerEventsCarryTypeAndButtonNumbers) {
    poster->pointer = {100, 200};
    input.move(1, 0);
    input.buttonDown("R");
    input.move(1, 0);
    input.buttonUp("R");
    input.buttonDown("M");
    input.move(1, 0);
    input.buttonUp("M");
    input.buttonDown("L");
    input.move(1, 0);
    input.buttonUp("L");
    EXPECT_THAT(poster->posted, ElementsAre(mouse(5, {101, 200}, 0), mouse(3, {101, 200}, 1),
                                            mouse(7, {102, 200}, 1), mouse(4, {102, 200}, 1),
                                            mouse(25, {102, 200}, 2), mouse(27, {103, 200}, 2),
                                            mouse(26, {103, 200}, 2), mouse(1, {103, 200}, 0),
                                            mouse(6, {104, 200}, 0), mouse(2, {104, 200}, 0)));
}

TEST_F(MacProfileTest, ScrollIsOneLineEventWithVerticalOnWheelOne) {
    input.scroll(4, -3);
    CGEventRecord wheel;
    wheel.type = 22;
    wheel.scrollUnits = 1;
    wheel.wheelCount = 2;
    wheel.wheel1 = -3;
    wheel.wheel2 = 4;
    EXPECT_THAT(poster->posted, ElementsAre(wheel));
}

TEST_F(MacProfileTest, KeysCarryExactlyTheirFlags) {
    EXPECT_TRUE(input.hotkey("ctrl+shift+t"));
    input.press(input.resolve("ENTER").value());
    EXPECT_THAT(poster->posted,
                ElementsAre(keyboard(true, 17, 0x120000), keyboard(false, 17, 0x120000),
                            keyboard(true, 36, 0), keyboard(false, 36, 0)));
}

TEST_F(MacProfileTest, TextRidesOnKeyCodeZeroAsUtf16) {
    // Thumbs up with a medium skin tone: two surrogate pairs in one cluster.
    input.type("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD\r\n\n");
    const std::u16string thumb = u"\U0001F44D\U0001F3FD";
    ASSERT_EQ(thumb.size(), 4u);
    EXPECT_THAT(poster->posted, ElementsAre(keyboard(true, 0, std::nullopt, thumb),
                                            keyboard(false, 0, std::nullopt, thumb),
                                            keyboard(true, 0, std::nullopt, u"\r\n"),
                                            keyboard(false, 0, std::nullopt, u"\r\n"),
                                            keyboard(true, 36, 0), keyboard(false, 36, 0)));
}

TEST_F(MacProfileTest, MediaKeysAreSystemDefinedPairs) {
    EXPECT_TRUE(input.media("volup"));
    EXPECT_TRUE(input.media("MUTE"));
    EXPECT_TRUE(input.media("Next"));
    EXPECT_FALSE(input.media("stop"));
    EXPECT_THAT(poster->posted, ElementsAre(system(0xa00, 0xa00), system(0xb00, 0xb00),
                                            system(0xa00, 0x70a00), system(0xb00, 0x70b00),
                                            system(0xa00, 0x110a00), system(0xb00, 0x110b00)));
}

TEST_F(MacProfileTest, LockPressesControlCommandQAndScriptsGoToOsascript) {
    EXPECT_TRUE(input.power("lock"));
    EXPECT_THAT(poster->posted,
                ElementsAre(keyboard(true, 12, 0x140000), keyboard(false, 12, 0x140000)));
    EXPECT_THAT(launcher->launched, IsEmpty());

    EXPECT_TRUE(input.power("shutdown"));
    EXPECT_TRUE(input.power("LogOff"));
    EXPECT_THAT(launcher->launched,
                ElementsAre(ElementsAre("/usr/bin/osascript", "-e",
                                        "tell application \"System Events\" to shut down"),
                            ElementsAre("/usr/bin/osascript", "-e",
                                        "tell application \"System Events\" to log out")));
}

}  // namespace
}  // namespace velora::macos
