// Type rules and constant folding of the compiler: ResultTypeOf with the Boolean-constant
// warnings, FoldConstants, FoldUnary and IsCompatible. The rules are tables of kind
// conditions, first match wins; folding errors are reported at the right operand.
#include "script/compiler/TypeRules.h"

#include "script/compiler/ClassType.h"

namespace lumivar::script {

namespace {

bool IsVariant(std::uint8_t k) {
    return k == btVariant;
}
// STRING (also PCHAR), the image's PCHAR kind 14, or CHAR.
bool IsStringLike(std::uint8_t k) {
    return k == btString || k == 14 || k == btChar;
}
bool IsComparison(TOperator op) {
    return op >= kFirstCompareOp;
}

// The variant rows that open every operator group: a variant on one side and, on the other,
// another variant or a kind the operator accepts gives that variant's side.
template <typename Accepts>
TResultRule VariantRule(std::uint8_t p, std::uint8_t q, Accepts accepts) {
    if (IsVariant(p) && (IsVariant(q) || accepts(q))) return TResultRule::Left;
    if (IsVariant(q) && (IsVariant(p) || accepts(p))) return TResultRule::Right;
    return TResultRule::None;
}

TResultRule NumericRule(std::uint8_t p, std::uint8_t q) {
    if (IsIntegerKind(p) && IsIntegerKind(q)) return TResultRule::Left;
    if (IsNumericKind(p) && IsNumericKind(q))
        return IsRealKind(p) ? TResultRule::Left : TResultRule::Right;
    return TResultRule::None;
}

TResultRule AddRule(std::uint8_t p, std::uint8_t q) {
    if (const TResultRule r =
            VariantRule(p, q, [](std::uint8_t k) { return IsStringLike(k) || IsNumericKind(k); });
        r != TResultRule::None)
        return r;
    if (const TResultRule r = NumericRule(p, q); r != TResultRule::None) return r;
    if (p == btString && (q == btChar || q == btString || q == btU8)) return TResultRule::Left;
    if ((p == btChar || p == btU8) && q == btString) return TResultRule::Right;
    if (p == btChar && q == btChar) return TResultRule::String;
    return TResultRule::None;
}

TResultRule ComparisonRule(TOperator op, std::uint8_t p, std::uint8_t q, bool sameType) {
    if (const TResultRule r =
            VariantRule(p, q, [](std::uint8_t k) { return IsStringLike(k) || IsNumericKind(k); });
        r != TResultRule::None)
        return r;
    const bool equality = op == opEQ || op == opNE;
    if (IsNumericKind(p) && IsNumericKind(q)) return TResultRule::Boolean;
    if ((p == btString || p == btChar) && (q == btString || q == btChar)) {
        // CHAR with CHAR only for "=" and "<>"
        return equality || p == btString || q == btString ? TResultRule::Boolean
                                                          : TResultRule::None;
    }
    if (equality && p == btEnum && sameType) return TResultRule::Boolean;
    if (IsVariant(p) || IsVariant(q)) return TResultRule::Boolean;
    return TResultRule::None;
}

struct WarningRow {
    TOperator op;
    bool constantIsLeft;
    bool value;
    TBooleanOperandWarning warning;
};

constexpr WarningRow kWarningRows[] = {
    {opAnd, true, true, {cwIsNotNeeded, "\"True and\""}},
    {opAnd, true, false, {cwAlwaysEvaluatesTo, "False"}},
    {opAnd, false, true, {cwIsNotNeeded, "\"and True\""}},
    {opAnd, false, false, {cwAlwaysEvaluatesTo, "False"}},
    {opOr, true, true, {cwAlwaysEvaluatesTo, "True"}},
    {opOr, true, false, {cwIsNotNeeded, "\"False or\""}},
    {opOr, false, true, {cwAlwaysEvaluatesTo, "True"}},
    {opOr, false, false, {cwIsNotNeeded, "\"or False\""}},
};

} // namespace

TResultRule ResultTypeRule(TOperator op, std::uint8_t p, std::uint8_t q, bool sameType,
                           bool bothBoolean) {
    switch (op) {
    case opAdd:
        return AddRule(p, q);
    case opSub:
    case opMul:
    case opDiv:
        if (const TResultRule r = VariantRule(p, q, IsNumericKind); r != TResultRule::None)
            return r;
        return NumericRule(p, q);
    case opMod:
    case opShl:
    case opShr:
    case opAnd:
    case opOr:
    case opXor: {
        if (const TResultRule r = VariantRule(p, q, IsIntegerKind); r != TResultRule::None)
            return r;
        if (IsIntegerKind(p) && IsIntegerKind(q)) return TResultRule::Left;
        const bool logical = op == opAnd || op == opOr || op == opXor;
        return logical && bothBoolean ? TResultRule::Left : TResultRule::None;
    }
    default:
        return ComparisonRule(op, p, q, sameType);
    }
}

std::optional<TBooleanOperandWarning> BooleanOperandWarning(TOperator op, bool constantIsLeft,
                                                            bool value) {
    for (const WarningRow& row : kWarningRows)
        if (row.op == op && row.constantIsLeft == constantIsLeft && row.value == value)
            return row.warning;
    return std::nullopt;
}

bool CompatibleKinds(std::uint8_t d, std::uint8_t s, bool sameType) {
    if (d == btProcPtr && sameType) return true;
    if (IsVariant(d) || IsVariant(s)) return true;
    if (IsIntegerKind(d) && IsIntegerKind(s)) return true;
    if (IsRealKind(d) && IsNumericKind(s)) return true;
    if (d == btString) return s == btString || s == btChar;
    if (d == btArray || d == btRecord || d == btEnum || d == btChar) return s == d;
    return false;
}

const TIFPSType* ResolvedType(const TCompilerCore& core, TTypeSpace space, TTypeNo typeNo) {
    const TIFPSType* t = space == TTypeSpace::Types ? core.TypeAt(typeNo) : core.UsedType(typeNo);
    if (t && t->BaseType == btAlias) t = t->AliasOf;
    return t;
}

TFoldType FoldTypeOf(const TIFPSType& type) {
    std::uint8_t valueKind = type.BaseType;
    switch (type.BaseType) {
    case btChar:
        valueKind = 1;
        break;
    case btEnum:
        valueKind = type.Ext <= 0xFF ? 1 : type.Ext <= 0xFFFF ? 3 : 5;
        break;
    case btProcPtr:
        valueKind = 5;
        break;
    case btString:
        valueKind = type.Ext == 1 ? 14 : 10;
        break;
    case btClass:
        valueKind = 0;
        break; // no constant of a class type reaches folding
    default:
        break;
    }
    return {type.BaseType, valueKind};
}

TTypeNo TCompilerCore::ResultTypeOf(const TOperandInfo& left, const TOperandInfo& right,
                                    TOperator op) {
    const TIFPSType* a = UsedType(left.Type);
    const TIFPSType* b = UsedType(right.Type);
    if (!a || !b) return kNoType;
    // An operand of the Boolean type is already used, so comparing the records finds it
    // without adding BOOLEAN to the image's types; only a Boolean result adds it.
    const TIFPSType* booleanType = TypeAt(BooleanType);
    const bool bothBoolean = a == booleanType && b == booleanType;
    const TResultRule rule =
        ResultTypeRule(op, a->BaseType, b->BaseType, left.Type == right.Type, bothBoolean);

    if (bothBoolean && (op == opAnd || op == opOr)) {
        // The left operand is examined first; one warning at most.
        for (const TOperandInfo* side : {&left, &right}) {
            if (!side->Value) continue;
            const bool value = !side->Value->Data.empty() && side->Value->Data[0] == 1;
            if (const auto w = BooleanOperandWarning(op, side == &left, value))
                MakeWarning(w->Code, std::string(w->Param)).Position = side->Position;
            break;
        }
    }

    switch (rule) {
    case TResultRule::Left:
        return left.Type;
    case TResultRule::Right:
        return right.Type;
    case TResultRule::Boolean:
        return BooleanTypeNo();
    case TResultRule::String:
        return GetTypeForBase(btString);
    case TResultRule::None:
        break;
    }
    return kNoType;
}

void TCompilerCore::FoldConstants(TTypeSpace space, TOperator op, TIfRVariant& left,
                                  const TIfRVariant& right, std::uint32_t rightPos) {
    const TIFPSType* l = ResolvedType(*this, space, left.VType);
    const TIFPSType* r = ResolvedType(*this, space, right.VType);
    if (!l || !r) Error(ceTypeMismatch, {}, rightPos);
    const TFoldStatus status =
        FoldValues(op, FoldTypeOf(*l), left.Data, FoldTypeOf(*r), right.Data);
    if (!status.Ok()) Error(status.Code, status.Param, rightPos);
    if (IsComparison(op)) left.VType = space == TTypeSpace::Types ? BooleanType : BooleanTypeNo();
}

void TCompilerCore::FoldUnary(TIfRVariant& value, TUnaryOp op) {
    if (!ApplyUnary(KindOf(value.VType), value.Data, op)) Error(ceTypeMismatch);
}

bool TCompilerCore::IsCompatible(TTypeNo dest, TTypeNo src) {
    const TIFPSType* d = UsedType(dest);
    const TIFPSType* s = UsedType(src);
    if (!d || !s) return false;
    if (d->BaseType == btClass && s->BaseType == btClass)
        return d->ClassType && d->ClassType->IsAssignableFrom(src);
    return CompatibleKinds(d->BaseType, s->BaseType, dest == src);
}

} // namespace lumivar::script
