#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "core/shell/PermissionFlow.h"

namespace velora {
namespace {

// A shell double: the trust state, the prompt and the alert's answer are set by the test; the
// watch and deferred work run only when the test says so.
struct FakeShell {
    bool trusted = false;
    bool promptShown = false;
    PermissionFlow::Answer answer = PermissionFlow::Answer::Later;
    std::function<void()> duringAlert;
    std::vector<PermissionFlow::AlertText> alerts;
    int helpOpened = 0;
    int rebuilds = 0;
    std::vector<std::string> log;
    std::deque<std::function<void()>> deferred;
    std::function<void()> tick;
    std::chrono::milliseconds interval{0};

    PermissionFlow::Hooks hooks() {
        PermissionFlow::Hooks h;
        h.trusted = [this] { return trusted; };
        h.promptShown = [this] { return promptShown; };
        h.runAlert = [this](const PermissionFlow::AlertText& text) {
            alerts.push_back(text);
            if (duringAlert) duringAlert();
            return answer;
        };
        h.openHelp = [this] { ++helpOpened; };
        h.log = [this](const std::string& line) { log.push_back(line); };
        h.rebuildMenu = [this] { ++rebuilds; };
        h.later = [this](std::function<void()> fn) { deferred.push_back(std::move(fn)); };
        h.every = [this](std::chrono::milliseconds every, std::function<void()> fn) {
            interval = every;
            tick = std::move(fn);
        };
        return h;
    }

    void runDeferred() {
        while (!deferred.empty()) {
            auto fn = std::move(deferred.front());
            deferred.pop_front();
            fn();
        }
    }
};

class PermissionFlowTest : public ::testing::Test {
protected:
    FakeShell shell;
    PermissionFlow flow{shell.hooks(), MenuProfile::Linux, "en"};
};

TEST_F(PermissionFlowTest, UntrustedLaunchAsksOnceLaunchIsDoneAndLaterHasNoEffect) {
    flow.launch();
    EXPECT_TRUE(shell.alerts.empty()) << "the alert must wait until launch has finished";
    EXPECT_EQ(shell.interval, std::chrono::milliseconds(3000));
    shell.runDeferred();
    ASSERT_EQ(shell.alerts.size(), 1u);
    EXPECT_EQ(shell.alerts[0].title, "Input control unavailable");
    EXPECT_EQ(shell.alerts[0].helpButton, "Open Help");
    EXPECT_EQ(shell.alerts[0].laterButton, "Later");
    EXPECT_EQ(shell.helpOpened, 0);
    EXPECT_FALSE(flow.asking());

    // Ticks without a change ask nothing and log nothing.
    shell.tick();
    shell.tick();
    EXPECT_EQ(shell.alerts.size(), 1u);
    EXPECT_TRUE(shell.log.empty());
    EXPECT_EQ(shell.rebuilds, 0);
}

TEST_F(PermissionFlowTest, TrustedLaunchNeitherAsksNorLogs) {
    shell.trusted = true;
    flow.launch();
    shell.runDeferred();
    shell.tick();
    flow.clientsChanged(1);
    EXPECT_TRUE(shell.alerts.empty());
    EXPECT_TRUE(shell.log.empty());
}

TEST_F(PermissionFlowTest, WatchLogsEachChangeOnceAndRebuildsWithoutAsking) {
    flow.launch();
    shell.deferred.clear();
    shell.trusted = true;
    shell.tick();
    shell.tick();
    shell.trusted = false;
    shell.tick();
    EXPECT_EQ(shell.log,
              (std::vector<std::string>{"손쉬운 사용 권한 켜짐", "손쉬운 사용 권한 꺼짐"}));
    EXPECT_EQ(shell.rebuilds, 2);
    EXPECT_TRUE(shell.alerts.empty());
    EXPECT_FALSE(flow.lastSeen());
}

TEST_F(PermissionFlowTest, ClientChangesAskOnlyWithSomeoneConnectedAndNoPromptShown) {
    flow.clientsChanged(0);
    EXPECT_TRUE(shell.alerts.empty());

    shell.promptShown = true;
    flow.clientsChanged(1);
    EXPECT_TRUE(shell.alerts.empty()) << "a pairing prompt holds the alert back";

    shell.promptShown = false;
    shell.answer = PermissionFlow::Answer::Help;
    flow.clientsChanged(1);
    EXPECT_EQ(shell.alerts.size(), 1u);
    EXPECT_EQ(shell.helpOpened, 1);
}

TEST_F(PermissionFlowTest, TriggersDuringAnOpenAlertAreTurnedAway) {
    shell.duringAlert = [this] {
        EXPECT_TRUE(flow.asking());
        flow.clientsChanged(1);
        flow.clientsChanged(2);
    };
    flow.ask();
    EXPECT_EQ(shell.alerts.size(), 1u);
    EXPECT_FALSE(flow.asking());
    shell.duringAlert = nullptr;
    flow.ask();
    EXPECT_EQ(shell.alerts.size(), 2u) << "declining has no lasting effect";
}

TEST_F(PermissionFlowTest, WithoutConsentTheWarningItemOpensHelpWithoutTheAlert) {
    flow.warningChosen();
    EXPECT_EQ(shell.helpOpened, 1);
    EXPECT_TRUE(shell.alerts.empty());
}

// Where the desktop shows its own consent dialog, the flow puts nothing over it and only the
// person has the desktop ask again.
class ConsentFlowTest : public ::testing::Test {
protected:
    ConsentFlowTest() {
        auto hooks = shell.hooks();
        hooks.askConsent = [this] { ++consentAsked; };
        flow = std::make_unique<PermissionFlow>(hooks, MenuProfile::Linux, "en");
    }

    FakeShell shell;
    int consentAsked = 0;
    std::unique_ptr<PermissionFlow> flow;
};

TEST_F(ConsentFlowTest, NeitherLaunchNorRosterChangesRaiseTheAlertOrAskAgain) {
    flow->launch();
    shell.runDeferred();
    flow->clientsChanged(1);
    flow->clientsChanged(2);
    shell.tick();
    EXPECT_TRUE(shell.alerts.empty());
    EXPECT_EQ(consentAsked, 0);
    // Consent given, then revoked: logged and shown in the menu, still no alert of its own.
    shell.trusted = true;
    shell.tick();
    shell.trusted = false;
    shell.tick();
    flow->clientsChanged(1);
    EXPECT_EQ(shell.log.size(), 2u);
    EXPECT_EQ(shell.rebuilds, 2);
    EXPECT_TRUE(shell.alerts.empty());
    EXPECT_EQ(consentAsked, 0);
}

TEST_F(ConsentFlowTest, TheWarningItemExplainsTheDialogAndOnlyItsFirstButtonAsksAgain) {
    flow->warningChosen();
    ASSERT_EQ(shell.alerts.size(), 1u);
    EXPECT_EQ(shell.alerts[0].title, "Input control needs your consent");
    EXPECT_EQ(shell.alerts[0].helpButton, "Ask again");
    EXPECT_EQ(shell.alerts[0].laterButton, "Later");
    EXPECT_NE(shell.alerts[0].body.find("Ask again"), std::string::npos);
    EXPECT_EQ(consentAsked, 0) << "Later leaves the dialog unasked";

    shell.answer = PermissionFlow::Answer::Help;
    flow->warningChosen();
    EXPECT_EQ(consentAsked, 1);
    EXPECT_EQ(shell.helpOpened, 0) << "the help page is not what fixes it here";

    shell.promptShown = true;
    flow->warningChosen();
    EXPECT_EQ(shell.alerts.size(), 2u) << "a pairing prompt holds the alert back";
    EXPECT_EQ(consentAsked, 1);
}

TEST(PermissionFlowTexts, MacProfileUsesTheSettingsTexts) {
    FakeShell shell;
    PermissionFlow flow(shell.hooks(), MenuProfile::Mac, "en");
    const auto text = flow.alertText();
    EXPECT_EQ(text.title, "Accessibility permission required");
    EXPECT_EQ(text.helpButton, "Open Settings");
    EXPECT_NE(text.body.find("System Settings \u203A Privacy & Security"), std::string::npos);
}

}  // namespace
}  // namespace velora
