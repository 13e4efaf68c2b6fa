#include "platform/linux/TextKeysyms.h"

#include <X11/keysym.h>

#include "common/Utf8.h"

namespace velora::linux_ {

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
    const std::vector<char32_t> points = utf8::codePoints(utf8);
    std::vector<uint32_t> syms;
    for (size_t i = 0; i < points.size(); ++i) {
        if (points[i] == U'\r' && i + 1 < points.size() && points[i + 1] == U'\n') continue;
        if (const uint32_t sym = keysymForCodePoint(points[i])) syms.push_back(sym);
    }
    return syms;
}

}  // namespace velora::linux_
