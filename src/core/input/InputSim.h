// Pointer, keyboard, text, media and power synthesis over a platform's Keymap and EventSink.
// Used on the server thread only; its one piece of state is the held mouse button.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace velora {

// The rectangle relative pointer moves are held within: the bounding rectangle of all displays,
// or 1440 x 900 at the origin when there are none.
Rect pointerBounds(const std::vector<Rect>& displays);

class InputSim {
public:
    InputSim(std::shared_ptr<EventSink> sink, std::shared_ptr<Keymap> keymap,
             std::shared_ptr<Displays> displays, std::shared_ptr<Launcher> launcher);

    void move(int64_t dx, int64_t dy);
    void moveAbs(int64_t x, int64_t y);
    void buttonDown(std::string_view letter);
    void buttonUp(std::string_view letter);
    void scroll(int64_t horizontal, int64_t vertical);

    std::optional<KeyStroke> resolve(std::string_view name) const;
    void press(const KeyStroke& key);
    bool hotkey(std::string_view combination);
    void type(std::string_view text);
    // One extended grapheme cluster of `type`.
    void typeCluster(std::string_view cluster);
    bool media(std::string_view name);
    bool power(std::string_view action);

    std::optional<MouseButton> heldButton() const { return heldButton_; }
    EventSink& sink() { return *sink_; }

private:
    std::shared_ptr<EventSink> sink_;
    std::shared_ptr<Keymap> keymap_;
    std::shared_ptr<Displays> displays_;
    std::shared_ptr<Launcher> launcher_;
    std::optional<MouseButton> heldButton_;
};

}  // namespace velora
