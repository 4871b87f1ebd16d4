// Constant folding. The left constant is the accumulator. For the left kinds the folding rules
// list, the right operand must fall in the category the left kind reads it in (integer, real
// or string), else it is a type mismatch. The operation itself is always the executor's own
// calculation or comparison, so a folded value equals what the same operation gives at run
// time and each operation has a single implementation.
#include "script/compiler/ConstFold.h"

#include "script/compiler/ConstValues.h"
#include "script/compiler/Messages.h"
#include "script/runtime/Values.h"

#include <algorithm>

namespace lumivar::script {

namespace {

constexpr std::uint8_t kStringKind = btString;
const char* const kOverflowText = "Floating point overflow";

bool IsStringValueKind(std::uint8_t k) {
    return k == vkString || k == vkPChar;
}
bool IsSmallInteger(std::uint8_t k) {
    return k >= btU8 && k <= btS32;
}

TFoldStatus Mismatch() {
    return {ceTypeMismatch, {}};
}
TFoldStatus DivideByZero() {
    return {ceDivideByZero, {}};
}

// Does the folding table give a rule of its own for this operator and left kind?
bool TableListsLeftKind(TOperator op, std::uint8_t left) {
    switch (op) {
    case opAdd:
        return IsSmallInteger(left) || IsRealKind(left) || left == kStringKind;
    case opSub:
    case opMul:
    case opDiv:
        return IsSmallInteger(left) || IsRealKind(left);
    case opMod:
    case opShl:
    case opShr:
    case opAnd:
    case opOr:
    case opXor:
        return IsSmallInteger(left);
    default: // comparisons
        return IsSmallInteger(left) || IsRealKind(left);
    }
}

// Whether the right operand falls in the category the listed left kind reads it in:
// integers take kinds 1..6, reals kinds 1..9, strings STRING or CHAR.
bool RightFitsCategory(std::uint8_t left, std::uint8_t right) {
    if (left == kStringKind) return right == kStringKind || right == btChar;
    if (IsRealKind(left)) return IsSmallInteger(right) || IsRealKind(right);
    return IsSmallInteger(right);
}

std::string BooleanData(bool b) {
    return std::string(1, b ? '\1' : '\0');
}

// A constant's bytes into a runtime value of its value kind, and back.
void LoadValue(TIFValue& value, std::string_view data) {
    if (IsStringValueKind(KindOf(value))) {
        SetString(value, std::string(data));
        return;
    }
    const std::span<unsigned char> bytes = PayloadBytes(value);
    const std::size_t n = std::min(bytes.size(), data.size());
    std::copy_n(data.begin(), n, bytes.begin());
}

std::string StoreValue(const TIFValue& value) {
    if (IsStringValueKind(KindOf(value))) return std::string(GetString(value));
    const std::span<const unsigned char> bytes = PayloadBytes(value);
    return std::string(bytes.begin(), bytes.end());
}

// The compiler error for a runtime rule's failure.
TFoldStatus FromRuntime(const TValueResult& r) {
    switch (r.Code) {
    case TExecError::TypeMismatch:
        return Mismatch();
    case TExecError::DivisionByZero:
        return DivideByZero();
    case TExecError::MathError:
        return {ceMathError, r.Param.empty() ? kOverflowText : r.Param};
    case TExecError::HostException:
        return {ceInternalError, r.Param};
    default:
        return {ceInternalError, ExecErrorToText(std::uint8_t(r.Code), r.Param)};
    }
}

// The operation itself: the executor's CalcValues and CompareValues on runtime values of the
// operands' value kinds, so that a folded value is what the same operation gives at run time.
TFoldStatus FoldByRuntimeRules(TOperator op, TFoldType left, std::string& leftData, TFoldType right,
                               std::string_view rightData) {
    if (left.ValueKind == vkReturnAddress || right.ValueKind == vkReturnAddress) return Mismatch();
    TIFValuePool pool;
    const TIFTypeRec leftType = MakeTypeRec(TValueKind(left.ValueKind));
    const TIFTypeRec rightType = MakeTypeRec(TValueKind(right.ValueKind));
    const TIFTypeRec flagType = MakeTypeRec(vkU8);
    TValueRef l(pool, &leftType), r(pool, &rightType), flag(pool, &flagType);
    if (!l || !r || !flag) return {ceInternalError, "out of memory"};
    LoadValue(*l, leftData);
    LoadValue(*r, rightData);
    if (op < kFirstCompareOp) {
        const TValueResult result = CalcValues(*l, *r, op);
        if (!result) return FromRuntime(result);
        leftData = StoreValue(*l);
    } else {
        const TValueResult result =
            CompareValues(*l, *r, std::uint8_t(op - kFirstCompareOp), *flag);
        if (!result) return FromRuntime(result);
        leftData = BooleanData(GetInteger(*flag) != 0);
    }
    return {};
}

} // namespace

TFoldStatus FoldValues(TOperator op, TFoldType left, std::string& leftData, TFoldType right,
                       std::string_view rightData) {
    if (TableListsLeftKind(op, left.Kind) && !RightFitsCategory(left.Kind, right.Kind))
        return Mismatch();
    return FoldByRuntimeRules(op, left, leftData, right, rightData);
}

bool ApplyUnary(std::uint8_t kind, std::string& data, TUnaryOp op) {
    const std::size_t width = IntegerKindWidth(kind);
    if (width > 0) {
        const auto v = std::uint64_t(ReadRawInteger(data, width, false));
        data = WriteRawInteger(op == TUnaryOp::Negate ? 0 - v : std::uint64_t(v == 0), width);
        return true;
    }
    if (IsRealKind(kind) && op == TUnaryOp::Negate) {
        data = WriteRawReal(-ReadRawReal(data, kind), kind);
        return true;
    }
    if (kind == btEnum && op == TUnaryOp::Not) {
        // An enumeration keeps the width its constant has (4 bytes as declared, 1 when folded).
        const std::size_t enumWidth = data.empty() ? 1 : std::min<std::size_t>(data.size(), 8);
        data = WriteRawInteger(ReadRawInteger(data, enumWidth, false) == 0, enumWidth);
        return true;
    }
    return false;
}

} // namespace lumivar::script
