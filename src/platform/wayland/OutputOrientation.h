// How the rows of a screen copy become the picture the person sees. The compositor copies an
// output's buffer as the device holds it: a rotated or mirrored output's buffer is turned against
// the layout, and some compositors fill it bottom row first.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace velora::wayland {

// A rectangle of pixels.
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box&) const = default;
};

// The way from a buffer to its upright picture: the rows reversed first where needed, then a
// number of quarter turns clockwise. Every output transform, mirrored ones included, is one of
// these eight.
class OutputOrientation {
public:
    // For an output with the wl_output `transform` whose copy has the `yInvert` flag.
    OutputOrientation(int32_t transform, bool yInvert);

    // Whether the buffer already is the upright picture.
    bool upright() const { return !reverseRows_ && quarterTurns_ == 0; }
    // The size of the upright picture of a buffer of `buffer` size.
    PixelSize pictureSize(PixelSize buffer) const;
    // Where the pixels of `part` (in buffer coordinates) land in the upright picture.
    Box toPicture(Box part, PixelSize buffer) const;
    // Copies `part` of a 4-byte-per-pixel buffer into its place in the upright picture.
    void copy(const uint8_t* buffer, int stride, PixelSize bufferSize, Box part, uint8_t* picture,
              int pictureStride) const;

private:
    bool reverseRows_ = false;
    int quarterTurns_ = 0;
};

}  // namespace velora::wayland
