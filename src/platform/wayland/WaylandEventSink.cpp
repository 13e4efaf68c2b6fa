#include "platform/wayland/WaylandEventSink.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "platform/linux/EvdevButtons.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/TextKeysyms.h"
#include "platform/wayland/OutputOrientation.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace velora::wayland {

namespace {

// A phone can send any amount; each line is one wheel step.
constexpr int32_t maxScrollLines = 100;
// The distance of one wheel step, as physical wheels report it.
constexpr int32_t wheelStepDistance = 15;
// XKB keycodes are evdev codes plus 8.
constexpr uint32_t evdevOffset = 8;

uint32_t nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

bool inside(const Rect& area, Point point) {
    return point.x >= area.minX() && point.x <= area.maxX() && point.y >= area.minY() &&
           point.y <= area.maxY();
}

uint32_t gridPosition(double offset, double extent) {
    return static_cast<uint32_t>(std::lround(std::clamp(offset, 0.0, extent)));
}

}  // namespace

WaylandEventSink::WaylandEventSink(std::shared_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {
    if (!connection_->seat() || !keymap_.valid()) return;
    if (connection_->keyboardManager()) {
        keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(
            connection_->keyboardManager(), connection_->seat());
        upload();
    }
    if (connection_->pointerManager()) followMainOutput();
    // A compositor that refuses the devices closes the connection: not open then.
    if (!connection_->roundtrip()) {
        keyboard_ = nullptr;
        pointer_ = nullptr;
    }
}

WaylandEventSink::~WaylandEventSink() {
    typePending();
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (keyboard_) zwp_virtual_keyboard_v1_destroy(keyboard_);
    connection_->flush();
}

// Absolute moves cover the main output, so a new main output needs a new pointer (the seat
// keeps its cursor where it was).
void WaylandEventSink::followMainOutput() {
    const Output* main = connection_->mainOutput();
    const Output* output = main && connection_->pointerManagerVersion() >= 2 ? main : nullptr;
    // Outputs are told apart by their global's name: a removed output's handle is freed, and a
    // new one may get its address.
    const uint32_t name = output ? output->name : 0;
    if (pointer_ && name == pointerOutput_) return;
    if (pointer_) zwlr_virtual_pointer_v1_destroy(pointer_);
    auto* manager = connection_->pointerManager();
    pointer_ = output ? zwlr_virtual_pointer_manager_v1_create_virtual_pointer_with_output(
                            manager, connection_->seat(), output->handle)
                      : zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager,
                                                                               connection_->seat());
    pointerOutput_ = name;
}

// Clients get the whole map at each upload; the descriptor only has to live for the request.
void WaylandEventSink::upload() {
    const std::string text = keymap_.text();
    const int fd = memfd_create("velora-keymap", MFD_CLOEXEC);
    if (fd < 0) return;
    const size_t size = text.size() + 1;
    if (::write(fd, text.c_str(), size) == static_cast<ssize_t>(size)) {
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<uint32_t>(size));
        ++uploads_;
    }
    ::close(fd);
}

Point WaylandEventSink::pointerLocation() {
    if (at_) return *at_;
    const Output* main = connection_->mainOutput();
    if (!main) return {};
    const Rect area = main->area();
    return {area.x + area.width / 2, area.y + area.height / 2};
}

void WaylandEventSink::mouseMove(Point to, std::optional<MouseButton>) {
    if (!pointer_) return;
    typePending();
    connection_->pump();
    followMainOutput();
    const Output* main = connection_->mainOutput();
    if (main && pointerOutput_ == main->name && inside(main->area(), to)) {
        const Rect area = main->area();
        const auto width = static_cast<uint32_t>(area.width);
        const auto height = static_cast<uint32_t>(area.height);
        const GridPoint point =
            deviceGrid(gridPosition(to.x - area.x, width), gridPosition(to.y - area.y, height),
                       width, height, main->transform);
        zwlr_virtual_pointer_v1_motion_absolute(pointer_, nowMs(), point.x, point.y, point.xExtent,
                                                point.yExtent);
    } else {
        const Point from = pointerLocation();
        zwlr_virtual_pointer_v1_motion(pointer_, nowMs(), wl_fixed_from_double(to.x - from.x),
                                       wl_fixed_from_double(to.y - from.y));
    }
    zwlr_virtual_pointer_v1_frame(pointer_);
    at_ = to;
    // The compositor keeps the pointer on the output's pixels: a move to its far edge ends on
    // the last one.
    if (main) {
        const Rect area = main->area();
        at_->x = std::min(at_->x, area.maxX() - 1);
        at_->y = std::min(at_->y, area.maxY() - 1);
    }
}

// A pressed button is held on the seat, so a move with it is a drag by itself.
void WaylandEventSink::mouseMoveBy(Point by, Point to, std::optional<MouseButton>) {
    if (!pointer_) return;
    typePending();
    zwlr_virtual_pointer_v1_motion(pointer_, nowMs(), wl_fixed_from_double(by.x),
                                   wl_fixed_from_double(by.y));
    zwlr_virtual_pointer_v1_frame(pointer_);
    at_ = to;
}

void WaylandEventSink::mouseButton(MouseButton button, bool down, Point) {
    if (!pointer_) return;
    typePending();
    zwlr_virtual_pointer_v1_button(
        pointer_, nowMs(), linux_::evdevButton(button),
        down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer_);
}

// Velora's lines count up and left as positive, Wayland's axes down and right.
void WaylandEventSink::scroll(int32_t vertical, int32_t horizontal) {
    if (!pointer_) return;
    typePending();
    const std::pair<uint32_t, int32_t> axes[] = {
        {WL_POINTER_AXIS_VERTICAL_SCROLL, -std::clamp(vertical, -maxScrollLines, maxScrollLines)},
        {WL_POINTER_AXIS_HORIZONTAL_SCROLL,
         -std::clamp(horizontal, -maxScrollLines, maxScrollLines)},
    };
    for (const auto& [axis, steps] : axes) {
        if (steps == 0) continue;
        zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
        zwlr_virtual_pointer_v1_axis_discrete(pointer_, nowMs(), axis,
                                              wl_fixed_from_int(steps * wheelStepDistance), steps);
        zwlr_virtual_pointer_v1_frame(pointer_);
    }
}

void WaylandEventSink::keyEvent(uint32_t keycode, bool down) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, nowMs(), keycode - evdevOffset,
        down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
}

// The compositor takes a virtual keyboard's modifiers from this request, not from its keys.
void WaylandEventSink::setModifiers(xkb_mod_mask_t mask) {
    if (mask == modifiers_) return;
    zwp_virtual_keyboard_v1_modifiers(keyboard_, mask, 0, 0, 0);
    modifiers_ = mask;
}

// Presses the held modifier keys, then taps the chord's key with its own modifiers, and
// releases in reverse.
void WaylandEventSink::tap(const KeyChord& chord, const std::vector<KeyChord>& held) {
    xkb_mod_mask_t mask = 0;
    for (const KeyChord& modifier : held) {
        keyEvent(modifier.keycode, true);
        mask |= modifier.modifiers;
        setModifiers(mask);
    }
    setModifiers(mask | chord.modifiers);
    keyEvent(chord.keycode, true);
    keyEvent(chord.keycode, false);
    setModifiers(mask);
    for (auto modifier = held.rbegin(); modifier != held.rend(); ++modifier) {
        keyEvent(modifier->keycode, false);
        mask &= ~modifier->modifiers;
        setModifiers(mask);
    }
}

std::optional<KeyChord> WaylandEventSink::chordFor(uint32_t sym) {
    if (auto chord = keymap_.find(sym)) return chord;
    if (keymap_.bindMissing(std::span(&sym, 1))) upload();
    return keymap_.find(sym);
}

void WaylandEventSink::key(const KeyStroke& stroke) {
    if (!keyboard_) return;
    typePending();
    const auto chord = chordFor(stroke.code);
    if (!chord) return;
    static constexpr struct {
        uint64_t flag;
        uint32_t sym;
        const char* modifier;
    } modifierKeys[] = {
        {linux_::modifier::control, XKB_KEY_Control_L, XKB_MOD_NAME_CTRL},
        {linux_::modifier::shift, XKB_KEY_Shift_L, XKB_MOD_NAME_SHIFT},
        {linux_::modifier::alt, XKB_KEY_Alt_L, XKB_MOD_NAME_ALT},
        {linux_::modifier::super, XKB_KEY_Super_L, XKB_MOD_NAME_LOGO},
    };
    std::vector<KeyChord> held;
    for (const auto& key : modifierKeys) {
        if (!(stroke.flags & key.flag)) continue;
        if (const auto found = keymap_.find(key.sym))
            held.push_back({found->keycode, keymap_.modifierMask(key.modifier)});
    }
    tap(*chord, held);
}

void WaylandEventSink::text(std::string_view cluster) {
    if (!keyboard_) return;
    for (const uint32_t sym : linux_::keysymsForText(cluster)) pendingText_.push_back(sym);
}

// Every upload sends the whole map to clients again: one for the whole line, where the spare
// keys suffice, rather than one for each piece of it.
void WaylandEventSink::textAhead(std::string_view utf8) {
    if (!keyboard_) return;
    typePending();
    if (keymap_.bindMissing(linux_::keysymsForText(utf8))) upload();
}

// Binds the keysyms the held-back text lacks in one upload, taps keys until one is still
// missing (more keysyms than spare keys), and goes on with the rest the same way. A client
// reads each key press with the map it received before it, so rebinding at once is safe.
void WaylandEventSink::typePending() {
    if (pendingText_.empty()) return;
    const std::span<const uint32_t> pending(pendingText_);
    size_t next = 0;
    while (next < pending.size()) {
        if (keymap_.bindMissing(pending.subspan(next))) upload();
        const size_t start = next;
        for (; next < pending.size(); ++next) {
            const auto chord = keymap_.find(pending[next]);
            if (!chord) break;
            tap(*chord);
        }
        if (next == start) ++next;  // cannot be placed on any key: skipped
    }
    pendingText_.clear();
}

void WaylandEventSink::media(int keyType) {
    if (!keyboard_ || keyType <= 0) return;
    typePending();
    if (const auto chord = chordFor(static_cast<uint32_t>(keyType))) tap(*chord);
}

void WaylandEventSink::flush() {
    typePending();
    connection_->flush();
}

}  // namespace velora::wayland
