#include "core/Text.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "common/Utf8.h"

namespace velora::text {
namespace {

bool isWhitespace(UChar32 c, bool newlines) {
    switch (c) {
        case 0x09:
        case 0x20:
        case 0xA0:
        case 0x1680:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        case 0x0A:
        case 0x0B:
        case 0x0C:
        case 0x0D:
        case 0x85:
        case 0x2028:
        case 0x2029:
            return newlines;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

bool breaksLine(UChar32 c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// Embeddings, overrides and isolates: each reorders the text after it, up to the end of the line,
// so a name holding one could make the rest of a log line or prompt read as something else.
bool reordersText(UChar32 c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string trimBy(std::string_view s, bool newlines) {
    const auto* p = reinterpret_cast<const uint8_t*>(s.data());
    const int32_t n = static_cast<int32_t>(s.size());
    int32_t begin = 0;
    while (begin < n) {
        int32_t next = begin;
        UChar32 c;
        U8_NEXT(p, next, n, c);
        if (!isWhitespace(c, newlines)) break;
        begin = next;
    }
    int32_t end = n;
    while (end > begin) {
        int32_t prev = end;
        UChar32 c;
        U8_PREV(p, begin, prev, c);
        if (!isWhitespace(c, newlines)) break;
        end = prev;
    }
    return std::string(s.substr(begin, end - begin));
}

}  // namespace

std::string oneLine(std::string_view bytes) {
    const std::string text = utf8::sanitize(bytes);
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const int32_t n = static_cast<int32_t>(text.size());
    std::string out;
    out.reserve(text.size());
    int32_t i = 0;
    while (i < n) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(p, i, n, c);
        if (breaksLine(c) || reordersText(c)) {
            out.push_back('?');
        } else {
            out.append(text, start, i - start);
        }
    }
    return out;
}

std::string trimWhitespaceAndNewlines(std::string_view s) {
    return trimBy(s, true);
}

std::string trimWhitespace(std::string_view s) {
    return trimBy(s, false);
}

std::vector<std::string_view> splitNonEmpty(std::string_view s, char sep) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(sep, start);
        if (end == std::string_view::npos) end = s.size();
        if (end > start) pieces.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

std::optional<int64_t> parseInt64(std::string_view s) {
    bool negative = false;
    size_t i = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        i = 1;
    }
    if (i >= s.size()) return std::nullopt;
    // Accumulate as a negative number so that INT64_MIN parses too.
    int64_t value = 0;
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        if (ch < '0' || ch > '9') return std::nullopt;
        const int digit = ch - '0';
        if (value < (INT64_MIN + digit) / 10) return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == INT64_MIN) return std::nullopt;
    return -value;
}

std::string upper(std::string_view s) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())))
        .toUpper(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

std::string lower(std::string_view s) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())))
        .toLower(icu::Locale::getRoot())
        .toUTF8String(out);
    return out;
}

std::vector<std::string> graphemes(std::string_view utf8) {
    std::vector<std::string> clusters;
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> it(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !it) return clusters;
    it->setText(u);
    int32_t start = it->first();
    for (int32_t end = it->next(); end != icu::BreakIterator::DONE; start = end, end = it->next()) {
        std::string cluster;
        u.tempSubStringBetween(start, end).toUTF8String(cluster);
        clusters.push_back(std::move(cluster));
    }
    return clusters;
}

std::string jsonQuote(std::string_view s) {
    return nlohmann::json(std::string(s))
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t hit = s.find(from, start);
        if (hit == std::string_view::npos) break;
        out.append(s.substr(start, hit - start));
        out.append(to);
        start = hit + from.size();
    }
    out.append(s.substr(start));
    return out;
}

}  // namespace velora::text
