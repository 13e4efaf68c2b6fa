// Synthesized input on wlroots compositors: a virtual pointer and a virtual keyboard with a
// keymap of Velora's own.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "platform/wayland/VirtualKeymap.h"
#include "platform/wayland/WaylandConnection.h"

struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_v1;

namespace velora::wayland {

// Posts pointer, key, text and media input through zwlr_virtual_pointer_v1 and
// zwp_virtual_keyboard_v1. Server thread only; shares the connection with WaylandDisplays.
//
// Wayland does not tell a client where the pointer is, so the sink keeps where its own moves put
// it: relative moves go out as relative motion, moves to a point of the main output as absolute
// motion on a pointer mapped to that output. Typed text is held back until the next other input
// or flush(), so that the keysyms a batch lacks are bound in one keymap upload.
class WaylandEventSink : public EventSink {
public:
    explicit WaylandEventSink(std::shared_ptr<WaylandConnection> connection);
    ~WaylandEventSink() override;
    WaylandEventSink(const WaylandEventSink&) = delete;
    WaylandEventSink& operator=(const WaylandEventSink&) = delete;

    // Whether the compositor gave a virtual pointer and a virtual keyboard.
    bool isOpen() const { return pointer_ != nullptr && keyboard_ != nullptr; }

    Point pointerLocation() override;
    void mouseMove(Point to, std::optional<MouseButton> held) override;
    void mouseMoveBy(Point by, Point to, std::optional<MouseButton> held) override;
    void mouseButton(MouseButton button, bool down, Point at) override;
    void scroll(int32_t vertical, int32_t horizontal) override;
    void key(const KeyStroke& key) override;
    void text(std::string_view cluster) override;
    void textAhead(std::string_view utf8) override;
    void media(int keyType) override;
    void flush() override;
    bool trusted() override { return isOpen(); }

    // How many keymap uploads the sink has made, the first one included.
    size_t keymapUploads() const { return uploads_; }

private:
    void followMainOutput();
    void upload();
    void typePending();
    void keyEvent(uint32_t keycode, bool down);
    void setModifiers(xkb_mod_mask_t mask);
    void tap(const KeyChord& chord, const std::vector<KeyChord>& held = {});
    std::optional<KeyChord> chordFor(uint32_t sym);

    std::shared_ptr<WaylandConnection> connection_;
    VirtualKeymap keymap_;
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    // The global name of the output the pointer's absolute moves cover; 0 when they cover the
    // whole layout.
    uint32_t pointerOutput_ = 0;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    xkb_mod_mask_t modifiers_ = 0;
    size_t uploads_ = 0;
    // Where the last move put the pointer; unknown until the first one.
    std::optional<Point> at_;
    std::vector<uint32_t> pendingText_;
};

}  // namespace velora::wayland
