// Canonical value texts: Pascal literals of strings, shortest floats per precision, and the
// texts of nested and pointing values.
#include "script/runtime/ValueText.h"

#include <gtest/gtest.h>

namespace lumivar::script {
namespace {

TEST(PascalLiteral, RunsOfPrintableBytesAndCodes) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "''"},
        {"abc", "'abc'"},
        {"'", "''''"},
        {"it's", "'it''s'"},
        {"\n", "#10"},
        {"a\r\nb", "'a'#13#10'b'"},
        {std::string("\0x", 2), "#0'x'"},
        {"\x7F\xE0", "#127#224"},
        {" ~", "' ~'"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(PascalLiteral(bytes), text);
}

TEST(FloatText, ShortestTextThatReadsBackAtThePrecision) {
    EXPECT_EQ(FloatText(0.1f, vkSingle), "0.1");
    EXPECT_EQ(FloatText(0.1, vkDouble), "0.1");
    EXPECT_EQ(FloatText(0.1L, vkExtended), "0.1");
    EXPECT_EQ(FloatText(static_cast<long double>(0.1), vkExtended), "0.10000000000000000555");
    EXPECT_EQ(FloatText(-2.5, vkDouble), "-2.5");
    EXPECT_EQ(FloatText(1e308, vkDouble), "1e+308");
}

TEST(ValueText, NestedValuesPointersAndCycles) {
    TIFValuePool pool;
    const TIFTypeRec s32 = MakeTypeRec(vkS32), variant = MakeTypeRec(vkVariant),
                     pointer = MakeTypeRec(vkPointer);
    const TIFTypeRec array = MakeArrayTypeRec(variant);
    const TIFTypeRec record = MakeRecordTypeRec({&s32, &array});
    TValueRef r(pool, &record), p(pool, &pointer);
    EXPECT_EQ(ValueText(*r), "(0, [])");
    ASSERT_TRUE(SetArrayLength(pool, *r->Elements[1], 2));
    TValueRef five(pool, &s32);
    SetInteger(*five, 5);
    ASSERT_TRUE(CopyValue(pool, *r->Elements[1]->Elements[0], *five));
    EXPECT_EQ(ValueText(*r), "(0, [5, Null])");
    EXPECT_EQ(ValueText(*p), "nil");
    p->Payload.Ref = p.get(); // a pointer to itself
    ++p->RefCount;
    EXPECT_TRUE(ValueText(*p).ends_with("^..."));
    p->Payload.Ref = nullptr;
    --p->RefCount;
}

} // namespace
} // namespace lumivar::script
