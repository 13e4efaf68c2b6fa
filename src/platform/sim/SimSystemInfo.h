#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora::sim {

// Computer facts that tests set.
class SimSystemInfo : public SystemInfo {
public:
    std::string name = "Sim";
    std::string osName = "linux";
    std::optional<std::string> address;
    std::string host = "sim";
    std::vector<std::string> addresses;
    // Names that resolve to this computer.
    std::set<std::string> ownNames;
    std::string computerName() override { return name; }
    std::string os() override { return osName; }
    std::optional<std::string> localAddress() override { return address; }
    std::string hostName() override { return host; }
    std::vector<std::string> localAddresses() override { return addresses; }
    bool resolvesToSelf(const std::string& lookedUp, std::chrono::milliseconds) override {
        return ownNames.contains(lookedUp);
    }
};

}  // namespace velora::sim
