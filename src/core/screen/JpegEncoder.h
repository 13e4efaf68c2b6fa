// JPEG encoding of screen pictures with libjpeg-turbo. Each row of 16-pixel blocks (an MCU row)
// is cut by restart markers into a few equal segments of blocks, which makes each segment's
// compressed bytes depend on its own pixels only. The encoder keeps those bytes per segment;
// told which parts changed since the previous picture, it compresses only the segments they
// touch and splices the rest from the previous frame, so the cost follows what changed on
// screen. The result is the same file a whole encoding gives. Buffers are reused from frame to
// frame.
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
    // Pixels [left, right) of rows [top, bottom).
    struct Box {
        int top = 0;
        int bottom = 0;
        int left = 0;
        int right = 0;
    };

    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // A complete baseline JPEG file (4:2:0) of a BGRA image at `qualityPercent` (1..100), or
    // none when the image is empty or malformed or the compressor fails. The bytes stay valid
    // until the next call.
    std::optional<std::span<const uint8_t>> encode(const Image& image, int qualityPercent);

    // The same for an image that differs from the one of the previous successful call only in
    // the `changed` boxes. Encodes the whole image when there is no such previous image of the
    // same size and quality.
    std::optional<std::span<const uint8_t>> encodeChanged(const Image& image, int qualityPercent,
                                                          std::span<const Box> changed);

private:
    struct Codec;
    bool encodeSegments(const Image& image, int firstRow, int endRow, int firstColumn,
                        int endColumn, int quality);
    bool splitSegments(int firstRow, int endRow, int firstColumn, int endColumn, bool keepHeader);
    void assemble();

    std::unique_ptr<Codec> codec_;
    // What the cached rows belong to, while they are valid.
    std::optional<PixelSize> cachedSize_;
    int cachedQuality_ = 0;
    // Segments per block row, and blocks per segment.
    int columns_ = 1;
    int segmentBlocks_ = 1;
    // The file's headers up to the entropy-coded data, and each segment's compressed bytes, row
    // after row.
    std::vector<uint8_t> header_;
    std::vector<std::vector<uint8_t>> segments_;
    std::vector<uint8_t> file_;
};

}  // namespace velora
