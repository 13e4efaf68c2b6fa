// The console shell's consent command and its first lines, with the typed lines from a string.
#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sstream>

#include "../unit/store/FileTestSupport.h"
#include "app/ConsoleShell.h"
#include "platform/linux/LinuxKeymap.h"
#include "platform/sim/RecordingEventSink.h"
#include "platform/sim/RecordingLauncher.h"
#include "platform/sim/SimDisplays.h"
#include "platform/sim/SimSystemInfo.h"

namespace velora {
namespace {

using testing_support::TempFolder;

class ConsoleShellTest : public ::testing::Test {
protected:
    ConsoleShellTest() {
        // The texts checked here are the English ones; the language is chosen at first use.
        setenv("VELORA_LANG", "en", 0);
        events->trust = false;
        platform.events = events;
        platform.keymap = std::make_shared<linux_::LinuxKeymap>();
        platform.displays = std::make_shared<sim::SimDisplays>();
        platform.launcher = std::make_shared<sim::RecordingLauncher>();
        platform.system = std::make_shared<sim::SimSystemInfo>();
        platform.screenPermission = [] { return false; };
        platform.backend = "portal (Wayland)";
        sigemptyset(&signals_);
        for (int signal : {SIGINT, SIGTERM, SIGUSR1}) sigaddset(&signals_, signal);
        pthread_sigmask(SIG_BLOCK, nullptr, &saved_);
    }

    // The shell blocks its signals on this thread and takes them with sigwait; a "line waiting"
    // signal still pending once it quit is taken here before the old mask returns.
    ~ConsoleShellTest() override {
        const timespec none{};
        while (sigtimedwait(&signals_, nullptr, &none) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
    }

    // Runs a shell on fresh ports until the typed `lines` end with "quit"; returns its output.
    std::string run(std::istream& typed) {
        ServerOptions server;
        server.controlPort = 0;
        server.discoveryPort = 0;
        std::ostringstream out;
        {
            ConsoleShell shell(std::make_shared<Store>(folder.path / "config"), platform, out,
                               std::chrono::seconds(1), server);
            EXPECT_EQ(shell.run(typed), 0);
        }
        return out.str();
    }

    static bool says(const std::string& output, const std::string& line) {
        return ("\n" + output).find("\n" + line + "\n") != std::string::npos;
    }

    TempFolder folder;
    std::shared_ptr<sim::RecordingEventSink> events = std::make_shared<sim::RecordingEventSink>();
    Platform platform;

private:
    sigset_t signals_{};
    sigset_t saved_{};
};

// The reader thread may outlive a run, so what it reads lives as long as the process.
std::istream& typed(std::string lines) {
    static std::vector<std::unique_ptr<std::istringstream>> streams;
    streams.push_back(std::make_unique<std::istringstream>(std::move(lines)));
    return *streams.back();
}

TEST_F(ConsoleShellTest, ConsentIsExplainedAtStartAndAskedAgainOnlyWhenTyped) {
    int asked = 0;
    platform.askConsent = [&asked] { ++asked; };
    const std::string output = run(typed("nonsense\nconsent\nquit\n"));
    EXPECT_TRUE(says(output,
                     "Input control needs your consent: allow it in the window your desktop shows, "
                     "and let it remember the choice. If it was refused or closed, type consent to "
                     "be asked again."))
        << output;
    EXPECT_TRUE(says(output,
                     "commands: allow, power on|off, screen on|off, devices, forget NAME, "
                     "qr, consent, quit"));
    EXPECT_TRUE(says(output, "consent: asked the desktop again; answer its dialog"));
    EXPECT_EQ(asked, 1);
}

TEST_F(ConsoleShellTest, ConsentGivenOrNotNeededAsksNothing) {
    int asked = 0;
    platform.askConsent = [&asked] { ++asked; };
    events->trust = true;
    std::string output = run(typed("consent\nquit\n"));
    EXPECT_TRUE(says(output, "consent: input control is allowed already")) << output;
    EXPECT_EQ(output.find("type consent"), std::string::npos) << "no explanation once allowed";
    EXPECT_EQ(asked, 0);

    platform.askConsent = nullptr;
    platform.backend = "X11";
    output = run(typed("consent\nforget\nquit\n"));
    EXPECT_TRUE(says(output, "consent: not needed with the X11 backend")) << output;
    EXPECT_TRUE(says(output,
                     "commands: allow, power on|off, screen on|off, devices, forget NAME, "
                     "qr, quit"));
}

TEST_F(ConsoleShellTest, WhatCouldNotStartIsSaidInTheLanguageAndLoggedAsWritten) {
    platform.unavailable = "Fixed sentence for the log";
    platform.unavailableKey = "linux_no_backend";
    const std::string output = run(typed("quit\n"));
    const std::string said =
        "This Wayland desktop offers no input control or screen capture that Velora can use: "
        "input goes nowhere and the screen cannot be shown";
    EXPECT_TRUE(says(output, said)) << output;
    EXPECT_EQ(output.find("Fixed sentence"), std::string::npos);
    const std::string log = testing_support::readFile(folder.path / "config" / "log.txt");
    EXPECT_NE(log.find("Fixed sentence for the log"), std::string::npos) << log;
    EXPECT_EQ(log.find(said), std::string::npos);
}

}  // namespace
}  // namespace velora
