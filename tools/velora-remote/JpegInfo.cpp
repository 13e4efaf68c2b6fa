#include "JpegInfo.h"

namespace remote {
namespace {

int byteAt(std::string_view data, size_t i) {
    return static_cast<unsigned char>(data[i]);
}

int word(std::string_view data, size_t i) {
    return byteAt(data, i) << 8 | byteAt(data, i + 1);
}

// SOF0..SOF15, except DHT (C4), JPG (C8) and DAC (CC), which share the range.
bool isStartOfFrame(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

std::optional<JpegSize> jpegSize(std::string_view jpeg) {
    if (jpeg.size() < 4 || byteAt(jpeg, 0) != 0xFF || byteAt(jpeg, 1) != 0xD8) return std::nullopt;
    size_t i = 2;
    while (i + 4 <= jpeg.size()) {
        if (byteAt(jpeg, i) != 0xFF) return std::nullopt;
        int marker = byteAt(jpeg, i + 1);
        if (marker == 0xFF) {  // fill byte before a marker
            ++i;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // image data: no SOF seen
        if (isStartOfFrame(marker)) {
            if (i + 9 > jpeg.size()) return std::nullopt;
            return JpegSize{word(jpeg, i + 7), word(jpeg, i + 5)};
        }
        i += 2 + static_cast<size_t>(word(jpeg, i + 2));
    }
    return std::nullopt;
}

}  // namespace remote
