// The seam between Velora's core and an operating system. Interfaces only: each platform folder
// (linux/, macos/, sim/) implements what it can, and the core never sees a system header.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velora {

struct Point {
    double x = 0;
    double y = 0;
    bool operator==(const Point&) const = default;
};

// A rectangle in global display coordinates: origin top-left, y grows downwards.
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double minX() const { return x; }
    double minY() const { return y; }
    double maxX() const { return x + width; }
    double maxY() const { return y + height; }
    bool operator==(const Rect&) const = default;
};

enum class MouseButton { Left, Right, Middle };

// A platform key code with the platform's modifier flags that go with it.
struct KeyStroke {
    uint32_t code = 0;
    uint64_t flags = 0;
    bool operator==(const KeyStroke&) const = default;
};

// Where synthesized input goes. Calls arrive on the server thread only.
class EventSink {
public:
    virtual ~EventSink() = default;
    // The pointer's current position; (0, 0) when it cannot be read.
    virtual Point pointerLocation() = 0;
    // A pointer move to an absolute point; a drag of `held` when a button is down.
    virtual void mouseMove(Point to, std::optional<MouseButton> held) = 0;
    // A relative move by `by`, worked out from pointerLocation() to end at `to`. Sinks that
    // cannot read the pointer's position move it by the distance; the others go to `to`.
    virtual void mouseMoveBy(Point by, Point to, std::optional<MouseButton> held) {
        (void)by;
        mouseMove(to, held);
    }
    virtual void mouseButton(MouseButton button, bool down, Point at) = 0;
    // One scroll event: `vertical` lines (wheel 1) and `horizontal` lines (wheel 2).
    virtual void scroll(int32_t vertical, int32_t horizontal) = 0;
    // A key press and release carrying exactly `key.flags` as modifiers.
    virtual void key(const KeyStroke& key) = 0;
    // One extended grapheme cluster of text, as UTF-8, typed as written.
    virtual void text(std::string_view cluster) = 0;
    // The whole text of a line that text() will then get a few clusters at a time: a sink that
    // binds keys for characters can bind all of them at once.
    virtual void textAhead(std::string_view utf8) { (void)utf8; }
    // One media key press and release; `keyType` comes from the Keymap.
    virtual void media(int keyType) = 0;
    // Pushes out whatever the sink batched; called once per batch of command lines.
    virtual void flush() {}
    // Whether posted input reaches the system (the "ax" of INFO).
    virtual bool trusted() = 0;
};

// A power action: a key press (a lock shortcut) or a command line started without waiting.
struct PowerAction {
    std::optional<KeyStroke> press;
    std::vector<std::string> command;
};

// A platform's key, media and power tables.
class Keymap {
public:
    virtual ~Keymap() = default;
    // A named key ("ENTER", "F5", ...); the name is already upper case.
    virtual std::optional<uint32_t> named(std::string_view upperName) const = 0;
    // A key that produces this lower-case character unshifted (the 47 US-layout characters).
    virtual std::optional<uint32_t> character(char lower) const = 0;
    // The whole-screen screenshot shortcut ("PRTSC").
    virtual KeyStroke printScreen() const = 0;
    virtual uint64_t shiftFlag() const = 0;
    // The flag a hotkey applies for a modifier name (already lower case), or none if unknown.
    virtual std::optional<uint64_t> hotkeyModifier(std::string_view lowerName) const = 0;
    // The Return key, pressed for a line feed or carriage return in typed text.
    virtual KeyStroke returnKey() const = 0;
    // The media key type for a name (already upper case).
    virtual std::optional<int> mediaKey(std::string_view upperName) const = 0;
    // The power action for a name (already upper case).
    virtual std::optional<PowerAction> power(std::string_view upperName) const = 0;
};

// The active displays in global coordinates.
class Displays {
public:
    virtual ~Displays() = default;
    virtual std::vector<Rect> active() = 0;
    // The main display's bounds, or none when there is no display.
    virtual std::optional<Rect> main() = 0;
};

// Starts child processes without waiting for them.
class Launcher {
public:
    virtual ~Launcher() = default;
    // True when the process was started.
    virtual bool launch(const std::vector<std::string>& argv) = 0;
    // Runs a process to its end, output discarded; returns promptly when it cannot start.
    virtual void run(const std::vector<std::string>& argv) = 0;
};

// An image in 32-bit BGRA pixels (B, G, R, A bytes in memory), rows packed.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    bool operator==(const Image&) const = default;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// Rows [begin, end) of a picture.
struct PictureRows {
    int begin = 0;
    int end = 0;
    bool operator==(const PictureRows&) const = default;
};

// The main display as a picture source for the live view. Used from a streamer thread; one
// source serves one viewer.
class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // The main display's size in pixels; 0 x 0 when there is none.
    virtual PixelSize pixelSize() = 0;
    // A picture of the main display scaled to `size`, or none.
    virtual std::optional<Image> capture(PixelSize size) = 0;
    // The same picture in a buffer that the source keeps and updates in place, so that no whole
    // picture is copied per frame; it stays valid and unchanged until the next capture call.
    // `changed` receives runs of rows outside which the picture equals the one the previous call
    // returned; every row when the source cannot tell. The default keeps a capture().
    virtual const Image* captureInPlace(PixelSize size, std::vector<PictureRows>& changed) {
        std::optional<Image> image = capture(size);
        if (!image) return nullptr;
        kept_ = std::move(*image);
        changed.assign(1, {0, kept_.height});
        return &kept_;
    }
    // True when nothing may have changed since the last capture (always false where unknown).
    virtual bool unchangedSinceLastCapture() { return false; }

private:
    Image kept_;
};

// Facts about the computer.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    virtual std::string computerName() = 0;
    virtual std::string os() = 0;
    // The address shown in the menu: first up, non-loopback IPv4 of a LAN interface, or none.
    virtual std::optional<std::string> localAddress() = 0;
    // The host name as the LAN knows it, up to its first dot; empty when unknown.
    virtual std::string hostName() = 0;
    // Every address of an interface that is up, loopback and IPv6 link-local left out: IPv4
    // first, and within each family the wired and wireless interfaces before the others.
    virtual std::vector<std::string> localAddresses() = 0;
    // Whether `name` resolves to an address of this computer within `bound`; a lookup that takes
    // longer counts as no.
    virtual bool resolvesToSelf(const std::string& name, std::chrono::milliseconds bound) = 0;
};

// Everything a platform offers, as one bundle for the program's wiring.
struct Platform {
    std::shared_ptr<EventSink> events;
    std::shared_ptr<Keymap> keymap;
    std::shared_ptr<Displays> displays;
    std::shared_ptr<Launcher> launcher;
    std::shared_ptr<SystemInfo> system;
    // Makes one capture source per viewer; none when the screen cannot be captured.
    std::function<std::unique_ptr<ScreenSource>()> screenSource;
    // Whether the screen may be captured (the viewer's permission check).
    std::function<bool()> screenPermission;
    // Asks the person again for consent to input (the desktop portal's dialog), without waiting
    // for the answer; empty where no consent is needed or asked for. Called on the shell's
    // thread, only when the person chooses to.
    std::function<void()> askConsent;
    // Which backend serves input and the screen, as the shells name it ("X11", "wlroots
    // (Wayland)"), and what could not start, as a sentence; empty when everything did.
    std::string backend;
    std::string unavailable;
    // The shells' string key for `unavailable`, so that they can say it in the person's language
    // while log.txt keeps the sentence above; empty where the sentence has no translation.
    std::string unavailableKey;
};

}  // namespace velora
