#include <gtest/gtest.h>

#include "platform/linux/LinuxPaths.h"

namespace velora::linux_ {
namespace {

namespace fs = std::filesystem;

TEST(LinuxPaths, ConfigurationFolderFollowsXdgThenHome) {
    EXPECT_EQ(xdgConfigHome("/x/cfg", "/home/u"), fs::path("/x/cfg"));
    // A relative or empty XDG_CONFIG_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(xdgConfigHome("relative", "/home/u"), fs::path("/home/u/.config"));
    EXPECT_EQ(xdgConfigHome("", "/home/u"), fs::path("/home/u/.config"));
    EXPECT_EQ(xdgConfigHome(nullptr, "relative"), fs::path());
    EXPECT_EQ(xdgConfigHome(nullptr, nullptr), fs::path());
}

}  // namespace
}  // namespace velora::linux_
