#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/macos/MacEventPoster.h"

namespace velora::macos {

// Turns each input request into the CoreGraphics events the macOS profile posts for it.
class MacEventSink : public EventSink {
  public:
    explicit MacEventSink(std::shared_ptr<MacEventPoster> poster) : poster_(std::move(poster)) {}

    Point pointerLocation() override { return poster_->location(); }
    void mouseMove(Point to, std::optional<MouseButton> held) override;
    void mouseButton(MouseButton button, bool down, Point at) override;
    void scroll(int32_t vertical, int32_t horizontal) override;
    void key(const KeyStroke& key) override;
    void text(std::string_view cluster) override;
    void media(int keyType) override;
    bool trusted() override { return poster_->trusted(); }

  private:
    std::shared_ptr<MacEventPoster> poster_;
};

}  // namespace velora::macos
