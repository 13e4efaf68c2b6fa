// The compositor's outputs in its logical layout.
#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/wayland/WaylandConnection.h"

namespace velora::wayland {

// Outputs as xdg-output places them. Server thread only: it shares the connection with the
// event sink, and reads whatever the compositor has sent about outputs without waiting.
class WaylandDisplays : public Displays {
public:
    explicit WaylandDisplays(std::shared_ptr<WaylandConnection> connection)
        : connection_(std::move(connection)) {}

    std::vector<Rect> active() override;
    // The output at the layout's origin, else the first.
    std::optional<Rect> main() override;

private:
    std::shared_ptr<WaylandConnection> connection_;
};

}  // namespace velora::wayland
