#include "core/net/Protocol.h"

#include <array>
#include <cstdio>

#include "common/Utf8.h"
#include "core/Text.h"

namespace velora {

void LineFramer::append(std::string_view bytes) {
    // Drop consumed bytes before growing, so the buffer holds at most one partial line.
    if (start_ > 0 && start_ == buffer_.size()) {
        buffer_.clear();
        scanned_ = start_ = 0;
    } else if (start_ > 4096 && start_ * 2 > buffer_.size()) {
        buffer_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    buffer_.append(bytes);
}

std::optional<std::string> LineFramer::next() {
    while (true) {
        const size_t lf = buffer_.find('\n', std::max(scanned_, start_));
        if (lf == std::string::npos) {
            scanned_ = buffer_.size();
            return std::nullopt;
        }
        const std::string_view raw(buffer_.data() + start_, lf - start_);
        std::string line = text::trimWhitespaceAndNewlines(utf8::sanitize(raw));
        start_ = scanned_ = lf + 1;
        if (!line.empty()) return line;
    }
}

Greeting parseGreeting(std::string_view line) {
    const auto pieces = text::splitNonEmpty(line, ' ');
    Greeting g;
    g.name = pieces.size() > 1 ? text::replaceAll(pieces[1], "_", " ") : std::string();
    g.token = pieces.size() > 2 ? std::string(pieces[2]) : "-";
    g.version = pieces.size() > 3 ? std::string(pieces[3]) : "?";
    return g;
}

std::pair<std::string_view, std::string_view> splitCommand(std::string_view line) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return {line, {}};
    return {line.substr(0, space), line.substr(space + 1)};
}

std::pair<int64_t, int64_t> two(std::string_view argument) {
    std::array<int64_t, 2> found{};
    size_t count = 0;
    for (std::string_view piece : text::splitNonEmpty(argument, ' ')) {
        if (auto n = text::parseInt64(piece)) {
            found[count++] = *n;
            if (count == 2) return {found[0], found[1]};
        }
    }
    return {0, 0};
}

std::string buttonLetter(std::string_view argument) {
    // The first character as a reader sees it: "R" with a combining accent is not "R".
    const std::vector<std::string> characters = text::graphemes(text::upper(argument));
    return characters.empty() ? "L" : characters.front();
}

namespace {

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::optional<std::string> decodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int v[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                v[k] = 0;
                ++padding;
                continue;
            }
            if (padding > 0) return std::nullopt;  // data after padding
            v[k] = base64Value(c);
            if (v[k] < 0) return std::nullopt;
        }
        const uint32_t n = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
        out.push_back(static_cast<char>(n >> 16));
        if (padding < 2) out.push_back(static_cast<char>((n >> 8) & 0xFF));
        if (padding < 1) out.push_back(static_cast<char>(n & 0xFF));
    }
    return out;
}

std::string encodeBase64(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
        if (left > 1) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (left > 2) n |= static_cast<uint8_t>(bytes[i + 2]);
        out.push_back(kBase64Alphabet[(n >> 18) & 63]);
        out.push_back(kBase64Alphabet[(n >> 12) & 63]);
        out.push_back(left > 1 ? kBase64Alphabet[(n >> 6) & 63] : '=');
        out.push_back(left > 2 ? kBase64Alphabet[n & 63] : '=');
    }
    return out;
}

ScreenRequest parseScreenRequest(std::string_view line, std::string defaultName) {
    const auto words = text::splitNonEmpty(line, ' ');
    ScreenRequest r;
    if (words.size() > 1) r.token = std::string(words[1]);
    if (words.size() > 2) r.width = text::parseInt64(words[2]).value_or(1280);
    if (words.size() > 3) r.quality = text::parseInt64(words[3]).value_or(60);
    r.name = words.size() > 4 ? text::replaceAll(words[4], "_", " ") : std::move(defaultName);
    return r;
}

bool isDiscoveryProbe(std::string_view datagram) {
    return datagram.size() >= 4 && datagram.substr(0, 4) == "RMK?";
}

std::string formatPin(uint32_t number) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06u", number % 1000000u);
    return buf;
}

}  // namespace velora
