#include "platform/wayland/WaylandDisplays.h"

namespace velora::wayland {

std::vector<Rect> WaylandDisplays::active() {
    connection_->pump();
    std::vector<Rect> areas;
    for (const auto& output : connection_->outputs())
        if (output->area().width > 0 && output->area().height > 0) areas.push_back(output->area());
    return areas;
}

std::optional<Rect> WaylandDisplays::main() {
    connection_->pump();
    const Output* output = connection_->mainOutput();
    if (!output || output->area().width <= 0) return std::nullopt;
    return output->area();
}

}  // namespace velora::wayland
