#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/macos/MacScreenCapture.h"

using namespace velora::macos;
using velora::Image;
using velora::PixelSize;

namespace {

// Records the OS calls; completions run at once unless `screenshotsLate` is set.
class RecordingSystem : public ScreenCaptureSystem {
  public:
    bool permitted = false;
    int requests = 0;
    std::vector<std::function<void()>> mainQueue;
    uint32_t mainID = 7;
    std::optional<std::vector<ShareableDisplay>> displays;
    int contentQueries = 0;
    bool lastExcludeDesktop = true;
    bool lastOnScreenOnly = false;
    std::vector<uint32_t> filtersMade;
    std::vector<std::pair<uint32_t, ScreenshotConfiguration>> screenshots;
    std::vector<LegacyCapture> legacyPlans;
    bool screenshotsLate = false;
    bool screenshotsNever = false;
    std::vector<std::thread> late;

    ~RecordingSystem() override {
        for (auto& t : late) t.join();
    }

    bool preflightScreenCaptureAccess() override { return permitted; }
    void requestScreenCaptureAccess() override { ++requests; }
    void runOnMain(std::function<void()> work) override { mainQueue.push_back(std::move(work)); }
    uint32_t mainDisplayID() override { return mainID; }
    PixelSize displayPixelSize(uint32_t display) override {
        return display == mainID ? PixelSize{2560, 1600} : PixelSize{};
    }
    void shareableDisplays(
        bool excludeDesktopWindows, bool onScreenWindowsOnly,
        std::function<void(std::optional<std::vector<ShareableDisplay>>)> done) override {
        ++contentQueries;
        lastExcludeDesktop = excludeDesktopWindows;
        lastOnScreenOnly = onScreenWindowsOnly;
        done(displays);
    }
    std::shared_ptr<const ContentFilter> makeFilter(const ShareableDisplay& display) override {
        filtersMade.push_back(display.displayID);
        return std::make_shared<ContentFilter>(ContentFilter{display.displayID, nullptr});
    }
    void captureScreenshot(const ContentFilter& filter,
                           const ScreenshotConfiguration& configuration,
                           std::function<void(std::optional<Image>)> done) override {
        screenshots.emplace_back(filter.displayID, configuration);
        Image image{configuration.width, configuration.height,
                    std::vector<uint8_t>(size_t(configuration.width) * configuration.height * 4,
                                         static_cast<uint8_t>(filter.displayID))};
        if (screenshotsNever) return;
        if (!screenshotsLate) return done(std::move(image));
        late.emplace_back([done, image] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            done(image);
        });
    }
    std::optional<Image> captureLegacy(uint32_t, const LegacyCapture& plan) override {
        legacyPlans.push_back(plan);
        return Image{plan.width, plan.height,
                     std::vector<uint8_t>(size_t(plan.width) * plan.height * 4)};
    }

    static std::vector<ShareableDisplay> listing(std::initializer_list<uint32_t> ids) {
        std::vector<ShareableDisplay> list;
        for (uint32_t id : ids) list.push_back({id, nullptr});
        return list;
    }
};

TEST(MacScreenCapture, PermissionIsCheckedAndMissingPermissionRequestedOnMainOncePerCheck) {
    auto system = std::make_shared<RecordingSystem>();
    EXPECT_FALSE(checkScreenCapturePermission(system));
    EXPECT_FALSE(checkScreenCapturePermission(system));
    EXPECT_EQ(system->requests, 0) << "the request waits for the main thread";
    ASSERT_EQ(system->mainQueue.size(), 2u);
    for (auto& work : system->mainQueue) work();
    EXPECT_EQ(system->requests, 2);

    system->mainQueue.clear();
    system->permitted = true;
    EXPECT_TRUE(checkScreenCapturePermission(system));
    EXPECT_TRUE(system->mainQueue.empty());
}

TEST(MacScreenCapture, ScreenCaptureKitFromVersion14) {
    EXPECT_TRUE(usesScreenCaptureKit({14, 0, 0}));
    EXPECT_TRUE(usesScreenCaptureKit({15, 1, 0}));
    EXPECT_FALSE(usesScreenCaptureKit({13, 6, 9}));
    EXPECT_FALSE(usesScreenCaptureKit({12, 0, 0}));
}

TEST(MacScreenCapture, FirstCaptureFindsTheMainDisplayAndLaterOnesReuseItsFilter) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = RecordingSystem::listing({5, 7, 9});
    MacScreenSource source(system, {14, 2, 1});
    EXPECT_EQ(source.pixelSize(), (PixelSize{2560, 1600}));

    const auto first = source.capture({1280, 800});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 1280);
    EXPECT_EQ(system->contentQueries, 1);
    EXPECT_FALSE(system->lastExcludeDesktop);
    EXPECT_TRUE(system->lastOnScreenOnly);
    ASSERT_EQ(system->screenshots.size(), 1u);
    EXPECT_EQ(system->screenshots[0].first, 7u);
    EXPECT_EQ(system->screenshots[0].second, (ScreenshotConfiguration{1280, 800, true}));

    // The displays are rearranged during the view: the cached filter stays in use.
    system->displays = RecordingSystem::listing({9});
    system->mainID = 9;
    ASSERT_TRUE(source.capture({1280, 800}));
    EXPECT_EQ(system->contentQueries, 1);
    EXPECT_EQ(system->filtersMade, std::vector<uint32_t>{7});
    EXPECT_EQ(system->screenshots.back().first, 7u);
    EXPECT_TRUE(system->legacyPlans.empty());
}

TEST(MacScreenCapture, DisplayChoiceFallsBackToTheFirstAndNoneGivesNoImage) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = RecordingSystem::listing({3, 4});
    MacScreenSource unmatched(system, {14, 0, 0});
    ASSERT_TRUE(unmatched.capture({640, 400}));
    EXPECT_EQ(system->screenshots.back().first, 3u);

    for (auto listing : {std::optional<std::vector<ShareableDisplay>>{},
                         std::optional(std::vector<ShareableDisplay>{})}) {
        system->displays = listing;
        MacScreenSource empty(system, {14, 0, 0});
        EXPECT_FALSE(empty.capture({640, 400}));
        // Nothing was cached, so the next capture asks again.
        const int queries = system->contentQueries;
        EXPECT_FALSE(empty.capture({640, 400}));
        EXPECT_EQ(system->contentQueries, queries + 1);
    }
}

TEST(MacScreenCapture, ScreenshotsArriveFromAnotherThreadOrNotAtAll) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = RecordingSystem::listing({7});
    system->screenshotsLate = true;
    MacScreenSource source(system, {14, 0, 0}, std::chrono::milliseconds(2000));
    const auto image = source.capture({320, 200});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels[0], 7);

    system->screenshotsNever = true;
    MacScreenSource impatient(system, {14, 0, 0}, std::chrono::milliseconds(30));
    EXPECT_FALSE(impatient.capture({320, 200}));
}

TEST(MacScreenCapture, LegacyPathBeforeVersion14CapturesEveryTimeThroughCoreGraphics) {
    auto system = std::make_shared<RecordingSystem>();
    system->displays = RecordingSystem::listing({7});
    MacScreenSource source(system, {13, 5, 0});
    ASSERT_TRUE(source.capture({1280, 800}));
    ASSERT_TRUE(source.capture({1280, 800}));
    EXPECT_EQ(system->contentQueries, 0);
    EXPECT_TRUE(system->screenshots.empty());
    ASSERT_EQ(system->legacyPlans.size(), 2u);
    const LegacyCapture& plan = system->legacyPlans[0];
    EXPECT_STREQ(plan.framework, "/System/Library/Frameworks/CoreGraphics.framework/CoreGraphics");
    EXPECT_EQ(plan.openMode, 2);
    EXPECT_STREQ(plan.symbol, "CGDisplayCreateImage");
    EXPECT_EQ(plan.width, 1280);
    EXPECT_EQ(plan.height, 800);
    EXPECT_EQ(plan.bitsPerComponent, 8);
    EXPECT_EQ(plan.bytesPerRow, 0);
    EXPECT_EQ(plan.alphaInfo, 6u);
    EXPECT_EQ(plan.interpolationQuality, 4);
}

TEST(MacScreenCapture, SizesAreTruncatedToWholePixels) {
    EXPECT_EQ(screenshotConfiguration(1280.9, 800.6), (ScreenshotConfiguration{1280, 800, true}));
    const LegacyCapture plan = legacyCapture(999.99, 561.5);
    EXPECT_EQ(plan.width, 999);
    EXPECT_EQ(plan.height, 561);
}

}  // namespace
