// The live view's picture from a PipeWire video stream: the screen cast a desktop portal started.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Platform.h"

struct pw_stream;
struct pw_stream_events;
struct spa_buffer;
struct spa_pod;

namespace velora::pipewire {

class PipeWireConnection;

// A screen cast as the portal hands it over: the socket its remote was opened on (owned by
// whoever holds it), the stream's node and the size of the screen it shows in logical pixels
// (0 x 0 when unknown).
struct ScreenCast {
    int fd = -1;
    uint32_t nodeId = 0;
    PixelSize logicalSize;
};

// One viewer's stream of the cast's node. The stream starts at the first capture and ends with
// the source, so the desktop only produces frames while someone watches. Frames arrive on the
// connection's thread, where only the newest is kept, in B, G, R, A order and cropped; a capture
// takes it over and scales it. Memory buffers only: no GPU path reads DMA-BUF frames here.
class PipeWireScreenSource final : public ScreenSource {
public:
    PipeWireScreenSource(std::shared_ptr<PipeWireConnection> connection, uint32_t nodeId,
                         PixelSize logicalSize);
    ~PipeWireScreenSource() override;
    PipeWireScreenSource(const PipeWireScreenSource&) = delete;
    PipeWireScreenSource& operator=(const PipeWireScreenSource&) = delete;

    // The logical size when it is known, else the stream's (which starts it).
    PixelSize pixelSize() override;
    // None until the first frame arrives (waiting up to two seconds for it), and once the
    // stream has ended.
    std::optional<Image> capture(PixelSize size) override;
    // True while no frame has arrived since the last capture.
    bool unchangedSinceLastCapture() override;

    // Frames with a picture that have arrived so far. Only the newest of those waiting at once
    // is copied, so a count that stays means no copies.
    uint64_t framesReceived() const;

private:
    struct Frame {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> pixels;
    };

    static const pw_stream_events streamEvents;
    // What the stream tells, on the connection's thread.
    void formatChanged(const spa_pod* format);
    void process();
    void stateChanged(int state);

    void start();
    bool ended() const;
    bool waitFor(const std::function<bool()>& done);
    bool hasPicture(const spa_buffer& buffer) const;
    void take(const spa_buffer& buffer);

    const std::shared_ptr<PipeWireConnection> connection_;
    const uint32_t nodeId_;
    const PixelSize logicalSize_;
    struct Hook;
    std::unique_ptr<Hook> hook_;

    // Under the connection's lock.
    pw_stream* stream_ = nullptr;
    int syncSeq_ = 0;
    bool streamEnded_ = false;
    bool swapped_ = false;
    PixelSize videoSize_;
    Frame pending_;
    bool fresh_ = false;
    uint64_t received_ = 0;

    // On the capturing thread.
    Frame frame_;
    std::vector<uint8_t> scaled_;
    PixelSize scaledSize_;
};

// The platform's screen sources for a cast: one per viewer, all on one connection made from
// `cast.fd` when the first is made. Each call returns none once the connection cannot be made.
std::function<std::unique_ptr<ScreenSource>()> screenSourceFactory(ScreenCast cast);

}  // namespace velora::pipewire
