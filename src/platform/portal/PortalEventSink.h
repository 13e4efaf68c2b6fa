// Synthesized input through the desktop portal's RemoteDesktop session.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "platform/Platform.h"
#include "platform/portal/PortalSession.h"
#include "platform/wayland/VirtualKeymap.h"

namespace velora::portal {

// How typed characters reach the desktop. The portal resolves a keysym to a key of the
// desktop's current layout and drops keysyms that layout lacks, so characters beyond ASCII
// either go out as keysyms (typed where the layout has them) or, where the input method
// understands it, as a Ctrl+Shift+U hexadecimal entry that types any character.
enum class TextRoute { Keysyms, HexEntry };

// Posts input into a started PortalSession; nothing goes out while the session is not started.
// Named keys, modifiers and media keys go as evdev codes (layout-independent); text goes as
// keysyms. Relative moves go as relative motion; moves to a point go as absolute motion in the
// screen cast stream's logical pixels when the session has one, else as the relative motion
// from where Velora last put the pointer (Wayland does not tell where the pointer is).
class PortalEventSink : public EventSink {
public:
    PortalEventSink(std::shared_ptr<PortalSession> session, std::shared_ptr<Displays> displays,
                    TextRoute route);

    Point pointerLocation() override;
    void mouseMove(Point to, std::optional<MouseButton> held) override;
    void mouseMoveBy(Point by, Point to, std::optional<MouseButton> held) override;
    void mouseButton(MouseButton button, bool down, Point at) override;
    void scroll(int32_t vertical, int32_t horizontal) override;
    void key(const KeyStroke& key) override;
    void text(std::string_view cluster) override;
    void media(int keyType) override;
    bool trusted() override { return session_->started(); }

private:
    std::optional<int32_t> evdevCode(uint32_t keysym);
    void tapKeysym(uint32_t keysym);
    void tapKeycode(int32_t code);
    void hexEntry(char32_t codePoint);

    std::shared_ptr<PortalSession> session_;
    std::shared_ptr<Displays> displays_;
    TextRoute route_;
    // The key positions of a US layout: the evdev codes of named, modifier and media keys.
    wayland::VirtualKeymap keys_;
    std::optional<Point> at_;
};

}  // namespace velora::portal
