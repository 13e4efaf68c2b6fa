#include "platform/macos/MacScreenCapture.h"

#include <algorithm>
#include <condition_variable>

namespace velora::macos {

bool usesScreenCaptureKit(SystemVersion version) {
    return version.major >= 14;
}

ScreenshotConfiguration screenshotConfiguration(double width, double height) {
    return {static_cast<int>(width), static_cast<int>(height), true};
}

LegacyCapture legacyCapture(double width, double height) {
    LegacyCapture plan;
    plan.width = static_cast<int>(width);
    plan.height = static_cast<int>(height);
    return plan;
}

bool checkScreenCapturePermission(const std::shared_ptr<ScreenCaptureSystem>& system) {
    if (system->preflightScreenCaptureAccess()) return true;
    system->runOnMain([system] { system->requestScreenCaptureAccess(); });
    return false;
}

MacScreenSource::MacScreenSource(std::shared_ptr<ScreenCaptureSystem> system, SystemVersion version,
                                 std::chrono::milliseconds longestWait)
    : system_(std::move(system)),
      screenCaptureKit_(usesScreenCaptureKit(version)),
      longestWait_(longestWait) {}

PixelSize MacScreenSource::pixelSize() {
    return system_->displayPixelSize(system_->mainDisplayID());
}

std::optional<Image> MacScreenSource::capture(PixelSize size) {
    if (!screenCaptureKit_)
        return system_->captureLegacy(system_->mainDisplayID(),
                                      legacyCapture(size.width, size.height));

    // The completion may come after the wait has given up: it only touches this shared state.
    struct Pending {
        std::mutex mutex;
        std::condition_variable arrived;
        bool done = false;
        std::optional<Image> image;
    };
    auto pending = std::make_shared<Pending>();
    captureScreenshot(size, [pending](std::optional<Image> image) {
        {
            std::lock_guard lock(pending->mutex);
            pending->image = std::move(image);
            pending->done = true;
        }
        pending->arrived.notify_all();
    });
    std::unique_lock lock(pending->mutex);
    if (!pending->arrived.wait_for(lock, longestWait_, [&] { return pending->done; }))
        return std::nullopt;
    return std::move(pending->image);
}

void MacScreenSource::captureScreenshot(PixelSize size,
                                        std::function<void(std::optional<Image>)> done) {
    const ScreenshotConfiguration configuration = screenshotConfiguration(size.width, size.height);
    std::shared_ptr<const ContentFilter> filter;
    {
        std::lock_guard lock(cache_->mutex);
        filter = cache_->filter;
    }
    if (filter) return system_->captureScreenshot(*filter, configuration, std::move(done));

    system_->shareableDisplays(
        false, true,
        [system = system_, cache = std::weak_ptr<FilterCache>(cache_), configuration,
         done = std::move(done)](std::optional<std::vector<ShareableDisplay>> displays) mutable {
            const uint32_t mainID = system->mainDisplayID();
            if (!displays || displays->empty()) return done(std::nullopt);
            auto chosen = std::find_if(displays->begin(), displays->end(),
                                       [&](const auto& d) { return d.displayID == mainID; });
            if (chosen == displays->end()) chosen = displays->begin();
            auto filter = system->makeFilter(*chosen);
            if (!filter) return done(std::nullopt);
            // Stored before the screenshot is asked for, so the next capture finds it.
            if (auto live = cache.lock()) {
                std::lock_guard lock(live->mutex);
                if (!live->filter) live->filter = filter;
            }
            system->captureScreenshot(*filter, configuration, std::move(done));
        });
}

}  // namespace velora::macos
