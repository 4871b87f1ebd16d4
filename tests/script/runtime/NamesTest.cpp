// Name upper-casing touches ASCII letters only; the hash rotates by 7 bits per byte.
#include "script/runtime/Names.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

TEST(Names, FastUpperCaseChangesAsciiLettersOnly) {
    EXPECT_EQ(FastUpperCase("begin_1z"), "BEGIN_1Z");
    EXPECT_EQ(FastUpperCase("\xE0\xE1"), "\xE0\xE1"); // Cyrillic stays as it is
}

TEST(Names, MakeHash) {
    EXPECT_EQ(MakeHash(""), 0u);
    EXPECT_EQ(MakeHash("A"), 0x41u);
    EXPECT_EQ(MakeHash("AB"), 0x20C2u);
    EXPECT_EQ(MakeHash("\xFF"), 0xFFu); // bytes count unsigned
    EXPECT_EQ(MakeHash("ABCDEF"), MakeHash("ABCDEF"));
    EXPECT_NE(MakeHash("AB"), MakeHash("BA"));
}
