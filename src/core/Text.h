// Small text helpers shared by every parser of outside input. Pure functions, no state.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velora::text {

// The text as one line for a log, a terminal, a menu or a prompt: bytes decoded as UTF-8 with
// replacement, and every control character (C0, DEL, C1), line or paragraph separator and
// bidirectional embedding, override or isolate control replaced by "?".
std::string oneLine(std::string_view bytes);

// Trims Unicode white space and newlines (tab, LF, VT, FF, CR, NEL, spaces, line and paragraph
// separators) from both ends. The input must be valid UTF-8.
std::string trimWhitespaceAndNewlines(std::string_view s);

// Trims Unicode space separators and tab (no line breaks) from both ends. Valid UTF-8 input.
std::string trimWhitespace(std::string_view s);

// Splits at `sep`, dropping empty pieces.
std::vector<std::string_view> splitNonEmpty(std::string_view s, char sep);

// A decimal signed integer: optional "+" or "-", then one or more ASCII digits, within 64 bits.
std::optional<int64_t> parseInt64(std::string_view s);

// Unicode case mapping (root locale) of UTF-8 text.
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// Number of extended grapheme clusters, and the clusters themselves (UAX #29).
std::vector<std::string> graphemes(std::string_view utf8);

// Escapes a string as a JSON string literal, quotes included.
std::string jsonQuote(std::string_view s);

// Replaces every occurrence of `from` (non-empty) by `to`.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace velora::text
