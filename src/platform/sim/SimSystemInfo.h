#pragma once

#include <string>

#include "platform/Platform.h"

namespace velora::sim {

// Computer facts that tests set.
class SimSystemInfo : public SystemInfo {
public:
    std::string name = "Sim";
    std::string osName = "linux";
    std::optional<std::string> address;
    std::string computerName() override { return name; }
    std::string os() override { return osName; }
    std::optional<std::string> localAddress() override { return address; }
};

}  // namespace velora::sim
