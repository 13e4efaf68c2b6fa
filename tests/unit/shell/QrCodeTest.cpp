#include <gtest/gtest.h>

#include <map>

#include "QrReader.h"
#include "core/shell/QrCode.h"

namespace velora {
namespace {

using testing_support::GreyPicture;
using testing_support::readQrCodes;

constexpr int kPixelsPerModule = 4;

// The terminal lines as a picture, the way a dark-background terminal shows them: drawn half
// blocks are light, spaces and everything below the last line dark.
GreyPicture asTerminalShowsIt(const std::vector<std::string>& lines) {
    const std::map<std::string, std::pair<bool, bool>> glyphs = {{" ", {false, false}},
                                                                 {"\u2580", {true, false}},
                                                                 {"\u2584", {false, true}},
                                                                 {"\u2588", {true, true}}};
    std::vector<std::vector<bool>> light(lines.size() * 2);
    for (size_t row = 0; row < lines.size(); ++row) {
        const std::string& line = lines[row];
        for (size_t at = 0; at < line.size();) {
            const size_t length = line[at] == ' ' ? 1 : 3;
            const auto glyph = glyphs.find(line.substr(at, length));
            if (glyph == glyphs.end()) {
                ADD_FAILURE() << "not a half block at " << at << " of line " << row;
                return {};
            }
            light[row * 2].push_back(glyph->second.first);
            light[row * 2 + 1].push_back(glyph->second.second);
            at += length;
        }
    }
    GreyPicture picture;
    picture.width = static_cast<int>(light.front().size()) * kPixelsPerModule;
    picture.height = static_cast<int>(light.size()) * kPixelsPerModule;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const auto& row = light[static_cast<size_t>(y / kPixelsPerModule)];
            const size_t column = static_cast<size_t>(x / kPixelsPerModule);
            picture.pixels.push_back(column < row.size() && row[column] ? 255 : 0);
        }
    }
    return picture;
}

std::string repeated(const std::string& glyph, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += glyph;
    return out;
}

TEST(QrCodeTest, TerminalLinesReadBackAsTheTextOnADarkTerminal) {
    for (const std::string text : {"http://velora-pc.local:21998/", "http://192.168.1.20:21998/",
                                   "http://[fd12:3456:789a::1]:21998/"}) {
        SCOPED_TRACE(text);
        const auto code = QrCode::encode(text);
        ASSERT_TRUE(code);
        const auto lines = code->terminalLines();
        const int span = code->size() + 2 * QrCode::kQuietZone;
        ASSERT_EQ(lines.size(), static_cast<size_t>((span + 1) / 2)) << "two module rows a line";
        // Four rows and columns of light all round: two solid lines at the top, solid edges,
        // and the last light row in the upper half of the last line.
        EXPECT_EQ(lines[0], repeated("\u2588", span));
        EXPECT_EQ(lines[1], repeated("\u2588", span));
        EXPECT_EQ(lines.back(), repeated("\u2580", span));
        for (size_t i = 2; i + 1 < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].starts_with(repeated("\u2588", 4))) << i;
            EXPECT_TRUE(lines[i].ends_with(repeated("\u2588", 4))) << i;
        }
        EXPECT_EQ(readQrCodes(asTerminalShowsIt(lines)), std::vector<std::string>{text});
    }
}

TEST(QrCodeTest, TextTooLongForAnyVersionGivesNoCode) {
    EXPECT_FALSE(QrCode::encode(std::string(4000, 'x')));
    EXPECT_TRUE(QrCode::encode(std::string(2000, 'x')));
}

}  // namespace
}  // namespace velora
