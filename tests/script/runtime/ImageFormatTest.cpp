// The name tables agree with the fixed codes of the instruction set and value kinds.
#include "script/runtime/ImageFormat.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

TEST(ImageFormat, NamesFollowCodes) {
    EXPECT_EQ(OpcodeName(ocAssign), "ocAssign");
    EXPECT_EQ(OpcodeName(ocTryEnd), "ocTryEnd");
    EXPECT_EQ(OpcodeName(21), "");
    EXPECT_EQ(OperandKindName(okElementByVar), "okElementByVar");
    EXPECT_EQ(ValueKindName(vkS64), "vkS64");
    EXPECT_EQ(ValueKindName(18), "");
}
