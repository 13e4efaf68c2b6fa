#pragma once

#include "platform/Platform.h"

namespace velora::sim {

// Where input goes on a machine without a display: nowhere. The pointer position is kept so that
// relative moves stay consistent; "trusted" is false because nothing reaches a screen.
class DiscardingEventSink : public EventSink {
public:
    Point pointerLocation() override { return location_; }
    void mouseMove(Point to, std::optional<MouseButton>) override { location_ = to; }
    void mouseButton(MouseButton, bool, Point) override {}
    void scroll(int32_t, int32_t) override {}
    void key(const KeyStroke&) override {}
    void text(std::string_view) override {}
    void media(int) override {}
    bool trusted() override { return false; }

private:
    Point location_;
};

}  // namespace velora::sim
