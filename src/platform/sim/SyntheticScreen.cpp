#include "platform/sim/SyntheticScreen.h"

namespace velora::sim {

SyntheticScreen::SyntheticScreen(PixelSize size) : size_(size) {}

void SyntheticScreen::setColor(uint32_t argb) {
    std::lock_guard lock(mutex_);
    color_ = argb;
    pattern_ = false;
}

void SyntheticScreen::setPattern(uint32_t seed) {
    std::lock_guard lock(mutex_);
    seed_ = seed;
    pattern_ = true;
}

void SyntheticScreen::setSize(PixelSize size) {
    std::lock_guard lock(mutex_);
    size_ = size;
}

void SyntheticScreen::setFailing(bool failing) {
    std::lock_guard lock(mutex_);
    failing_ = failing;
}

void SyntheticScreen::setReportsUnchanged(bool unchanged) {
    std::lock_guard lock(mutex_);
    reportsUnchanged_ = unchanged;
}

int SyntheticScreen::captures() const {
    std::lock_guard lock(mutex_);
    return captures_;
}

PixelSize SyntheticScreen::lastCaptureSize() const {
    std::lock_guard lock(mutex_);
    return lastCaptureSize_;
}

PixelSize SyntheticScreen::pixelSize() {
    std::lock_guard lock(mutex_);
    return size_;
}

std::optional<Image> SyntheticScreen::capture(PixelSize size) {
    {
        std::lock_guard lock(mutex_);
        ++captures_;
        lastCaptureSize_ = size;
        if (failing_) return std::nullopt;
    }
    return render(size);
}

bool SyntheticScreen::unchangedSinceLastCapture() {
    std::lock_guard lock(mutex_);
    return reportsUnchanged_;
}

Image SyntheticScreen::render(PixelSize size) const {
    std::lock_guard lock(mutex_);
    Image image{size.width, size.height, {}};
    if (size.width <= 0 || size.height <= 0) return image;
    image.pixels.resize(static_cast<size_t>(size.width) * size.height * 4);
    uint8_t* p = image.pixels.data();
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x, p += 4) {
            uint32_t c = color_;
            if (pattern_) {
                const uint32_t stripe = ((x + seed_ * 7) / 16 + y / 16) % 3;
                c = 0xFF000000 | (stripe == 0 ? 0xFF0000u : stripe == 1 ? 0x00FF00u : 0x0000FFu);
                c ^= ((x * 255 / size.width) << 8) ^ (seed_ * 0x1F3Du & 0xFFFFu);
            }
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
            p[3] = static_cast<uint8_t>(c >> 24);
        }
    }
    return image;
}

}  // namespace velora::sim
