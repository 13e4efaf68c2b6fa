#include <gtest/gtest.h>

#include <thread>
#include <utility>

#include "platform/macos/MacScreenCapture.h"

using namespace velora::macos;
using velora::Image;
using velora::PixelSize;

namespace {

// Records the OS calls. Screenshots are images filled with their display's id, delivered at
// once, later from another thread, or never.
struct RecordingSystem : ScreenCaptureSystem {
    bool permitted = false;
    int requests = 0;
    std::vector<std::function<void()>> mainQueue;
    uint32_t mainID = 7;
    std::optional<std::vector<ShareableDisplay>> displays;
    std::vector<std::pair<bool, bool>> contentQueries;
    std::vector<std::pair<uint32_t, ScreenshotConfiguration>> screenshots;
    std::vector<LegacyCapture> legacy;
    enum { Now, Later, Never } delivery = Now;
    std::vector<std::thread> threads;

    ~RecordingSystem() override {
        for (auto& t : threads) t.join();
    }
    bool preflightScreenCaptureAccess() override { return permitted; }
    void requestScreenCaptureAccess() override { ++requests; }
    void runOnMain(std::function<void()> work) override { mainQueue.push_back(work); }
    uint32_t mainDisplayID() override { return mainID; }
    PixelSize displayPixelSize(uint32_t id) override {
        return id == 7 ? PixelSize{2560, 1600} : PixelSize{};
    }
    void shareableDisplays(
        bool excludeDesktop, bool onScreenOnly,
        std::function<void(std::optional<std::vector<ShareableDisplay>>)> done) override {
        contentQueries.emplace_back(excludeDesktop, onScreenOnly);
        done(displays);
    }
    std::shared_ptr<const ContentFilter> makeFilter(const ShareableDisplay& display) override {
        return std::make_shared<ContentFilter>(ContentFilter{display.displayID, nullptr});
    }
    void captureScreenshot(const ContentFilter& filter,
                           const ScreenshotConfiguration& configuration,
                           std::function<void(std::optional<Image>)> done) override {
        screenshots.emplace_back(filter.displayID, configuration);
        Image image{1, 1, std::vector<uint8_t>(4, static_cast<uint8_t>(filter.displayID))};
        if (delivery == Now) done(image);
        if (delivery == Later)
            threads.emplace_back([=] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                done(image);
            });
    }
    std::optional<Image> captureLegacy(uint32_t, const LegacyCapture& plan) override {
        legacy.push_back(plan);
        return Image{};
    }
};

std::vector<ShareableDisplay> listing(std::initializer_list<uint32_t> ids) {
    std::vector<ShareableDisplay> list;
    for (uint32_t id : ids) list.push_back({id, nullptr});
    return list;
}

TEST(MacScreenCapture, MissingPermissionIsRequestedOnTheMainThreadOncePerCheck) {
    auto system = std::make_shared<RecordingSystem>();
    EXPECT_FALSE(checkScreenCapturePermission(system));
    EXPECT_FALSE(checkScreenCapturePermission(system));
    EXPECT_EQ(system->requests, 0) << "the request waits for the main thread";
    ASSERT_EQ(system->mainQueue.size(), 2u);
    // Like a real queue, running the work also lets go of it (it holds the system).
    const auto queued = std::exchange(system->mainQueue, {});
    for (auto& work : queued) work();
    EXPECT_EQ(system->requests, 2);

    system->permitted = true;
    EXPECT_TRUE(checkScreenCapturePermission(system));
    EXPECT_TRUE(system->mainQueue.empty());
}

TEST(MacScreenCapture, FirstCaptureFindsTheMainDisplayAndLaterOnesKeepItsFilter) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = listing({5, 7, 9});
    MacScreenSource source(system, {14, 2, 1});
    EXPECT_EQ(source.pixelSize(), (PixelSize{2560, 1600}));
    ASSERT_TRUE(source.capture({1280, 800}));
    EXPECT_EQ(system->contentQueries, (std::vector<std::pair<bool, bool>>{{false, true}}));
    ASSERT_EQ(system->screenshots.size(), 1u);
    EXPECT_EQ(system->screenshots[0].first, 7u);
    EXPECT_EQ(system->screenshots[0].second, (ScreenshotConfiguration{1280, 800, true}));

    // The displays are rearranged during the view: the cached filter stays in use.
    system->displays = listing({9});
    system->mainID = 9;
    ASSERT_TRUE(source.capture({1280, 800}));
    EXPECT_EQ(system->contentQueries.size(), 1u);
    EXPECT_EQ(system->screenshots.back().first, 7u);
    EXPECT_TRUE(system->legacy.empty());
}

TEST(MacScreenCapture, DisplayChoiceFallsBackToTheFirstAndNoneGivesNoImage) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = listing({3, 4});
    ASSERT_TRUE(MacScreenSource(system, {14, 0, 0}).capture({640, 400}));
    EXPECT_EQ(system->screenshots.back().first, 3u);

    for (auto none : {std::optional<std::vector<ShareableDisplay>>{}, std::optional(listing({}))}) {
        system->displays = none;
        MacScreenSource source(system, {14, 0, 0});
        EXPECT_FALSE(source.capture({640, 400}));
        // Nothing was cached, so the next capture asks again.
        const size_t queries = system->contentQueries.size();
        EXPECT_FALSE(source.capture({640, 400}));
        EXPECT_EQ(system->contentQueries.size(), queries + 1);
    }
}

TEST(MacScreenCapture, ScreenshotsMayArriveFromAnotherThreadOrNotAtAll) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = listing({7});
    system->delivery = RecordingSystem::Later;
    const auto image = MacScreenSource(system, {14, 0, 0}).capture({320, 200});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels[0], 7);
    system->delivery = RecordingSystem::Never;
    EXPECT_FALSE(
        MacScreenSource(system, {14, 0, 0}, std::chrono::milliseconds(30)).capture({320, 200}));
}

TEST(MacScreenCapture, BeforeVersion14EveryCaptureTakesTheCoreGraphicsPath) {
    EXPECT_TRUE(usesScreenCaptureKit({14, 0, 0}));
    EXPECT_FALSE(usesScreenCaptureKit({13, 6, 9}));
    auto system = std::make_shared<RecordingSystem>();
    system->displays = listing({7});
    MacScreenSource source(system, {13, 5, 0});
    source.capture({1280, 800});
    source.capture({1280, 800});
    EXPECT_TRUE(system->contentQueries.empty());
    EXPECT_TRUE(system->screenshots.empty());
    ASSERT_EQ(system->legacy.size(), 2u);
    const LegacyCapture& plan = system->legacy[0];
    EXPECT_STREQ(plan.framework, "/System/Library/Frameworks/CoreGraphics.framework/CoreGraphics");
    EXPECT_EQ(plan.openMode, 2);
    EXPECT_STREQ(plan.symbol, "CGDisplayCreateImage");
    EXPECT_EQ(plan.width, 1280);
    EXPECT_EQ(plan.height, 800);
    EXPECT_EQ(plan.bitsPerComponent, 8);
    EXPECT_EQ(plan.bytesPerRow, 0);
    EXPECT_EQ(plan.alphaInfo, 6u);
    EXPECT_EQ(plan.interpolationQuality, 4);

    // Frame sizes become whole pixels by truncation.
    EXPECT_EQ(screenshotConfiguration(1280.9, 800.6), (ScreenshotConfiguration{1280, 800, true}));
    EXPECT_EQ(legacyCapture(999.99, 561.5).height, 561);
}

}  // namespace
