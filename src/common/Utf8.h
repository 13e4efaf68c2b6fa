// UTF-8 decoding shared by the core and the platform backends. Pure functions, no state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velora::utf8 {

// Decodes bytes as UTF-8, each ill-formed sequence replaced by U+FFFD; never fails.
std::string sanitize(std::string_view bytes);

// The code points of the bytes, each ill-formed sequence read as U+FFFD.
std::vector<char32_t> codePoints(std::string_view bytes);

}  // namespace velora::utf8
