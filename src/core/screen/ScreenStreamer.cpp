#include "core/screen/ScreenStreamer.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>

#include "core/net/Asio.h"
#include "core/screen/JpegEncoder.h"

namespace velora {

namespace {

constexpr int kMinWidth = 320;
constexpr int kMaxWidth = 1920;
constexpr int64_t kMinQuality = 20;
constexpr int64_t kMaxQuality = 90;
constexpr int kMaxUnacknowledged = 2;

void nameThisThread() {
#ifdef __APPLE__
    pthread_setname_np("velora.screen");
#else
    pthread_setname_np(pthread_self(), "velora.screen");
#endif
}

// The pixels [left, right) of a row in which two rows of `bytes` (whole pixels) differ; none
// when equal. Most rows compared are equal: one library compare settles them.
std::optional<std::pair<int, int>> differingPixels(const uint8_t* a, const uint8_t* b,
                                                   size_t bytes) {
    if (std::memcmp(a, b, bytes) == 0) return std::nullopt;
    const auto pixel = [](const uint8_t* p, size_t i) {
        uint32_t value;
        std::memcpy(&value, p + i * 4, 4);
        return value;
    };
    const size_t pixels = bytes / 4;
    size_t left = 0;
    while (pixel(a, left) == pixel(b, left)) ++left;
    size_t right = pixels;
    while (pixel(a, right - 1) == pixel(b, right - 1)) --right;
    return std::pair{static_cast<int>(left), static_cast<int>(right)};
}

// Brings `kept` in step with `picture` (same size, both well formed), looking only inside the
// `candidates`, outside which the two are known equal. `changed` gets boxes around what
// differed, one per run of rows, which is copied over; it stays empty when nothing differed.
void takeChanges(Image& kept, const Image& picture, std::span<const PictureRows> candidates,
                 std::vector<JpegEncoder::Box>& changed) {
    changed.clear();
    const size_t pitch = static_cast<size_t>(picture.width) * 4;
    for (const PictureRows& rows : candidates) {
        const int end = std::clamp(rows.end, 0, picture.height);
        for (int y = std::clamp(rows.begin, 0, picture.height); y < end; ++y) {
            const uint8_t* now = picture.pixels.data() + y * pitch;
            uint8_t* before = kept.pixels.data() + y * pitch;
            const auto pixels = differingPixels(before, now, pitch);
            if (!pixels) continue;
            const auto [left, right] = *pixels;
            std::memcpy(before + left * 4, now + left * 4, static_cast<size_t>(right - left) * 4);
            if (!changed.empty() && changed.back().bottom == y) {
                JpegEncoder::Box& box = changed.back();
                box.bottom = y + 1;
                box.left = std::min(box.left, left);
                box.right = std::max(box.right, right);
            } else {
                changed.push_back({y, y + 1, left, right});
            }
        }
    }
}

}  // namespace

// Everything below the public object. Handlers posted to `io` refer to the state by plain pointer:
// they only ever run inside io.run(), which the state outlives.
struct ScreenStreamer::State : std::enable_shared_from_this<State> {
    State(std::unique_ptr<ScreenSource> source, Target target, int maxW, int64_t qualityPercent,
          std::function<bool()> allowed, std::function<void()> onEnd, Timing timing)
        : source(std::move(source)),
          target(std::move(target)),
          maxW(maxW),
          qualityPercent(static_cast<int>(qualityPercent)),
          allowed(std::move(allowed)),
          onEnd(std::move(onEnd)),
          timing(std::move(timing)) {}

    const std::unique_ptr<ScreenSource> source;
    const Target target;
    const int maxW;
    const int qualityPercent;
    const std::function<bool()> allowed;
    const std::function<void()> onEnd;
    const Timing timing;

    asio::io_context io;
    asio::executor_work_guard<asio::io_context::executor_type> work{io.get_executor()};
    asio::steady_timer timer{io};
    std::thread thread;

    // Set from any thread. A send checks it under `sendMutex`, so once stop() has returned no
    // further call reaches the target, even for a capture that was under way.
    std::atomic<bool> stopped{false};
    std::mutex sendMutex;
    // Acknowledgements received and not yet taken by the streamer's thread.
    std::atomic<uint64_t> acks{0};

    // Used on the streamer's thread only.
    JpegEncoder encoder;
    PixelSize outSize;
    bool started = false;
    int inFlight = 0;
    // A cycle is under way: from its tick until its frame's send has completed.
    bool busy = false;
    // The picture of the last JPEG frame sent (empty when unknown), and whether the latest
    // capture matched it.
    Image sent;
    bool inSync = false;
    // Reused from frame to frame: the rows the source reports and what really changed in them.
    std::vector<PictureRows> reportedRows;
    std::vector<JpegEncoder::Box> changes;
    std::optional<Clock::time_point> lastSent;

    void begin();
    void scheduleTick(Clock::time_point due);
    void tick();
    bool sendIfChanged(const Image& picture);
    void keepAliveOrIdle();
    bool sendFrame(std::span<const uint8_t> payload);
    void frameDone(bool ok);
    void requestStop();
    void end();
};

void ScreenStreamer::State::begin() {
    if (stopped || started) return;
    started = true;
    const PixelSize display = source ? source->pixelSize() : PixelSize{};
    outSize = frameSize(display, maxW);
    if (outSize.width <= 0) {
        // Without a display there is nothing to show; end the view rather than divide by 0.
        end();
        if (onEnd) onEnd();
        return;
    }
    {
        std::lock_guard lock(sendMutex);
        if (stopped) return;
        target.sendLine("SCREEN " + std::to_string(display.width) + " " +
                        std::to_string(display.height) + "\n");
    }
    scheduleTick(Clock::now());
}

void ScreenStreamer::State::scheduleTick(Clock::time_point due) {
    timer.expires_at(due);
    timer.async_wait([this, due](const ErrorCode& error) {
        if (error || stopped) return;
        tick();
        // Keep to the tick grid, skipping missed ticks, so a slow cycle never causes a burst.
        const auto interval = std::max(timing.tick, std::chrono::nanoseconds(1));
        auto next = due + interval;
        const auto now = Clock::now();
        if (next <= now) next += ((now - next) / interval + 1) * interval;
        scheduleTick(next);
    });
}

void ScreenStreamer::State::tick() {
    if (stopped || busy || inFlight >= kMaxUnacknowledged) return;
    if (allowed && !allowed()) {
        end();
        if (onEnd) onEnd();
        return;
    }
    busy = true;
    // A display so flat that its frames round to no rows at all has nothing to capture.
    if (outSize.height <= 0) return keepAliveOrIdle();
    // The source can tell that nothing was drawn since the picture last sent: no capture needed.
    if (inSync && source->unchangedSinceLastCapture()) return keepAliveOrIdle();
    const Image* picture = source->captureInPlace(outSize, reportedRows);
    if (stopped) return;
    if (picture && sendIfChanged(*picture)) return;
    keepAliveOrIdle();
}

// Sends a JPEG of the picture unless it equals the last one sent. Comparing pictures before
// encoding spares a still screen the encoder (equal pictures would give equal bytes), and tells
// the encoder which rows it has to encode again. Only the rows the source reports as possibly
// changed are compared, and only those that differ are copied into the kept picture.
bool ScreenStreamer::State::sendIfChanged(const Image& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height * 4)
        return false;
    // The frame counts as sent when its picture was taken, not when its encoding ended.
    const auto now = timing.now();
    std::optional<std::span<const uint8_t>> jpeg;
    if (sent.width == picture.width && sent.height == picture.height) {
        takeChanges(sent, picture, reportedRows, changes);
        inSync = changes.empty();
        if (inSync) return false;
        jpeg = encoder.encodeChanged(picture, qualityPercent, changes);
    } else {
        inSync = false;
        sent = picture;
        jpeg = encoder.encode(picture, qualityPercent);
    }
    if (!jpeg) {
        // The kept picture is ahead of what was sent: compare whole pictures again.
        sent = Image{};
        return false;
    }
    if (!sendFrame(*jpeg)) return true;
    inSync = true;
    lastSent = now;
    return true;
}

void ScreenStreamer::State::keepAliveOrIdle() {
    const auto now = timing.now();
    if (!lastSent || now - *lastSent >= timing.keepAlive) {
        if (sendFrame({})) lastSent = now;
        return;
    }
    busy = false;
}

// Sends one frame (length field, then payload); false when the streamer has stopped.
bool ScreenStreamer::State::sendFrame(std::span<const uint8_t> payload) {
    const auto n = static_cast<uint32_t>(payload.size());
    std::vector<uint8_t> frame(4 + payload.size());
    frame[0] = static_cast<uint8_t>(n >> 24);
    frame[1] = static_cast<uint8_t>(n >> 16);
    frame[2] = static_cast<uint8_t>(n >> 8);
    frame[3] = static_cast<uint8_t>(n);
    if (!payload.empty()) std::memcpy(frame.data() + 4, payload.data(), payload.size());

    std::lock_guard lock(sendMutex);
    if (stopped) return false;
    ++inFlight;
    target.sendFrame(std::move(frame), [weak = weak_from_this()](bool ok) {
        if (auto self = weak.lock()) {
            asio::post(self->io, [state = self.get(), ok] { state->frameDone(ok); });
        }
    });
    return true;
}

void ScreenStreamer::State::frameDone(bool ok) {
    busy = false;
    if (!ok) end();
}

void ScreenStreamer::State::requestStop() {
    if (io.get_executor().running_in_this_thread()) {
        // Possibly inside a send that holds the lock; nothing else can send meanwhile.
        stopped = true;
    } else {
        std::lock_guard lock(sendMutex);
        stopped = true;
    }
    asio::post(io, [this] { timer.cancel(); });
}

void ScreenStreamer::State::end() {
    stopped = true;
    timer.cancel();
}

ScreenStreamer::ScreenStreamer(std::unique_ptr<ScreenSource> source, Target target, int64_t maxW,
                               int64_t quality, std::function<bool()> allowed,
                               std::function<void()> onEnd, Timing timing)
    : state_(
          std::make_shared<State>(std::move(source), std::move(target),
                                  static_cast<int>(std::clamp<int64_t>(maxW, kMinWidth, kMaxWidth)),
                                  std::clamp(quality, kMinQuality, kMaxQuality), std::move(allowed),
                                  std::move(onEnd), std::move(timing))) {
    state_->thread = std::thread([state = state_] {
        nameThisThread();
        state->io.run();
    });
}

ScreenStreamer::~ScreenStreamer() {
    stop();
    state_->io.stop();
    // The last owner may be a callback running on the streamer's own thread; that thread keeps
    // the state alive until it returns.
    if (state_->thread.get_id() == std::this_thread::get_id()) {
        state_->thread.detach();
    } else if (state_->thread.joinable()) {
        state_->thread.join();
    }
}

void ScreenStreamer::start() {
    asio::post(state_->io, [state = state_.get()] { state->begin(); });
}

void ScreenStreamer::stop() {
    state_->requestStop();
}

// A phone can send acknowledgements far faster than a frame is encoded. They are counted here
// and taken together, so that the streamer's queue holds at most one task for them however many
// arrive.
void ScreenStreamer::ack() {
    if (state_->acks.fetch_add(1) != 0) return;
    asio::post(state_->io, [state = state_.get()] {
        const uint64_t acks = std::min<uint64_t>(state->acks.exchange(0), kMaxUnacknowledged);
        // Surplus acknowledgements never drive the count below zero.
        state->inFlight = std::max(0, state->inFlight - static_cast<int>(acks));
    });
}

int ScreenStreamer::maxW() const {
    return state_->maxW;
}

double ScreenStreamer::quality() const {
    return state_->qualityPercent / 100.0;
}

PixelSize ScreenStreamer::frameSize(PixelSize display, int maxW) {
    const int w = std::min(display.width, maxW);
    if (w <= 0) return {};
    // std::round takes halves away from zero.
    const double h =
        std::round(static_cast<double>(std::max(display.height, 0)) * w / display.width);
    return {w, static_cast<int>(h)};
}

}  // namespace velora
