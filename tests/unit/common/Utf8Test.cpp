#include "common/Utf8.h"

#include <gtest/gtest.h>

using namespace velora;

TEST(Utf8, InvalidBytesAreReplacedNotRejected) {
    EXPECT_EQ(utf8::sanitize("a\xff"
                             "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(utf8::sanitize("\xC3\xA9"), "\xC3\xA9");
    // A truncated sequence at the end and a lone continuation byte.
    EXPECT_EQ(utf8::sanitize("x\xE2\x82"), "x\xEF\xBF\xBD");
    EXPECT_EQ(utf8::sanitize("\x80"), "\xEF\xBF\xBD");
    // Overlong encodings and surrogates are ill-formed too.
    EXPECT_EQ(utf8::sanitize("\xC0\xAF").find('/'), std::string::npos);
    EXPECT_EQ(utf8::sanitize("\xED\xA0\x80").find("\xED\xA0\x80"), std::string::npos);
}

TEST(Utf8, CodePointsReadEachIllFormedSequenceAsOneReplacement) {
    using Points = std::vector<char32_t>;
    EXPECT_EQ(utf8::codePoints("a\xC3\xA9\xF0\x9F\x98\x80"), (Points{U'a', 0xE9, 0x1F600}));
    EXPECT_EQ(utf8::codePoints("\xff"
                               "b\xE2\x82"),
              (Points{0xFFFD, U'b', 0xFFFD}));
    EXPECT_EQ(utf8::codePoints(""), Points{});
}
