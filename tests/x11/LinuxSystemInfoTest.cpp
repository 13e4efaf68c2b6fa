#include <gtest/gtest.h>

#include "platform/linux/LinuxSystemInfo.h"

namespace velora::linux_ {
namespace {

using namespace std::chrono_literals;

TEST(LinuxSystemInfo, AddressesLeaveOutLoopbackAndLinkLocalAndPutIPv4First) {
    LinuxSystemInfo system;
    bool seenIPv6 = false;
    for (const std::string& address : system.localAddresses()) {
        const bool ipv6 = address.find(':') != std::string::npos;
        EXPECT_FALSE(address.starts_with("127.") || address == "::1") << address;
        EXPECT_FALSE(address.starts_with("fe80:")) << address;
        EXPECT_FALSE(seenIPv6 && !ipv6) << address << " after an IPv6 address";
        seenIPv6 = seenIPv6 || ipv6;
    }
    EXPECT_EQ(system.hostName().find('.'), std::string::npos);
}

TEST(LinuxSystemInfo, OnlyNamesOfThisComputerResolveToIt) {
    LinuxSystemInfo system;
    const std::pair<std::string, bool> cases[] = {
        {"localhost", true},
        {"127.0.0.1", true},
        // A documentation address no interface here holds.
        {"198.51.100.77", false},
        {"velora-test.invalid", false},
    };
    for (const auto& [name, ours] : cases) EXPECT_EQ(system.resolvesToSelf(name, 5s), ours) << name;
    for (const std::string& address : system.localAddresses())
        EXPECT_TRUE(system.resolvesToSelf(address, 5s)) << address;
}

}  // namespace
}  // namespace velora::linux_
