// Screen capture in the macOS profile: the Screen Recording permission check, ScreenCaptureKit
// screenshots (macOS 14 and later) with the main display's content filter cached for the view,
// and the CoreGraphics path of earlier systems. Everything up to the OS calls lives here; the
// calls themselves sit behind ScreenCaptureSystem, which a macOS build implements.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Platform.h"

namespace velora::macos {

struct SystemVersion {
    int major = 0;
    int minor = 0;
    int patch = 0;
};

// ScreenCaptureKit serves from macOS 14.0.0 on; earlier systems take the CoreGraphics path.
bool usesScreenCaptureKit(SystemVersion version);

// A display as ScreenCaptureKit lists it; `native` keeps the system's object.
struct ShareableDisplay {
    uint32_t displayID = 0;
    std::shared_ptr<void> native;
};

// A content filter for one display, excluding no windows.
struct ContentFilter {
    uint32_t displayID = 0;
    std::shared_ptr<void> native;
};

// What a screenshot is asked for; every other setting keeps the system's default.
struct ScreenshotConfiguration {
    int width = 0;
    int height = 0;
    bool showsCursor = true;
    bool operator==(const ScreenshotConfiguration&) const = default;
};

// The CoreGraphics capture before macOS 14: CGDisplayCreateImage looked up at run time, the
// display image drawn into a bitmap of the frame size.
struct LegacyCapture {
    const char* framework = "/System/Library/Frameworks/CoreGraphics.framework/CoreGraphics";
    int openMode = 2;  // RTLD_NOW
    const char* symbol = "CGDisplayCreateImage";
    int width = 0;
    int height = 0;
    int bitsPerComponent = 8;
    int bytesPerRow = 0;           // chosen by the system
    uint32_t alphaInfo = 6;        // kCGImageAlphaNoneSkipFirst, device RGB
    int interpolationQuality = 4;  // kCGInterpolationMedium
};

// The frame size's width and height, truncated to whole pixels.
ScreenshotConfiguration screenshotConfiguration(double width, double height);
LegacyCapture legacyCapture(double width, double height);

// The OS calls. Completions may come on any thread and are called exactly once.
class ScreenCaptureSystem {
  public:
    virtual ~ScreenCaptureSystem() = default;
    // CGPreflightScreenCaptureAccess().
    virtual bool preflightScreenCaptureAccess() = 0;
    // CGRequestScreenCaptureAccess(); its answer is not used.
    virtual void requestScreenCaptureAccess() = 0;
    // An asynchronous dispatch onto the main queue.
    virtual void runOnMain(std::function<void()> work) = 0;
    // CGMainDisplayID().
    virtual uint32_t mainDisplayID() = 0;
    // CGDisplayPixelsWide and CGDisplayPixelsHigh of a display.
    virtual PixelSize displayPixelSize(uint32_t display) = 0;
    // SCShareableContent's displays, or none when no content came back.
    virtual void shareableDisplays(
        bool excludeDesktopWindows, bool onScreenWindowsOnly,
        std::function<void(std::optional<std::vector<ShareableDisplay>>)> done) = 0;
    // SCContentFilter initWithDisplay:excludingWindows: with no windows.
    virtual std::shared_ptr<const ContentFilter> makeFilter(const ShareableDisplay& display) = 0;
    // SCScreenshotManager captureImageWithFilter:configuration:completionHandler:.
    virtual void captureScreenshot(const ContentFilter& filter,
                                   const ScreenshotConfiguration& configuration,
                                   std::function<void(std::optional<Image>)> done) = 0;
    // The legacy capture of `display` as planned.
    virtual std::optional<Image> captureLegacy(uint32_t display, const LegacyCapture& plan) = 0;
};

// True when the screen may be captured; otherwise schedules one permission request on the main
// thread and answers false at once.
bool checkScreenCapturePermission(const std::shared_ptr<ScreenCaptureSystem>& system);

// The main display as a picture source on macOS. The ScreenCaptureKit path asks for the
// shareable content once per view and keeps the main display's filter for later captures, even
// if the displays change meanwhile.
class MacScreenSource : public ScreenSource {
  public:
    MacScreenSource(std::shared_ptr<ScreenCaptureSystem> system, SystemVersion version,
                    std::chrono::milliseconds longestWait = std::chrono::seconds(2));

    PixelSize pixelSize() override;
    // Waits for the screenshot up to `longestWait`; none when it does not come.
    std::optional<Image> capture(PixelSize size) override;
    // The ScreenCaptureKit capture; `done` gets the image or none, once, on any thread.
    void captureScreenshot(PixelSize size, std::function<void(std::optional<Image>)> done);

  private:
    struct FilterCache {
        std::mutex mutex;
        std::shared_ptr<const ContentFilter> filter;
    };

    std::shared_ptr<ScreenCaptureSystem> system_;
    bool screenCaptureKit_;
    std::chrono::milliseconds longestWait_;
    std::shared_ptr<FilterCache> cache_ = std::make_shared<FilterCache>();
};

}  // namespace velora::macos
