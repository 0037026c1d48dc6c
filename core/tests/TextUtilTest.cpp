#include <gtest/gtest.h>

#include "core/TextUtil.h"

namespace corv {
namespace {

using Words = std::vector<std::string>;

TEST(TextUtil, TrimRemovesOnlySpacesAndTabs) {
    EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks("\r\nx\r\n"), "\r\nx\r\n");
    EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(TextUtil, SplitWords) {
    struct Case {
        const char* text;
        const char* seps;
        Words words;
    } cases[] = {
        {"a, b,,c", "", {"a", "b", "c"}},
        {"$version=2.0", "=;", {"$version", "2.0"}},
        {"a%;b=c", "=;", {"a;b", "c"}},
        {"50%=half", "=", {"50=half"}},
        {"100% sure", " ", {"100 sure"}},
        {";;;", ";", {}},
        {"", "", {}},
        {"x\r\ny", "", {"x", "y"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitWords(c.text, c.seps), c.words) << c.text;
}

TEST(TextUtil, CapitaliseNameRaisesFirstAndAfterFirstSpace) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyz\xE4\xF6";
    EXPECT_EQ(CapitaliseName("BASIC COURSE two", letters), "Basic Course two");
    EXPECT_EQ(CapitaliseName("\xC4hti", letters), "\xC4hti");
    // A letter outside the set stays small.
    EXPECT_EQ(CapitaliseName("\xE9t\xE9", letters), "\xE9t\xE9");
    EXPECT_EQ(CapitaliseName("", letters), "");
}

TEST(TextUtil, UnscrambleLeavesLineEndsAlone) {
    std::string s = "ab\r\nc";
    Unscramble(s);
    EXPECT_EQ(s, std::string("\xFF\xFC\r\n\xFD"));
    Unscramble(s);
    EXPECT_EQ(s, "ab\r\nc");
}

}  // namespace
}  // namespace corv
