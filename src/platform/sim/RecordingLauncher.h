#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora::sim {

// A launcher that starts nothing: it records each command line and reports `succeeds`.
class RecordingLauncher : public Launcher {
  public:
    std::vector<std::vector<std::string>> launched;
    std::vector<std::vector<std::string>> ran;
    bool succeeds = true;

    bool launch(const std::vector<std::string>& argv) override {
        launched.push_back(argv);
        return succeeds;
    }
    void run(const std::vector<std::string>& argv) override { ran.push_back(argv); }
};

}  // namespace velora::sim
