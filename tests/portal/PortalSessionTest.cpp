#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>

#include "StandInPortal.h"
#include "app/PortalTokenFile.h"
#include "platform/portal/PortalSession.h"

namespace velora::portal::test {
namespace {

namespace fs = std::filesystem;

class PortalSessionTest : public ::testing::Test {
protected:
    PortalSessionTest() {
        char pattern[] = "/tmp/velora-portal-XXXXXX";
        folder_ = ::mkdtemp(pattern);
    }
    ~PortalSessionTest() override { fs::remove_all(folder_); }

    std::shared_ptr<PortalSession> connect() {
        auto session = PortalSession::connect(bus_.address(), portalTokenFile(folder_));
        EXPECT_NE(session, nullptr);
        return session;
    }
    fs::path tokenFile() const { return folder_ / "portal-token"; }
    std::string storedToken() const {
        std::ifstream in(tokenFile());
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void storeToken(const std::string& text) const { std::ofstream(tokenFile()) << text; }

    PrivateBus bus_;
    StandInPortal portal_{bus_.address()};
    fs::path folder_;
};

TEST_F(PortalSessionTest, ConsentGrantedAsksForKeyboardAndPointerAndKeepsEachNewToken) {
    portalTokenFile(folder_).save("old-token");
    portal_.setStartAnswer(0, "token-1");
    auto session = connect();
    ASSERT_TRUE(session);
    EXPECT_FALSE(session->started());

    const PortalStart result = session->start(false);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.devices, 3u);
    EXPECT_TRUE(result.streams.empty());
    EXPECT_EQ(result.pipewireFd, -1);
    EXPECT_TRUE(session->started());

    const auto calls = portal_.calls();
    ASSERT_EQ(methods(calls),
              (std::vector<std::string>{"CreateSession", "SelectDevices", "Start"}));
    const std::string sessionToken = calls[0].textOption("session_handle_token");
    ASSERT_FALSE(sessionToken.empty());
    for (const RecordedCall& call : {calls[1], calls[2]}) {
        EXPECT_TRUE(call.session.ends_with("/" + sessionToken)) << call.session;
        EXPECT_EQ(call.session, calls[1].session);
    }
    EXPECT_EQ(calls[1].option("types"), 3u);
    EXPECT_EQ(calls[1].option("persist_mode"), 2u);
    EXPECT_EQ(calls[1].textOption("restore_token"), "old-token");
    // Each request has a handle token of its own.
    EXPECT_NE(calls[0].textOption("handle_token"), calls[1].textOption("handle_token"));
    EXPECT_NE(calls[1].textOption("handle_token"), calls[2].textOption("handle_token"));

    EXPECT_EQ(storedToken(), "token-1");
    struct stat info {};
    ASSERT_EQ(::stat(tokenFile().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // Tokens are single-use: the next start sends the new one and keeps the one after it.
    portal_.setStartAnswer(0, "token-2");
    ASSERT_TRUE(session->start(false).started);
    EXPECT_EQ(portal_.calls("SelectDevices").back().textOption("restore_token"), "token-1");
    EXPECT_EQ(storedToken(), "token-2");
    // The first session was ended before the second began.
    ASSERT_EQ(portal_.calls("Session.Close").size(), 1u);
    EXPECT_EQ(portal_.calls("Session.Close")[0].session, calls[1].session);
}

TEST_F(PortalSessionTest, RefusedConsentLeavesInputOffUntilAskedAgain) {
    portal_.setStartAnswer(1, "");
    auto session = connect();
    ASSERT_TRUE(session);
    EXPECT_FALSE(session->start(false).started);
    EXPECT_FALSE(session->started());
    session->keyboardKeysym('a', true);
    session->pointerMotion(3, 4);
    // A reply to a later call means the portal has handled everything sent before it.
    EXPECT_EQ(session->remoteDesktopVersion(), 2u);
    EXPECT_TRUE(portal_.calls("NotifyKeyboardKeysym").empty());
    EXPECT_TRUE(portal_.calls("NotifyPointerMotion").empty());
    EXPECT_EQ(portal_.calls("Start").size(), 1u);

    portal_.setStartAnswer(0, "");
    EXPECT_TRUE(session->start(false).started);
    EXPECT_TRUE(session->started());
}

TEST_F(PortalSessionTest, ClosedSessionStopsInput) {
    auto session = connect();
    ASSERT_TRUE(session);
    std::promise<void> closed;
    session->onClosed([&] { closed.set_value(); });
    ASSERT_TRUE(session->start(false).started);
    session->keyboardKeycode(30, true);
    portal_.waitFor("NotifyKeyboardKeycode");

    portal_.closeSession();
    closed.get_future().wait();
    EXPECT_FALSE(session->started());
    session->keyboardKeycode(30, false);
    EXPECT_EQ(session->remoteDesktopVersion(), 2u);
    EXPECT_EQ(portal_.calls("NotifyKeyboardKeycode").size(), 1u);
}

TEST_F(PortalSessionTest, OnlyTheCurrentSessionEndingStopsInput) {
    auto session = connect();
    ASSERT_TRUE(session);
    ASSERT_TRUE(session->start(false).started);
    // The desktop ends the session Velora has just replaced: the new one goes on.
    portal_.holdStart();
    std::promise<PortalStart> done;
    ASSERT_TRUE(session->startInBackground(
        false, [&](const PortalStart& result) { done.set_value(result); }));
    portal_.waitFor("Start", 2);
    portal_.answerStart();
    ASSERT_TRUE(done.get_future().get().started);
    portal_.closeSession(0);
    EXPECT_EQ(session->remoteDesktopVersion(), 2u);
    EXPECT_TRUE(session->started());
    portal_.closeSession(1);
    while (session->started()) session->remoteDesktopVersion();
}

TEST_F(PortalSessionTest, OlderPortalsGetNeitherPersistenceNorToken) {
    portal_.setVersion(1);
    storeToken("old-token");
    auto session = connect();
    ASSERT_TRUE(session);
    ASSERT_TRUE(session->start(false).started);
    const RecordedCall select = portal_.waitFor("SelectDevices");
    EXPECT_EQ(select.option("types"), 3u);
    EXPECT_FALSE(select.has("persist_mode"));
    EXPECT_FALSE(select.has("restore_token"));
    // No token came back: the stored one is of no further use.
    EXPECT_FALSE(fs::exists(tokenFile()));
}

TEST_F(PortalSessionTest, AbsentOrForeignTokenIsNotSentAndTheNewOneIsStored) {
    portal_.setStartAnswer(0, "fresh");
    auto session = connect();
    ASSERT_TRUE(session);
    ASSERT_TRUE(session->start(false).started);
    RecordedCall select = portal_.waitFor("SelectDevices");
    EXPECT_EQ(select.option("persist_mode"), 2u);
    EXPECT_FALSE(select.has("restore_token"));
    EXPECT_EQ(storedToken(), "fresh");

    storeToken("two words\n");
    ASSERT_TRUE(session->start(false).started);
    select = portal_.waitFor("SelectDevices", 2);
    EXPECT_FALSE(select.has("restore_token"));
}

TEST_F(PortalSessionTest, WaitingForConsentBlocksNoCallerAndClosingDismissesTheDialog) {
    portal_.holdStart();
    auto session = connect();
    ASSERT_TRUE(session);
    for (const bool dismiss : {true, false}) {
        std::promise<PortalStart> done;
        ASSERT_TRUE(session->startInBackground(
            false, [&](const PortalStart& result) { done.set_value(result); }));
        portal_.waitFor("Start", dismiss ? 1 : 2);
        EXPECT_FALSE(session->started());
        // One dialog at a time.
        EXPECT_FALSE(session->startInBackground(false, {}));
        if (dismiss) {
            session->close();
            EXPECT_FALSE(done.get_future().get().started);
            portal_.waitFor("Request.Close");
            portal_.waitFor("Session.Close");
        } else {
            portal_.answerStart();
            EXPECT_TRUE(done.get_future().get().started);
        }
        EXPECT_EQ(session->started(), !dismiss);
    }
}

TEST_F(PortalSessionTest, ScreenCastJoinsTheSameSessionAndHandsOutItsStream) {
    portal_.setStream(44, 1280, 720);
    auto session = connect();
    ASSERT_TRUE(session);
    PortalStart result = session->start(true);
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.streams, (std::vector<PortalStream>{{44, {1280, 720}}}));
    EXPECT_GE(result.pipewireFd, 0);

    const RecordedCall sources = portal_.waitFor("SelectSources");
    EXPECT_EQ(sources.session, portal_.waitFor("SelectDevices").session);
    EXPECT_EQ(sources.option("types"), 1u);
    EXPECT_EQ(sources.option("cursor_mode"), 2u);
    ASSERT_TRUE(sources.has("multiple"));
    EXPECT_FALSE(sources.options.at("multiple").get<bool>());
    EXPECT_EQ(methods(portal_.calls()),
              (std::vector<std::string>{"CreateSession", "SelectDevices", "SelectSources", "Start",
                                        "OpenPipeWireRemote"}));

    const std::optional<PortalScreen> screen = session->screen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->nodeId, 44u);
    EXPECT_EQ(screen->logicalSize, (PixelSize{1280, 720}));
    EXPECT_GE(screen->pipewireFd, 0);
    EXPECT_NE(screen->pipewireFd, result.pipewireFd);
    ::close(screen->pipewireFd);
    ::close(result.pipewireFd);

    session->close();
    EXPECT_FALSE(session->screen());
}

TEST_F(PortalSessionTest, NoPortalOnTheBusMeansVersionZero) {
    PrivateBus empty;
    auto session = PortalSession::connect(empty.address(), {});
    ASSERT_TRUE(session);
    EXPECT_EQ(session->remoteDesktopVersion(), 0u);
    EXPECT_FALSE(session->start(false).started);
}

}  // namespace
}  // namespace velora::portal::test
