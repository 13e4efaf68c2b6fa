#include <gtest/gtest.h>

#include "core/Text.h"

using namespace velora::text;

TEST(Text, TrimSetsDifferOnLineBreaks) {
    EXPECT_EQ(trimWhitespaceAndNewlines(" \t\r\nHELLO x\r\n\xC2\x85\xE2\x80\xA8"), "HELLO x");
    EXPECT_EQ(trimWhitespaceAndNewlines("\xE3\x80\x80"
                                        "a"
                                        "\xC2\xA0"),
              "a");
    EXPECT_EQ(trimWhitespaceAndNewlines("   "), "");
    EXPECT_EQ(trimWhitespace(" \t123456\t "), "123456");
    EXPECT_EQ(trimWhitespace("\n123\n"), "\n123\n");
}

TEST(Text, SplitDropsEmptyPieces) {
    auto p = splitNonEmpty("  a  b c ", ' ');
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0], "a");
    EXPECT_EQ(p[2], "c");
    EXPECT_TRUE(splitNonEmpty("", ' ').empty());
    EXPECT_TRUE(splitNonEmpty("+++", '+').empty());
}

TEST(Text, ParseInt64AcceptsSignsAndRejectsEverythingElse) {
    EXPECT_EQ(parseInt64("-5"), -5);
    EXPECT_EQ(parseInt64("+30"), 30);
    EXPECT_EQ(parseInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_FALSE(parseInt64("9223372036854775808"));
    EXPECT_FALSE(parseInt64("+"));
    EXPECT_FALSE(parseInt64(""));
    EXPECT_FALSE(parseInt64("1x"));
    EXPECT_FALSE(parseInt64(" 1"));
    EXPECT_FALSE(parseInt64("--1"));
}

TEST(Text, GraphemeClustersFollowUax29) {
    // CR LF is one cluster; an emoji with a skin-tone modifier and a flag are one each.
    auto g = graphemes("a\r\nb\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD\xF0\x9F\x87\xB0\xF0\x9F\x87\xB7");
    ASSERT_EQ(g.size(), 5u);
    EXPECT_EQ(g[1], "\r\n");
    EXPECT_EQ(g[3], "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");
    EXPECT_EQ(g[4], "\xF0\x9F\x87\xB0\xF0\x9F\x87\xB7");
    // Hangul syllables and a combining accent.
    EXPECT_EQ(graphemes("\xED\x95\x9C\xEA\xB8\x80").size(), 2u);
    EXPECT_EQ(graphemes("e\xCC\x81").size(), 1u);
}

TEST(Text, CaseMappingAndJson) {
    EXPECT_EQ(upper("enter"), "ENTER");
    EXPECT_EQ(lower("CtRl"), "ctrl");
    EXPECT_EQ(jsonQuote("a\"b\\c\n"), "\"a\\\"b\\\\c\\n\"");
    EXPECT_EQ(replaceAll("a_b__c", "_", " "), "a b  c");
}
