// CONST sections: the values, types and bytes of declared constants, and the errors of the
// section and expression readers with their positions.
#include "CoreFixture.h"

#include "script/compiler/ConstValues.h"
#include "script/runtime/Names.h"

#include <gtest/gtest.h>

using namespace lumivar::script;
using lumivar::script::test::CoreFixture;

namespace {

constexpr TTypeNo kBoolean = 1, kLongint = 6, kString = 10, kExtended = 14;

std::string I32(std::int64_t v) {
    return WriteRawInteger(std::uint64_t(v), 4);
}
std::string Ext(long double v) {
    return WriteRawReal(v, btExtended);
}

struct ValueCase {
    const char* name;
    std::string text; // a CONST section declaring X last
    TTypeNo type;
    std::string data;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }

class ConstValue : public testing::TestWithParam<ValueCase> {};

TEST_P(ConstValue, Declared) {
    const ValueCase& c = GetParam();
    CoreFixture f;
    f.Core.Parser.SetText(c.text);
    ASSERT_TRUE(f.Run([](TCompilerCore& core) { core.ReadConstSection(); }))
        << c.text << ": error " << int(f.Core.Messages.back().Code);
    const TIFPSConstant* x = f.Constant("X");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->NameHash, MakeHash("X"));
    EXPECT_EQ(x->Value.VType, c.type);
    EXPECT_EQ(x->Value.Data, c.data);
    EXPECT_TRUE(f.Core.Messages.empty());
}

const ValueCase kValues[] = {
    {"Integer", "const X = 5;", kLongint, I32(5)},
    {"Precedence", "const X = 2 + 3 * 4;", kLongint, I32(14)},
    {"Parentheses", "const X = (2 + 3) * 4;", kLongint, I32(20)},
    {"Negative", "const X = -5;", kLongint, I32(-5)},
    {"NegatedGroup", "const X = -(2 + 3);", kLongint, I32(-5)},
    {"NotZero", "const X = not 0;", kLongint, I32(1)},
    {"NotFive", "const X = not 5;", kLongint, I32(0)},
    {"PrefixBindsToOperand", "const X = -2 + 3;", kLongint, I32(1)},
    {"IntegerDivision", "const X = 7 / 2;", kLongint, I32(3)},
    {"NegativeDivision", "const X = -7 / 2;", kLongint, I32(-3)},
    {"NegativeModulo", "const X = -7 mod 2;", kLongint, I32(-1)},
    {"ShiftCountModulo", "const X = 1 shl 33;", kLongint, I32(2)},
    {"LeftToRight", "const X = 20 - 5 - 3;", kLongint, I32(12)},
    {"AndBindsLikeTimes", "const X = 1 or 6 and 3;", kLongint, I32(3)},
    {"Hex", "const X = $FF;", kLongint, I32(255)},
    {"HexAllBits", "const X = $FFFFFFFF;", kLongint, I32(-1)},
    {"Above2To31", "const X = 3000000000;", kLongint, I32(3000000000LL)},
    {"Above2To32KeepsLow32", "const X = 5000000000;", kLongint, I32(705032704)},
    {"Real", "const X = 3.5;", kExtended, Ext(3.5L)},
    {"RealDivision", "const X = 7.0 / 2;", kExtended, Ext(3.5L)},
    {"RealPlusInteger", "const X = 2.5 + 1;", kExtended, Ext(3.5L)},
    {"NegativeReal", "const X = -1.5;", kExtended, Ext(-1.5L)},
    {"DoubledQuote", "const X = 'it''s';", kString, "it's"},
    {"SpacedQuotes", "const X = 'it' 's';", kString, "it's"},
    {"Chars", "const X = #65#66;", kString, "AB"},
    {"HexChar", "const X = #$41#$162;", kString, "Ab"},
    {"CharModulo", "const X = #321;", kString, "A"},
    {"StringAndChars", "const X = 'a'#13#10;", kString, "a\r\n"},
    {"EmptyString", "const X = '';", kString, ""},
    {"Concatenation", "const X = 'a' + 'b';", kString, "ab"},
    {"StringsEqual", "const X = 'abc' = 'abc';", kBoolean, "\1"},
    {"StringsLess", "const X = 'abd' < 'abc';", kBoolean, std::string(1, '\0')},
    {"Comparison", "const X = 1 + 1 = 2;", kBoolean, "\1"},
    {"ComparisonLast", "const X = 2 > 1 + 1;", kBoolean, std::string(1, '\0')},
    {"TrueAndFalse", "const X = True and False;", kBoolean, std::string(1, '\0')},
    {"TrueOrFalse", "const X = True or False;", kBoolean, "\1"},
    {"EarlierConstant", "const A = 2; B = A * 3; X = B + A;", kLongint, I32(8)},
    {"NegatedConstant", "const A = 2; X = -A;", kLongint, I32(-2)},
    {"ConstantAfterSection", "const X = 1; begin", kLongint, I32(1)},
};

INSTANTIATE_TEST_SUITE_P(ConstExpr, ConstValue, testing::ValuesIn(kValues),
                         [](const testing::TestParamInfo<ValueCase>& info) {
                             return info.param.name;
                         });

struct ErrorCase {
    const char* name;
    std::string text;
    std::uint8_t code;
    std::string param;
    std::uint32_t position;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class ConstError : public testing::TestWithParam<ErrorCase> {};

TEST_P(ConstError, Reported) {
    const ErrorCase& c = GetParam();
    CoreFixture f;
    f.Core.Parser.SetText(c.text);
    EXPECT_FALSE(f.Run([](TCompilerCore& core) { core.ReadConstSection(); })) << c.text;
    ASSERT_FALSE(f.Core.Messages.empty());
    const TIFPSPascalCompilerMessage& m = f.Core.Messages.back();
    EXPECT_EQ(m.Kind, mkError);
    EXPECT_EQ(m.Code, c.code);
    EXPECT_EQ(m.Param, c.param);
    EXPECT_EQ(m.Position, c.position);
}

// clang-format off
const ErrorCase kErrors[] = {
    //                          0123456789012345678
    {"DivIsNoOperator",        "const G = 10 div 2;", ceSyntaxError, "", 13},
    {"PlusIsNoPrefix",         "const H = +1;", ceSyntaxError, "", 10},
    {"TwoPrefixes",            "const H = not -1;", ceSyntaxError, "", 14},
    {"NotReal",                "const I = not 1.5;", ceTypeMismatch, "", 14},
    {"NegatedString",          "const J = -'a';", ceTypeMismatch, "", 11},
    {"NotString",              "const J = not #65;", ceTypeMismatch, "", 14},
    {"NotTrue",                "const J = not True;", ceTypeMismatch, "", 14},
    {"NegatedGroupOfStrings",  "const J = -('a');", ceTypeMismatch, "", 15},
    {"UnknownName",            "const K = Unknown;", ceUnknownIdentifier, "", 10},
    {"CommaAfterValue",        "const P = 1, 2;", ceSemicolonExpected, "", 11},
    {"NoEqual",                "const P : 1;", ceEqualExpected, "", 8},
    {"NoName",                 "const 1 = 2;", ceIdentifierExpected, "", 6},
    {"TypeName",               "const Byte = 1;", ceDuplicateIdentifier, "", 6},
    {"EnumerationMember",      "const True = 1;", ceDuplicateIdentifier, "", 6},
    {"TwiceDeclared",          "const A = 1; A = 2;", ceDuplicateIdentifier, "", 13},
    {"IntegerPlusReal",        "const X = 1 + 2.5;", ceTypeMismatch, "", 14},
    {"IntegerPlusString",      "const X = 1 + 'a';", ceTypeMismatch, "", 17},
    {"DivisionByZero",         "const X = 1 / 0;", ceDivideByZero, "", 14},
    {"ModuloByZero",           "const X = 1 mod (1 - 1);", ceDivideByZero, "", 22},
    {"RealDivisionByZero",     "const X = 1.5 / 0;", ceDivideByZero, "", 16},
    {"StringMinus",            "const X = 'a' - 'b';", ceTypeMismatch, "", 19},
    {"EndOfText",              "const X = 1 +", ceUnexpectedEndOfFile, "", 13},
    {"EndOfTextAfterValue",    "const X = 1", ceUnexpectedEndOfFile, "", 11},
    {"NoClosingRound",         "const X = (1;", ceCloseRoundExpected, "", 12},
    {"UnknownToken",           "const X = 1 := 2;", ceSyntaxError, "", 12},
    {"HashWithoutDigits",      "const X = # ;", ceCharError, "", 10},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(ConstExpr, ConstError, testing::ValuesIn(kErrors),
                         [](const testing::TestParamInfo<ErrorCase>& info) {
                             return info.param.name;
                         });

TEST(ConstExpr, RealOverflowInAProduct) {
    const std::string big = "1" + std::string(2500, '0') + ".0";
    const std::string text = "const X = " + big + " * " + big + ";";
    CoreFixture f;
    f.Core.Parser.SetText(text);
    EXPECT_FALSE(f.Run([](TCompilerCore& core) { core.ReadConstSection(); }));
    ASSERT_FALSE(f.Core.Messages.empty());
    EXPECT_EQ(f.Core.Messages.back().Code, ceMathError);
    EXPECT_EQ(f.Core.Messages.back().Position, 10 + big.size() + 3);
}

TEST(ConstExpr, ExpressionLeavesItsTerminatorCurrent) {
    CoreFixture f;
    f.Core.Parser.SetText("2 * 3 ] x");
    TIfRVariant v;
    ASSERT_TRUE(f.Run([&v](TCompilerCore& core) { v = core.ReadConstExpr(ttSemicolon); }));
    EXPECT_EQ(v.Data, I32(6));
    EXPECT_EQ(f.Core.Parser.Token, ttCloseBlock);
}

TEST(ConstExpr, StringLiteralLeavesTheNextTokenCurrent) {
    CoreFixture f;
    f.Core.Parser.SetText("'a' #66 'c''d' x");
    std::string s;
    ASSERT_TRUE(f.Run([&s](TCompilerCore& core) { s = core.ReadStringLiteral(); }));
    EXPECT_EQ(s, "aBc'd");
    EXPECT_EQ(f.Core.Parser.TokenText, "X");
}

} // namespace
