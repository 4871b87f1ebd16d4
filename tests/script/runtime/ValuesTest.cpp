// The value model on its own: the pool's blocks, creation and release, and the conversion,
// arithmetic and comparison rules of CopyValue, CalcValues and CompareValues, as tables of
// (kinds, operands, expected outcome).
#include "script/runtime/Values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <limits>
#include <variant>

namespace lumivar::script {
namespace {

// One operand of a case: its kind and a value written into it (an integer, a float or a text);
// std::monostate stands for a null variant.
using Literal = std::variant<std::int64_t, long double, std::string, std::monostate>;

struct Operand {
    TValueKind kind;
    Literal value;
};

// Owns the type records and values of one test.
class Values {
public:
    TIFValue* Make(const Operand& op) {
        if (std::holds_alternative<std::monostate>(op.value))
            return Keep(CreateValue(pool, Type(vkVariant)));
        TIFValue* v = Keep(CreateValue(pool, Type(op.kind)));
        if (auto* n = std::get_if<std::int64_t>(&op.value)) SetInteger(*v, *n);
        if (auto* x = std::get_if<long double>(&op.value)) SetFloat(*v, *x);
        if (auto* s = std::get_if<std::string>(&op.value)) {
            if (op.kind == vkVariant) { // a variant holding a string
                ResetValue(pool, *v->Payload.Ref, Type(vkString));
                SetString(*v->Payload.Ref, *s);
            } else {
                SetString(*v, *s);
            }
        }
        return v;
    }
    const TIFTypeRec* Type(TValueKind kind) { return &types.emplace_back(MakeTypeRec(kind)); }
    TIFValue* Keep(TIFValue* v) {
        owned.push_back(v);
        return v;
    }
    ~Values() {
        for (TIFValue* v : owned)
            ReleaseValue(pool, v);
        EXPECT_EQ(pool.LiveCount(), 0u);
    }

    TIFValuePool pool;
    std::deque<TIFTypeRec> types;
    std::vector<TIFValue*> owned;
};

std::string TextOf(const TIFValue& v) {
    if (KindOf(v) == vkString || KindOf(v) == vkPChar) return "'" + std::string(GetString(v)) + "'";
    if (KindOf(v) >= vkSingle && KindOf(v) <= vkExtended)
        return std::to_string(double(GetFloat(v)));
    return std::to_string(GetInteger(v));
}

std::int64_t I(std::int64_t n) {
    return n;
}
long double F(long double x) {
    return x;
}

// --- CopyValue ---------------------------------------------------------------------------

struct CopyCase {
    const char* name;
    Operand dest;
    Operand src;
    TExecError code;
    std::string expected; // TextOf(dest) afterwards, when the copy succeeds
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const CopyCase kCopyCases[] = {
    {"S32FromOneCharString", {vkS32, I(0)}, {vkString, std::string("A")}, TExecError::None, "65"},
    {"S32FromTwoCharString", {vkS32, I(0)}, {vkString, std::string("AB")}, TExecError::TypeMismatch, ""},
    {"StringFromU8", {vkString, std::string()}, {vkU8, I(65)}, TExecError::None, "'A'"},
    {"StringFromS32", {vkString, std::string()}, {vkS32, I(65)}, TExecError::TypeMismatch, ""},
    {"S32FromNullVariant", {vkS32, I(7)}, {vkVariant, std::monostate{}}, TExecError::None, "0"},
    {"StringFromNullVariant", {vkString, std::string("x")}, {vkVariant, std::monostate{}}, TExecError::None, "''"},
    {"U8TruncatesS32", {vkU8, I(0)}, {vkS32, I(0x1FF)}, TExecError::None, "255"},
    {"S8FromU8SignWraps", {vkS8, I(0)}, {vkU8, I(200)}, TExecError::None, "-56"},
    {"S32FromS64LowBits", {vkS32, I(0)}, {vkS64, I(0x100000005)}, TExecError::None, "5"},
    {"S32FromDouble", {vkS32, I(0)}, {vkDouble, F(1.5)}, TExecError::TypeMismatch, ""},
    {"DoubleFromS16", {vkDouble, F(0)}, {vkS16, I(-3)}, TExecError::None, "-3.000000"},
    {"SingleRoundsDouble", {vkSingle, F(0)}, {vkDouble, F(0.1)}, TExecError::None, std::to_string(double(0.1f))},
    {"DoubleFromS64", {vkDouble, F(0)}, {vkS64, I(1)}, TExecError::TypeMismatch, ""},
    {"DoubleFromString", {vkDouble, F(0)}, {vkString, std::string("1")}, TExecError::TypeMismatch, ""},
    {"S64FromU32ZeroExtends", {vkS64, I(0)}, {vkU32, I(0xFFFFFFFF)}, TExecError::None, "4294967295"},
    {"S64FromS32SignExtends", {vkS64, I(0)}, {vkS32, I(-1)}, TExecError::None, "-1"},
    {"S32FromVariantString", {vkS32, I(0)}, {vkVariant, std::string("B")}, TExecError::None, "66"},
    {"PointerDest", {vkPointer, I(0)}, {vkS32, I(1)}, TExecError::TypeMismatch, ""},
};
// clang-format on

class CopyValueTest : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyValueTest, ConvertsByDestKind) {
    const CopyCase& c = GetParam();
    Values v;
    TIFValue* dest = v.Make(c.dest);
    const TValueResult r = CopyValue(v.pool, *dest, *v.Make(c.src));
    EXPECT_EQ(r.Code, c.code);
    if (r) {
        EXPECT_EQ(TextOf(*dest), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, CopyValueTest, testing::ValuesIn(kCopyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- CalcValues --------------------------------------------------------------------------

struct CalcCase {
    const char* name;
    Operand dest;
    std::uint8_t operation;
    Operand src;
    TExecError code;
    std::string expected;
};

void PrintTo(const CalcCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const CalcCase kCalcCases[] = {
    {"U8AddWraps", {vkU8, I(255)}, 0, {vkS32, I(1)}, TExecError::None, "0"},
    {"S8AddWraps", {vkS8, I(127)}, 0, {vkS32, I(1)}, TExecError::None, "-128"},
    {"U16SubWraps", {vkU16, I(0)}, 1, {vkS32, I(1)}, TExecError::None, "65535"},
    {"S32MulWraps", {vkS32, I(0x40000000)}, 2, {vkS32, I(4)}, TExecError::None, "0"},
    {"U32DivUnsigned", {vkU32, I(0xFFFFFFFE)}, 3, {vkS32, I(2)}, TExecError::None, "2147483647"},
    {"S32DivSigned", {vkS32, I(-7)}, 3, {vkS32, I(2)}, TExecError::None, "-3"},
    {"S32ModSigned", {vkS32, I(-7)}, 4, {vkS32, I(2)}, TExecError::None, "-1"},
    {"U8DivByNegativeIsUnsigned", {vkU8, I(200)}, 3, {vkS32, I(-1)}, TExecError::None, "0"},
    {"S32MinDivMinusOneWraps", {vkS32, I(INT32_MIN)}, 3, {vkS32, I(-1)}, TExecError::None, "-2147483648"},
    {"S32MinModMinusOneIsZero", {vkS32, I(INT32_MIN)}, 4, {vkS32, I(-1)}, TExecError::None, "0"},
    {"S8MinDivMinusOneWraps", {vkS8, I(-128)}, 3, {vkS32, I(-1)}, TExecError::None, "-128"},
    {"S32DivZero", {vkS32, I(1)}, 3, {vkS32, I(0)}, TExecError::DivisionByZero, ""},
    {"S32ZeroDivZero", {vkS32, I(0)}, 3, {vkS32, I(0)}, TExecError::DivisionByZero, ""},
    {"U8ModZero", {vkU8, I(1)}, 4, {vkU8, I(0)}, TExecError::DivisionByZero, ""},
    {"S64DivZero", {vkS64, I(1)}, 3, {vkS32, I(0)}, TExecError::DivisionByZero, ""},
    {"S64MinDivMinusOneWraps", {vkS64, I(INT64_MIN)}, 3, {vkS32, I(-1)}, TExecError::None, std::to_string(INT64_MIN)},
    {"DoubleDivZero", {vkDouble, F(1)}, 3, {vkS32, I(0)}, TExecError::DivisionByZero, ""},
    {"DoubleZeroDivZero", {vkDouble, F(0)}, 3, {vkDouble, F(0)}, TExecError::DivisionByZero, ""},
    {"DoubleMod", {vkDouble, F(5)}, 4, {vkS32, I(2)}, TExecError::TypeMismatch, ""},
    {"DoubleDivides", {vkDouble, F(7)}, 3, {vkS32, I(2)}, TExecError::None, "3.500000"},
    {"DoubleOverflow", {vkDouble, F(1e308)}, 2, {vkDouble, F(10)}, TExecError::MathError, ""},
    {"SingleOverflowOnRounding", {vkSingle, F(3e38)}, 2, {vkS32, I(10)}, TExecError::MathError, ""},
    {"ExtendedHoldsWhatDoubleCannot", {vkExtended, F(1e308)}, 2, {vkS32, I(10)}, TExecError::None, "inf"},
    {"InfMinusInfInvalid", {vkDouble, F(std::numeric_limits<long double>::infinity())}, 1,
     {vkDouble, F(std::numeric_limits<long double>::infinity())}, TExecError::MathError, ""},
    {"DoubleShl", {vkDouble, F(1)}, 5, {vkS32, I(1)}, TExecError::TypeMismatch, ""},
    {"U8ShlLosesBits", {vkU8, I(0x81)}, 5, {vkS32, I(1)}, TExecError::None, "2"},
    {"S32ShlCountMod32", {vkS32, I(1)}, 5, {vkS32, I(33)}, TExecError::None, "2"},
    {"S8ShrSignExtends", {vkS8, I(-128)}, 6, {vkS32, I(1)}, TExecError::None, "-64"},
    {"S16ShrSignExtends", {vkS16, I(-4)}, 6, {vkS32, I(1)}, TExecError::None, "-2"},
    {"S32ShrLogical", {vkS32, I(-1)}, 6, {vkS32, I(1)}, TExecError::None, "2147483647"},
    {"S64ShlUnder64", {vkS64, I(1)}, 5, {vkS32, I(40)}, TExecError::None, "1099511627776"},
    {"S64ShlByte64To127IsZero", {vkS64, I(1)}, 5, {vkS32, I(64)}, TExecError::None, "0"},
    {"S64ShlByteFrom128Mod32", {vkS64, I(1)}, 5, {vkS32, I(129)}, TExecError::None, "2"},
    {"S64ShlUsesLowByte", {vkS64, I(1)}, 5, {vkS32, I(0x101)}, TExecError::None, "2"},
    {"S64ShrLogical", {vkS64, I(-1)}, 6, {vkS32, I(60)}, TExecError::None, "15"},
    {"U16And", {vkU16, I(0xF0F0)}, 7, {vkS32, I(0xFF)}, TExecError::None, "240"},
    {"S32Or", {vkS32, I(1)}, 8, {vkS32, I(6)}, TExecError::None, "7"},
    {"S64Xor", {vkS64, I(5)}, 9, {vkS32, I(1)}, TExecError::None, "4"},
    {"StringConcatU8", {vkString, std::string("x")}, 0, {vkU8, I(65)}, TExecError::None, "'xA'"},
    {"StringConcatString", {vkPChar, std::string("ab")}, 0, {vkString, std::string("cd")}, TExecError::None, "'abcd'"},
    {"StringAddDouble", {vkString, std::string("x")}, 0, {vkDouble, F(1)}, TExecError::TypeMismatch, ""},
    {"StringSub", {vkString, std::string("x")}, 1, {vkString, std::string("y")}, TExecError::TypeMismatch, ""},
    {"S32FromString", {vkS32, I(1)}, 0, {vkString, std::string("A")}, TExecError::None, "66"},
    {"S64PlusStringIsMismatch", {vkS64, I(1)}, 0, {vkDouble, F(1)}, TExecError::TypeMismatch, ""},
    {"VariantDest", {vkVariant, I(0)}, 0, {vkS32, I(1)}, TExecError::TypeMismatch, ""},
    {"UnknownOperation", {vkS32, I(1)}, 10, {vkS32, I(1)}, TExecError::InvalidParameter, ""},
    {"UnknownOperationOnAString", {vkString, std::string("x")}, 12, {vkString, std::string("y")}, TExecError::InvalidParameter, ""},
    {"SourceConvertedBeforeTheOperationCounts", {vkS32, I(1)}, 10, {vkString, std::string("AB")}, TExecError::TypeMismatch, ""},
    {"UnknownOperationOnAVariantDest", {vkVariant, I(0)}, 200, {vkS32, I(1)}, TExecError::TypeMismatch, ""},
    {"NullVariantSourceIsZero", {vkS32, I(5)}, 0, {vkVariant, std::monostate{}}, TExecError::None, "5"},
};
// clang-format on

class CalcValuesTest : public testing::TestWithParam<CalcCase> {};

TEST_P(CalcValuesTest, ComputesAtDestWidth) {
    const CalcCase& c = GetParam();
    Values v;
    TIFValue* dest = v.Make(c.dest);
    const std::string before = TextOf(*dest);
    const TValueResult r = CalcValues(*dest, *v.Make(c.src), c.operation);
    EXPECT_EQ(r.Code, c.code);
    EXPECT_EQ(TextOf(*dest), r ? c.expected : before); // a failure leaves dest unchanged
}

INSTANTIATE_TEST_SUITE_P(Table, CalcValuesTest, testing::ValuesIn(kCalcCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What ocCompare hands to CompareValues: a variant's inner value (typeless when null).
const TIFValue& Deref(const TIFValue* v) {
    return KindOf(*v) == vkVariant ? *v->Payload.Ref : *v;
}

// --- CompareValues -----------------------------------------------------------------------

struct CompareCase {
    const char* name;
    Operand left;
    std::uint8_t comparison;
    Operand right;
    TExecError code;
    bool expected;
};

void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << c.name;
}

const std::monostate kNull{};

// clang-format off
const CompareCase kCompareCases[] = {
    {"NullEqualsNull", {vkVariant, kNull}, 5, {vkVariant, kNull}, TExecError::None, true},
    {"NullNotUnequalNull", {vkVariant, kNull}, 4, {vkVariant, kNull}, TExecError::None, false},
    {"NullEqualsFiveIsFalse", {vkVariant, kNull}, 5, {vkS32, I(5)}, TExecError::None, false},
    {"FiveUnequalNull", {vkS32, I(5)}, 4, {vkVariant, kNull}, TExecError::None, true},
    {"NullLessFiveIsMismatch", {vkVariant, kNull}, 3, {vkS32, I(5)}, TExecError::TypeMismatch, false},
    {"PrefixIsSmaller", {vkString, std::string("ab")}, 3, {vkString, std::string("abc")}, TExecError::None, true},
    {"LongerIsGreater", {vkString, std::string("abc")}, 2, {vkString, std::string("ab")}, TExecError::None, true},
    {"BytesUnsigned", {vkString, std::string("\xE0")}, 2, {vkString, std::string("a")}, TExecError::None, true},
    {"EmptyStringsEqual", {vkString, std::string()}, 5, {vkPChar, std::string()}, TExecError::None, true},
    {"U32Unsigned", {vkU32, I(0xFFFFFFFF)}, 2, {vkS32, I(1)}, TExecError::None, true},
    {"S32Signed", {vkS32, I(-1)}, 3, {vkS32, I(1)}, TExecError::None, true},
    {"U8AgainstStringAsChar", {vkU8, I(65)}, 5, {vkString, std::string("A")}, TExecError::None, true},
    {"U8AgainstLongerString", {vkU8, I(65)}, 3, {vkString, std::string("AB")}, TExecError::None, true},
    {"S8AgainstStringConverts", {vkS8, I(65)}, 5, {vkString, std::string("A")}, TExecError::None, true},
    {"S32AgainstLongString", {vkS32, I(65)}, 5, {vkString, std::string("AB")}, TExecError::TypeMismatch, false},
    {"DoubleAgainstInteger", {vkDouble, F(2.5)}, 2, {vkS32, I(2)}, TExecError::None, true},
    {"SingleAgainstDoubleExtended", {vkSingle, F(0.1)}, 5, {vkDouble, F(0.1)}, TExecError::None, false},
    {"DoubleAgainstString", {vkDouble, F(1)}, 5, {vkString, std::string("1")}, TExecError::TypeMismatch, false},
    {"S64Signed", {vkS64, I(-1)}, 3, {vkU32, I(0xFFFFFFFF)}, TExecError::None, true},
    {"StringAgainstU8", {vkString, std::string("A")}, 0, {vkU8, I(65)}, TExecError::None, true},
    {"ArrayLeft", {vkArray, I(0)}, 5, {vkS32, I(0)}, TExecError::TypeMismatch, false},
    {"UnknownComparison", {vkS32, I(1)}, 6, {vkS32, I(1)}, TExecError::InvalidParameter, false},
};
// clang-format on

class CompareValuesTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareValuesTest, ComparesByLeftKind) {
    const CompareCase& c = GetParam();
    Values v;
    TIFValue* flag = v.Make({vkU8, I(7)});
    const TValueResult r =
        CompareValues(Deref(v.Make(c.left)), Deref(v.Make(c.right)), c.comparison, *flag);
    EXPECT_EQ(r.Code, c.code);
    EXPECT_EQ(GetInteger(*flag), r ? std::int64_t(c.expected) : 7);
}

INSTANTIATE_TEST_SUITE_P(Table, CompareValuesTest, testing::ValuesIn(kCompareCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompareValues, StoresIntoEveryIntegerWidthAndRefusesOthers) {
    Values v;
    for (TValueKind kind : {vkU8, vkS8, vkU16, vkS16, vkU32, vkS32}) {
        TIFValue* dest = v.Make({kind, I(0x7777)});
        ASSERT_TRUE(CompareValues(*v.Make({vkS32, I(1)}), *v.Make({vkS32, I(1)}), 5, *dest));
        EXPECT_EQ(GetInteger(*dest), 1);
    }
    TIFValue* text = v.Make({vkString, std::string("keep")});
    EXPECT_EQ(CompareValues(*v.Make({vkS32, I(1)}), *v.Make({vkS32, I(1)}), 5, *text).Code,
              TExecError::TypeMismatch);
    EXPECT_EQ(GetString(*text), "keep");
}

// --- Records, arrays, variants -----------------------------------------------------------

TEST(CopyValue, ArrayIntoRecordIsDeepAndGivesTheRecordTheElements) {
    Values v;
    const TIFTypeRec s32 = MakeTypeRec(vkS32);
    const TIFTypeRec array = MakeArrayTypeRec(s32);
    const TIFTypeRec record = MakeRecordTypeRec({&s32});
    TIFValue* a = v.Keep(CreateValue(v.pool, &array));
    ASSERT_TRUE(SetArrayLength(v.pool, *a, 3));
    for (std::int64_t i = 0; i < 3; ++i)
        SetInteger(*a->Elements[i], 10 + i);
    TIFValue* r = v.Keep(CreateValue(v.pool, &record));
    ASSERT_TRUE(CopyValue(v.pool, *r, *a));
    ASSERT_EQ(r->Elements.size(), 3u);
    SetInteger(*a->Elements[0], 99); // nothing is shared
    EXPECT_EQ(GetInteger(*r->Elements[0]), 10);
    EXPECT_EQ(GetInteger(*r->Elements[2]), 12);
}

TEST(CopyValue, ScalarIntoRecordFailsAndKeepsTheFields) {
    Values v;
    const TIFTypeRec s32 = MakeTypeRec(vkS32);
    const TIFTypeRec record = MakeRecordTypeRec({&s32, &s32});
    TIFValue* r = v.Keep(CreateValue(v.pool, &record));
    EXPECT_EQ(CopyValue(v.pool, *r, *v.Make({vkS32, I(1)})).Code, TExecError::TypeMismatch);
    EXPECT_EQ(r->Elements.size(), 2u); // the kind test comes before anything is released
}

TEST(CopyValue, FromAnElementOfItselfIsSafe) {
    Values v;
    const TIFTypeRec variant = MakeTypeRec(vkVariant);
    const TIFTypeRec array = MakeArrayTypeRec(variant);
    TIFValue* holder = v.Keep(CreateValue(v.pool, &variant));
    TIFValue* a = v.Keep(CreateValue(v.pool, &array));
    ASSERT_TRUE(SetArrayLength(v.pool, *a, 1));
    ASSERT_TRUE(CopyValue(v.pool, *a->Elements[0], *v.Make({vkS32, I(42)})));
    ASSERT_TRUE(CopyValue(v.pool, *holder, *a));          // holder := array of variant
    TIFValue* element = holder->Payload.Ref->Elements[0]; // holder[0], inside holder
    ASSERT_TRUE(CopyValue(v.pool, *holder, *element));    // holder := holder[0]
    EXPECT_EQ(GetInteger(*holder->Payload.Ref), 42);
    ASSERT_TRUE(CopyValue(v.pool, *a, *a));
    EXPECT_EQ(a->Elements.size(), 1u);
}

TEST(CopyValue, VariantTakesTheSourceTypeAndNullStaysNull) {
    Values v;
    TIFValue* var = v.Make({vkVariant, std::string("x")});
    ASSERT_TRUE(CopyValue(v.pool, *var, *v.Make({vkDouble, F(2.5)})));
    EXPECT_EQ(KindOf(*var->Payload.Ref), vkDouble);
    EXPECT_EQ(GetFloat(*var->Payload.Ref), 2.5);
    TIFValue* nullVariant = v.Keep(CreateValue(v.pool, v.Type(vkVariant)));
    ASSERT_TRUE(CopyValue(v.pool, *var, *nullVariant));
    EXPECT_EQ(var->Payload.Ref->Type, nullptr);
}

TEST(CopyValue, NestingPastTheDepthBoundFails) {
    Values v;
    const TIFTypeRec variant = MakeTypeRec(vkVariant);
    const TIFTypeRec array = MakeArrayTypeRec(variant);
    TIFValue* a = v.Keep(CreateValue(v.pool, &array));
    TIFValue* x = v.Keep(CreateValue(v.pool, &variant));
    TValueResult r;
    int rounds = 0;
    for (; rounds < 5000 && r; ++rounds) { // x := a; a[0] := x nests one level deeper each round
        ASSERT_TRUE(SetArrayLength(v.pool, *a, 1));
        r = CopyValue(v.pool, *x, *a);
        if (r) r = CopyValue(v.pool, *a->Elements[0], *x);
    }
    EXPECT_EQ(r.Code, TExecError::TypeMismatch);
    EXPECT_LT(rounds, 2000);
}

TEST(CopyValue, ResourceWithoutHandlerClearsDest) {
    Values v;
    TIFValue* src = v.Make({vkResourcePointer, I(0)});
    TIFValue* dest = v.Make({vkResourcePointer, I(0)});
    dest->Payload.Resource = {5, 6, nullptr};
    ASSERT_TRUE(CopyValue(v.pool, *dest, *src));
    EXPECT_EQ(dest->Payload.Resource.Data, 0u);
    EXPECT_EQ(CopyValue(v.pool, *dest, *v.Make({vkS32, I(1)})).Code, TExecError::TypeMismatch);
}

// --- Pool and life of values --------------------------------------------------------------

TEST(ValuePool, FiftyOneValuesUseTwoBlocksAndABlockGoesWithItsLastValue) {
    TIFValuePool pool;
    const TIFTypeRec s32 = MakeTypeRec(vkS32);
    std::vector<TIFValue*> values;
    for (int i = 0; i < 50; ++i)
        values.push_back(CreateValue(pool, &s32));
    EXPECT_EQ(pool.BlockCount(), 1u);
    values.push_back(CreateValue(pool, &s32));
    EXPECT_EQ(pool.BlockCount(), 2u);
    ReleaseValue(pool, values.back());
    values.pop_back();
    EXPECT_EQ(pool.BlockCount(), 1u);
    for (int i = 0; i < 49; ++i)
        ReleaseValue(pool, values[i]);
    EXPECT_EQ(pool.BlockCount(), 1u);
    ReleaseValue(pool, values[49]);
    EXPECT_EQ(pool.BlockCount(), 0u);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(ValuePool, AFullBlockThatFreesASlotServesTheNextValue) {
    TIFValuePool pool;
    const TIFTypeRec u8 = MakeTypeRec(vkU8);
    std::vector<TIFValue*> values;
    for (int i = 0; i < 75; ++i)
        values.push_back(CreateValue(pool, &u8));
    TIFValue* fromFullBlock = values[10];
    ReleaseValue(pool, fromFullBlock);
    EXPECT_EQ(CreateValue(pool, &u8), fromFullBlock);
    for (TIFValue* value : values)
        ReleaseValue(pool, value);
    EXPECT_EQ(pool.BlockCount(), 0u);
}

TEST(ValuePool, RefusesValuesPastItsLimit) {
    TIFValuePool pool(3);
    const TIFTypeRec variant = MakeTypeRec(vkVariant); // a variant and its inner value: two slots
    TIFValue* first = CreateValue(pool, &variant);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CreateValue(pool, &variant), nullptr);
    EXPECT_EQ(pool.LiveCount(), 2u);
    ReleaseValue(pool, first);
}

TEST(ReleaseValue, ReferenceCountsKeepSharedValuesAlive) {
    TIFValuePool pool;
    const TIFTypeRec s32 = MakeTypeRec(vkS32);
    TIFValue* v = CreateValue(pool, &s32);
    ++v->RefCount;
    ReleaseValue(pool, v);
    EXPECT_EQ(pool.LiveCount(), 1u);
    ReleaseValue(pool, v);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(ReleaseValue, APointerGivesUpItsTargetAndLongChainsNeedNoRecursion) {
    TIFValuePool pool;
    const TIFTypeRec pointer = MakeTypeRec(vkPointer);
    TIFValue* head = CreateValue(pool, &pointer);
    TIFValue* last = head;
    for (int i = 0; i < 200000; ++i) { // each link is held only by the one before it
        TIFValue* next = CreateValue(pool, &pointer);
        last->Payload.Ref = next;
        last = next;
    }
    ReleaseValue(pool, head);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(CreateValue, RecordsGetTheirFieldsAndVariantsStartNull) {
    TIFValuePool pool;
    const TIFTypeRec s32 = MakeTypeRec(vkS32), text = MakeTypeRec(vkString),
                     variant = MakeTypeRec(vkVariant);
    const TIFTypeRec inner = MakeRecordTypeRec({&s32, &variant});
    const TIFTypeRec outer = MakeRecordTypeRec({&inner, &text});
    EXPECT_EQ(outer.ValueCount, 6u);
    TIFValue* r = CreateValue(pool, &outer);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(pool.LiveCount(), 6u);
    EXPECT_EQ(KindOf(*r->Elements[0]->Elements[1]), vkVariant);
    EXPECT_EQ(r->Elements[0]->Elements[1]->Payload.Ref->Type, nullptr);
    EXPECT_EQ(CreateValue(pool, nullptr), nullptr);
    ReleaseValue(pool, r);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(ResetValue, ReleasesTheOldPayloadAndInitialisesTheNewType) {
    TIFValuePool pool;
    const TIFTypeRec s32 = MakeTypeRec(vkS32), text = MakeTypeRec(vkString);
    const TIFTypeRec record = MakeRecordTypeRec({&s32, &s32});
    TIFValue* v = CreateValue(pool, &text);
    SetString(*v, "abc");
    ASSERT_TRUE(ResetValue(pool, *v, &record));
    EXPECT_EQ(v->Elements.size(), 2u);
    EXPECT_EQ(pool.LiveCount(), 3u);
    ASSERT_TRUE(ResetValue(pool, *v, nullptr));
    EXPECT_EQ(pool.LiveCount(), 1u);
    ReleaseValue(pool, v);
}

TEST(SetArrayLength, GrowsShrinksAndFreesTheTable) {
    TIFValuePool pool;
    const TIFTypeRec text = MakeTypeRec(vkString);
    const TIFTypeRec array = MakeArrayTypeRec(text);
    TIFValue* a = CreateValue(pool, &array);
    ASSERT_TRUE(SetArrayLength(pool, *a, 4));
    EXPECT_EQ(GetArrayLength(*a), 4u);
    SetString(*a->Elements[1], "keep");
    ASSERT_TRUE(SetArrayLength(pool, *a, 2));
    EXPECT_EQ(GetString(*a->Elements[1]), "keep");
    EXPECT_EQ(pool.LiveCount(), 3u);
    ASSERT_TRUE(SetArrayLength(pool, *a, 0));
    EXPECT_EQ(a->Elements.capacity(), 0u);
    TValueRef notArray(pool, &text);
    EXPECT_FALSE(SetArrayLength(pool, *notArray, 1));
    ReleaseValue(pool, a);
}

TEST(SetArrayLength, BeyondThePoolFailsAndKeepsTheElements) {
    TIFValuePool pool(10);
    const TIFTypeRec u8 = MakeTypeRec(vkU8);
    const TIFTypeRec array = MakeArrayTypeRec(u8);
    TIFValue* a = CreateValue(pool, &array);
    ASSERT_TRUE(SetArrayLength(pool, *a, 5));
    EXPECT_FALSE(SetArrayLength(pool, *a, 10));
    EXPECT_FALSE(SetArrayLength(pool, *a, 0xFFFFFFFF));
    EXPECT_EQ(GetArrayLength(*a), 5u);
    ASSERT_TRUE(SetArrayLength(pool, *a, 9));
    ReleaseValue(pool, a);
    EXPECT_EQ(pool.LiveCount(), 0u);
}

TEST(TextLimit, CountsEveryDistinctTextOnceAndRefusesPastTheLimit) {
    TIFValuePool pool;
    pool.SetTextLimit(10);
    const TIFTypeRec text = MakeTypeRec(vkString);
    TValueRef a(pool, &text), b(pool, &text), c(pool, &text);
    ASSERT_TRUE(SetString(*a, "123456"));
    ASSERT_TRUE(CopyValue(pool, *b, *a)); // shared, not counted again
    EXPECT_EQ(pool.TextBytes(), 6u);
    EXPECT_TRUE(SetString(*c, "1234"));   // exactly at the limit
    EXPECT_FALSE(SetString(*c, "12345")); // one byte beyond it: c keeps its text
    EXPECT_EQ(GetString(*c), "1234");
    EXPECT_EQ(CalcValues(*c, *a, 0).Code, TExecError::OutOfMemory);
    ASSERT_TRUE(SetString(*a, ""));
    ASSERT_TRUE(SetString(*b, ""));
    EXPECT_EQ(pool.TextBytes(), 4u);
    EXPECT_EQ(CalcValues(*c, *c, 0).Code, TExecError::OutOfMemory); // old and new text at once
    ASSERT_TRUE(SetString(*c, ""));
    EXPECT_TRUE(SetString(*c, "0123456789"));
    EXPECT_EQ(pool.TextBytes(), 10u);
}

TEST(TextLimit, ATextOutlivingItsPoolGivesItsBytesBackSafely) {
    std::shared_ptr<const std::string> kept;
    {
        TIFValuePool pool;
        const TIFTypeRec text = MakeTypeRec(vkString);
        TValueRef v(pool, &text);
        ASSERT_TRUE(SetString(*v, "kept"));
        kept = v->Text;
    }
    EXPECT_EQ(*kept, "kept");
}

TEST(Payload, RawBytesAreLittleEndianAtTheKindsWidth) {
    TIFValuePool pool;
    const TIFTypeRec u16 = MakeTypeRec(vkU16), ext = MakeTypeRec(vkExtended),
                     text = MakeTypeRec(vkString);
    TValueRef w(pool, &u16), e(pool, &ext), s(pool, &text);
    ASSERT_EQ(PayloadBytes(*w).size(), 2u);
    PayloadBytes(*w)[0] = 0x34;
    PayloadBytes(*w)[1] = 0x12;
    EXPECT_EQ(GetInteger(*w), 0x1234);
    EXPECT_EQ(PayloadBytes(*e).size(), 10u);
    SetFloat(*e, 1.0L);
    EXPECT_EQ(PayloadBytes(*e)[9], 0x3F); // sign and exponent of 1.0: 0x3FFF
    EXPECT_EQ(PayloadBytes(*e)[8], 0xFF);
    EXPECT_TRUE(PayloadBytes(*s).empty());
}

} // namespace
} // namespace lumivar::script
