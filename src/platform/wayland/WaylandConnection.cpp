#include "platform/wayland/WaylandConnection.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace velora::wayland {

namespace {

// The newest versions whose requests and events this client knows.
constexpr uint32_t kSeatVersion = 1;
constexpr uint32_t kShmVersion = 1;
constexpr uint32_t kOutputVersion = 2;
constexpr uint32_t kPointerManagerVersion = 2;
constexpr uint32_t kScreencopyVersion = 3;
constexpr uint32_t kXdgOutputVersion = 2;

template <typename T>
T* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t known) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, known)));
}

void outputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                    const char*, const char*, int32_t transform) {
    auto* output = static_cast<Output*>(data);
    if (!output->logicalKnown) {
        output->logical.x = x;
        output->logical.y = y;
    }
    output->transform = transform;
}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT)) return;
    static_cast<Output*>(data)->modeSize = {width, height};
}

void outputDone(void*, wl_output*) {}
void outputScale(void*, wl_output*, int32_t) {}
void outputText(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {outputGeometry, outputMode, outputDone,
                                           outputScale,    outputText, outputText};

void xdgPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto* output = static_cast<Output*>(data);
    output->logical.x = x;
    output->logical.y = y;
    output->logicalKnown = true;
}

void xdgSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
    auto* output = static_cast<Output*>(data);
    output->logical.width = width;
    output->logical.height = height;
    output->logicalKnown = true;
}

void xdgDone(void*, zxdg_output_v1*) {}
void xdgName(void*, zxdg_output_v1*, const char*) {}
void xdgDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {xdgPosition, xdgSize, xdgDone, xdgName,
                                                   xdgDescription};

// libwayland finds a relative socket name in $XDG_RUNTIME_DIR and complains on standard error
// when that is unset; without it there is nothing to reach.
wl_display* connectQuietly(const char* name) {
    const char* socket = name != nullptr ? name : std::getenv("WAYLAND_DISPLAY");
    const bool absolute = socket != nullptr && socket[0] == '/';
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!absolute && (runtime == nullptr || runtime[0] == '\0')) return nullptr;
    return wl_display_connect(name);
}

}  // namespace

PixelSize Output::pixelSize() const {
    const bool turned =
        transform == WL_OUTPUT_TRANSFORM_90 || transform == WL_OUTPUT_TRANSFORM_270 ||
        transform == WL_OUTPUT_TRANSFORM_FLIPPED_90 || transform == WL_OUTPUT_TRANSFORM_FLIPPED_270;
    return turned ? PixelSize{modeSize.height, modeSize.width} : modeSize;
}

// Without xdg-output the logical size is taken to be the pixel size (scale 1).
Rect Output::area() const {
    if (logical.width > 0 && logical.height > 0) return logical;
    const PixelSize pixels = pixelSize();
    return {logical.x, logical.y, static_cast<double>(pixels.width),
            static_cast<double>(pixels.height)};
}

std::unique_ptr<WaylandConnection> WaylandConnection::connect(const char* name) {
    wl_display* display = connectQuietly(name);
    if (display == nullptr) return nullptr;
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection(display));
    // The first round trip lists the globals, the second brings the outputs' descriptions.
    if (!connection->roundtrip() || !connection->roundtrip()) return nullptr;
    connection->outputsAdded_ = false;
    return connection;
}

WaylandConnection::WaylandConnection(wl_display* display) : display_(display) {
    static const wl_registry_listener registryListener = {&WaylandConnection::global,
                                                          &WaylandConnection::globalRemove};
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
}

WaylandConnection::~WaylandConnection() {
    for (const auto& output : outputs_) {
        if (output->xdg) zxdg_output_v1_destroy(output->xdg);
        wl_output_destroy(output->handle);
    }
    if (xdgOutputManager_) zxdg_output_manager_v1_destroy(xdgOutputManager_);
    if (screencopyManager_) zwlr_screencopy_manager_v1_destroy(screencopyManager_);
    if (keyboardManager_) zwp_virtual_keyboard_manager_v1_destroy(keyboardManager_);
    if (pointerManager_) zwlr_virtual_pointer_manager_v1_destroy(pointerManager_);
    if (shm_) wl_shm_destroy(shm_);
    if (seat_) wl_seat_destroy(seat_);
    wl_registry_destroy(registry_);
    wl_display_disconnect(display_);
}

void WaylandConnection::global(void* data, wl_registry* registry, uint32_t name,
                               const char* interface, uint32_t version) {
    auto* self = static_cast<WaylandConnection*>(data);
    const std::string_view kind = interface;
    if (kind == wl_seat_interface.name && !self->seat_) {
        self->seat_ = bind<wl_seat>(registry, name, &wl_seat_interface, version, kSeatVersion);
    } else if (kind == wl_shm_interface.name) {
        self->shm_ = bind<wl_shm>(registry, name, &wl_shm_interface, version, kShmVersion);
    } else if (kind == wl_output_interface.name) {
        self->addOutput(name, version);
    } else if (kind == zwlr_virtual_pointer_manager_v1_interface.name) {
        self->pointerManagerVersion_ = std::min(version, kPointerManagerVersion);
        self->pointerManager_ = bind<zwlr_virtual_pointer_manager_v1>(
            registry, name, &zwlr_virtual_pointer_manager_v1_interface, version,
            kPointerManagerVersion);
    } else if (kind == zwp_virtual_keyboard_manager_v1_interface.name) {
        self->keyboardManager_ = bind<zwp_virtual_keyboard_manager_v1>(
            registry, name, &zwp_virtual_keyboard_manager_v1_interface, version, 1);
    } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
        self->screencopyVersion_ = std::min(version, kScreencopyVersion);
        self->screencopyManager_ = bind<zwlr_screencopy_manager_v1>(
            registry, name, &zwlr_screencopy_manager_v1_interface, version, kScreencopyVersion);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        self->xdgOutputManager_ = bind<zxdg_output_manager_v1>(
            registry, name, &zxdg_output_manager_v1_interface, version, kXdgOutputVersion);
        for (const auto& output : self->outputs_) self->watchLayout(*output);
    }
}

void WaylandConnection::globalRemove(void* data, wl_registry*, uint32_t name) {
    auto& outputs = static_cast<WaylandConnection*>(data)->outputs_;
    std::erase_if(outputs, [name](const std::unique_ptr<Output>& output) {
        if (output->name != name) return false;
        if (output->xdg) zxdg_output_v1_destroy(output->xdg);
        wl_output_destroy(output->handle);
        return true;
    });
}

void WaylandConnection::addOutput(uint32_t name, uint32_t version) {
    auto output = std::make_unique<Output>();
    output->name = name;
    output->handle =
        bind<wl_output>(registry_, name, &wl_output_interface, version, kOutputVersion);
    wl_output_add_listener(output->handle, &outputListener, output.get());
    watchLayout(*output);
    outputs_.push_back(std::move(output));
    outputsAdded_ = true;
}

void WaylandConnection::watchLayout(Output& output) {
    if (!xdgOutputManager_ || output.xdg) return;
    output.xdg = zxdg_output_manager_v1_get_xdg_output(xdgOutputManager_, output.handle);
    zxdg_output_v1_add_listener(output.xdg, &xdgOutputListener, &output);
}

const Output* WaylandConnection::mainOutput() const {
    for (const auto& output : outputs_) {
        const Rect area = output->area();
        if (area.x == 0 && area.y == 0 && area.width > 0) return output.get();
    }
    return outputs_.empty() ? nullptr : outputs_.front().get();
}

bool WaylandConnection::flush() {
    while (wl_display_flush(display_) < 0) {
        if (errno != EAGAIN) return false;
        pollfd out{wl_display_get_fd(display_), POLLOUT, 0};
        if (::poll(&out, 1, 1000) <= 0) return false;
    }
    return true;
}

// An output that appeared in what was just read has been bound, but its mode and place come
// only in answer to that: wait for them, so that the layout is whole before anyone reads it.
bool WaylandConnection::pump() {
    const bool alive = waitAndDispatch(0) || wl_display_get_error(display_) == 0;
    if (!alive || !outputsAdded_) return alive;
    outputsAdded_ = false;
    return roundtrip();
}

bool WaylandConnection::waitAndDispatch(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) return false;
    }
    if (!flush()) {
        wl_display_cancel_read(display_);
        return false;
    }
    pollfd in{wl_display_get_fd(display_), POLLIN, 0};
    if (::poll(&in, 1, timeoutMs) <= 0) {
        wl_display_cancel_read(display_);
        return false;
    }
    if (wl_display_read_events(display_) < 0) return false;
    return wl_display_dispatch_pending(display_) >= 0;
}

bool WaylandConnection::roundtrip() {
    return wl_display_roundtrip(display_) >= 0;
}

bool compositorReachable(const char* name) {
    wl_display* display = connectQuietly(name);
    if (display == nullptr) return false;
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_display_disconnect(display);
    return answered;
}

}  // namespace velora::wayland
