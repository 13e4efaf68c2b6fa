#include "platform/pipewire/CastStream.h"

#include <libyuv/planar_functions.h>
#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>

#include <chrono>

#include "platform/pipewire/PipeWireConnection.h"

namespace velora::pipewire {

namespace {

// How long the first picture of a view may take before the view goes on without it.
constexpr auto kFirstPictureWait = std::chrono::seconds(2);
// The desktop need not render more often than the view sends frames.
constexpr uint32_t kMostFramesPerSecond = 15;

// The formats offered, the preferred first: B, G, R, X/A bytes, or R, G, B, X/A swapped later.
bool swappedFormat(uint32_t format) {
    return format == SPA_VIDEO_FORMAT_RGBx || format == SPA_VIDEO_FORMAT_RGBA;
}
bool readableFormat(uint32_t format) {
    return format == SPA_VIDEO_FORMAT_BGRx || format == SPA_VIDEO_FORMAT_BGRA ||
           swappedFormat(format);
}

// Raw video in the four readable formats, any size, at most kMostFramesPerSecond.
const spa_pod* enumFormat(spa_pod_builder& b, PixelSize preferred) {
    spa_rectangle size{static_cast<uint32_t>(preferred.width > 0 ? preferred.width : 1920),
                       static_cast<uint32_t>(preferred.height > 0 ? preferred.height : 1080)};
    spa_rectangle smallest{1, 1}, largest{16384, 16384};
    spa_fraction variable{0, 1}, most{kMostFramesPerSecond, 1};
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx,
                               SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&size, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&variable, &variable, &most),
        SPA_FORMAT_VIDEO_maxFramerate, SPA_POD_CHOICE_RANGE_Fraction(&most, &variable, &most)));
}

// Memory buffers only, with the frame's header and crop region beside the pixels.
std::vector<const spa_pod*> bufferParams(spa_pod_builder& b) {
    return {
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr)))),
        static_cast<const spa_pod*>(
            spa_pod_builder_add_object(&b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
                                       SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
                                       SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header)))),
        static_cast<const spa_pod*>(
            spa_pod_builder_add_object(&b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
                                       SPA_PARAM_META_type, SPA_POD_Id(SPA_META_VideoCrop),
                                       SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_region)))),
    };
}

// The locked span of a thread loop.
class LoopLock {
public:
    explicit LoopLock(pw_thread_loop* loop) : loop_(loop) { pw_thread_loop_lock(loop_); }
    ~LoopLock() { pw_thread_loop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pw_thread_loop* loop_;
};

}  // namespace

struct CastStream::Hook {
    spa_hook listener{};
};

// Only the events handled are set; the others stay null.
const pw_stream_events CastStream::streamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = [](void* data, pw_stream_state, pw_stream_state state, const char*) {
        static_cast<CastStream*>(data)->stateChanged(state);
    };
    events.param_changed = [](void* data, uint32_t id, const spa_pod* param) {
        if (id == SPA_PARAM_Format && param) static_cast<CastStream*>(data)->formatChanged(param);
    };
    events.process = [](void* data) { static_cast<CastStream*>(data)->process(); };
    return events;
}();

CastStream::CastStream(std::shared_ptr<PipeWireConnection> connection, uint32_t nodeId,
                       PixelSize logicalSize)
    : connection_(std::move(connection)),
      nodeId_(nodeId),
      logicalSize_(logicalSize),
      hook_(std::make_unique<Hook>()) {}

CastStream::~CastStream() {
    LoopLock lock(connection_->loop());
    stop();
}

void CastStream::join() {
    LoopLock lock(connection_->loop());
    ++viewers_;
}

void CastStream::leave() {
    LoopLock lock(connection_->loop());
    if (--viewers_ == 0) stop();
}

PixelSize CastStream::pixelSize() {
    if (logicalSize_.width > 0 && logicalSize_.height > 0) return logicalSize_;
    LoopLock lock(connection_->loop());
    start();
    waitFor([this] { return videoSize_.width > 0; });
    return videoSize_;
}

CastStream::Latest CastStream::latest(bool wait) {
    LoopLock lock(connection_->loop());
    start();
    if (wait) waitFor([this] { return latest_ != nullptr; });
    if (ended()) return {nullptr, serial_, true};
    return {latest_, serial_, false};
}

bool CastStream::unchangedSince(uint64_t serial) {
    LoopLock lock(connection_->loop());
    return stream_ && serial == serial_ && !ended();
}

uint64_t CastStream::framesReceived() {
    LoopLock lock(connection_->loop());
    return received_;
}

// Connects the stream to the cast's node; the session manager links the two.
void CastStream::start() {
    if (stream_ || streamEnded_) return;
    pw_properties* props = pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                             "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr);
    stream_ = pw_stream_new(connection_->core(), "velora-view", props);
    if (!stream_) {
        streamEnded_ = true;
        return;
    }
    pw_stream_add_listener(stream_, &hook_->listener, &streamEvents, this);
    uint8_t buffer[1024];
    spa_pod_builder b{};
    spa_pod_builder_init(&b, buffer, sizeof(buffer));
    const spa_pod* params[] = {enumFormat(b, logicalSize_)};
    const auto flags =
        static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS);
    if (pw_stream_connect(stream_, PW_DIRECTION_INPUT, nodeId_, flags, params, 1) < 0)
        streamEnded_ = true;
    // Once this round trip is done, a node that was never announced does not exist.
    syncSeq_ = connection_->sync();
}

// Ends the stream; the next viewer's capture starts a new one, with a new first frame.
void CastStream::stop() {
    if (!stream_) return;
    spa_hook_remove(&hook_->listener);
    pw_stream_destroy(stream_);
    stream_ = nullptr;
    streamEnded_ = false;
    latest_.reset();
    spare_.reset();
    videoSize_ = {};
}

bool CastStream::ended() const {
    return streamEnded_ || connection_->lost() ||
           (stream_ && connection_->synced(syncSeq_) && !connection_->hasNode(nodeId_));
}

// Waits under the lock until `done`, the stream's end or kFirstPictureWait.
bool CastStream::waitFor(const std::function<bool()>& done) {
    timespec deadline{};
    pw_thread_loop_get_time(
        connection_->loop(), &deadline,
        std::chrono::duration_cast<std::chrono::nanoseconds>(kFirstPictureWait).count());
    while (!done() && !ended()) {
        if (pw_thread_loop_timed_wait_full(connection_->loop(), &deadline) != 0) break;
    }
    return done();
}

void CastStream::formatChanged(const spa_pod* format) {
    uint32_t mediaType = 0, mediaSubtype = 0;
    spa_video_info_raw info{};
    if (spa_format_parse(format, &mediaType, &mediaSubtype) < 0 ||
        mediaType != SPA_MEDIA_TYPE_video || mediaSubtype != SPA_MEDIA_SUBTYPE_raw ||
        spa_format_video_raw_parse(format, &info) < 0 || !readableFormat(info.format)) {
        return;
    }
    swapped_ = swappedFormat(info.format);
    videoSize_ = {static_cast<int>(info.size.width), static_cast<int>(info.size.height)};
    uint8_t buffer[1024];
    spa_pod_builder b{};
    spa_pod_builder_init(&b, buffer, sizeof(buffer));
    std::vector<const spa_pod*> params = bufferParams(b);
    pw_stream_update_params(stream_, params.data(), static_cast<uint32_t>(params.size()));
    pw_thread_loop_signal(connection_->loop(), false);
}

// Takes the newest frame that carries a picture; older ones go back at once.
void CastStream::process() {
    pw_buffer* newest = nullptr;
    while (pw_buffer* next = pw_stream_dequeue_buffer(stream_)) {
        if (!hasPicture(*next->buffer)) {
            pw_stream_queue_buffer(stream_, next);
            continue;
        }
        ++received_;
        if (newest) pw_stream_queue_buffer(stream_, newest);
        newest = next;
    }
    if (!newest) return;
    take(*newest->buffer);
    pw_stream_queue_buffer(stream_, newest);
}

void CastStream::stateChanged(int state) {
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
        streamEnded_ = true;
        pw_thread_loop_signal(connection_->loop(), false);
    }
}

// Frames without pixels (a pointer-only update, a corrupted or unmapped buffer) are passed over.
bool CastStream::hasPicture(const spa_buffer& buffer) const {
    if (buffer.n_datas < 1 || videoSize_.width <= 0) return false;
    const spa_data& data = buffer.datas[0];
    if (!data.data || !data.chunk || data.chunk->size == 0 ||
        (data.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED))
        return false;
    const auto* header = static_cast<const spa_meta_header*>(spa_buffer_find_meta_data(
        const_cast<spa_buffer*>(&buffer), SPA_META_Header, sizeof(spa_meta_header)));
    return !(header && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED));
}

// Copies the frame's picture (its crop region when it names one) as B, G, R, A rows.
void CastStream::take(const spa_buffer& buffer) {
    const spa_data& data = buffer.datas[0];
    auto* spaBuffer = const_cast<spa_buffer*>(&buffer);

    spa_region area{
        {0, 0},
        {static_cast<uint32_t>(videoSize_.width), static_cast<uint32_t>(videoSize_.height)}};
    const auto* crop = static_cast<const spa_meta_region*>(
        spa_buffer_find_meta_data(spaBuffer, SPA_META_VideoCrop, sizeof(spa_meta_region)));
    if (crop && crop->region.size.width > 0 && crop->region.size.height > 0 &&
        crop->region.position.x >= 0 && crop->region.position.y >= 0 &&
        crop->region.position.x + crop->region.size.width <= area.size.width &&
        crop->region.position.y + crop->region.size.height <= area.size.height) {
        area = crop->region;
    }
    const int64_t stride = data.chunk->stride > 0 ? data.chunk->stride : videoSize_.width * 4;
    const int64_t start =
        static_cast<int64_t>(data.chunk->offset) + area.position.y * stride + area.position.x * 4;
    const int64_t end = start + (area.size.height - 1) * stride + area.size.width * 4;
    if (end > static_cast<int64_t>(data.maxsize)) return;

    const int width = static_cast<int>(area.size.width),
              height = static_cast<int>(area.size.height);
    const uint8_t* rows = static_cast<const uint8_t*>(data.data) + start;
    // The frame before is written over unless a viewer still scales it.
    std::shared_ptr<CastFrame> frame =
        spare_ && spare_.use_count() == 1 ? std::move(spare_) : std::make_shared<CastFrame>();
    frame->width = width;
    frame->height = height;
    frame->pixels.resize(static_cast<size_t>(width) * height * 4);
    if (swapped_) {
        libyuv::ABGRToARGB(rows, static_cast<int>(stride), frame->pixels.data(), width * 4, width,
                           height);
    } else {
        libyuv::ARGBCopy(rows, static_cast<int>(stride), frame->pixels.data(), width * 4, width,
                         height);
    }
    spare_ = std::move(latest_);
    latest_ = std::move(frame);
    ++serial_;
    pw_thread_loop_signal(connection_->loop(), false);
}

}  // namespace velora::pipewire
