// A video source node of known pictures, as a screen cast would offer one: raw frames of one
// size and format in memory buffers, sent only when the picture changes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct pw_thread_loop;
struct pw_context;
struct pw_core;
struct pw_stream;
struct pw_stream_events;
struct spa_source;

namespace velora::test {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour at (x, y) of a picture `width` x `height`.
using Painter = std::function<Rgb(int x, int y, int width, int height)>;

struct CropArea {
    int x = 0, y = 0, width = 0, height = 0;
};

class TestVideoProducer {
public:
    // `format` is an spa_video_format of four bytes a pixel.
    TestVideoProducer(uint32_t format, int width, int height);
    ~TestVideoProducer();
    TestVideoProducer(const TestVideoProducer&) = delete;
    TestVideoProducer& operator=(const TestVideoProducer&) = delete;

    // The node's id once the daemon has made it; 0 when it does not within a generous limit.
    uint32_t nodeId();
    // Sends a frame of this picture as soon as a viewer is linked (again after each relink),
    // with `crop` as its crop region when it has a size.
    void show(const Painter& painter, CropArea crop = {});
    // The same with a picture already in the stream's format, rows packed.
    void show(std::vector<uint8_t> picture, CropArea crop = {});
    // A picture in the stream's format.
    std::vector<uint8_t> paint(const Painter& painter) const;
    // Sends the picture again, as a desktop does when something is drawn.
    void repaint();
    // Frames sent so far.
    int framesSent();
    // Waits until a viewer is linked and the stream runs (true), or until none is (false);
    // false as well when that state does not come within a generous limit.
    bool waitForStreaming(bool streaming);
    // The highest frame rate agreed with the viewer, as numerator / denominator; 0 / 0 before.
    std::pair<uint32_t, uint32_t> maxFramerate();

private:
    static const pw_stream_events streamEvents;
    void sendPending();
    void retryLater();

    const uint32_t format_;
    const int width_, height_;
    pw_thread_loop* loop_ = nullptr;
    pw_context* context_ = nullptr;
    pw_core* core_ = nullptr;
    pw_stream* stream_ = nullptr;
    spa_source* retry_ = nullptr;
    struct Hook;
    Hook* hook_ = nullptr;
    // Under the loop's lock.
    std::vector<uint8_t> picture_;
    CropArea crop_;
    bool pending_ = false;
    bool streaming_ = false;
    int sent_ = 0;
    std::pair<uint32_t, uint32_t> maxFramerate_{0, 0};
};

}  // namespace velora::test
