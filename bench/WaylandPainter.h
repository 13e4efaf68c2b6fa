// A small Wayland client that shows the same picture as the X11 benchmarks' desktop: a window
// (which sway tiles over the whole output) with a still background and the 480x270 "video"
// region redrawn 15 times a second, each time with only that region damaged.
#pragma once

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "BenchDesktop.h"
#include "xdg-shell-client-protocol.h"

namespace bench {

class WaylandPainter {
public:
    // Paints on the compositor at `socket` until the process is ended.
    [[noreturn]] static void run(const std::string& socket) {
        WaylandPainter painter;
        if (!painter.open(socket)) _exit(1);
        for (int frame = 0;; ++frame) {
            painter.draw(frame);
            painter.next_ += std::chrono::microseconds(66667);
            painter.waitUntilNext();
        }
    }

private:
    bool open(const std::string& socket) {
        display_ = wl_display_connect(socket.c_str());
        if (!display_) return false;
        wl_registry* registry = wl_display_get_registry(display_);
        static const wl_registry_listener registryListener = {
            [](void* data, wl_registry* r, uint32_t name, const char* interface, uint32_t) {
                auto* self = static_cast<WaylandPainter*>(data);
                const std::string_view kind = interface;
                if (kind == wl_compositor_interface.name)
                    self->compositor_ = static_cast<wl_compositor*>(
                        wl_registry_bind(r, name, &wl_compositor_interface, 4));
                else if (kind == wl_shm_interface.name)
                    self->shm_ =
                        static_cast<wl_shm*>(wl_registry_bind(r, name, &wl_shm_interface, 1));
                else if (kind == xdg_wm_base_interface.name)
                    self->shell_ = static_cast<xdg_wm_base*>(
                        wl_registry_bind(r, name, &xdg_wm_base_interface, 1));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry, &registryListener, this);
        wl_display_roundtrip(display_);
        if (!compositor_ || !shm_ || !shell_) return false;
        static const xdg_wm_base_listener shellListener = {
            [](void*, xdg_wm_base* shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); }};
        xdg_wm_base_add_listener(shell_, &shellListener, this);

        surface_ = wl_compositor_create_surface(compositor_);
        xdg_surface* shellSurface = xdg_wm_base_get_xdg_surface(shell_, surface_);
        static const xdg_surface_listener surfaceListener = {
            [](void* data, xdg_surface* s, uint32_t serial) {
                xdg_surface_ack_configure(s, serial);
                static_cast<WaylandPainter*>(data)->configured_ = true;
            }};
        xdg_surface_add_listener(shellSurface, &surfaceListener, this);
        xdg_toplevel_set_title(xdg_surface_get_toplevel(shellSurface), "velora-bench");
        wl_surface_commit(surface_);
        while (!configured_ && wl_display_dispatch(display_) >= 0) {
        }
        return configured_ && makeBuffer();
    }

    // One buffer the size of the output with the still picture; the compositor reads it when it
    // draws, and the painter changes only the region it damages.
    bool makeBuffer() {
        const int stride = kWidth * 4;
        const size_t size = static_cast<size_t>(stride) * kHeight;
        const int fd = memfd_create("velora-bench-painter", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) return false;
        void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (data == MAP_FAILED) return false;
        pixels_ = static_cast<uint32_t*>(data);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels_[static_cast<size_t>(y) * kWidth + x] =
                    0xFF000000u | static_cast<uint32_t>((30 + x * 60 / kWidth) << 16 |
                                                        (60 + y * 80 / kHeight) << 8 | 160);
        wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(size));
        buffer_ =
            wl_shm_pool_create_buffer(pool, 0, kWidth, kHeight, stride, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
        close(fd);
        wl_surface_attach(surface_, buffer_, 0, 0);
        wl_surface_damage_buffer(surface_, 0, 0, kWidth, kHeight);
        wl_surface_commit(surface_);
        wl_display_flush(display_);
        return true;
    }

    void draw(int frame) {
        videoFrame(region_, frame);
        for (int y = 0; y < kRegionH; ++y)
            std::memcpy(pixels_ + static_cast<size_t>(kRegionY + y) * kWidth + kRegionX,
                        region_.data() + static_cast<size_t>(y) * kRegionW, kRegionW * 4);
        wl_surface_attach(surface_, buffer_, 0, 0);
        wl_surface_damage_buffer(surface_, kRegionX, kRegionY, kRegionW, kRegionH);
        wl_surface_commit(surface_);
        wl_display_flush(display_);
    }

    // Answers the compositor (pings, buffer releases) while waiting for the next frame's time.
    void waitUntilNext() {
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                next_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) return;
            pollfd in{wl_display_get_fd(display_), POLLIN, 0};
            if (poll(&in, 1, static_cast<int>(left.count())) > 0) wl_display_dispatch(display_);
        }
    }

    wl_display* display_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    xdg_wm_base* shell_ = nullptr;
    wl_surface* surface_ = nullptr;
    wl_buffer* buffer_ = nullptr;
    uint32_t* pixels_ = nullptr;
    bool configured_ = false;
    std::vector<uint32_t> region_;
    std::chrono::steady_clock::time_point next_ = std::chrono::steady_clock::now();
};

}  // namespace bench
