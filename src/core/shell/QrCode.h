// A QR code of a text as a square of modules (error correction level M), and the same square
// drawn for a terminal with Unicode half blocks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velora {

class QrCode {
public:
    // Light modules a reader needs around the code on every side.
    static constexpr int kQuietZone = 4;

    // None when the text does not fit in a QR code.
    static std::optional<QrCode> encode(std::string_view text);

    // Modules per side, the quiet zone not included.
    int size() const { return size_; }
    bool dark(int x, int y) const { return modules_[static_cast<size_t>(y * size_ + x)]; }

    // The code with its quiet zone, two module rows per line. Light modules are the drawn
    // blocks and dark ones the terminal's own background, so the code reads dark on light as
    // readers expect on the usual dark terminal.
    std::vector<std::string> terminalLines() const;

private:
    QrCode(int size, std::vector<bool> modules) : size_(size), modules_(std::move(modules)) {}

    // Light, in coordinates that include the quiet zone; below the last row is the terminal.
    bool lightAt(int x, int y) const;

    int size_ = 0;
    std::vector<bool> modules_;
};

}  // namespace velora
