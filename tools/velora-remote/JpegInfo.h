// The picture size recorded in a JPEG's start-of-frame segment.
#pragma once

#include <optional>
#include <string_view>

namespace remote {

struct JpegSize {
    int width;
    int height;
};

// The size from the first start-of-frame marker; nothing for data that is not a JPEG or ends
// before that marker.
std::optional<JpegSize> jpegSize(std::string_view jpeg);

}  // namespace remote
