#pragma once

#include <vector>

#include "platform/macos/MacEventPoster.h"

namespace velora::sim {

// Records the macOS profile's events instead of posting them; the pointer follows posted moves
// and drags as the system's would.
class RecordingMacPoster : public macos::MacEventPoster {
  public:
    std::vector<macos::CGEventRecord> posted;
    Point pointer;
    bool trust = true;

    void post(const macos::CGEventRecord& event) override;
    Point location() override { return pointer; }
    bool trusted() override { return trust; }
};

}  // namespace velora::sim
