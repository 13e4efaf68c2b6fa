// The frame pump of one live view: paced captures of the main display, JPEG-encoded, sent as
// length-prefixed frames and throttled by the phone's acknowledgements. Runs on its own thread
// ("velora.screen"); frames reach the socket through the server thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velora {

// The streamer's pacing, and the clock it reads for keep-alives (tests fake it). Declared outside
// the class so that its member defaults can serve as a default argument of the constructor.
struct ScreenTiming {
    std::chrono::nanoseconds tick = std::chrono::milliseconds(66);
    std::chrono::nanoseconds keepAlive = std::chrono::seconds(1);
    std::function<std::chrono::steady_clock::time_point()> now = std::chrono::steady_clock::now;
};

class ScreenStreamer {
  public:
    using Clock = std::chrono::steady_clock;

    // How the streamer reaches its connection. Both calls come from the streamer's thread and
    // must hand the work to the server thread. `sendLine` gets the complete line, its "\n"
    // included. `sendFrame` gets the whole frame (length field and payload); `done` is called
    // once, on any thread, when the write has completed (ok) or failed. The streamer starts no
    // new capture while a frame's `done` is outstanding, so frames never pile up in the queue.
    struct Target {
        std::function<void(std::string line)> sendLine;
        std::function<void(std::vector<uint8_t> frame, std::function<void(bool ok)> done)>
            sendFrame;
    };

    using Timing = ScreenTiming;

    ScreenStreamer(std::unique_ptr<ScreenSource> source, Target target, int64_t maxW,
                   int64_t quality, std::function<bool()> allowed, std::function<void()> onEnd,
                   Timing timing = {});
    ~ScreenStreamer();
    ScreenStreamer(const ScreenStreamer&) = delete;
    ScreenStreamer& operator=(const ScreenStreamer&) = delete;

    // Fixes the frame size, sends the header line and starts the timer (first tick at once), all
    // on the streamer's thread. A display without width or height ends the view at once (stop
    // and onEnd) without a header.
    void start();
    // Ends the view; no byte is written afterwards. Safe to call more than once.
    void stop();
    // One acknowledgement from the phone.
    void ack();

    int maxW() const;
    double quality() const;

    // The frame size for a display: width min(W, maxW), height rounded half away from zero;
    // 0 x 0 for a display without width or height.
    static PixelSize frameSize(PixelSize display, int maxW);

  private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace velora
