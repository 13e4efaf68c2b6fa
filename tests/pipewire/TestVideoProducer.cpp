#include "TestVideoProducer.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>

#include <cstring>

namespace velora::test {

namespace {

constexpr int kBytesPerPixel = 4;

// The bytes of one pixel in the stream's format.
void put(uint8_t* out, uint32_t format, Rgb colour) {
    const bool redFirst = format == SPA_VIDEO_FORMAT_RGBx || format == SPA_VIDEO_FORMAT_RGBA;
    out[0] = redFirst ? colour.r : colour.b;
    out[1] = colour.g;
    out[2] = redFirst ? colour.b : colour.r;
    out[3] = 0xFF;
}

}  // namespace

struct TestVideoProducer::Hook {
    spa_hook listener{};
};

const pw_stream_events TestVideoProducer::streamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = [](void* data, pw_stream_state, pw_stream_state state, const char*) {
        auto* self = static_cast<TestVideoProducer*>(data);
        self->streaming_ = state == PW_STREAM_STATE_STREAMING;
        // A newly linked viewer gets the picture as a screen cast's first frame, drawn at the
        // next repaint rather than inside the state change.
        if (self->streaming_ && !self->picture_.empty()) {
            self->pending_ = true;
            self->retryLater();
        }
        pw_thread_loop_signal(self->loop_, false);
    };
    events.param_changed = [](void* data, uint32_t id, const spa_pod* param) {
        auto* self = static_cast<TestVideoProducer*>(data);
        if (id != SPA_PARAM_Format || !param) return;
        spa_video_info_raw info{};
        if (spa_format_video_raw_parse(param, &info) < 0) return;
        self->maxFramerate_ = {info.max_framerate.num, info.max_framerate.denom};
        const int stride = self->width_ * kBytesPerPixel;
        uint8_t buffer[1024];
        spa_pod_builder b{};
        spa_pod_builder_init(&b, buffer, sizeof(buffer));
        const spa_pod* params[] = {
            static_cast<const spa_pod*>(spa_pod_builder_add_object(
                &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
                SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
                SPA_PARAM_BUFFERS_size, SPA_POD_Int(stride * self->height_),
                SPA_PARAM_BUFFERS_stride, SPA_POD_Int(stride), SPA_PARAM_BUFFERS_dataType,
                SPA_POD_CHOICE_FLAGS_Int(1 << SPA_DATA_MemFd))),
            static_cast<const spa_pod*>(spa_pod_builder_add_object(
                &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
                SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size,
                SPA_POD_Int(sizeof(spa_meta_header)))),
            static_cast<const spa_pod*>(spa_pod_builder_add_object(
                &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
                SPA_POD_Id(SPA_META_VideoCrop), SPA_PARAM_META_size,
                SPA_POD_Int(sizeof(spa_meta_region)))),
        };
        pw_stream_update_params(self->stream_, params, 3);
    };
    events.process = [](void* data) { static_cast<TestVideoProducer*>(data)->sendPending(); };
    return events;
}();

TestVideoProducer::TestVideoProducer(uint32_t format, int width, int height)
    : format_(format), width_(width), height_(height), hook_(new Hook) {
    pw_init(nullptr, nullptr);
    loop_ = pw_thread_loop_new("test-producer", nullptr);
    context_ = pw_context_new(pw_thread_loop_get_loop(loop_), nullptr, 0);
    pw_thread_loop_start(loop_);
    pw_thread_loop_lock(loop_);
    retry_ = pw_loop_add_timer(
        pw_thread_loop_get_loop(loop_),
        [](void* data, uint64_t) { static_cast<TestVideoProducer*>(data)->sendPending(); }, this);
    core_ = pw_context_connect(context_, nullptr, 0);
    if (core_) {
        stream_ = pw_stream_new(core_, "velora-test-screen",
                                pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", nullptr));
        pw_stream_add_listener(stream_, &hook_->listener, &streamEvents, this);
        uint8_t buffer[1024];
        spa_pod_builder b{};
        spa_pod_builder_init(&b, buffer, sizeof(buffer));
        spa_rectangle size{static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
        spa_fraction variable{0, 1}, slowest{1, 1}, fastest{30, 1};
        const spa_pod* params[] = {static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
            SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
            SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format, SPA_POD_Id(format),
            SPA_FORMAT_VIDEO_size, SPA_POD_Rectangle(&size), SPA_FORMAT_VIDEO_framerate,
            SPA_POD_Fraction(&variable), SPA_FORMAT_VIDEO_maxFramerate,
            SPA_POD_CHOICE_RANGE_Fraction(&fastest, &slowest, &fastest)))};
        pw_stream_connect(
            stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY,
            static_cast<pw_stream_flags>(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS),
            params, 1);
    }
    pw_thread_loop_unlock(loop_);
}

TestVideoProducer::~TestVideoProducer() {
    pw_thread_loop_lock(loop_);
    if (stream_) {
        spa_hook_remove(&hook_->listener);
        pw_stream_destroy(stream_);
    }
    if (core_) pw_core_disconnect(core_);
    pw_loop_destroy_source(pw_thread_loop_get_loop(loop_), retry_);
    pw_thread_loop_unlock(loop_);
    pw_thread_loop_stop(loop_);
    pw_context_destroy(context_);
    pw_thread_loop_destroy(loop_);
    delete hook_;
}

uint32_t TestVideoProducer::nodeId() {
    pw_thread_loop_lock(loop_);
    timespec deadline{};
    pw_thread_loop_get_time(loop_, &deadline, 20 * SPA_NSEC_PER_SEC);
    uint32_t id = stream_ ? pw_stream_get_node_id(stream_) : SPA_ID_INVALID;
    while (stream_ && id == SPA_ID_INVALID &&
           pw_thread_loop_timed_wait_full(loop_, &deadline) == 0) {
        id = pw_stream_get_node_id(stream_);
    }
    pw_thread_loop_unlock(loop_);
    return id == SPA_ID_INVALID ? 0 : id;
}

std::vector<uint8_t> TestVideoProducer::paint(const Painter& painter) const {
    std::vector<uint8_t> picture(static_cast<size_t>(width_) * height_ * kBytesPerPixel);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            put(&picture[(static_cast<size_t>(y) * width_ + x) * kBytesPerPixel], format_,
                painter(x, y, width_, height_));
    return picture;
}

void TestVideoProducer::show(const Painter& painter, CropArea crop) {
    show(paint(painter), crop);
}

void TestVideoProducer::show(std::vector<uint8_t> picture, CropArea crop) {
    pw_thread_loop_lock(loop_);
    picture_ = std::move(picture);
    crop_ = crop;
    pending_ = true;
    sendPending();
    pw_thread_loop_unlock(loop_);
}

void TestVideoProducer::retryLater() {
    timespec soon{0, 5 * static_cast<long>(SPA_NSEC_PER_MSEC)};
    pw_loop_update_timer(pw_thread_loop_get_loop(loop_), retry_, &soon, nullptr, false);
}

bool TestVideoProducer::waitForStreaming(bool streaming) {
    pw_thread_loop_lock(loop_);
    timespec deadline{};
    pw_thread_loop_get_time(loop_, &deadline, 30 * SPA_NSEC_PER_SEC);
    while (streaming_ != streaming && pw_thread_loop_timed_wait_full(loop_, &deadline) == 0) {
    }
    const bool reached = streaming_ == streaming;
    pw_thread_loop_unlock(loop_);
    return reached;
}

void TestVideoProducer::repaint() {
    pw_thread_loop_lock(loop_);
    pending_ = !picture_.empty();
    sendPending();
    pw_thread_loop_unlock(loop_);
}

int TestVideoProducer::framesSent() {
    pw_thread_loop_lock(loop_);
    const int sent = sent_;
    pw_thread_loop_unlock(loop_);
    return sent;
}

std::pair<uint32_t, uint32_t> TestVideoProducer::maxFramerate() {
    pw_thread_loop_lock(loop_);
    const auto rate = maxFramerate_;
    pw_thread_loop_unlock(loop_);
    return rate;
}

// Fills a buffer with the picture, queues it and runs the graph for it. A frame that finds no
// free buffer is tried again at the next repaint.
void TestVideoProducer::sendPending() {
    if (!pending_ || !streaming_) return;
    pw_buffer* buffer = pw_stream_dequeue_buffer(stream_);
    if (!buffer) return retryLater();
    spa_buffer* spa = buffer->buffer;
    spa_data& data = spa->datas[0];
    const uint32_t stride = static_cast<uint32_t>(width_) * kBytesPerPixel;
    if (data.data && data.maxsize >= picture_.size()) {
        std::memcpy(data.data, picture_.data(), picture_.size());
        data.chunk->offset = 0;
        data.chunk->size = static_cast<uint32_t>(picture_.size());
        data.chunk->stride = static_cast<int32_t>(stride);
        data.chunk->flags = 0;
    }
    if (auto* header = static_cast<spa_meta_header*>(
            spa_buffer_find_meta_data(spa, SPA_META_Header, sizeof(spa_meta_header)))) {
        header->flags = 0;
        header->seq = static_cast<uint64_t>(sent_);
        header->pts = -1;
    }
    if (auto* region = static_cast<spa_meta_region*>(
            spa_buffer_find_meta_data(spa, SPA_META_VideoCrop, sizeof(spa_meta_region)))) {
        const bool cropped = crop_.width > 0 && crop_.height > 0;
        region->region.position = {cropped ? crop_.x : 0, cropped ? crop_.y : 0};
        region->region.size = {static_cast<uint32_t>(cropped ? crop_.width : width_),
                               static_cast<uint32_t>(cropped ? crop_.height : height_)};
    }
    pending_ = false;
    ++sent_;
    pw_stream_queue_buffer(stream_, buffer);
    // The graph runs once for the frame queued; its process callback may run in this call.
    pw_stream_trigger_process(stream_);
    pw_thread_loop_signal(loop_, false);
}

}  // namespace velora::test
