// JPEG encoding of screen pictures with libjpeg-turbo. Every row of 16-pixel blocks (an MCU row)
// ends in a restart marker, which makes its compressed bytes depend on its own pixels only. The
// encoder keeps those bytes per row; told which pixel rows changed since the previous picture,
// it compresses only the block rows they touch and splices the rest from the previous frame,
// so the cost follows what changed on screen. The result is the same file a whole encoding
// gives. Buffers are reused from frame to frame.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/Platform.h"

namespace velora {

class JpegEncoder {
public:
    using Rows = PictureRows;

    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // A complete baseline JPEG file (4:2:0) of a BGRA image at `qualityPercent` (1..100), or
    // none when the image is empty or malformed or the compressor fails. The bytes stay valid
    // until the next call.
    std::optional<std::span<const uint8_t>> encode(const Image& image, int qualityPercent);

    // The same for an image that differs from the one of the previous successful call only in
    // the `changed` rows. Encodes the whole image when there is no such previous image of the
    // same size and quality.
    std::optional<std::span<const uint8_t>> encodeChanged(const Image& image, int qualityPercent,
                                                          std::span<const Rows> changed);

private:
    struct Codec;
    bool encodeBlockRows(const Image& image, int first, int end, int quality);
    bool splitSegments(int first, int end, bool keepHeader);
    void assemble();

    std::unique_ptr<Codec> codec_;
    // What the cached rows belong to, while they are valid.
    std::optional<PixelSize> cachedSize_;
    int cachedQuality_ = 0;
    // The file's headers up to the entropy-coded data, and each block row's compressed bytes.
    std::vector<uint8_t> header_;
    std::vector<std::vector<uint8_t>> segments_;
    std::vector<uint8_t> file_;
};

}  // namespace velora
