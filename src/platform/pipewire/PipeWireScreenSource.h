// The live view's picture from a PipeWire video stream: the screen cast a desktop portal started.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Platform.h"

namespace velora::pipewire {

class CastStream;

// A screen cast as the portal hands it over: the socket its remote was opened on, the stream's
// node and the size of the screen it shows in logical pixels (0 x 0 when unknown).
struct ScreenCast {
    int fd = -1;
    uint32_t nodeId = 0;
    PixelSize logicalSize;
};

// One viewer of a cast: the newest frame of the shared stream, scaled to the size asked for.
class PipeWireScreenSource final : public ScreenSource {
public:
    explicit PipeWireScreenSource(std::shared_ptr<CastStream> cast);
    ~PipeWireScreenSource() override;
    PipeWireScreenSource(const PipeWireScreenSource&) = delete;
    PipeWireScreenSource& operator=(const PipeWireScreenSource&) = delete;

    PixelSize pixelSize() override;
    // None until the first frame arrives (waiting up to two seconds for it), and once the
    // stream has ended.
    std::optional<Image> capture(PixelSize size) override;
    // True while no frame has arrived since the last capture.
    bool unchangedSinceLastCapture() override;

private:
    const std::shared_ptr<CastStream> cast_;
    // The serial of the frame scaled last; 0 before the first.
    uint64_t seen_ = 0;
    std::vector<uint8_t> scaled_;
    PixelSize scaledSize_;
};

// The platform's screen sources for a cast: one per viewer, all on one connection and one
// stream, made from `cast.fd` (owned from here on) when the first viewer comes. Each call
// returns none once the connection cannot be made.
std::function<std::unique_ptr<ScreenSource>()> screenSourceFactory(ScreenCast cast);

}  // namespace velora::pipewire
