#pragma once

#include <vector>

#include "platform/Platform.h"

namespace velora::sim {

// Displays that tests set: the active list and the main display, each on its own.
class SimDisplays : public Displays {
  public:
    std::vector<Rect> displays;
    std::optional<Rect> mainDisplay;

    std::vector<Rect> active() override { return displays; }
    std::optional<Rect> main() override { return mainDisplay; }
};

}  // namespace velora::sim
