#include "platform/wayland/OutputOrientation.h"

#include <libyuv/rotate_argb.h>
#include <wayland-client-protocol.h>

namespace velora::wayland {

namespace {

// The compositor turns the layout by the output's transform to fill the buffer; the picture
// undoes that. A mirrored transform is a mirror about the vertical axis, which is reversed rows
// and a half turn.
struct Undo {
    bool reverseRows;
    int quarterTurns;
};

Undo undo(int32_t transform) {
    switch (transform) {
        case WL_OUTPUT_TRANSFORM_90:
            return {false, 1};
        case WL_OUTPUT_TRANSFORM_180:
            return {false, 2};
        case WL_OUTPUT_TRANSFORM_270:
            return {false, 3};
        case WL_OUTPUT_TRANSFORM_FLIPPED:
            return {true, 2};
        case WL_OUTPUT_TRANSFORM_FLIPPED_90:
            return {true, 1};
        case WL_OUTPUT_TRANSFORM_FLIPPED_180:
            return {true, 0};
        case WL_OUTPUT_TRANSFORM_FLIPPED_270:
            return {true, 3};
        default:
            return {false, 0};
    }
}

constexpr libyuv::RotationMode kTurns[] = {libyuv::kRotate0, libyuv::kRotate90, libyuv::kRotate180,
                                           libyuv::kRotate270};

}  // namespace

OutputOrientation::OutputOrientation(int32_t transform, bool yInvert) {
    const Undo steps = undo(transform);
    // Bottom-up rows are reversed before anything else, so two reversals cancel.
    reverseRows_ = steps.reverseRows != yInvert;
    quarterTurns_ = steps.quarterTurns;
}

PixelSize OutputOrientation::pictureSize(PixelSize buffer) const {
    return quarterTurns_ % 2 ? PixelSize{buffer.height, buffer.width} : buffer;
}

Box OutputOrientation::toPicture(Box part, PixelSize buffer) const {
    const int y = reverseRows_ ? buffer.height - part.y - part.height : part.y;
    const int w = buffer.width, h = buffer.height;
    switch (quarterTurns_) {
        case 1:
            return {h - y - part.height, part.x, part.height, part.width};
        case 2:
            return {w - part.x - part.width, h - y - part.height, part.width, part.height};
        case 3:
            return {y, w - part.x - part.width, part.height, part.width};
        default:
            return {part.x, y, part.width, part.height};
    }
}

void OutputOrientation::copy(const uint8_t* buffer, int stride, PixelSize bufferSize, Box part,
                             uint8_t* picture, int pictureStride) const {
    const Box to = toPicture(part, bufferSize);
    const uint8_t* from = buffer + static_cast<ptrdiff_t>(part.y) * stride + part.x * 4;
    if (reverseRows_) {
        // Read the part's rows from its last one up.
        from += static_cast<ptrdiff_t>(part.height - 1) * stride;
        stride = -stride;
    }
    libyuv::ARGBRotate(from, stride,
                       picture + static_cast<ptrdiff_t>(to.y) * pictureStride + to.x * 4,
                       pictureStride, part.width, part.height, kTurns[quarterTurns_]);
}

GridPoint deviceGrid(uint32_t x, uint32_t y, uint32_t width, uint32_t height, int32_t transform) {
    switch (transform) {
        case WL_OUTPUT_TRANSFORM_90:
            return {y, width - x, height, width};
        case WL_OUTPUT_TRANSFORM_180:
            return {width - x, height - y, width, height};
        case WL_OUTPUT_TRANSFORM_270:
            return {height - y, x, height, width};
        case WL_OUTPUT_TRANSFORM_FLIPPED:
            return {width - x, y, width, height};
        case WL_OUTPUT_TRANSFORM_FLIPPED_90:
            return {y, x, height, width};
        case WL_OUTPUT_TRANSFORM_FLIPPED_180:
            return {x, height - y, width, height};
        case WL_OUTPUT_TRANSFORM_FLIPPED_270:
            return {height - y, width - x, height, width};
        default:
            return {x, y, width, height};
    }
}

}  // namespace velora::wayland
