#include "platform/wayland/WaylandScreenSource.h"

#include <libyuv/convert_argb.h>
#include <libyuv/scale_argb.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "platform/wayland/OutputOrientation.h"
#include "platform/wayland/WaylandConnection.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace velora::wayland {

namespace {

// How long the first picture of a view may take before the view goes on without it.
constexpr auto kFirstPictureWait = std::chrono::seconds(2);
// How long a capture waits for the compositor's offer of buffers before going on without it.
constexpr auto kOfferWait = std::chrono::milliseconds(50);

// Shared-memory formats the scaler reads: B, G, R, A/X bytes, or R, G, B, A/X swapped first.
bool bgraFormat(uint32_t format) {
    return format == WL_SHM_FORMAT_ARGB8888 || format == WL_SHM_FORMAT_XRGB8888;
}
bool rgbaFormat(uint32_t format) {
    return format == WL_SHM_FORMAT_ABGR8888 || format == WL_SHM_FORMAT_XBGR8888;
}

// A wl_shm buffer in a memory file of our own, reused while its shape stays.
class ShmBuffer {
public:
    ShmBuffer(wl_shm* shm, uint32_t format, int width, int height, int stride);
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    bool valid() const { return buffer_ != nullptr; }
    bool fits(uint32_t format, int width, int height, int stride) const {
        return format == format_ && width == width_ && height == height_ && stride == stride_;
    }
    wl_buffer* buffer() const { return buffer_; }
    const uint8_t* data() const { return static_cast<const uint8_t*>(data_); }
    uint32_t format() const { return format_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }

private:
    uint32_t format_;
    int width_, height_, stride_;
    size_t size_;
    void* data_ = MAP_FAILED;
    wl_buffer* buffer_ = nullptr;
};

ShmBuffer::ShmBuffer(wl_shm* shm, uint32_t format, int width, int height, int stride)
    : format_(format),
      width_(width),
      height_(height),
      stride_(stride),
      size_(static_cast<size_t>(stride) * height) {
    const int fd = memfd_create("velora-screen", MFD_CLOEXEC);
    if (fd < 0) return;
    if (::ftruncate(fd, static_cast<off_t>(size_)) == 0)
        data_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data_ != MAP_FAILED) {
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size_));
        buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
        wl_shm_pool_destroy(pool);
    }
    ::close(fd);
}

ShmBuffer::~ShmBuffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
    if (data_ != MAP_FAILED) munmap(data_, size_);
}

// Copies of the main output, one at a time. After the first, each copy waits in the compositor
// until something on the output changes (copy_with_damage), so a still screen costs nothing here
// and the frame pump goes on with keep-alives; a finished copy is picked up at the next capture.
// When the main output changes (another output, a new mode or transform) the copy under way is
// dropped and the next capture starts afresh from a whole copy.
class ScreencopySource final : public ScreenSource {
public:
    explicit ScreencopySource(std::unique_ptr<WaylandConnection> connection);
    ~ScreencopySource() override;
    ScreencopySource(const ScreencopySource&) = delete;
    ScreencopySource& operator=(const ScreencopySource&) = delete;

    PixelSize pixelSize() override;
    std::optional<Image> capture(PixelSize size) override;
    bool unchangedSinceLastCapture() override;

private:
    enum class Copy { None, Offered, Waiting, Ready, Failed };

    // What a copy depends on: which output, and how its buffer is shaped and turned.
    struct Target {
        uint32_t name = 0;
        PixelSize modeSize;
        int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
        bool operator==(const Target&) const = default;
    };

    static const zwlr_screencopy_frame_v1_listener listener;
    bool followMainOutput();
    void restart();
    void request();
    void offered();
    void finish(Copy state);
    void waitForFirstCopy();
    void scale(PixelSize size);
    const uint8_t* readableRows();

    std::unique_ptr<WaylandConnection> connection_;
    // The output copied, and the one the copy under way belongs to.
    std::optional<Target> target_;
    wl_output* output_ = nullptr;
    zwlr_screencopy_frame_v1* frame_ = nullptr;
    Copy copy_ = Copy::None;
    bool copiedOnce_ = false;
    // What the compositor offered for the frame under way.
    uint32_t format_ = 0;
    Box offer_;
    int stride_ = 0;
    bool yInvert_ = false;
    std::vector<Box> damage_;
    std::unique_ptr<ShmBuffer> buffer_;
    // The buffer in B, G, R, A order, for compositors that fill R, G, B, A.
    std::vector<uint8_t> swapped_;
    // The buffer turned upright, for outputs that are rotated, mirrored or filled bottom-up.
    std::vector<uint8_t> upright_;
    std::vector<uint8_t> scaled_;
    PixelSize scaledSize_;
};

const zwlr_screencopy_frame_v1_listener ScreencopySource::listener = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width, uint32_t height,
           uint32_t stride) {
            auto* self = static_cast<ScreencopySource*>(data);
            // The first readable format offered wins.
            if (self->offer_.width > 0 || !(bgraFormat(format) || rgbaFormat(format))) return;
            self->format_ = format;
            self->offer_ = {0, 0, static_cast<int>(width), static_cast<int>(height)};
            self->stride_ = static_cast<int>(stride);
            // Before version 3 nothing follows the offers: copy at once.
            if (self->connection_->screencopyVersion() < 3) self->offered();
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
            static_cast<ScreencopySource*>(data)->yInvert_ =
                flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
    .ready = [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t,
                uint32_t) { static_cast<ScreencopySource*>(data)->finish(Copy::Ready); },
    .failed =
        [](void* data, zwlr_screencopy_frame_v1*) {
            static_cast<ScreencopySource*>(data)->finish(Copy::Failed);
        },
    .damage =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t x, uint32_t y, uint32_t width,
           uint32_t height) {
            static_cast<ScreencopySource*>(data)->damage_.push_back(
                {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                 static_cast<int>(height)});
        },
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    .buffer_done =
        [](void* data, zwlr_screencopy_frame_v1*) {
            static_cast<ScreencopySource*>(data)->offered();
        },
};

ScreencopySource::ScreencopySource(std::unique_ptr<WaylandConnection> connection)
    : connection_(std::move(connection)) {
    followMainOutput();
}

ScreencopySource::~ScreencopySource() {
    if (frame_) zwlr_screencopy_frame_v1_destroy(frame_);
    buffer_.reset();
    connection_->flush();
}

PixelSize ScreencopySource::pixelSize() {
    connection_->pump();
    const Output* main = connection_->mainOutput();
    return main ? main->pixelSize() : PixelSize{};
}

// Notes which output is the main one now and how it is shaped; when that differs from what the
// last copy was made of, the view starts again from a whole copy. False without an output.
bool ScreencopySource::followMainOutput() {
    const Output* main = connection_->mainOutput();
    std::optional<Target> now;
    if (main) now = Target{main->name, main->modeSize, main->transform};
    if (now != target_) {
        restart();
        target_ = now;
        output_ = main ? main->handle : nullptr;
    }
    return output_ != nullptr;
}

void ScreencopySource::restart() {
    if (frame_) zwlr_screencopy_frame_v1_destroy(frame_);
    frame_ = nullptr;
    copy_ = Copy::None;
    copiedOnce_ = false;
}

void ScreencopySource::request() {
    if (!output_) return;
    offer_ = {};
    yInvert_ = false;
    damage_.clear();
    frame_ =
        zwlr_screencopy_manager_v1_capture_output(connection_->screencopyManager(), 1, output_);
    zwlr_screencopy_frame_v1_add_listener(frame_, &listener, this);
    copy_ = Copy::Offered;
    connection_->flush();
    // The compositor answers with its offer at once. Taking it now lets the copy wait for damage
    // in the compositor from this moment on; left to the next capture, every changed picture
    // would take two of the frame pump's ticks instead of one.
    const auto deadline = std::chrono::steady_clock::now() + kOfferWait;
    while (copy_ == Copy::Offered) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !connection_->waitAndDispatch(static_cast<int>(left.count())))
            return;
    }
}

// The compositor has said which buffers it fills: copy into ours, at once the first time and
// then only once something has changed.
void ScreencopySource::offered() {
    if (copy_ != Copy::Offered) return;
    if (offer_.width <= 0) return finish(Copy::Failed);
    if (!buffer_ || !buffer_->fits(format_, offer_.width, offer_.height, stride_)) {
        buffer_ = std::make_unique<ShmBuffer>(connection_->shm(), format_, offer_.width,
                                              offer_.height, stride_);
        copiedOnce_ = false;
    }
    if (!buffer_->valid()) return finish(Copy::Failed);
    if (copiedOnce_ && connection_->screencopyVersion() >= 2)
        zwlr_screencopy_frame_v1_copy_with_damage(frame_, buffer_->buffer());
    else
        zwlr_screencopy_frame_v1_copy(frame_, buffer_->buffer());
    copy_ = Copy::Waiting;
    connection_->flush();
}

void ScreencopySource::finish(Copy state) {
    zwlr_screencopy_frame_v1_destroy(frame_);
    frame_ = nullptr;
    copy_ = state;
}

void ScreencopySource::waitForFirstCopy() {
    const auto deadline = std::chrono::steady_clock::now() + kFirstPictureWait;
    while (copy_ == Copy::Offered || copy_ == Copy::Waiting) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !connection_->waitAndDispatch(static_cast<int>(left.count())))
            return;
    }
}

std::optional<Image> ScreencopySource::capture(PixelSize size) {
    if (size.width <= 0 || size.height <= 0 || !connection_->pump() || !followMainOutput())
        return std::nullopt;
    if (copy_ == Copy::None || copy_ == Copy::Failed) request();
    if (!copiedOnce_) waitForFirstCopy();
    if (copy_ == Copy::Ready) {
        scale(size);
        copiedOnce_ = true;
        request();
    } else if (copiedOnce_ && !(scaledSize_ == size)) {
        scale(size);
    }
    if (!copiedOnce_) return std::nullopt;
    return Image{size.width, size.height, scaled_};
}

// Nothing changed while the compositor still holds a copy that waits for damage.
bool ScreencopySource::unchangedSinceLastCapture() {
    connection_->pump();
    followMainOutput();
    return copiedOnce_ && connection_->screencopyVersion() >= 2 &&
           (copy_ == Copy::Offered || copy_ == Copy::Waiting);
}

// The buffer's rows as the scaler reads them: B, G, R, A bytes.
const uint8_t* ScreencopySource::readableRows() {
    if (bgraFormat(buffer_->format())) return buffer_->data();
    swapped_.resize(static_cast<size_t>(buffer_->stride()) * buffer_->height());
    libyuv::ABGRToARGB(buffer_->data(), buffer_->stride(), swapped_.data(), buffer_->stride(),
                       buffer_->width(), buffer_->height());
    return swapped_.data();
}

// Scales the copy to `size`: only what the damage covers when the last picture had that size
// and came from a copy of the same shape, else all of it. A turned buffer is turned upright
// first, again only where damaged.
void ScreencopySource::scale(PixelSize size) {
    const PixelSize buffer{buffer_->width(), buffer_->height()};
    const OutputOrientation orientation(target_ ? target_->transform : WL_OUTPUT_TRANSFORM_NORMAL,
                                        yInvert_);
    std::vector<Box> parts = damage_;
    if (!(scaledSize_ == size) || !copiedOnce_ || parts.empty()) {
        scaledSize_ = size;
        scaled_.assign(static_cast<size_t>(size.width) * size.height * 4, 0);
        parts = {{0, 0, buffer.width, buffer.height}};
    }
    const uint8_t* rows = readableRows();
    PixelSize picture = buffer;
    int stride = buffer_->stride();
    if (!orientation.upright()) {
        picture = orientation.pictureSize(buffer);
        upright_.resize(static_cast<size_t>(picture.width) * picture.height * 4);
        for (Box& part : parts) {
            orientation.copy(rows, stride, buffer, part, upright_.data(), picture.width * 4);
            part = orientation.toPicture(part, buffer);
        }
        rows = upright_.data();
        stride = picture.width * 4;
    }
    const double sx = static_cast<double>(size.width) / picture.width;
    const double sy = static_cast<double>(size.height) / picture.height;
    for (const Box& part : parts) {
        // A filter tap reaches one source pixel beyond its footprint; two frame pixels of margin
        // cover it at any reduction.
        const int left = std::max(0, static_cast<int>(std::floor(part.x * sx)) - 2);
        const int top = std::max(0, static_cast<int>(std::floor(part.y * sy)) - 2);
        const int right =
            std::min(size.width, static_cast<int>(std::ceil((part.x + part.width) * sx)) + 2);
        const int bottom =
            std::min(size.height, static_cast<int>(std::ceil((part.y + part.height) * sy)) + 2);
        if (right <= left || bottom <= top) continue;
        libyuv::ARGBScaleClip(rows, stride, picture.width, picture.height, scaled_.data(),
                              size.width * 4, size.width, size.height, left, top, right - left,
                              bottom - top, libyuv::kFilterBox);
    }
}

}  // namespace

std::unique_ptr<ScreenSource> makeScreencopySource(const char* displayName) {
    auto connection = WaylandConnection::connect(displayName);
    if (!connection || !connection->screencopyManager() || !connection->shm() ||
        !connection->mainOutput())
        return nullptr;
    return std::make_unique<ScreencopySource>(std::move(connection));
}

bool screencopyAvailable(const char* displayName) {
    const auto connection = WaylandConnection::connect(displayName);
    return connection && connection->screencopyManager() && connection->shm() &&
           connection->mainOutput();
}

}  // namespace velora::wayland
