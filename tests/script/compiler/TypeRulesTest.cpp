// Type rules: the result type of every operator group by operand kinds, assignability, the
// warnings about constant Boolean operands, and folding inside expressions (type numbers).
#include "CoreFixture.h"

#include "script/compiler/ClassType.h"
#include "script/compiler/ConstValues.h"
#include "script/compiler/TypeRules.h"
#include "script/runtime/Names.h"

#include <gtest/gtest.h>

using namespace lumivar::script;
using lumivar::script::test::CoreFixture;

namespace {

struct RuleCase {
    TOperator op;
    std::uint8_t p, q;
    bool sameType, bothBoolean;
    TResultRule result;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << "op " << int(c.op) << " kinds " << int(c.p) << ", " << int(c.q)
        << (c.sameType ? " same" : "") << (c.bothBoolean ? " boolean" : "");
}

class ResultRule : public testing::TestWithParam<RuleCase> {};

TEST_P(ResultRule, Result) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(ResultTypeRule(c.op, c.p, c.q, c.sameType, c.bothBoolean), c.result);
}

using R = TResultRule;
const RuleCase kRules[] = {
    // +
    {opAdd, btVariant, btS32, false, false, R::Left},
    {opAdd, btS32, btVariant, false, false, R::Right},
    {opAdd, btVariant, btChar, false, false, R::Left},
    {opAdd, btVariant, btVariant, true, false, R::Left},
    {opAdd, btVariant, btRecord, false, false, R::None},
    {opAdd, btU8, btS32, false, false, R::Left},
    {opAdd, btS32, btDouble, false, false, R::Right},
    {opAdd, btDouble, btS32, false, false, R::Left},
    {opAdd, btSingle, btExtended, false, false, R::Left},
    {opAdd, btString, btChar, false, false, R::Left},
    {opAdd, btString, btString, true, false, R::Left},
    {opAdd, btString, btU8, false, false, R::Left},
    {opAdd, btString, btS32, false, false, R::None},
    {opAdd, btChar, btString, false, false, R::Right},
    {opAdd, btU8, btString, false, false, R::Right},
    {opAdd, btChar, btChar, true, false, R::String},
    {opAdd, btEnum, btEnum, true, true, R::None},
    // - * /
    {opSub, btString, btString, true, false, R::None},
    {opMul, btVariant, btString, false, false, R::None},
    {opMul, btVariant, btS64, false, false, R::Left},
    {opDiv, btS32, btExtended, false, false, R::Right},
    {opDiv, btS32, btVariant, false, false, R::Right},
    {opSub, btS64, btS32, false, false, R::Left},
    {opSub, btChar, btChar, true, false, R::None},
    // MOD SHL SHR
    {opMod, btS32, btDouble, false, false, R::None},
    {opMod, btVariant, btDouble, false, false, R::None},
    {opShl, btVariant, btS32, false, false, R::Left},
    {opShr, btU8, btVariant, false, false, R::Right},
    {opShr, btU8, btS64, false, false, R::Left},
    {opShl, btEnum, btEnum, true, true, R::None},
    // AND OR XOR
    {opAnd, btEnum, btEnum, true, true, R::Left},
    {opOr, btEnum, btEnum, true, true, R::Left},
    {opXor, btEnum, btEnum, true, true, R::Left},
    {opAnd, btEnum, btEnum, true, false, R::None},
    {opXor, btS32, btU8, false, false, R::Left},
    {opOr, btVariant, btEnum, false, false, R::None},
    {opAnd, btExtended, btS32, false, false, R::None},
    // = <>
    {opEQ, btChar, btChar, true, false, R::Boolean},
    {opNE, btChar, btString, false, false, R::Boolean},
    {opEQ, btS32, btDouble, false, false, R::Boolean},
    {opEQ, btVariant, btS32, false, false, R::Left},
    {opEQ, btS32, btVariant, false, false, R::Right},
    {opEQ, btVariant, btRecord, false, false, R::Boolean},
    {opEQ, btEnum, btEnum, true, true, R::Boolean},
    {opNE, btEnum, btEnum, false, false, R::None},
    {opEQ, btString, btS32, false, false, R::None},
    {opEQ, btRecord, btRecord, true, false, R::None},
    {opEQ, btArray, btArray, true, false, R::None},
    // >= <= > <
    {opLT, btChar, btChar, true, false, R::None},
    {opLT, btChar, btString, false, false, R::Boolean},
    {opGE, btString, btChar, false, false, R::Boolean},
    {opGT, btString, btString, true, false, R::Boolean},
    {opLE, btS64, btU8, false, false, R::Boolean},
    {opLT, btRecord, btVariant, false, false, R::Boolean},
    {opGT, btVariant, btString, false, false, R::Left},
    {opLT, btEnum, btEnum, true, true, R::None},
};

INSTANTIATE_TEST_SUITE_P(TypeRules, ResultRule, testing::ValuesIn(kRules));

struct CompatCase {
    std::uint8_t dest, src;
    bool sameType;
    bool ok;
};

void PrintTo(const CompatCase& c, std::ostream* os) {
    *os << int(c.dest) << " <- " << int(c.src) << (c.sameType ? " same" : "");
}

class Compatible : public testing::TestWithParam<CompatCase> {};

TEST_P(Compatible, Kinds) {
    const CompatCase& c = GetParam();
    EXPECT_EQ(CompatibleKinds(c.dest, c.src, c.sameType), c.ok);
}

const CompatCase kCompat[] = {
    {btU8, btS32, false, true},          {btS32, btU8, false, true},
    {btS64, btS32, false, true},         {btExtended, btS64, false, true},
    {btExtended, btU32, false, true},    {btDouble, btSingle, false, true},
    {btS32, btDouble, false, false},     {btEnum, btEnum, false, true},
    {btString, btChar, false, true},     {btString, btString, true, true},
    {btChar, btString, false, false},    {btChar, btChar, true, true},
    {btChar, btU8, false, false},        {btU8, btChar, false, false},
    {btArray, btArray, false, true},     {btRecord, btRecord, false, true},
    {btArray, btRecord, false, false},   {btRecord, btArray, false, false},
    {btProcPtr, btProcPtr, true, true},  {btProcPtr, btProcPtr, false, false},
    {btProcPtr, btVariant, false, true}, {btVariant, btRecord, false, true},
    {btRecord, btVariant, false, true},  {btString, btS32, false, false},
    {btS32, btString, false, false},     {btS32, btEnum, false, false},
    {btEnum, btS32, false, false},       {btS32, btProcPtr, false, false},
    {btClass, btVariant, false, true},   {btClass, btS32, false, false},
};

INSTANTIATE_TEST_SUITE_P(TypeRules, Compatible, testing::ValuesIn(kCompat));

// Type numbers (UsedTypes indices) of the standard types in a fresh compile.
struct Types {
    TTypeNo boolean, byte, chr, smallint, longint, dbl, str, variant;
};

Types UseStandardTypes(TCompilerCore& core) {
    return {core.UseType(1), core.UseType(0),  core.UseType(2),  core.UseType(5),
            core.UseType(6), core.UseType(13), core.UseType(10), core.UseType(15)};
}

TEST(TypeRules, ResultTypeOfTypeNumbers) {
    CoreFixture f;
    const Types t = UseStandardTypes(f.Core);
    auto result = [&f](TTypeNo a, TOperator op, TTypeNo b) {
        return f.Core.ResultTypeOf({a, nullptr, 0}, {b, nullptr, 0}, op);
    };
    EXPECT_EQ(result(t.chr, opLT, t.chr), kNoType);
    EXPECT_EQ(result(t.chr, opEQ, t.chr), t.boolean);
    EXPECT_EQ(result(t.variant, opEQ, t.longint), t.variant);
    EXPECT_EQ(result(t.str, opAdd, t.byte), t.str);
    EXPECT_EQ(result(t.chr, opAdd, t.chr), f.Core.GetTypeForBase(btString));
    EXPECT_EQ(f.Core.GetTypeForBase(btString), t.str);
    EXPECT_EQ(result(t.byte, opAdd, t.longint), t.byte);
    EXPECT_EQ(result(t.longint, opAdd, t.dbl), t.dbl);
    EXPECT_EQ(result(t.boolean, opAnd, t.boolean), t.boolean);
    EXPECT_EQ(result(t.boolean, opAnd, t.longint), kNoType);
    EXPECT_EQ(result(kNoType, opAdd, t.longint), kNoType);
    EXPECT_EQ(result(t.longint, opAdd, 999), kNoType);
    EXPECT_TRUE(f.Core.Messages.empty());
}

TEST(TypeRules, IsCompatibleTypeNumbers) {
    CoreFixture f;
    const Types t = UseStandardTypes(f.Core);
    EXPECT_TRUE(f.Core.IsCompatible(t.byte, t.longint));
    EXPECT_TRUE(f.Core.IsCompatible(t.longint, t.byte));
    EXPECT_TRUE(
        f.Core.IsCompatible(f.Core.UseType(14), t.smallint)); // EXTENDED accepts any numeric
    EXPECT_FALSE(f.Core.IsCompatible(t.longint, t.dbl));
    EXPECT_FALSE(f.Core.IsCompatible(t.chr, t.byte));
    EXPECT_FALSE(f.Core.IsCompatible(t.longint, kNoType));
    EXPECT_TRUE(f.Core.IsCompatible(f.Core.UseType(7), t.byte)); // INTEGER is LONGINT
}

// A class type that accepts exactly one source type number.
class AcceptsOne : public TIFPSClassType {
public:
    explicit AcceptsOne(TTypeNo* accepted) : Accepted(accepted) {}
    TTypeNo RuntimeTypeOf() override { return 0; }
    bool FindClassMember(const std::string&, std::uint32_t&) override { return false; }
    bool ClassMemberProc(std::uint32_t, std::uint32_t&) override { return false; }
    bool FindMethod(const std::string&, std::uint32_t&) override { return false; }
    bool MethodProc(std::uint32_t, std::uint32_t&) override { return false; }
    bool FindProperty(const std::string&, std::uint32_t&) override { return false; }
    bool PropertyDecl(std::uint32_t, std::string&) override { return false; }
    bool PropertyReadProc(std::uint32_t, std::uint32_t&) override { return false; }
    bool PropertyWriteProc(std::uint32_t, std::uint32_t&) override { return false; }
    bool IsAssignableFrom(TTypeNo src) override { return src == *Accepted; }
    bool NilProc(std::uint32_t&) override { return false; }
    bool CastProc(TTypeNo, TTypeNo, std::uint32_t&) override { return false; }
    bool CompareProc(TTypeNo, std::uint32_t&) override { return false; }

private:
    TTypeNo* Accepted;
};

TEST(TypeRules, ClassTypesAskTheDestination) {
    CoreFixture f;
    TTypeNo accepted = kNoType;
    auto addClass = [&](const char* name) {
        auto t = std::make_unique<TIFPSType>();
        t->Name = name;
        t->NameHash = MakeHash(name);
        t->BaseType = btClass;
        t->ClassType = std::make_unique<AcceptsOne>(&accepted);
        f.Core.Lists->Types.push_back(std::move(t));
        return f.Core.UseType(TTypeNo(f.Core.Lists->Types.size() - 1));
    };
    const TTypeNo a = addClass("TA"), b = addClass("TB");
    accepted = b;
    EXPECT_TRUE(f.Core.IsCompatible(a, b));
    EXPECT_FALSE(f.Core.IsCompatible(b, a));
    EXPECT_TRUE(f.Core.IsCompatible(a, f.Core.UseType(15))); // VARIANT
    EXPECT_FALSE(f.Core.IsCompatible(a, f.Core.UseType(6)));
}

struct WarningCase {
    const char* name;
    TOperator op;
    bool leftConstant, rightConstant;
    bool leftValue, rightValue;
    int code; // -1: no warning
    const char* param;
    std::uint32_t position;
};

void PrintTo(const WarningCase& c, std::ostream* os) { *os << c.name; }

class BooleanWarning : public testing::TestWithParam<WarningCase> {};

TEST_P(BooleanWarning, Emitted) {
    const WarningCase& c = GetParam();
    CoreFixture f;
    const TTypeNo b = f.Core.UseType(1);
    const TIfRVariant lv{b, std::string(1, char(c.leftValue))},
        rv{b, std::string(1, char(c.rightValue))};
    const TTypeNo r = f.Core.ResultTypeOf({b, c.leftConstant ? &lv : nullptr, 10},
                                          {b, c.rightConstant ? &rv : nullptr, 20}, c.op);
    EXPECT_EQ(r, b);
    if (c.code < 0) {
        EXPECT_TRUE(f.Core.Messages.empty());
        return;
    }
    ASSERT_EQ(f.Core.Messages.size(), 1u);
    const TIFPSPascalCompilerMessage& m = f.Core.Messages[0];
    EXPECT_EQ(m.Kind, mkWarning);
    EXPECT_EQ(m.Code, c.code);
    EXPECT_EQ(m.Param, c.param);
    EXPECT_EQ(m.Position, c.position);
}

const WarningCase kWarnings[] = {
    {"TrueAndX", opAnd, true, false, true, false, cwIsNotNeeded, "\"True and\"", 10},
    {"FalseAndX", opAnd, true, false, false, false, cwAlwaysEvaluatesTo, "False", 10},
    {"XAndTrue", opAnd, false, true, false, true, cwIsNotNeeded, "\"and True\"", 20},
    {"XAndFalse", opAnd, false, true, false, false, cwAlwaysEvaluatesTo, "False", 20},
    {"TrueOrX", opOr, true, false, true, false, cwAlwaysEvaluatesTo, "True", 10},
    {"FalseOrX", opOr, true, false, false, false, cwIsNotNeeded, "\"False or\"", 10},
    {"XOrTrue", opOr, false, true, false, true, cwAlwaysEvaluatesTo, "True", 20},
    {"XOrFalse", opOr, false, true, false, false, cwIsNotNeeded, "\"or False\"", 20},
    {"LeftExaminedFirst", opOr, true, true, false, true, cwIsNotNeeded, "\"False or\"", 10},
    {"XorNoWarning", opXor, false, true, false, true, -1, "", 0},
    {"NoConstant", opAnd, false, false, false, false, -1, "", 0},
};

INSTANTIATE_TEST_SUITE_P(TypeRules, BooleanWarning, testing::ValuesIn(kWarnings),
                         [](const testing::TestParamInfo<WarningCase>& info) {
                             return info.param.name;
                         });

TEST(TypeRules, FoldingInExpressionsUsesTypeNumbers) {
    CoreFixture f;
    const Types t = UseStandardTypes(f.Core);
    TIfRVariant left{t.str, "abc"};
    ASSERT_TRUE(f.Run([&](TCompilerCore& core) {
        core.FoldConstants(TTypeSpace::UsedTypes, opEQ, left, {t.str, "abc"}, 7);
    }));
    EXPECT_EQ(left.VType, t.boolean);
    EXPECT_EQ(left.Data, "\1");

    TIfRVariant byte{t.byte, std::string(1, '\xFF')};
    ASSERT_TRUE(f.Run([&](TCompilerCore& core) {
        core.FoldConstants(TTypeSpace::UsedTypes, opAdd, byte, {t.longint, WriteRawInteger(1, 4)},
                           7);
    }));
    EXPECT_EQ(byte.VType, t.byte);
    EXPECT_EQ(byte.Data, std::string(1, '\0'));

    TIfRVariant one{t.longint, WriteRawInteger(1, 4)};
    EXPECT_FALSE(f.Run([&](TCompilerCore& core) {
        core.FoldConstants(TTypeSpace::UsedTypes, opDiv, one, {t.longint, WriteRawInteger(0, 4)},
                           42);
    }));
    ASSERT_EQ(f.Core.Messages.size(), 1u);
    EXPECT_EQ(f.Core.Messages[0].Code, ceDivideByZero);
    EXPECT_EQ(f.Core.Messages[0].Position, 42u);
}

TEST(TypeRules, FoldUnaryOnTypeNumbers) {
    CoreFixture f;
    const Types t = UseStandardTypes(f.Core);
    TIfRVariant b{t.boolean, WriteRawInteger(1, 4)};
    ASSERT_TRUE(f.Run([&](TCompilerCore& core) { core.FoldUnary(b, TUnaryOp::Not); }));
    EXPECT_EQ(b.Data, WriteRawInteger(0, 4));
    TIfRVariant shortint{f.Core.UseType(3), std::string(1, '\x80')};
    ASSERT_TRUE(f.Run([&](TCompilerCore& core) { core.FoldUnary(shortint, TUnaryOp::Negate); }));
    EXPECT_EQ(shortint.Data, std::string(1, '\x80'));
    TIfRVariant s{t.str, "a"};
    EXPECT_FALSE(f.Run([&](TCompilerCore& core) { core.FoldUnary(s, TUnaryOp::Negate); }));
    ASSERT_EQ(f.Core.Messages.size(), 1u);
    EXPECT_EQ(f.Core.Messages[0].Code, ceTypeMismatch);
}

} // namespace
