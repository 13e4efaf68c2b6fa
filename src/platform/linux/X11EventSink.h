// Synthesized input on X11 through the XTEST extension, on a connection of its own.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "platform/linux/X11Keyboard.h"

namespace velora::linux_ {

// Posts pointer, key, text and media input to an X display. Server thread only.
//
// Moves, clicks and keys are buffered by Xlib and go out at flush(). Typed text is held back
// until the next other input or flush(), so that all keysyms of a batch that are missing from
// the keyboard get their spare keys in one map change rather than one change per character.
class X11EventSink : public EventSink {
public:
    // Opens `displayName`, or $DISPLAY when null; check isOpen().
    explicit X11EventSink(const char* displayName);
    ~X11EventSink() override;
    X11EventSink(const X11EventSink&) = delete;
    X11EventSink& operator=(const X11EventSink&) = delete;

    bool isOpen() const { return display_ != nullptr; }

    Point pointerLocation() override;
    void mouseMove(Point to, std::optional<MouseButton> held) override;
    void mouseButton(MouseButton button, bool down, Point at) override;
    void scroll(int32_t vertical, int32_t horizontal) override;
    void key(const KeyStroke& key) override;
    void text(std::string_view cluster) override;
    void textAhead(std::string_view utf8) override;
    void media(int keyType) override;
    void flush() override;
    bool trusted() override { return display_ != nullptr && xtest_; }

    // How many spare keys carry keysyms that the keyboard map lacks.
    size_t spareBindings() const { return keyboard_ ? keyboard_->bindingCount() : 0; }

private:
    void drainEvents();
    void typePending();
    void tap(const KeyChord& chord, std::vector<KeyCode> held = {});
    std::optional<KeyChord> chordFor(KeySym sym);
    std::optional<unsigned> physicalButton(unsigned logical);
    void click(unsigned logical, int count);

    Display* display_ = nullptr;
    bool xtest_ = false;
    std::unique_ptr<X11Keyboard> keyboard_;
    // Where the last move put the pointer, until the next flush().
    std::optional<Point> movedTo_;
    // The pointer's button map (logical button of each physical one), read when first needed.
    std::vector<unsigned char> buttonMap_;
    std::vector<KeySym> pendingText_;
};

}  // namespace velora::linux_
