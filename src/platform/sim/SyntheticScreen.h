// A screen source for tests: a picture that the test sets (a solid colour or a pattern), drawn at
// whatever size is asked, with counters and switches for failures and "nothing changed" hints.
// Tests change it from their own thread while a streamer captures from another.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/Platform.h"

namespace velora::sim {

class SyntheticScreen : public ScreenSource {
  public:
    explicit SyntheticScreen(PixelSize size = {1280, 800});

    // A BGRA colour as 0xAARRGGBB.
    void setColor(uint32_t argb);
    // A pattern of stripes and a gradient that differs for every `seed`.
    void setPattern(uint32_t seed);
    void setSize(PixelSize size);
    void setFailing(bool failing);
    // What unchangedSinceLastCapture() answers.
    void setReportsUnchanged(bool unchanged);

    int captures() const;
    PixelSize lastCaptureSize() const;

    PixelSize pixelSize() override;
    std::optional<Image> capture(PixelSize size) override;
    bool unchangedSinceLastCapture() override;

    // The picture the source delivers at `size` right now, for comparisons in tests.
    Image render(PixelSize size) const;

  private:
    mutable std::mutex mutex_;
    PixelSize size_;
    uint32_t color_ = 0xFF000000;
    bool pattern_ = false;
    uint32_t seed_ = 0;
    bool failing_ = false;
    bool reportsUnchanged_ = false;
    int captures_ = 0;
    PixelSize lastCaptureSize_;
};

}  // namespace velora::sim
