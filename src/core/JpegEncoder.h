// JPEG encoding of screen pictures with TurboJPEG: one compressor and one output buffer per
// encoder, reused for every frame so that a running view allocates nothing per frame.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Platform.h"

namespace velora {

class JpegEncoder {
  public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // A complete JPEG file (4:2:0) of a BGRA image at `qualityPercent` (1..100), or none when the
    // image is empty or malformed or the compressor fails. The bytes stay valid until the next
    // call.
    std::optional<std::span<const uint8_t>> encode(const Image& image, int qualityPercent);

  private:
    void* compressor_ = nullptr;
    unsigned char* buffer_ = nullptr;
    unsigned long capacity_ = 0;
};

}  // namespace velora
