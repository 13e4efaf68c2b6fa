// A client connection to a Wayland compositor: the globals Velora uses and the outputs with their
// place in the compositor's logical layout.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

struct zwlr_virtual_pointer_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_screencopy_manager_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace velora::wayland {

// One output: its logical rectangle (xdg-output, else its position and mode size) and the size
// of its pictures in pixels.
struct Output {
    wl_output* handle = nullptr;
    zxdg_output_v1* xdg = nullptr;
    uint32_t name = 0;
    Rect logical;
    bool logicalKnown = false;
    PixelSize modeSize;
    int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    // The pixel size of its pictures: the mode turned by the output's transform.
    PixelSize pixelSize() const;
    Rect area() const;
};

// Owns the display connection and the registry. Not thread-safe: one connection per thread.
class WaylandConnection {
public:
    // Connects to `name` (a socket name or absolute path; $WAYLAND_DISPLAY when null) and waits
    // until the globals and the outputs' layout are known; none when no compositor answers.
    static std::unique_ptr<WaylandConnection> connect(const char* name);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection&) = delete;
    WaylandConnection& operator=(const WaylandConnection&) = delete;

    wl_display* display() const { return display_; }
    wl_seat* seat() const { return seat_; }
    wl_shm* shm() const { return shm_; }
    zwlr_virtual_pointer_manager_v1* pointerManager() const { return pointerManager_; }
    uint32_t pointerManagerVersion() const { return pointerManagerVersion_; }
    zwp_virtual_keyboard_manager_v1* keyboardManager() const { return keyboardManager_; }
    zwlr_screencopy_manager_v1* screencopyManager() const { return screencopyManager_; }
    uint32_t screencopyVersion() const { return screencopyVersion_; }

    const std::vector<std::unique_ptr<Output>>& outputs() const { return outputs_; }
    // The output at the origin of the layout, else the first; none without outputs.
    const Output* mainOutput() const;

    // Handles whatever the compositor has sent, without waiting, except for the description of
    // an output that has just appeared. False once the connection is broken.
    bool pump();
    // Sends the requests made so far; false once the connection is broken.
    bool flush();
    // Waits up to `timeoutMs` for events and handles them; false on timeout or a broken link.
    bool waitAndDispatch(int timeoutMs);
    // Sends everything and waits until the compositor has handled it.
    bool roundtrip();

private:
    explicit WaylandConnection(wl_display* display);
    static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void globalRemove(void* data, wl_registry* registry, uint32_t name);
    void addOutput(uint32_t name, uint32_t version);
    void watchLayout(Output& output);

    wl_display* display_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager_ = nullptr;
    uint32_t pointerManagerVersion_ = 0;
    zwp_virtual_keyboard_manager_v1* keyboardManager_ = nullptr;
    zwlr_screencopy_manager_v1* screencopyManager_ = nullptr;
    uint32_t screencopyVersion_ = 0;
    zxdg_output_manager_v1* xdgOutputManager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
    // An output was bound since the last round trip; its description is still on its way.
    bool outputsAdded_ = false;
};

// Whether a Wayland compositor answers on `name` ($WAYLAND_DISPLAY when null) now.
bool compositorReachable(const char* name);

}  // namespace velora::wayland
