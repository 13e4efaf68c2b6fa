#include "platform/linux/TextKeysyms.h"

#include <X11/keysym.h>

#include "core/Text.h"

namespace velora::linux_ {

namespace {

// Decodes well-formed UTF-8 (the output of sanitizeUtf8).
std::vector<char32_t> codePoints(std::string_view utf8) {
    std::vector<char32_t> out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(cp);
        i += length;
    }
    return out;
}

}  // namespace

uint32_t keysymForCodePoint(char32_t cp) {
    switch (cp) {
        case U'\b':
            return XK_BackSpace;
        case U'\t':
            return XK_Tab;
        case U'\n':
        case U'\r':
            return XK_Return;
        case U'\x1b':
            return XK_Escape;
        case U'\x7f':
            return XK_Delete;
        default:
            break;
    }
    if (cp < 0x20 || (cp >= 0x80 && cp < 0xA0)) return 0;
    if (cp < 0x100) return cp;
    if (cp > 0x10FFFF) return 0;
    return 0x01000000 | cp;
}

std::vector<uint32_t> keysymsForText(std::string_view utf8) {
    const std::vector<char32_t> points = codePoints(text::sanitizeUtf8(utf8));
    std::vector<uint32_t> syms;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] == U'\r' && i + 1 < points.size() && points[i + 1] == U'\n') continue;
        if (const uint32_t sym = keysymForCodePoint(points[i])) syms.push_back(sym);
    }
    return syms;
}

}  // namespace velora::linux_
