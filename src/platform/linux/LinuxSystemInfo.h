#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora::linux_ {

// Host name and local addresses on Linux.
class LinuxSystemInfo : public SystemInfo {
public:
    std::string computerName() override;
    std::string os() override { return "linux"; }
    std::optional<std::string> localAddress() override;
    std::string hostName() override;
    std::vector<std::string> localAddresses() override;
    bool resolvesToSelf(const std::string& name, std::chrono::milliseconds bound) override;
};

// PRETTY_HOSTNAME from machine-info text, unquoted, or empty.
std::string prettyHostname(const std::string& machineInfo);

}  // namespace velora::linux_
