// Constant folding by the left operand's kind. The left constant is the accumulator; the
// right one is read in the category the left kind needs (integer, real or string), and a
// right operand of another category is a type mismatch. Pairs the folding rules do not list
// go to the executor's own calculation rules, so that a folded value always equals what the
// same operation would give at run time.
#include "script/compiler/ConstFold.h"

#include "script/compiler/ConstValues.h"
#include "script/compiler/Messages.h"
#include "script/runtime/Values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace lumivar::script {

namespace {

constexpr std::uint8_t kStringKind = btString;
const char* const kOverflowText = "Floating point overflow";
const char* const kInvalidOpText = "Invalid floating point operation";

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

// The right operand read as an integer: kinds 1..6 only, extended to 32 bits by its signedness.
std::optional<std::uint32_t> RightAsInteger(TFoldType right, std::string_view data) {
    if (!IsSmallInteger(right.Kind)) return std::nullopt;
    return std::uint32_t(
        ReadRawInteger(data, IntegerKindWidth(right.Kind), IsSignedIntegerKind(right.Kind)));
}

// The right operand read as a real: kinds 1..9, integers by their signedness.
std::optional<long double> RightAsReal(TFoldType right, std::string_view data) {
    if (IsSmallInteger(right.Kind))
        return static_cast<long double>(
            ReadRawInteger(data, IntegerKindWidth(right.Kind), IsSignedIntegerKind(right.Kind)));
    if (IsRealKind(right.Kind)) return ReadRawReal(data, right.Kind);
    return std::nullopt;
}

// The right operand read as a string: STRING gives its characters, CHAR its one character.
std::optional<std::string> RightAsString(TFoldType right, std::string_view data) {
    if (right.Kind == kStringKind) return std::string(data);
    if (right.Kind == btChar) return std::string(data.substr(0, 1));
    return std::nullopt;
}

long double LargestOf(std::uint8_t realKind) {
    switch (realKind) {
    case btSingle:
        return std::numeric_limits<float>::max();
    case btDouble:
        return std::numeric_limits<double>::max();
    default:
        return std::numeric_limits<long double>::max();
    }
}

std::string BooleanData(bool b) {
    return std::string(1, b ? '\1' : '\0');
}

template <typename T> bool Compare(TOperator op, T l, T r) {
    switch (op) {
    case opGE:
        return l >= r;
    case opLE:
        return l <= r;
    case opGT:
        return l > r;
    case opLT:
        return l < r;
    case opNE:
        return l != r;
    default:
        return l == r;
    }
}

TFoldStatus FoldSmallInteger(TOperator op, std::uint8_t kind, std::string& leftData,
                             std::uint32_t r) {
    const std::size_t width = IntegerKindWidth(kind);
    const bool isSigned = IsSignedIntegerKind(kind);
    // The left value widened to 32 bits by its own signedness.
    const auto l = std::uint32_t(ReadRawInteger(leftData, width, isSigned));
    const auto sl = std::int32_t(l);
    const auto sr = std::int32_t(r);
    std::uint32_t v = 0;
    switch (op) {
    case opAdd:
        v = l + r;
        break;
    case opSub:
        v = l - r;
        break;
    case opMul:
        v = l * r;
        break;
    case opDiv:
    case opMod:
        if (r == 0) return DivideByZero();
        if (!isSigned) {
            v = op == opDiv ? l / r : l % r;
        } else if (sl == INT32_MIN && sr == -1) {
            v = op == opDiv ? l : 0; // wraps: integer overflow is not detected
        } else {
            v = std::uint32_t(op == opDiv ? sl / sr : sl % sr);
        }
        break;
    case opShl:
        v = l << (r % 32);
        break;
    case opShr:
        v = l >> (r % 32);
        break; // logical, on the widened value
    case opAnd:
        v = l & r;
        break;
    case opOr:
        v = l | r;
        break;
    case opXor:
        v = l ^ r;
        break;
    default:
        leftData = isSigned ? BooleanData(Compare(op, sl, sr)) : BooleanData(Compare(op, l, r));
        return {};
    }
    leftData = WriteRawInteger(v, width);
    return {};
}

TFoldStatus FoldReal(TOperator op, std::uint8_t kind, std::string& leftData, long double r) {
    const long double l = ReadRawReal(leftData, kind);
    long double v = 0;
    switch (op) {
    case opAdd:
        v = l + r;
        break;
    case opSub:
        v = l - r;
        break;
    case opMul:
        v = l * r;
        break;
    case opDiv:
        if (r == 0) return DivideByZero();
        v = l / r;
        break;
    default:
        leftData = BooleanData(Compare(op, l, r));
        return {};
    }
    // Rounding to the left kind overflows where the extended result exceeds that kind's range.
    if (std::isnan(v)) return {ceMathError, kInvalidOpText};
    if (std::isinf(v) || std::fabs(v) > LargestOf(kind)) return {ceMathError, kOverflowText};
    leftData = WriteRawReal(v, kind);
    return {};
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

// Pairs the folding table does not list: the executor's CalcValues and CompareValues on
// runtime values of the operands' value kinds.
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
    if (!TableListsLeftKind(op, left.Kind))
        return FoldByRuntimeRules(op, left, leftData, right, rightData);
    if (left.Kind == kStringKind) { // only "+" is listed for strings
        const std::optional<std::string> r = RightAsString(right, rightData);
        if (!r) return Mismatch();
        leftData += *r;
        return {};
    }
    if (IsRealKind(left.Kind)) {
        const std::optional<long double> r = RightAsReal(right, rightData);
        if (!r) return Mismatch();
        return FoldReal(op, left.Kind, leftData, *r);
    }
    const std::optional<std::uint32_t> r = RightAsInteger(right, rightData);
    if (!r) return Mismatch();
    return FoldSmallInteger(op, left.Kind, leftData, *r);
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
