// Constant folding on raw constant bytes: every operator group by left kind, the reading of the
// right operand by category, wrapping at the left width, and the faults that become errors.
#include "script/compiler/ConstFold.h"

#include "script/compiler/ConstValues.h"
#include "script/compiler/Messages.h"

#include <gtest/gtest.h>

using namespace lumivar::script;

namespace {

std::string Int(std::int64_t v, std::size_t width) {
    return WriteRawInteger(std::uint64_t(v), width);
}
std::string I8(std::int64_t v) {
    return Int(v, 1);
}
std::string I16(std::int64_t v) {
    return Int(v, 2);
}
std::string I32(std::int64_t v) {
    return Int(v, 4);
}
std::string Real(long double v, std::uint8_t kind) {
    return WriteRawReal(v, kind);
}
std::string Ext(long double v) {
    return Real(v, btExtended);
}
std::string True() {
    return std::string(1, '\1');
}
std::string False() {
    return std::string(1, '\0');
}

// Value kinds as the image gives them, for the kinds used below.
TFoldType T(std::uint8_t kind) {
    switch (kind) {
    case btChar:
    case btEnum:
        return {kind, 1};
    default:
        return {kind, kind};
    }
}

struct FoldCase {
    const char* name;
    TOperator op;
    std::uint8_t leftKind;
    std::string left;
    std::uint8_t rightKind;
    std::string right;
    std::uint8_t code; // 0: success with the result below
    std::string result;
};

void PrintTo(const FoldCase& c, std::ostream* os) { *os << c.name; }

class Fold : public testing::TestWithParam<FoldCase> {};

TEST_P(Fold, Result) {
    const FoldCase& c = GetParam();
    std::string data = c.left;
    const TFoldStatus status = FoldValues(c.op, T(c.leftKind), data, T(c.rightKind), c.right);
    EXPECT_EQ(status.Code, c.code);
    if (c.code == 0)
        EXPECT_EQ(data, c.result);
    else
        EXPECT_EQ(data, c.left); // a failed fold leaves the accumulator alone
}

const FoldCase kFolds[] = {
    // integer arithmetic on 32 bits, stored back in the left width
    {"SevenDivTwo", opDiv, btS32, I32(7), btS32, I32(2), 0, I32(3)},
    {"MinusSevenDivTwo", opDiv, btS32, I32(-7), btS32, I32(2), 0, I32(-3)},
    {"MinusSevenModTwo", opMod, btS32, I32(-7), btS32, I32(2), 0, I32(-1)},
    {"UnsignedDiv", opDiv, btU32, I32(0xFFFFFFFE), btS32, I32(2), 0, I32(0x7FFFFFFF)},
    {"UnsignedMod", opMod, btU8, I8(250), btU8, I8(7), 0, I8(5)},
    {"MinIntDivMinusOne", opDiv, btS32, I32(INT32_MIN), btS32, I32(-1), 0, I32(INT32_MIN)},
    {"MinIntModMinusOne", opMod, btS32, I32(INT32_MIN), btS32, I32(-1), 0, I32(0)},
    {"ShortIntDivWraps", opDiv, btS8, I8(-128), btS32, I32(-1), 0, I8(-128)},
    {"ByteWraps", opAdd, btU8, I8(255), btS32, I32(1), 0, I8(0)},
    {"ByteSubtractWraps", opSub, btU8, I8(3), btU8, I8(5), 0, I8(254)},
    {"WordMultiplyWraps", opMul, btU16, I16(65535), btS32, I32(2), 0, I16(65534)},
    {"LongIntAddWraps", opAdd, btS32, I32(INT32_MAX), btS32, I32(1), 0, I32(INT32_MIN)},
    {"RightShortIntSignExtended", opAdd, btS32, I32(10), btS8, I8(-1), 0, I32(9)},
    {"RightByteZeroExtended", opAdd, btS32, I32(10), btU8, I8(255), 0, I32(265)},
    {"DivByZero", opDiv, btS32, I32(1), btS32, I32(0), ceDivideByZero, ""},
    {"ModByZero", opMod, btU16, I16(1), btU8, I8(0), ceDivideByZero, ""},
    {"IntegerLeftRealRight", opAdd, btS32, I32(1), btExtended, Ext(2.5L), ceTypeMismatch, ""},
    {"IntegerLeftInt64Right", opAdd, btS32, I32(1), btS64, Int(1, 8), ceTypeMismatch, ""},
    {"IntegerLeftStringRight", opSub, btS32, I32(1), btString, "a", ceTypeMismatch, ""},
    {"IntegerLeftBooleanRight", opAnd, btS32, I32(1), btEnum, I32(1), ceTypeMismatch, ""},
    // shifts: count modulo 32, SHR widens by the left's signedness and shifts logically
    {"ShlThirtyThree", opShl, btS32, I32(1), btS32, I32(33), 0, I32(2)},
    {"ShlWithinByte", opShl, btU8, I8(0x81), btS32, I32(1), 0, I8(0x02)},
    {"SmallIntShr", opShr, btS16, I16(-4), btS32, I32(1), 0, I16(-2)},
    {"WordShr", opShr, btU16, I16(0x8000), btS32, I32(15), 0, I16(1)},
    {"LongIntShrIsLogical", opShr, btS32, I32(-8), btS32, I32(1), 0, I32(0x7FFFFFFC)},
    {"ShrCountModulo", opShr, btU32, I32(8), btS32, I32(35), 0, I32(1)},
    {"And", opAnd, btS32, I32(7), btS32, I32(3), 0, I32(3)},
    {"Or", opOr, btS32, I32(5), btS32, I32(2), 0, I32(7)},
    {"Xor", opXor, btU8, I8(5), btS32, I32(0x101), 0, I8(4)},
    // integer comparisons: unsigned for BYTE, WORD, LONGWORD, signed for the others
    {"UnsignedCompare", opGE, btU8, I8(200), btS8, I8(-1), 0, False()},
    {"SignedCompare", opLT, btS8, I8(-1), btU8, I8(200), 0, True()},
    {"LongWordGreater", opGT, btU32, I32(0xFFFFFFFF), btS32, I32(1), 0, True()},
    {"LongIntGreater", opGT, btS32, I32(-1), btS32, I32(1), 0, False()},
    {"LessEqual", opLE, btS32, I32(4), btS32, I32(4), 0, True()},
    {"NotEqual", opNE, btS32, I32(4), btS32, I32(4), 0, False()},
    {"Equal", opEQ, btU16, I16(4), btS32, I32(4), 0, True()},
    // reals in extended precision, rounded to the left kind
    {"RealDivision", opDiv, btExtended, Ext(7.0L), btS32, I32(2), 0, Ext(3.5L)},
    {"RealPlusInteger", opAdd, btExtended, Ext(2.5L), btS32, I32(1), 0, Ext(3.5L)},
    {"RealPlusLongWord", opAdd, btExtended, Ext(0.5L), btU32, I32(0xFFFFFFFF), 0,
     Ext(4294967295.5L)},
    {"DoublePlusSingle", opAdd, btDouble, Real(1.5L, btDouble), btSingle, Real(0.25L, btSingle), 0,
     Real(1.75L, btDouble)},
    {"SingleTimesReal", opMul, btSingle, Real(3.0L, btSingle), btExtended, Ext(0.5L), 0,
     Real(1.5L, btSingle)},
    {"SingleRounds", opDiv, btSingle, Real(1.0L, btSingle), btS32, I32(3), 0,
     Real(1.0f / 3.0f, btSingle)},
    {"RealMinus", opSub, btExtended, Ext(1.0L), btExtended, Ext(3.0L), 0, Ext(-2.0L)},
    {"RealDivByZero", opDiv, btExtended, Ext(1.0L), btS32, I32(0), ceDivideByZero, ""},
    {"ExtendedOverflow", opMul, btExtended, Ext(1e4000L), btExtended, Ext(1e4000L), ceMathError,
     ""},
    {"DoubleOverflow", opMul, btDouble, Real(1e300L, btDouble), btExtended, Ext(1e300L),
     ceMathError, ""},
    {"SingleOverflow", opAdd, btSingle, Real(3e38L, btSingle), btExtended, Ext(3e38L), ceMathError,
     ""},
    {"RealRightString", opAdd, btExtended, Ext(1.0L), btString, "1", ceTypeMismatch, ""},
    {"RealCompare", opLT, btExtended, Ext(1.5L), btS32, I32(2), 0, True()},
    {"RealEqualsByte", opEQ, btDouble, Real(2.0L, btDouble), btU8, I8(2), 0, True()},
    // strings: "+" concatenates STRING and CHAR
    {"StringPlusString", opAdd, btString, "a", btString, "b", 0, "ab"},
    {"StringPlusChar", opAdd, btString, "ab", btChar, "c", 0, "abc"},
    {"StringPlusEmpty", opAdd, btString, "", btString, "", 0, ""},
    {"StringPlusInteger", opAdd, btString, "a", btS32, I32(1), ceTypeMismatch, ""},
    // pairs the table does not list follow the executor's rules
    {"TrueAndFalse", opAnd, btEnum, I32(1), btEnum, I32(0), 0, False()},
    {"TrueOrFalse", opOr, btEnum, True(), btEnum, I32(0), 0, True()},
    {"TrueXorTrue", opXor, btEnum, True(), btEnum, True(), 0, False()},
    {"BooleanGreater", opGT, btEnum, I32(1), btEnum, I32(0), 0, True()},
    {"StringsEqual", opEQ, btString, "abc", btString, "abc", 0, True()},
    {"StringsLess", opLT, btString, "abc", btString, "abd", 0, True()},
    {"PrefixIsLess", opGE, btString, "ab", btString, "abc", 0, False()},
    {"StringMinus", opSub, btString, "ab", btString, "b", ceTypeMismatch, ""},
    {"CharsEqual", opEQ, btChar, "a", btChar, "a", 0, True()},
    {"Int64Add", opAdd, btS64, Int(5000000000LL, 8), btS32, I32(1), 0, Int(5000000001LL, 8)},
    {"Int64Divide", opDiv, btS64, Int(-7, 8), btS64, Int(2, 8), 0, Int(-3, 8)},
    {"Int64DivByZero", opDiv, btS64, Int(1, 8), btS32, I32(0), ceDivideByZero, ""},
    {"Int64Compare", opLT, btS64, Int(-1, 8), btS32, I32(0), 0, True()},
    {"RealMod", opMod, btExtended, Ext(7.0L), btS32, I32(2), ceTypeMismatch, ""},
    {"RealShl", opShl, btDouble, Real(1.0L, btDouble), btS32, I32(2), ceTypeMismatch, ""},
};

INSTANTIATE_TEST_SUITE_P(ConstFold, Fold, testing::ValuesIn(kFolds),
                         [](const testing::TestParamInfo<FoldCase>& info) {
                             return info.param.name;
                         });

TEST(ConstFold, RealFaultNamesTheFault) {
    std::string data = Ext(1e4000L);
    const TFoldStatus status = FoldValues(opMul, T(btExtended), data, T(btExtended), Ext(1e4000L));
    EXPECT_EQ(status.Param, "Floating point overflow");
}

struct UnaryCase {
    const char* name;
    std::uint8_t kind;
    TUnaryOp op;
    std::string data;
    bool ok;
    std::string result;
};

void PrintTo(const UnaryCase& c, std::ostream* os) { *os << c.name; }

class Unary : public testing::TestWithParam<UnaryCase> {};

TEST_P(Unary, Result) {
    const UnaryCase& c = GetParam();
    std::string data = c.data;
    EXPECT_EQ(ApplyUnary(c.kind, data, c.op), c.ok);
    EXPECT_EQ(data, c.ok ? c.result : c.data);
}

const UnaryCase kUnary[] = {
    {"NotZero", btS32, TUnaryOp::Not, I32(0), true, I32(1)},
    {"NotFive", btS32, TUnaryOp::Not, I32(5), true, I32(0)},
    {"NotByte", btU8, TUnaryOp::Not, I8(0), true, I8(1)},
    {"NegateFive", btS32, TUnaryOp::Negate, I32(5), true, I32(-5)},
    {"NegateShortIntMin", btS8, TUnaryOp::Negate, I8(-128), true, I8(-128)},
    {"NegateByteWraps", btU8, TUnaryOp::Negate, I8(5), true, I8(251)},
    {"NegateWideDataOfByte", btU8, TUnaryOp::Negate, I32(1), true, I8(255)},
    {"NegateInt64", btS64, TUnaryOp::Negate, Int(5000000000LL, 8), true, Int(-5000000000LL, 8)},
    {"NotInt64", btS64, TUnaryOp::Not, Int(0, 8), true, Int(1, 8)},
    {"NegateExtended", btExtended, TUnaryOp::Negate, Ext(1.5L), true, Ext(-1.5L)},
    {"NegateDouble", btDouble, TUnaryOp::Negate, Real(2.0L, btDouble), true, Real(-2.0L, btDouble)},
    {"NotBooleanDeclared", btEnum, TUnaryOp::Not, I32(1), true, I32(0)},
    {"NotBooleanFolded", btEnum, TUnaryOp::Not, False(), true, True()},
    {"NotReal", btExtended, TUnaryOp::Not, Ext(1.5L), false, ""},
    {"NegateBoolean", btEnum, TUnaryOp::Negate, True(), false, ""},
    {"NegateString", btString, TUnaryOp::Negate, "a", false, ""},
    {"NotString", btString, TUnaryOp::Not, "a", false, ""},
    {"NotChar", btChar, TUnaryOp::Not, "a", false, ""},
};

INSTANTIATE_TEST_SUITE_P(ConstFold, Unary, testing::ValuesIn(kUnary),
                         [](const testing::TestParamInfo<UnaryCase>& info) {
                             return info.param.name;
                         });

TEST(ConstValues, IntegersReadShortDataAsZeroAndExtendBySign) {
    EXPECT_EQ(ReadRawInteger(std::string("\xFE", 1), 2, true), 254);
    EXPECT_EQ(ReadRawInteger(std::string("\xFE\xFF", 2), 2, true), -2);
    EXPECT_EQ(ReadRawInteger(std::string("\xFE\xFF", 2), 2, false), 0xFFFE);
    EXPECT_EQ(ReadRawInteger(std::string(8, '\xFF'), 8, false), -1);
    EXPECT_EQ(ReadRawInteger("", 4, true), 0);
    EXPECT_EQ(WriteRawInteger(0x0102030405060708ULL, 3), std::string("\x08\x07\x06", 3));
}

TEST(ConstValues, ExtendedIsTheX87Format) {
    // 3.5 = 1.75 * 2^1: exponent 16384, explicit integer bit set
    EXPECT_EQ(WriteRawReal(3.5L, btExtended), std::string("\0\0\0\0\0\0\0\xE0\x00\x40", 10));
    EXPECT_EQ(ReadRawReal(std::string("\0\0\0\0\0\0\0\x80\xFF\xBF", 10), btExtended), -1.0L);
    EXPECT_EQ(WriteRawReal(1.0L, btDouble), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
    EXPECT_EQ(WriteRawReal(1.0L, btSingle), std::string("\0\0\x80\x3F", 4));
}

TEST(ConstValues, RealLiterals) {
    EXPECT_EQ(RealLiteralValue("3.5"), 3.5L);
    EXPECT_EQ(RealLiteralValue("1."), 1.0L);
    EXPECT_EQ(RealLiteralValue("0.1"), 0.1L);
    EXPECT_EQ(RealLiteralValue("1" + std::string(5000, '0') + ".5"), std::nullopt);
    EXPECT_EQ(RealLiteralValue("0." + std::string(5000, '0') + "1"), 0.0L);
}

} // namespace
