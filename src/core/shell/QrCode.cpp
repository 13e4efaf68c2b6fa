#include "core/shell/QrCode.h"

#include <qrencode.h>

#include <memory>

namespace velora {
namespace {

constexpr std::string_view kUpperHalf = "\u2580";
constexpr std::string_view kLowerHalf = "\u2584";
constexpr std::string_view kFullBlock = "\u2588";

std::string_view halfBlock(bool upper, bool lower) {
    if (upper && lower) return kFullBlock;
    if (upper) return kUpperHalf;
    if (lower) return kLowerHalf;
    return " ";
}

}  // namespace

std::optional<QrCode> QrCode::encode(std::string_view text) {
    const std::string terminated(text);
    // Version 0 lets the library pick the smallest that holds the text, and case sensitivity
    // keeps it as written.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(terminated.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);
    if (!code) return std::nullopt;
    const int size = code->width;
    std::vector<bool> modules(static_cast<size_t>(size * size));
    // The low bit of each of the library's bytes is the module's colour, 1 for dark.
    for (size_t i = 0; i < modules.size(); ++i) modules[i] = (code->data[i] & 1) != 0;
    return QrCode(size, std::move(modules));
}

bool QrCode::lightAt(int x, int y) const {
    const int span = size_ + 2 * kQuietZone;
    if (y >= span) return false;
    const int cx = x - kQuietZone;
    const int cy = y - kQuietZone;
    const bool inCode = cx >= 0 && cy >= 0 && cx < size_ && cy < size_;
    return !inCode || !dark(cx, cy);
}

std::vector<std::string> QrCode::terminalLines() const {
    const int span = size_ + 2 * kQuietZone;
    std::vector<std::string> lines;
    for (int y = 0; y < span; y += 2) {
        std::string line;
        for (int x = 0; x < span; ++x) line += halfBlock(lightAt(x, y), lightAt(x, y + 1));
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace velora
