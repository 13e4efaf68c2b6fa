// The X keysyms that type a piece of text, one per code point.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velora::linux_ {

// The keysym for one code point: Latin-1 characters and a few control characters have their
// classic keysyms, everything else the Unicode keysym 0x01000000 + code point; 0 when the code
// point types nothing (other control characters).
uint32_t keysymForCodePoint(char32_t codePoint);

// Keysyms for UTF-8 text, in order; a carriage return followed by a line feed is one Return.
// Ill-formed bytes type U+FFFD.
std::vector<uint32_t> keysymsForText(std::string_view utf8);

}  // namespace velora::linux_
