#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora::macos {

// The macOS profile's computer facts; the host name comes from the OS call a macOS build adds.
class MacSystemInfo : public SystemInfo {
public:
    explicit MacSystemInfo(std::string localizedName = {}) : name_(std::move(localizedName)) {}
    std::string computerName() override { return name_.empty() ? "Mac" : name_; }
    std::string os() override { return "macos"; }
    std::optional<std::string> localAddress() override { return std::nullopt; }
    std::string hostName() override { return {}; }
    std::vector<std::string> localAddresses() override { return {}; }
    bool resolvesToSelf(const std::string&, std::chrono::milliseconds) override { return false; }

private:
    std::string name_;
};

}  // namespace velora::macos
