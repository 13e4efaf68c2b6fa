#include "platform/pipewire/PipeWireScreenSource.h"

#include <libyuv/scale_argb.h>
#include <unistd.h>

#include <mutex>

#include "platform/pipewire/CastStream.h"
#include "platform/pipewire/PipeWireConnection.h"

namespace velora::pipewire {

PipeWireScreenSource::PipeWireScreenSource(std::shared_ptr<CastStream> cast)
    : cast_(std::move(cast)) {
    cast_->join();
}

PipeWireScreenSource::~PipeWireScreenSource() {
    cast_->leave();
}

PixelSize PipeWireScreenSource::pixelSize() {
    return cast_->pixelSize();
}

std::optional<Image> PipeWireScreenSource::capture(PixelSize size) {
    if (size.width <= 0 || size.height <= 0) return std::nullopt;
    const CastStream::Latest latest = cast_->latest(seen_ == 0);
    if (latest.ended || !latest.frame) return std::nullopt;
    if (latest.serial != seen_ || !(scaledSize_ == size)) {
        const CastFrame& frame = *latest.frame;
        seen_ = latest.serial;
        scaledSize_ = size;
        scaled_.resize(static_cast<size_t>(size.width) * size.height * 4);
        libyuv::ARGBScale(frame.pixels.data(), frame.width * 4, frame.width, frame.height,
                          scaled_.data(), size.width * 4, size.width, size.height,
                          libyuv::kFilterBox);
    }
    return Image{size.width, size.height, scaled_};
}

bool PipeWireScreenSource::unchangedSinceLastCapture() {
    return seen_ != 0 && cast_->unchangedSince(seen_);
}

std::function<std::unique_ptr<ScreenSource>()> screenSourceFactory(ScreenCast cast) {
    // The socket serves one connection: the first viewer makes it and the cast's stream, and
    // every viewer shares both.
    struct Shared {
        std::mutex mutex;
        int fd = -1;
        std::shared_ptr<CastStream> stream;
        ~Shared() {
            if (fd >= 0) ::close(fd);
        }
    };
    auto shared = std::make_shared<Shared>();
    shared->fd = cast.fd;
    return [shared, cast]() -> std::unique_ptr<ScreenSource> {
        std::lock_guard lock(shared->mutex);
        if (shared->fd >= 0) {
            if (auto connection = PipeWireConnection::fromFd(shared->fd))
                shared->stream =
                    std::make_shared<CastStream>(connection, cast.nodeId, cast.logicalSize);
            shared->fd = -1;
        }
        if (!shared->stream) return nullptr;
        return std::make_unique<PipeWireScreenSource>(shared->stream);
    };
}

}  // namespace velora::pipewire
