#include "common/Utf8.h"

#include <unicode/utf8.h>

#include <cstdint>

namespace velora::utf8 {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
constexpr char32_t kReplacementPoint = 0xFFFD;

// Calls `each(codePoint, start, end)` for every code point, ill-formed sequences as -1.
template <typename Each>
void decode(std::string_view bytes, Each each) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto n = static_cast<int32_t>(bytes.size());
    int32_t i = 0;
    while (i < n) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(p, i, n, c);
        each(c, start, i);
    }
}

}  // namespace

std::string sanitize(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    decode(bytes, [&](UChar32 c, int32_t start, int32_t end) {
        if (c < 0) {
            out.append(kReplacement);
        } else {
            out.append(bytes.substr(start, end - start));
        }
    });
    return out;
}

std::vector<char32_t> codePoints(std::string_view bytes) {
    std::vector<char32_t> out;
    out.reserve(bytes.size());
    decode(bytes, [&](UChar32 c, int32_t, int32_t) {
        out.push_back(c < 0 ? kReplacementPoint : static_cast<char32_t>(c));
    });
    return out;
}

}  // namespace velora::utf8
