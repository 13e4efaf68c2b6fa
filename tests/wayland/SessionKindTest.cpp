#include <gtest/gtest.h>

#include "app/SessionKind.h"

namespace velora {
namespace {

TEST(SessionKindTest, WaylandWhenTheSessionSaysSoOrACompositorAnswersUnlessForcedToX11) {
    const struct {
        const char* sessionType;
        bool compositorAnswers;
        bool forceX11;
        SessionKind expected;
    } cases[] = {
        {"x11", false, false, SessionKind::X11},
        {"", false, false, SessionKind::X11},  // a headless machine, or a stale WAYLAND_DISPLAY
        {"tty", false, false, SessionKind::X11},
        {"wayland", false, false, SessionKind::Wayland},  // no compositor: said so, not X11
        {"wayland", true, false, SessionKind::Wayland},
        {"", true, false, SessionKind::Wayland},
        {"x11", true, false, SessionKind::Wayland},
        {"wayland", true, true, SessionKind::X11},
        {"", true, true, SessionKind::X11},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sessionKind({c.sessionType, c.compositorAnswers, c.forceX11}), c.expected)
            << c.sessionType << " " << c.compositorAnswers << " " << c.forceX11;
    }
}

}  // namespace
}  // namespace velora
