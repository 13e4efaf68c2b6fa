// The one stream of a screen cast's node that all its viewers share.
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

// A picture from the stream in B, G, R, A order, rows packed.
struct CastFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// The stream runs while at least one viewer has joined and captured, so the desktop produces
// frames only while someone watches. Frames arrive on the connection's thread, where the newest
// is copied out of its buffer (cropped, channels in order) and the buffer goes back at once;
// viewers share that copy. Memory buffers only: no GPU path reads DMA-BUF frames here.
class CastStream {
public:
    CastStream(std::shared_ptr<PipeWireConnection> connection, uint32_t nodeId,
               PixelSize logicalSize);
    ~CastStream();
    CastStream(const CastStream&) = delete;
    CastStream& operator=(const CastStream&) = delete;

    void join();
    // The last viewer's leave ends the stream.
    void leave();

    // The logical size when it is known, else the stream's (which starts it).
    PixelSize pixelSize();

    struct Latest {
        std::shared_ptr<const CastFrame> frame;
        // Counts the frames taken: a viewer that saw this number has seen this frame.
        uint64_t serial = 0;
        bool ended = false;
    };
    // The newest frame, starting the stream if needed; with `wait`, waits up to two seconds
    // for a first frame.
    Latest latest(bool wait);
    // True while the stream goes on and has taken no frame after `serial`.
    bool unchangedSince(uint64_t serial);
    // Frames with a picture that have arrived. Only the newest of those waiting at once is
    // copied, so a count that stays means no copies.
    uint64_t framesReceived();

private:
    static const pw_stream_events streamEvents;
    // What the stream tells, on the connection's thread.
    void formatChanged(const spa_pod* format);
    void process();
    void stateChanged(int state);

    void start();
    void stop();
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
    int viewers_ = 0;
    pw_stream* stream_ = nullptr;
    int syncSeq_ = 0;
    bool streamEnded_ = false;
    bool swapped_ = false;
    PixelSize videoSize_;
    std::shared_ptr<CastFrame> latest_;
    // The frame before, reused for the next copy once no viewer holds it.
    std::shared_ptr<CastFrame> spare_;
    uint64_t serial_ = 0;
    uint64_t received_ = 0;
};

}  // namespace velora::pipewire
