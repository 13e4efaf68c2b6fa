// The phone page's files, built into the program from web/ (tests excepted), so that nothing is
// installed beside it and nothing is fetched from the internet.
#pragma once

#include <span>
#include <string_view>

namespace velora {

struct WebAsset {
    std::string_view path;  // relative to web/, such as "js/app.js"
    std::string_view contentType;
    std::string_view etag;  // quoted, from a hash of the content
    std::string_view body;
};

// Every embedded file; generated at build time.
std::span<const WebAsset> webAssets();

// The file at `path` (without a leading slash), or none.
const WebAsset* findWebAsset(std::string_view path);

}  // namespace velora
