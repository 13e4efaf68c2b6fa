#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "StandInPortal.h"
#include "app/PlatformSetup.h"

namespace velora::portal::test {
namespace {

namespace fs = std::filesystem;

// A Wayland session without a compositor that offers virtual input, as GNOME and KDE Plasma
// are, with the settings in a folder of the test's own.
class PortalSetupTest : public ::testing::Test {
protected:
    PortalSetupTest() {
        char pattern[] = "/tmp/velora-setup-XXXXXX";
        configHome_ = ::mkdtemp(pattern);
        ::setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
        ::setenv("XDG_SESSION_TYPE", "wayland", 1);
        ::unsetenv("WAYLAND_DISPLAY");
    }
    ~PortalSetupTest() override { fs::remove_all(configHome_); }

    fs::path configHome_;
};

TEST_F(PortalSetupTest, TheDesktopPortalServesInputAndAsksForConsentInTheBackground) {
    PrivateBus bus;
    StandInPortal portal(bus.address());
    portal.setStartAnswer(0, "first");
    portal.holdStart();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);

    Platform platform = makePlatform(SessionKind::Wayland, nullptr);
    EXPECT_EQ(platform.backend, "desktop portal (Wayland)");
    ASSERT_TRUE(platform.askConsent);
    // The setup returned while the dialog is still open.
    portal.waitFor("Start");
    EXPECT_FALSE(platform.events->trusted());
    // A second request while the first dialog is open does not open another.
    platform.askConsent();

    portal.answerStart();
    while (!platform.events->trusted()) std::this_thread::yield();
    EXPECT_EQ(portal.calls("Start").size(), 1u);
    const fs::path token = configHome_ / "velora" / "portal-token";
    std::ifstream in(token);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "first");
    struct stat info {};
    ASSERT_EQ(::stat(token.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(PortalSetupTest, TheScreenCastComesInTheInputSessionAndIsViewableOnlyWhileItRuns) {
    PrivateBus bus;
    StandInPortal portal(bus.address());
    portal.setStartAnswer(0, "");
    portal.setStream(33, 1280, 720);
    portal.holdStart();
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);

    Platform platform = makePlatform(SessionKind::Wayland, nullptr);
    EXPECT_EQ(platform.backend, "desktop portal (Wayland)");
    EXPECT_TRUE(platform.unavailable.empty());
    portal.waitFor("Start");
    // Before the answer there is no cast to view.
    EXPECT_FALSE(platform.screenPermission());
    EXPECT_EQ(platform.screenSource(), nullptr);
    ASSERT_EQ(portal.calls("SelectSources").size(), 1u);
    EXPECT_EQ(portal.calls("SelectSources")[0].session, portal.calls("Start")[0].session);

    portal.answerStart();
    while (!platform.events->trusted()) std::this_thread::yield();
    EXPECT_TRUE(platform.screenPermission());
    portal.closeSession();
    while (platform.events->trusted()) std::this_thread::yield();
    EXPECT_FALSE(platform.screenPermission());
}

TEST_F(PortalSetupTest, APortalWithoutScreenCastsServesInputAndSaysTheScreenCannotBeShown) {
    PrivateBus bus;
    StandInPortal portal(bus.address());
    portal.setScreenCastVersion(0);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    Platform platform = makePlatform(SessionKind::Wayland, nullptr);
    EXPECT_EQ(platform.backend, "desktop portal (Wayland), input only");
    EXPECT_EQ(platform.unavailableKey, "linux_no_screen_backend");
    portal.waitFor("Start");
    EXPECT_TRUE(portal.calls("SelectSources").empty());
    EXPECT_FALSE(platform.screenPermission());
}

TEST_F(PortalSetupTest, WithoutAPortalVeloraSaysInputGoesNowhere) {
    PrivateBus bus;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.address().c_str(), 1);
    Platform platform = makePlatform(SessionKind::Wayland, nullptr);
    EXPECT_EQ(platform.backend, "none (Wayland)");
    EXPECT_FALSE(platform.askConsent);
    EXPECT_FALSE(platform.unavailable.empty());
    EXPECT_FALSE(platform.events->trusted());
}

}  // namespace
}  // namespace velora::portal::test
