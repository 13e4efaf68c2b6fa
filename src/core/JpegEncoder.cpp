#include "core/JpegEncoder.h"

#include <turbojpeg.h>

#include <algorithm>

namespace velora {

JpegEncoder::JpegEncoder() : compressor_(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
    if (compressor_) tjDestroy(compressor_);
    tjFree(buffer_);
}

std::optional<std::span<const uint8_t>> JpegEncoder::encode(const Image& image,
                                                            int qualityPercent) {
    if (!compressor_ || image.width <= 0 || image.height <= 0) return std::nullopt;
    const size_t stride = static_cast<size_t>(image.width) * 4;
    if (image.pixels.size() != stride * static_cast<size_t>(image.height)) return std::nullopt;

    // Sized for the worst case so the compressor never has to reallocate mid-frame.
    const unsigned long needed = tjBufSize(image.width, image.height, TJSAMP_420);
    if (needed == static_cast<unsigned long>(-1)) return std::nullopt;
    if (needed > capacity_) {
        tjFree(buffer_);
        buffer_ = tjAlloc(static_cast<int>(needed));
        capacity_ = buffer_ ? needed : 0;
        if (!buffer_) return std::nullopt;
    }
    unsigned long size = capacity_;
    const int quality = std::clamp(qualityPercent, 1, 100);
    // The pad byte of each pixel is ignored: screen pictures carry no transparency.
    if (tjCompress2(compressor_, image.pixels.data(), image.width, static_cast<int>(stride),
                    image.height, TJPF_BGRX, &buffer_, &size, TJSAMP_420, quality,
                    TJFLAG_NOREALLOC) != 0)
        return std::nullopt;
    return std::span<const uint8_t>(buffer_, size);
}

}  // namespace velora
