#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "StandInPortal.h"
#include "app/PortalCastSources.h"
#include "app/PortalTokenFile.h"
#include "platform/portal/PortalSession.h"

namespace velora::portal::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCastToken = "portal-screencast-token";

// A screen cast session alone, with its token in a file of its own beside the input's.
class ScreenCastSessionTest : public ::testing::Test {
protected:
    ScreenCastSessionTest() {
        char pattern[] = "/tmp/velora-cast-XXXXXX";
        folder_ = ::mkdtemp(pattern);
    }
    ~ScreenCastSessionTest() override { fs::remove_all(folder_); }

    std::shared_ptr<PortalSession> connect() {
        auto session = PortalSession::connect(bus_.address(), portalTokenFile(folder_, kCastToken));
        EXPECT_NE(session, nullptr);
        return session;
    }
    std::string stored(const std::string& name) const {
        std::ifstream in(folder_ / name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    PrivateBus bus_;
    StandInPortal portal_{bus_.address()};
    fs::path folder_;
};

TEST_F(ScreenCastSessionTest, AsksForOneMonitorWithTheCursorAndKeepsEachNewTokenApart) {
    portalTokenFile(folder_, kCastToken).save("cast-old");
    portalTokenFile(folder_).save("input-token");
    portal_.setStartAnswer(0, "cast-new");
    portal_.setStream(41, 1920, 1080);
    auto session = connect();
    ASSERT_TRUE(session);
    EXPECT_EQ(session->screenCastVersion(), 4u);

    const PortalStart result = session->startScreenCast();
    ASSERT_TRUE(result.started);
    if (result.pipewireFd >= 0) ::close(result.pipewireFd);
    const auto calls = portal_.calls();
    ASSERT_EQ(methods(calls), (std::vector<std::string>{"ScreenCast.CreateSession", "SelectSources",
                                                        "ScreenCast.Start", "OpenPipeWireRemote"}));
    const std::string sessionToken = calls[0].textOption("session_handle_token");
    for (size_t i = 1; i < calls.size(); ++i)
        EXPECT_TRUE(calls[i].session.ends_with("/" + sessionToken)) << calls[i].session;
    const RecordedCall& select = calls[1];
    EXPECT_EQ(select.option("types"), 1u);
    EXPECT_EQ(select.option("cursor_mode"), 2u);
    EXPECT_EQ(select.option("persist_mode"), 2u);
    EXPECT_EQ(select.textOption("restore_token"), "cast-old");

    // The new token replaces the cast's own; the input's token is not touched.
    EXPECT_EQ(stored(kCastToken), "cast-new");
    EXPECT_EQ(stored("portal-token"), "input-token");
    struct stat info {};
    ASSERT_EQ(::stat((folder_ / kCastToken).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    const auto screen = session->screen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->nodeId, 41u);
    EXPECT_EQ(screen->logicalSize, (PixelSize{1920, 1080}));
    ::close(screen->pipewireFd);
    EXPECT_EQ(session->firstStream(), (PortalStream{41, {1920, 1080}}));

    // A start that brings no token back removes the stored one.
    portal_.setStartAnswer(0, "");
    ASSERT_TRUE(session->startScreenCast().started);
    EXPECT_FALSE(fs::exists(folder_ / kCastToken));
    EXPECT_EQ(portal_.calls("SelectSources").back().textOption("restore_token"), "cast-new");
}

TEST_F(ScreenCastSessionTest, PortalsBeforeVersionFourGetNeitherPersistenceNorToken) {
    portalTokenFile(folder_, kCastToken).save("cast-old");
    portal_.setScreenCastVersion(3);
    portal_.setStream(7, 800, 600);
    auto session = connect();
    ASSERT_TRUE(session);
    const PortalStart result = session->startScreenCast();
    ASSERT_TRUE(result.started);
    if (result.pipewireFd >= 0) ::close(result.pipewireFd);
    const RecordedCall select = portal_.waitFor("SelectSources");
    EXPECT_FALSE(select.has("persist_mode"));
    EXPECT_FALSE(select.has("restore_token"));
    EXPECT_EQ(select.option("cursor_mode"), 2u);
}

TEST_F(ScreenCastSessionTest, RefusalOrAClosedCastLeavesNoScreen) {
    portalTokenFile(folder_, kCastToken).save("cast-old");
    portal_.setStream(9, 640, 480);
    portal_.setStartAnswer(1, "");
    auto session = connect();
    ASSERT_TRUE(session);
    const PortalStart refused = session->startScreenCast();
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.pipewireFd, -1);
    EXPECT_FALSE(session->started());
    EXPECT_FALSE(session->screen());
    EXPECT_TRUE(portal_.calls("OpenPipeWireRemote").empty());
    // A refusal is no answer about the token: it stays for the next start.
    EXPECT_EQ(stored(kCastToken), "cast-old");

    portal_.setStartAnswer(0, "t");
    const PortalStart granted = session->startScreenCast();
    ASSERT_TRUE(granted.started);
    if (granted.pipewireFd >= 0) ::close(granted.pipewireFd);
    const auto before = session->screen();
    ASSERT_TRUE(before);
    ::close(before->pipewireFd);
    portal_.closeSession();
    while (session->started()) std::this_thread::yield();
    EXPECT_FALSE(session->screen());
    EXPECT_FALSE(session->firstStream());

    // A new consent is a new cast.
    ASSERT_TRUE(session->startScreenCast().started);
    const auto after = session->screen();
    ASSERT_TRUE(after);
    ::close(after->pipewireFd);
    EXPECT_NE(after->cast, before->cast);
}

// A source that only says which cast it came from.
class CastMarker final : public ScreenSource {
public:
    explicit CastMarker(uint64_t cast) : cast(cast) {}
    PixelSize pixelSize() override { return {1, 1}; }
    std::optional<Image> capture(PixelSize) override { return std::nullopt; }
    bool unchangedSinceLastCapture() override { return true; }
    const uint64_t cast;
};

bool isOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1;
}

TEST(PortalCastSources, ViewersOfOneCastShareOneFactoryAndANewCastGetsItsOwn) {
    std::optional<PortalScreen> current;
    std::vector<int> ownedFds;
    int factories = 0;
    PortalCastSources sources([&] { return current; },
                              [&](const PortalScreen& screen) {
                                  ++factories;
                                  ownedFds.push_back(screen.pipewireFd);
                                  return [cast = screen.cast] {
                                      return std::unique_ptr<ScreenSource>(new CastMarker(cast));
                                  };
                              });
    // No cast yet (consent not given): no source and no factory.
    EXPECT_EQ(sources.make(), nullptr);
    EXPECT_EQ(factories, 0);

    auto screenOf = [](uint64_t cast) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        ::close(ends[1]);
        return PortalScreen{ends[0], 5, {100, 100}, cast};
    };
    current = screenOf(1);
    auto first = sources.make();
    current = screenOf(1);
    const int spare = current->pipewireFd;
    auto second = sources.make();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(factories, 1);
    // The second viewer's descriptor was not needed and is closed; the factory keeps its own.
    EXPECT_FALSE(isOpen(spare));
    EXPECT_TRUE(isOpen(ownedFds[0]));

    current = screenOf(2);
    auto third = sources.make();
    EXPECT_EQ(factories, 2);
    EXPECT_EQ(static_cast<CastMarker&>(*third).cast, 2u);
    EXPECT_EQ(static_cast<CastMarker&>(*first).cast, 1u);

    current.reset();
    EXPECT_EQ(sources.make(), nullptr);
    for (const int fd : ownedFds) ::close(fd);
}

}  // namespace
}  // namespace velora::portal::test
