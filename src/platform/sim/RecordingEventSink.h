#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora::sim {

// An event sink that writes down every request as one readable line, for example
// "move 10 20", "drag right 10 20", "down left 5 5", "scroll vertical -3 horizontal 0",
// "key 8 flags 0x100000", "text a", "media 16", "flush". The pointer follows the last move.
class RecordingEventSink : public EventSink {
  public:
    std::vector<std::string> events;
    Point location;
    bool trust = true;

    Point pointerLocation() override { return location; }
    void mouseMove(Point to, std::optional<MouseButton> held) override;
    void mouseButton(MouseButton button, bool down, Point at) override;
    void scroll(int32_t vertical, int32_t horizontal) override;
    void key(const KeyStroke& key) override;
    void text(std::string_view cluster) override;
    void media(int keyType) override;
    void flush() override;
    bool trusted() override { return trust; }
};

}  // namespace velora::sim
