#include <gtest/gtest.h>
#include <wayland-client-protocol.h>

#include <utility>
#include <vector>

#include "platform/wayland/OutputOrientation.h"

namespace velora::wayland {
namespace {

constexpr int32_t kTransforms[] = {
    WL_OUTPUT_TRANSFORM_NORMAL,      WL_OUTPUT_TRANSFORM_90,         WL_OUTPUT_TRANSFORM_180,
    WL_OUTPUT_TRANSFORM_270,         WL_OUTPUT_TRANSFORM_FLIPPED,    WL_OUTPUT_TRANSFORM_FLIPPED_90,
    WL_OUTPUT_TRANSFORM_FLIPPED_180, WL_OUTPUT_TRANSFORM_FLIPPED_270};

// A 4-byte-per-pixel buffer whose every pixel holds its own index, with a few spare bytes at
// the end of each row as compositors' strides have.
struct Buffer {
    PixelSize size;
    int stride;
    std::vector<uint32_t> pixels;
    Buffer(int width, int height) : size{width, height}, stride((width + 3) * 4) {
        pixels.assign(static_cast<size_t>(stride / 4) * height, 0xFFFFFFFF);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) at(x, y) = static_cast<uint32_t>(y * width + x);
    }
    uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * (stride / 4) + x]; }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(pixels.data()); }
};

std::vector<uint32_t> picture(const OutputOrientation& orientation, const Buffer& buffer,
                              Box part) {
    const PixelSize size = orientation.pictureSize(buffer.size);
    std::vector<uint32_t> out(static_cast<size_t>(size.width) * size.height, 0xEEEEEEEE);
    orientation.copy(buffer.bytes(), buffer.stride, buffer.size, part,
                     reinterpret_cast<uint8_t*>(out.data()), size.width * 4);
    return out;
}

// Where each corner of the buffer ends up, as the person sees the output: the compositor turned
// the layout by the transform to fill the buffer, the picture turns it back.
TEST(OutputOrientationTest, TheBuffersCornersLandWhereTheLayoutHasThem) {
    const Buffer buffer(6, 4);
    const uint32_t topLeft = 0, topRight = 5, bottomLeft = 18, bottomRight = 23;
    const struct {
        int32_t transform;
        bool yInvert;
        // The picture's top-left, top-right, bottom-left, bottom-right pixels.
        uint32_t corners[4];
    } cases[] = {
        {WL_OUTPUT_TRANSFORM_NORMAL, false, {topLeft, topRight, bottomLeft, bottomRight}},
        {WL_OUTPUT_TRANSFORM_NORMAL, true, {bottomLeft, bottomRight, topLeft, topRight}},
        {WL_OUTPUT_TRANSFORM_90, false, {bottomLeft, topLeft, bottomRight, topRight}},
        {WL_OUTPUT_TRANSFORM_180, false, {bottomRight, bottomLeft, topRight, topLeft}},
        {WL_OUTPUT_TRANSFORM_270, false, {topRight, bottomRight, topLeft, bottomLeft}},
        {WL_OUTPUT_TRANSFORM_FLIPPED, false, {topRight, topLeft, bottomRight, bottomLeft}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_90, false, {topLeft, bottomLeft, topRight, bottomRight}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_180, false, {bottomLeft, bottomRight, topLeft, topRight}},
        {WL_OUTPUT_TRANSFORM_FLIPPED_270, false, {bottomRight, topRight, bottomLeft, topLeft}},
        // Bottom-up rows of a turned output: reversed first, then turned.
        {WL_OUTPUT_TRANSFORM_90, true, {topLeft, bottomLeft, topRight, bottomRight}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "transform " << c.transform << " y-invert " << c.yInvert);
        const OutputOrientation orientation(c.transform, c.yInvert);
        const PixelSize size = orientation.pictureSize(buffer.size);
        const PixelSize expected = c.transform % 2 == 1 ? PixelSize{4, 6} : PixelSize{6, 4};
        EXPECT_EQ(size, expected);
        EXPECT_EQ(orientation.upright(), c.transform == WL_OUTPUT_TRANSFORM_NORMAL && !c.yInvert);
        const auto out = picture(orientation, buffer, {0, 0, 6, 4});
        const auto w = static_cast<size_t>(size.width), h = static_cast<size_t>(size.height);
        EXPECT_EQ(out[0], c.corners[0]);
        EXPECT_EQ(out[w - 1], c.corners[1]);
        EXPECT_EQ(out[(h - 1) * w], c.corners[2]);
        EXPECT_EQ(out[h * w - 1], c.corners[3]);
    }
}

// A damaged part copied alone fills exactly the box toPicture() names, with the pixels a whole
// copy has there; everything else is left as it was.
TEST(OutputOrientationTest, ADamagedPartLandsInTheBoxItMapsTo) {
    const Buffer buffer(7, 5);
    const Box parts[] = {{0, 0, 7, 5}, {1, 2, 3, 2}, {6, 0, 1, 5}, {0, 4, 7, 1}, {2, 1, 1, 1}};
    for (const bool yInvert : {false, true}) {
        for (const int32_t transform : kTransforms) {
            const OutputOrientation orientation(transform, yInvert);
            const PixelSize size = orientation.pictureSize(buffer.size);
            const auto whole = picture(orientation, buffer, {0, 0, 7, 5});
            for (const Box& part : parts) {
                SCOPED_TRACE(testing::Message()
                             << "transform " << transform << " y-invert " << yInvert << " part "
                             << part.x << "," << part.y << " " << part.width << "x" << part.height);
                const Box to = orientation.toPicture(part, buffer.size);
                ASSERT_EQ(to.width * to.height, part.width * part.height);
                const auto alone = picture(orientation, buffer, part);
                for (int y = 0; y < size.height; ++y)
                    for (int x = 0; x < size.width; ++x) {
                        const bool inside =
                            x >= to.x && x < to.x + to.width && y >= to.y && y < to.y + to.height;
                        const size_t i = static_cast<size_t>(y) * size.width + x;
                        ASSERT_EQ(alone[i], inside ? whole[i] : 0xEEEEEEEE) << x << "," << y;
                    }
            }
        }
    }
}

// What wlroots does with a mapped pointer's absolute position (fractions of the grid): turns it
// from the device's orientation into the layout's by the output's transform.
std::pair<double, double> compositorTurns(double x, double y, int32_t transform) {
    switch (transform) {
        case WL_OUTPUT_TRANSFORM_90:
            return {1 - y, x};
        case WL_OUTPUT_TRANSFORM_180:
            return {1 - x, 1 - y};
        case WL_OUTPUT_TRANSFORM_270:
            return {y, 1 - x};
        case WL_OUTPUT_TRANSFORM_FLIPPED:
            return {1 - x, y};
        case WL_OUTPUT_TRANSFORM_FLIPPED_90:
            return {y, x};
        case WL_OUTPUT_TRANSFORM_FLIPPED_180:
            return {x, 1 - y};
        case WL_OUTPUT_TRANSFORM_FLIPPED_270:
            return {1 - y, 1 - x};
        default:
            return {x, y};
    }
}

// A point of a 1080x1920 layout area sent as the compositor reads it lands on that point again,
// corners included, whatever the output's transform.
TEST(OutputOrientationTest, AbsoluteMovesLandOnThePointMeantOnTurnedOutputs) {
    const uint32_t width = 1080, height = 1920;
    const std::pair<uint32_t, uint32_t> points[] = {{0, 0},          {width, 0},  {0, height},
                                                    {width, height}, {270, 1440}, {1000, 7}};
    for (const int32_t transform : kTransforms) {
        for (const auto& [x, y] : points) {
            SCOPED_TRACE(testing::Message()
                         << "transform " << transform << " point " << x << "," << y);
            const GridPoint sent = deviceGrid(x, y, width, height, transform);
            ASSERT_LE(sent.x, sent.xExtent);
            ASSERT_LE(sent.y, sent.yExtent);
            const auto [fx, fy] =
                compositorTurns(static_cast<double>(sent.x) / sent.xExtent,
                                static_cast<double>(sent.y) / sent.yExtent, transform);
            EXPECT_NEAR(fx * width, x, 1e-6);
            EXPECT_NEAR(fy * height, y, 1e-6);
        }
    }
}

}  // namespace
}  // namespace velora::wayland
