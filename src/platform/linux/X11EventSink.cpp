#include "platform/linux/X11EventSink.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>

#include "platform/linux/LinuxKeymap.h"
#include "platform/linux/TextKeysyms.h"

namespace velora::linux_ {

namespace {

// A phone can send any amount; each line is one click, so a huge amount would keep the server
// thread busy for minutes.
constexpr int32_t maxScrollLines = 100;

// How long clients get to read key presses before their keys are bound anew in the same text.
constexpr auto rebindGrace = std::chrono::milliseconds(50);

constexpr unsigned wheelUp = 4, wheelDown = 5, wheelLeft = 6, wheelRight = 7;

// Xlib's default handler ends the process on any protocol error; a request that the server
// refuses (a key map change racing another client, say) must not take the program down.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Protocol coordinates are 16-bit; larger values would wrap around to the other side.
int coordinate(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::lround(std::clamp(value, -32768.0, 32767.0)));
}

unsigned logicalButton(MouseButton button) {
    switch (button) {
        case MouseButton::Left:
            return 1;
        case MouseButton::Middle:
            return 2;
        case MouseButton::Right:
            return 3;
    }
    return 1;
}

}  // namespace

X11EventSink::X11EventSink(const char* displayName) : display_(XOpenDisplay(displayName)) {
    if (display_ == nullptr) return;
    static std::once_flag handlerSet;
    std::call_once(handlerSet, [] { XSetErrorHandler(ignoreXError); });
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    xtest_ = XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor);
    keyboard_ = std::make_unique<X11Keyboard>(display_);
}

X11EventSink::~X11EventSink() {
    if (display_ == nullptr) return;
    typePending();
    keyboard_.reset();
    XCloseDisplay(display_);
}

void X11EventSink::drainEvents() {
    while (XEventsQueued(display_, QueuedAfterReading) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (keyboard_->handle(event) || event.type != MappingNotify) continue;
        XRefreshKeyboardMapping(&event.xmapping);
        if (event.xmapping.request == MappingPointer)
            buttonMap_.clear();
        else
            keyboard_->invalidate();
    }
}

Point X11EventSink::pointerLocation() {
    if (display_ == nullptr) return {};
    if (movedTo_) return *movedTo_;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &winX,
                       &winY, &mask)) {
        return {};
    }
    return {static_cast<double>(rootX), static_cast<double>(rootY)};
}

// A held button is already down on the server, so a move with it is a drag by itself.
void X11EventSink::mouseMove(Point to, std::optional<MouseButton>) {
    if (display_ == nullptr) return;
    typePending();
    const int x = coordinate(to.x), y = coordinate(to.y);
    XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
    movedTo_ = Point{static_cast<double>(x), static_cast<double>(y)};
}

// X presses a button where the pointer is, which is `at` already.
void X11EventSink::mouseButton(MouseButton button, bool down, Point) {
    if (display_ == nullptr) return;
    typePending();
    drainEvents();
    if (const auto physical = physicalButton(logicalButton(button)))
        XTestFakeButtonEvent(display_, *physical, down, CurrentTime);
}

// XTEST presses physical buttons, which the pointer's button map turns into logical ones: find
// the physical button that gives `logical`, so a left-handed map still gets what was meant.
std::optional<unsigned> X11EventSink::physicalButton(unsigned logical) {
    if (buttonMap_.empty()) {
        unsigned char map[256] = {};
        const int count = XGetPointerMapping(display_, map, sizeof map);
        buttonMap_.assign(map, map + std::max(count, 0));
    }
    const auto found = std::find(buttonMap_.begin(), buttonMap_.end(), logical);
    if (found != buttonMap_.end()) return static_cast<unsigned>(found - buttonMap_.begin()) + 1;
    // A button beyond the map's end is not remapped; one inside it is switched off.
    if (logical > buttonMap_.size()) return logical;
    return std::nullopt;
}

void X11EventSink::click(unsigned logical, int count) {
    const auto physical = physicalButton(logical);
    if (!physical) return;
    for (int i = 0; i < count; ++i) {
        XTestFakeButtonEvent(display_, *physical, True, CurrentTime);
        XTestFakeButtonEvent(display_, *physical, False, CurrentTime);
    }
}

void X11EventSink::scroll(int32_t vertical, int32_t horizontal) {
    if (display_ == nullptr) return;
    typePending();
    drainEvents();
    vertical = std::clamp(vertical, -maxScrollLines, maxScrollLines);
    horizontal = std::clamp(horizontal, -maxScrollLines, maxScrollLines);
    if (vertical != 0) click(vertical > 0 ? wheelUp : wheelDown, std::abs(vertical));
    if (horizontal != 0) click(horizontal > 0 ? wheelLeft : wheelRight, std::abs(horizontal));
}

std::optional<KeyChord> X11EventSink::chordFor(KeySym sym) {
    if (auto chord = keyboard_->findKey(sym)) return chord;
    keyboard_->bindMissing(std::span(&sym, 1));
    return keyboard_->find(sym);
}

// Presses the held keys, then the chord's own modifiers, taps its key, and releases in reverse.
void X11EventSink::tap(const KeyChord& chord, std::vector<KeyCode> held) {
    for (const KeyCode modifier : chord.modifiers)
        if (std::find(held.begin(), held.end(), modifier) == held.end()) held.push_back(modifier);
    for (const KeyCode key : held) XTestFakeKeyEvent(display_, key, True, CurrentTime);
    XTestFakeKeyEvent(display_, chord.key, True, CurrentTime);
    XTestFakeKeyEvent(display_, chord.key, False, CurrentTime);
    for (auto key = held.rbegin(); key != held.rend(); ++key)
        XTestFakeKeyEvent(display_, *key, False, CurrentTime);
}

void X11EventSink::key(const KeyStroke& stroke) {
    if (display_ == nullptr) return;
    typePending();
    drainEvents();
    const auto chord = chordFor(stroke.code);
    if (!chord) return;
    static constexpr std::pair<uint64_t, KeySym> modifierKeys[] = {
        {modifier::control, XK_Control_L},
        {modifier::shift, XK_Shift_L},
        {modifier::alt, XK_Alt_L},
        {modifier::super, XK_Super_L},
    };
    std::vector<KeyCode> held;
    for (const auto& [flag, sym] : modifierKeys) {
        if (!(stroke.flags & flag)) continue;
        if (const auto modifierChord = keyboard_->find(sym)) held.push_back(modifierChord->key);
    }
    tap(*chord, std::move(held));
    keyboard_->pressed(stroke.code);
}

void X11EventSink::text(std::string_view cluster) {
    if (display_ == nullptr) return;
    for (const uint32_t sym : keysymsForText(cluster)) pendingText_.push_back(sym);
}

// A line's text is typed a few clusters at a time with other phones' lines in between; binding
// every keysym it needs in one map change before the first slice keeps the map still while it is
// typed. A second change between slices, with no pause for clients to catch up, lost characters.
void X11EventSink::textAhead(std::string_view utf8) {
    if (display_ == nullptr) return;
    typePending();
    const std::vector<uint32_t> syms = keysymsForText(utf8);
    const std::vector<KeySym> keysyms(syms.begin(), syms.end());
    keyboard_->bindMissing(keysyms);
}

// Types the held-back text: binds the missing keysyms in one map change, taps keys until one
// is still missing (more keysyms than spare keys), and goes on with the rest the same way.
// Going on rebinds keys just pressed; clients translate a key with the map they hold when they
// read it, so they get a moment to read the earlier presses first.
void X11EventSink::typePending() {
    if (pendingText_.empty()) return;
    drainEvents();
    const std::span<const KeySym> pending(pendingText_);
    size_t next = 0;
    bool rebinding = false;
    while (next < pending.size()) {
        if (rebinding) {
            XSync(display_, False);
            std::this_thread::sleep_for(rebindGrace);
        }
        keyboard_->bindMissing(pending.subspan(next));
        const size_t start = next;
        for (; next < pending.size(); ++next) {
            const auto chord = keyboard_->find(pending[next]);
            if (!chord) break;
            tap(*chord);
        }
        const bool typed = next > start;
        if (!typed) ++next;  // cannot be placed on any key: skipped
        rebinding = typed && next < pending.size();
    }
    pendingText_.clear();
}

void X11EventSink::media(int keyType) {
    if (display_ == nullptr || keyType <= 0) return;
    typePending();
    drainEvents();
    if (const auto chord = chordFor(static_cast<KeySym>(keyType))) tap(*chord);
}

void X11EventSink::flush() {
    if (display_ == nullptr) return;
    typePending();
    drainEvents();
    XFlush(display_);
    movedTo_.reset();
}

}  // namespace velora::linux_
