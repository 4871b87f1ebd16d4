// The string helpers: word splitting of declaration strings and integer texts at their limits.
#include "script/compiler/StringTools.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

namespace {

TEST(StringTools, GrabFirstWord) {
    struct Case {
        std::string in, word, rest;
    };
    const Case cases[] = {
        {"1 @A 6", "1", "@A 6"}, {"abc", "abc", ""},  {"", "", ""},
        {" x", "", "x"},         {"a  b", "a", " b"},
    };
    for (const Case& c : cases) {
        std::string s = c.in;
        EXPECT_EQ(GrabFirstWord(s), c.word) << c.in;
        EXPECT_EQ(s, c.rest) << c.in;
        EXPECT_EQ(FirstWord(c.in), c.word) << c.in;
    }
}

TEST(StringTools, StrToIntDef) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"0", 0},
        {"123", 123},
        {"-5", -5},
        {"+7", 7},
        {"$FF", 255},
        {"$ff", 255},
        {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN},
        {"-$10", -16},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", 99},
        {"-2147483649", 99},
        {"$100000000", 99},
        {"", 99},
        {"$", 99},
        {"-", 99},
        {"12a", 99},
        {" 1", 99},
        {"1 ", 99},
        {"$G", 99},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToIntDef(text, 99), value) << text;
}

TEST(StringTools, StrToInt64Def) {
    const std::pair<const char*, std::int64_t> cases[] = {
        {"3000000000", 3000000000LL},        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN}, {"9223372036854775808", -1},
        {"$FFFFFFFFFFFFFFFF", -1},           {"$100000000", 0x100000000LL},
        {"$10000000000000000", -1},          {"x", -1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(StrToInt64Def(text, -1), value) << text;
}

TEST(StringTools, SmallHelpers) {
    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToStr(4000000000LL), "4000000000");
    EXPECT_EQ(IntToRaw4(0x04030201), std::string("\x01\x02\x03\x04", 4));
    EXPECT_EQ(IntToRaw4(0xFFFFFFFF), std::string(4, '\xFF'));
    EXPECT_EQ(IntToRaw4(0), std::string(4, '\0'));
    EXPECT_EQ(StripFirst("!S"), "S");
    EXPECT_EQ(StripFirst(""), "");
    EXPECT_EQ(Dequote("'ab'"), "ab");
    EXPECT_EQ(Dequote("''"), "");
    EXPECT_EQ(Dequote("x"), "");
}

} // namespace
