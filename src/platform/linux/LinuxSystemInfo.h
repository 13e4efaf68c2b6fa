#pragma once

#include <string>

#include "platform/Platform.h"

namespace velora::linux_ {

// Host name and local address on Linux.
class LinuxSystemInfo : public SystemInfo {
public:
    std::string computerName() override;
    std::string os() override { return "linux"; }
    std::optional<std::string> localAddress() override;
};

// PRETTY_HOSTNAME from machine-info text, unquoted, or empty.
std::string prettyHostname(const std::string& machineInfo);

}  // namespace velora::linux_
