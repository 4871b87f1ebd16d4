// Code page 1251: every byte survives a round trip through UTF-8; known letters map exactly.
#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

TEST(Cp1251, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, KnownLetters) {
    EXPECT_EQ(Cp1251ToCodePoint(0xC0), U'\u0410'); // А
    EXPECT_EQ(Cp1251ToCodePoint(0xFF), U'\u044F'); // я
    EXPECT_EQ(Cp1251ToCodePoint(0xA8), U'\u0401'); // Ё
    EXPECT_EQ(Cp1251ToCodePoint(0xB9), U'\u2116'); // №
    EXPECT_EQ(Cp1251ToCodePoint(0x98), U'\u0098');
    EXPECT_EQ(Utf8ToCp1251("Ошибка"), "\xCE\xF8\xE8\xE1\xEA\xE0");
    EXPECT_EQ(Utf8ToCp1251("\xE2\x82\xAC\xE4\xB8\x80"), "\x88?"); // euro sign, then a CJK letter
    EXPECT_EQ(Utf8ToCp1251("\xFF"), "?");
}
