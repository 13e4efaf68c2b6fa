#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <algorithm>
#include <future>
#include <tuple>

#include "StandInPortal.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/portal/PortalEventSink.h"
#include "platform/sim/SimDisplays.h"

namespace velora::portal::test {
namespace {

// A keyboard event as the portal saw it: 'c' for a keycode, 's' for a keysym.
using KeyEvent = std::tuple<char, int, int>;

class PortalEventSinkTest : public ::testing::Test {
protected:
    PortalEventSinkTest() {
        displays_->mainDisplay = Rect{0, 0, 2560, 1440};
        displays_->displays = {*displays_->mainDisplay};
    }

    std::shared_ptr<PortalSession> startedSession(bool withStream) {
        if (withStream) portal_.setStream(44, 1280, 720);
        auto session = PortalSession::connect(bus_.address(), {});
        EXPECT_TRUE(session && session->start(withStream).started);
        return session;
    }

    // Everything sent so far has been handled once a later call is answered.
    std::vector<RecordedCall> callsAfter(PortalSession& session) {
        EXPECT_GT(session.remoteDesktopVersion(), 0u);
        return portal_.calls();
    }

    std::vector<KeyEvent> keyEvents(PortalSession& session) {
        std::vector<KeyEvent> events;
        for (const RecordedCall& call : callsAfter(session)) {
            if (call.method == "NotifyKeyboardKeycode")
                events.emplace_back('c', call.numbers[0], call.numbers[1]);
            else if (call.method == "NotifyKeyboardKeysym")
                events.emplace_back('s', call.numbers[0], call.numbers[1]);
        }
        return events;
    }

    std::vector<std::vector<double>> numbersOf(PortalSession& session, const std::string& method) {
        std::vector<std::vector<double>> found;
        for (const RecordedCall& call : callsAfter(session))
            if (call.method == method) found.push_back(call.numbers);
        return found;
    }

    PrivateBus bus_;
    StandInPortal portal_{bus_.address()};
    std::shared_ptr<sim::SimDisplays> displays_ = std::make_shared<sim::SimDisplays>();
};

std::vector<KeyEvent> tapped(char kind, int value) {
    return {{kind, value, 1}, {kind, value, 0}};
}

TEST_F(PortalEventSinkTest, AbsoluteMovesLandInTheStreamsLogicalPixels) {
    auto session = startedSession(true);
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    sink.mouseMove({1280, 720}, std::nullopt);
    sink.mouseMove({2560, 1440}, std::nullopt);  // the far corner stays on the last pixel
    const auto moves = numbersOf(*session, "NotifyPointerMotionAbsolute");
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0], (std::vector<double>{44, 640, 360}));
    EXPECT_DOUBLE_EQ(moves[1][1], 2559.0 / 2);
    EXPECT_DOUBLE_EQ(moves[1][2], 1439.0 / 2);
    EXPECT_EQ(sink.pointerLocation(), (Point{2560, 1440}));
}

TEST_F(PortalEventSinkTest, WithoutAStreamMovesToAPointGoBySteps) {
    auto session = startedSession(false);
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    EXPECT_EQ(sink.pointerLocation(), (Point{1280, 720}));
    sink.mouseMove({100, 100}, std::nullopt);
    sink.mouseMove({110, 90}, std::nullopt);
    sink.mouseMoveBy({5, -3}, {115, 87}, std::nullopt);
    EXPECT_EQ(numbersOf(*session, "NotifyPointerMotion"),
              (std::vector<std::vector<double>>{{-1180, -620}, {10, -10}, {5, -3}}));
    EXPECT_TRUE(numbersOf(*session, "NotifyPointerMotionAbsolute").empty());
}

TEST_F(PortalEventSinkTest, ButtonsAreEvdevCodesAndTheWheelGoesInDiscreteSteps) {
    auto session = startedSession(false);
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    sink.mouseButton(MouseButton::Left, true, {});
    sink.mouseButton(MouseButton::Left, false, {});
    sink.mouseButton(MouseButton::Right, true, {});
    sink.mouseButton(MouseButton::Middle, false, {});
    sink.scroll(2, 0);
    sink.scroll(0, -1);
    sink.scroll(1000, 0);
    EXPECT_EQ(numbersOf(*session, "NotifyPointerButton"),
              (std::vector<std::vector<double>>{
                  {BTN_LEFT, 1}, {BTN_LEFT, 0}, {BTN_RIGHT, 1}, {BTN_MIDDLE, 0}}));
    EXPECT_EQ(BTN_LEFT, 0x110);
    // Up and left are positive lines; the portal's steps go down and right.
    EXPECT_EQ(numbersOf(*session, "NotifyPointerAxisDiscrete"),
              (std::vector<std::vector<double>>{{0, -2}, {1, 1}, {0, -100}}));
}

TEST_F(PortalEventSinkTest, NamedKeysGoByPositionAndShortcutsHoldTheirModifiers) {
    auto session = startedSession(false);
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    sink.key({XKB_KEY_Return, linux_::modifier::control});
    sink.key({XKB_KEY_F5, 0});
    sink.key({'z', linux_::modifier::control | linux_::modifier::shift});
    sink.key({XKB_KEY_Left, linux_::modifier::alt | linux_::modifier::super});
    sink.media(XKB_KEY_XF86AudioPlay);
    const std::vector<KeyEvent> expected = {
        {'c', KEY_LEFTCTRL, 1},  {'c', KEY_ENTER, 1},     {'c', KEY_ENTER, 0},
        {'c', KEY_LEFTCTRL, 0},  {'c', KEY_F5, 1},        {'c', KEY_F5, 0},
        {'c', KEY_LEFTCTRL, 1},  {'c', KEY_LEFTSHIFT, 1}, {'s', 'z', 1},
        {'s', 'z', 0},           {'c', KEY_LEFTSHIFT, 0}, {'c', KEY_LEFTCTRL, 0},
        {'c', KEY_LEFTALT, 1},   {'c', KEY_LEFTMETA, 1},  {'c', KEY_LEFT, 1},
        {'c', KEY_LEFT, 0},      {'c', KEY_LEFTMETA, 0},  {'c', KEY_LEFTALT, 0},
        {'c', KEY_PLAYPAUSE, 1}, {'c', KEY_PLAYPAUSE, 0},
    };
    EXPECT_EQ(keyEvents(*session), expected);
}

TEST_F(PortalEventSinkTest, TextGoesAsKeysymsWhereTheLayoutDecides) {
    auto session = startedSession(false);
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    sink.text("a");
    sink.text("é");
    sink.text("\n");
    sink.text("😀");
    std::vector<KeyEvent> expected;
    for (const auto& part :
         {tapped('s', 'a'), tapped('s', 0xe9), tapped('c', KEY_ENTER), tapped('s', 0x0101f600)})
        expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(keyEvents(*session), expected);
}

TEST_F(PortalEventSinkTest, HexEntryTypesWhatNoLayoutHas) {
    auto session = startedSession(false);
    PortalEventSink sink(session, displays_, TextRoute::HexEntry);
    sink.text("a");
    sink.text("é");
    sink.text("😀");
    std::vector<KeyEvent> expected = tapped('s', 'a');
    for (const std::string digits : {"e9", "1f600"}) {
        expected.insert(expected.end(), {{'c', KEY_LEFTCTRL, 1}, {'c', KEY_LEFTSHIFT, 1}});
        for (const auto& event : tapped('s', 'u')) expected.push_back(event);
        expected.insert(expected.end(), {{'c', KEY_LEFTSHIFT, 0}, {'c', KEY_LEFTCTRL, 0}});
        for (const char digit : digits)
            for (const auto& event : tapped('s', digit)) expected.push_back(event);
        for (const auto& event : tapped('s', ' ')) expected.push_back(event);
    }
    EXPECT_EQ(keyEvents(*session), expected);
}

TEST_F(PortalEventSinkTest, NothingGoesOutOnceTheSessionIsClosed) {
    auto session = startedSession(true);
    std::promise<void> closed;
    session->onClosed([&] { closed.set_value(); });
    PortalEventSink sink(session, displays_, TextRoute::Keysyms);
    EXPECT_TRUE(sink.trusted());
    sink.key({XKB_KEY_Escape, 0});
    ASSERT_EQ(keyEvents(*session).size(), 2u);

    portal_.closeSession();
    closed.get_future().wait();
    EXPECT_FALSE(sink.trusted());
    sink.key({XKB_KEY_Escape, 0});
    sink.text("x");
    sink.mouseMove({10, 10}, std::nullopt);
    sink.mouseMoveBy({1, 1}, {11, 11}, std::nullopt);
    sink.mouseButton(MouseButton::Left, true, {});
    sink.scroll(1, 1);
    sink.media(XKB_KEY_XF86AudioPlay);
    const auto calls = callsAfter(*session);
    const auto notifications = std::count_if(calls.begin(), calls.end(), [](const auto& call) {
        return call.method.starts_with("Notify");
    });
    EXPECT_EQ(notifications, 2);
}

}  // namespace
}  // namespace velora::portal::test
