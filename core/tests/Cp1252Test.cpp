#include <gtest/gtest.h>

#include "core/Cp1252.h"

namespace corv {
namespace {

TEST(Cp1252, EveryByteRoundTripsThroughUnicode) {
    for (int b = 0; b < 256; ++b) {
        char32_t cp = Cp1252ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(UnicodeToCp1252(cp), b) << "byte " << b;
    }
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, KnownMappings) {
    struct Case {
        unsigned char byte;
        char32_t cp;
    } cases[] = {{0x80, 0x20AC}, {0x8A, 0x0160}, {0x9F, 0x0178}, {0x81, 0x0081},
                 {0x9D, 0x009D}, {0xE9, 0x00E9}, {0x96, 0x2013}, {'A', 'A'}};
    for (auto c : cases) EXPECT_EQ(Cp1252ToUnicode(c.byte), c.cp) << int(c.byte);
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
}

TEST(Cp1252, CodePointsWithoutAFormAreDropped) {
    EXPECT_EQ(UnicodeToCp1252(0x4E2D), -1);
    EXPECT_EQ(Utf32ToCp1252(U"a\u4E2Db\u20AC"), "ab\x80");
    // Broken UTF-8 loses only the broken bytes.
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a");
    EXPECT_EQ(Utf8ToCp1252("a\xFF"
                           "b"),
              "ab");
}

TEST(Cp1252, CaseTablesIgnoreTheProcessLocale) {
    EXPECT_EQ(ToUpper("abc\xE4\xF6\xFC\x9A\xFF\xDF\xF7"), "ABC\xC4\xD6\xDC\x8A\x9F\xDF\xF7");
    EXPECT_EQ(ToLower("\xC4\x8C\x9F"), "\xE4\x9C\xFF");
    EXPECT_TRUE(IsUpperCase('\xC9'));
    EXPECT_FALSE(IsUpperCase('\xE9'));
    EXPECT_FALSE(IsUpperCase('1'));
    EXPECT_TRUE(EqualsNoCase("Polic\xC9.DYN", "polic\xE9.dyn"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
}

}  // namespace
}  // namespace corv
