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

// An absolute pointer position as zwlr_virtual_pointer_v1.motion_absolute takes it: a point on
// a grid of the given extents.
struct GridPoint {
    uint32_t x, y, xExtent, yExtent;
    bool operator==(const GridPoint&) const = default;
};

// wlroots reads a mapped pointer's absolute position as a touchscreen reports it, in the output
// device's own orientation, and turns it by the output's transform into the layout. This turns a
// point of the output's layout area (offsets from its corner in a width x height area) the other
// way, so that it lands where it was meant to.
GridPoint deviceGrid(uint32_t x, uint32_t y, uint32_t width, uint32_t height, int32_t transform);

}  // namespace velora::wayland
