// Conversions between value kinds and the three operations built on them: CopyValue
// (assignment), CalcValues (arithmetic) and CompareValues. The interpreter and the compiler's
// constant folding both call these, so each rule exists once.
#include "Values.h"
#include "ImageLayout.h"

#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

namespace lumivar::script {
namespace {

// Longest string a concatenation may build (64 MiB): far beyond what scripts of an editor
// handle, small enough that a doubling loop cannot take the machine's memory.
constexpr std::size_t kMaxStringLength = std::size_t(1) << 26;
// Deepest nesting of values a copy follows. Values nest through record and array types (bounded
// by the loader) and through variants holding arrays of variants; the bound keeps the copy's
// recursion, and every later walk over the copy, shallow.
constexpr int kMaxCopyDepth = 2 * int(kMaxTypeDepth);

using Text = std::shared_ptr<const std::string>;

TValueResult Fail(TExecError code) {
    return {code, {}};
}

bool IsInt32Kind(std::uint8_t k) {
    return k >= vkU8 && k <= vkS32;
}
bool IsFloatKind(std::uint8_t k) {
    return k >= vkSingle && k <= vkExtended;
}
bool IsStringKind(std::uint8_t k) {
    return k == vkString || k == vkPChar;
}
bool IsSignedKind(std::uint8_t k) {
    return k == vkS8 || k == vkS16 || k == vkS32 || k == vkS64;
}

// The inner value of a variant; null when the variant is null.
const TIFValue* Inner(const TIFValue& v) {
    const TIFValue* inner = v.Payload.Ref;
    return inner && inner->Type ? inner : nullptr;
}

bool ToInt64(const TIFValue& v, std::int64_t& out) {
    const std::uint8_t k = KindOf(v);
    if (IsInt32Kind(k) || k == vkS64) {
        out = GetInteger(v);
        return true;
    }
    if (k == vkString) {
        if (GetString(v).size() != 1) return false;
        out = static_cast<unsigned char>(GetString(v)[0]);
        return true;
    }
    if (k == vkVariant) {
        const TIFValue* inner = Inner(v);
        out = 0;
        return !inner || ToInt64(*inner, out);
    }
    return false;
}

// The 32-bit conversion is the low half of the 64-bit one (kinds 5, 6 and 17 their low 32 bits).
bool ToInt32(const TIFValue& v, std::int32_t& out) {
    std::int64_t wide;
    if (!ToInt64(v, wide)) return false;
    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
    return true;
}

bool ToFloat(const TIFValue& v, long double& out) {
    const std::uint8_t k = KindOf(v);
    if (IsInt32Kind(k)) {
        out = static_cast<long double>(GetInteger(v));
        return true;
    }
    if (IsFloatKind(k)) {
        out = GetFloat(v);
        return true;
    }
    if (k == vkVariant) {
        const TIFValue* inner = Inner(v);
        out = 0;
        return !inner || ToFloat(*inner, out);
    }
    return false;
}

// The string conversion; strings are shared, not copied. Null stands for the empty string.
bool ToText(const TIFValue& v, Text& out) {
    const std::uint8_t k = KindOf(v);
    if (k == vkU8 || k == vkS8) {
        out = std::make_shared<const std::string>(1, static_cast<char>(v.Payload.Bytes[0]));
        return true;
    }
    if (IsStringKind(k)) {
        out = v.Text;
        return true;
    }
    if (k == vkVariant) {
        const TIFValue* inner = Inner(v);
        out.reset();
        return !inner || ToText(*inner, out);
    }
    return false;
}

std::string_view View(const Text& t) {
    return t ? std::string_view(*t) : std::string_view();
}

template <class T> bool Holds(T a, T b, std::uint8_t comparison) {
    switch (comparison) {
    case 0:
        return a >= b;
    case 1:
        return a <= b;
    case 2:
        return a > b;
    case 3:
        return a < b;
    case 4:
        return a != b;
    default:
        return a == b;
    }
}

TValueResult CopyInto(TIFValuePool& pool, TIFValue& dest, const TIFValue& src, int depth);

// Record and array destinations: a deep copy of src's elements, built before dest's old
// elements go, so that src may lie inside dest.
TValueResult CopyElements(TIFValuePool& pool, TIFValue& dest, const TIFValue& src, int depth) {
    const TIFValue* from = &src;
    if (KindOf(src) == vkVariant && Inner(src) && KindOf(*Inner(src)) == vkArray) from = Inner(src);
    if (KindOf(*from) != vkRecord && KindOf(*from) != vkArray)
        return Fail(TExecError::TypeMismatch);
    if (depth > kMaxCopyDepth) return Fail(TExecError::TypeMismatch);
    std::vector<TIFValue*> table(from->Elements.size(), nullptr);
    TValueResult result;
    for (std::size_t i = table.size(); i-- > 0;) {
        const TIFValue& element = *from->Elements[i];
        table[i] = CreateValue(pool, element.Type);
        if (!table[i]) {
            result = Fail(element.Type ? TExecError::OutOfMemory : TExecError::TypeMismatch);
            break;
        }
        result = CopyInto(pool, *table[i], element, depth + 1);
        if (!result) break;
    }
    for (TIFValue* old : dest.Elements)
        ReleaseValue(pool, old);
    dest.Elements.clear();
    if (result) {
        dest.Elements = std::move(table);
    } else {
        for (TIFValue* made : table)
            ReleaseValue(pool, made);
        std::vector<TIFValue*>().swap(dest.Elements);
    }
    return result;
}

// Variant destinations: the inner value becomes a new value of src's type (src's inner type for
// a variant src) holding a copy of it; a null src makes dest null. The new inner value replaces
// the old one only when it is complete, so that src may lie inside dest.
TValueResult CopyIntoVariant(TIFValuePool& pool, TIFValue& dest, const TIFValue& src, int depth) {
    const TIFValue* from = KindOf(src) == vkVariant ? Inner(src) : &src;
    if (depth > kMaxCopyDepth) return Fail(TExecError::TypeMismatch);
    TIFValue* inner = from ? CreateValue(pool, from->Type) : pool.Allocate();
    if (!inner) return Fail(TExecError::OutOfMemory);
    TValueResult result;
    if (from) result = CopyInto(pool, *inner, *from, depth + 1);
    ReleaseValue(pool, dest.Payload.Ref);
    dest.Payload.Ref = inner;
    return result;
}

TValueResult CopyResource(TIFValue& dest, const TIFValue& src) {
    const TIFValue* from = KindOf(src) == vkVariant ? Inner(src) : &src;
    if (!from || KindOf(*from) != vkResourcePointer) return Fail(TExecError::TypeMismatch);
    if (TResourceHandler handler = from->Payload.Resource.Handler)
        return handler(kResourceCopy, *from, &dest) ? TValueResult{}
                                                    : Fail(TExecError::TypeMismatch);
    dest.Payload.Resource = {0, 0, nullptr};
    return {};
}

TValueResult CopyInto(TIFValuePool& pool, TIFValue& dest, const TIFValue& src, int depth) {
    const std::uint8_t kind = KindOf(dest);
    if (KindOf(src) == vkReturnAddress) return Fail(TExecError::TypeMismatch);
    if (IsInt32Kind(kind)) {
        std::int32_t n;
        if (!ToInt32(src, n)) return Fail(TExecError::TypeMismatch);
        SetInteger(dest, n);
        return {};
    }
    if (IsFloatKind(kind)) {
        long double x;
        if (!ToFloat(src, x)) return Fail(TExecError::TypeMismatch);
        SetFloat(dest, x);
        return {};
    }
    switch (kind) {
    case vkString:
    case vkPChar: {
        Text t;
        if (!ToText(src, t)) return Fail(TExecError::TypeMismatch);
        dest.Text = std::move(t);
        return {};
    }
    case vkS64: {
        std::int64_t n;
        if (!ToInt64(src, n)) return Fail(TExecError::TypeMismatch);
        SetInteger(dest, n);
        return {};
    }
    case vkRecord:
    case vkArray:
        return CopyElements(pool, dest, src, depth);
    case vkVariant:
        return CopyIntoVariant(pool, dest, src, depth);
    case vkResourcePointer:
        return CopyResource(dest, src);
    default:
        return Fail(TExecError::TypeMismatch);
    }
}

// The operations that are the same at every integer width: wrapping add, subtract and multiply,
// and the bitwise ones. False for the others (division, modulo, shifts).
template <class U> bool SameOnEveryWidth(U a, U b, std::uint8_t operation, U& r) {
    switch (operation) {
    case 0:
        r = a + b;
        return true;
    case 1:
        r = a - b;
        return true;
    case 2:
        r = a * b;
        return true;
    case 7:
        r = a & b;
        return true;
    case 8:
        r = a | b;
        return true;
    case 9:
        r = a ^ b;
        return true;
    default:
        return false;
    }
}

// Integer arithmetic of kinds 1..6 on 32 bits; dest's value is widened by its own signedness and
// the result is truncated back to its width. Overflow wraps, the lowest signed value divided by
// -1 included (quotient the dividend, remainder 0).
TValueResult CalcInt32(TIFValue& dest, std::int32_t operand, std::uint8_t operation) {
    const bool isSigned = IsSignedKind(KindOf(dest));
    const auto a = static_cast<std::uint32_t>(GetInteger(dest));
    const auto b = static_cast<std::uint32_t>(operand);
    const auto sa = static_cast<std::int32_t>(a);
    const bool wraps = isSigned && sa == std::numeric_limits<std::int32_t>::min() && operand == -1;
    std::uint32_t r;
    if (!SameOnEveryWidth(a, b, operation, r)) {
        switch (operation) {
        case 3:
            if (b == 0) return Fail(TExecError::DivisionByZero);
            r = wraps ? a : isSigned ? static_cast<std::uint32_t>(sa / operand) : a / b;
            break;
        case 4:
            if (b == 0) return Fail(TExecError::DivisionByZero);
            r = wraps ? 0 : isSigned ? static_cast<std::uint32_t>(sa % operand) : a % b;
            break;
        case 5:
            r = a << (b & 31);
            break;
        default:
            r = a >> (b & 31);
            break;
        }
    }
    SetInteger(dest, r);
    return {};
}

// 64-bit shift counts: the count's low byte; 0..63 shift, 64..127 give 0, 128..255 shift by the
// byte modulo 32.
std::uint64_t Shift64(std::uint64_t a, std::int64_t count, bool left) {
    const auto c = static_cast<std::uint8_t>(count);
    if (c >= 64 && c < 128) return 0;
    const unsigned by = c < 64 ? c : c % 32;
    return left ? a << by : a >> by;
}

TValueResult CalcInt64(TIFValue& dest, std::int64_t operand, std::uint8_t operation) {
    const std::int64_t sa = GetInteger(dest);
    const auto a = static_cast<std::uint64_t>(sa);
    const auto b = static_cast<std::uint64_t>(operand);
    const bool wraps = sa == std::numeric_limits<std::int64_t>::min() && operand == -1;
    std::uint64_t r;
    if (!SameOnEveryWidth(a, b, operation, r)) {
        switch (operation) {
        case 3:
            if (b == 0) return Fail(TExecError::DivisionByZero);
            r = wraps ? a : static_cast<std::uint64_t>(sa / operand);
            break;
        case 4:
            if (b == 0) return Fail(TExecError::DivisionByZero);
            r = wraps ? 0 : static_cast<std::uint64_t>(sa % operand);
            break;
        default:
            r = Shift64(a, operand, operation == 5);
            break;
        }
    }
    SetInteger(dest, static_cast<std::int64_t>(r));
    return {};
}

// Float arithmetic in extended precision, rounded to dest's precision. As with the x87 unit's
// unmasked exceptions: a zero divisor is 15; an invalid operation (a NaN made from numbers) or an
// overflow (an infinity made from finite numbers, also when rounding to dest's precision) is 16.
TValueResult CalcFloat(TIFValue& dest, long double operand, std::uint8_t operation) {
    const long double a = GetFloat(dest);
    long double r;
    switch (operation) {
    case 0:
        r = a + operand;
        break;
    case 1:
        r = a - operand;
        break;
    case 2:
        r = a * operand;
        break;
    case 3:
        if (operand == 0) return Fail(TExecError::DivisionByZero);
        r = a / operand;
        break;
    default:
        return Fail(TExecError::TypeMismatch);
    }
    const bool inputsNumbers = !std::isnan(a) && !std::isnan(operand);
    const bool inputsFinite = std::isfinite(a) && std::isfinite(operand);
    const long double largest = KindOf(dest) == vkSingle ? std::numeric_limits<float>::max()
                                : KindOf(dest) == vkDouble
                                    ? std::numeric_limits<double>::max()
                                    : std::numeric_limits<long double>::max();
    if ((std::isnan(r) && inputsNumbers) || (std::fabs(r) > largest && inputsFinite))
        return Fail(TExecError::MathError);
    SetFloat(dest, r);
    return {};
}

TValueResult Concatenate(TIFValue& dest, const Text& tail) {
    const std::string_view head = GetString(dest);
    if (View(tail).empty()) return {};
    if (head.size() + View(tail).size() > kMaxStringLength) return Fail(TExecError::OutOfMemory);
    std::string joined;
    joined.reserve(head.size() + View(tail).size());
    joined.append(head).append(View(tail));
    return SetString(dest, std::move(joined)) ? TValueResult{} : Fail(TExecError::OutOfMemory);
}

// The source is converted by dest's kind first (12 when it cannot be); only then does an
// unknown operation count (6). Dest kinds without arithmetic are 12 whatever the operation.
TValueResult Calc(TIFValue& dest, const TIFValue& src, std::uint8_t operation) {
    constexpr std::uint8_t kLastOperation = 9;
    const std::uint8_t kind = KindOf(dest);
    std::int32_t n32 = 0;
    std::int64_t n64 = 0;
    long double x = 0;
    Text t;
    bool converted;
    if (IsInt32Kind(kind))
        converted = ToInt32(src, n32);
    else if (IsFloatKind(kind))
        converted = ToFloat(src, x);
    else if (IsStringKind(kind))
        converted = ToText(src, t);
    else if (kind == vkS64)
        converted = ToInt64(src, n64);
    else
        converted = false;
    if (!converted) return Fail(TExecError::TypeMismatch);
    if (operation > kLastOperation) return Fail(TExecError::InvalidParameter);
    if (IsInt32Kind(kind)) return CalcInt32(dest, n32, operation);
    if (IsFloatKind(kind)) return CalcFloat(dest, x, operation);
    if (kind == vkS64) return CalcInt64(dest, n64, operation);
    return operation == 0 ? Concatenate(dest, t) : Fail(TExecError::TypeMismatch);
}

// Left and right both hold something: the comparison by left's kind, right converted.
bool Compare(const TIFValue& left, const TIFValue& right, std::uint8_t comparison, bool& result) {
    const std::uint8_t kind = KindOf(left);
    if (kind == vkU8 && IsStringKind(KindOf(right))) {
        const char c = static_cast<char>(left.Payload.Bytes[0]);
        result = Holds(std::string_view(&c, 1), GetString(right), comparison);
        return true;
    }
    if (IsInt32Kind(kind)) {
        std::int32_t r;
        if (!ToInt32(right, r)) return false;
        const auto l = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetInteger(left)));
        result = IsSignedKind(kind) ? Holds(l, r, comparison)
                                    : Holds(static_cast<std::uint32_t>(l),
                                            static_cast<std::uint32_t>(r), comparison);
        return true;
    }
    if (IsFloatKind(kind)) {
        long double r;
        if (!ToFloat(right, r)) return false;
        result = Holds(GetFloat(left), r, comparison);
        return true;
    }
    if (IsStringKind(kind)) {
        Text r;
        if (!ToText(right, r)) return false;
        result = Holds(GetString(left), View(r), comparison);
        return true;
    }
    if (kind == vkS64) {
        std::int64_t r;
        if (!ToInt64(right, r)) return false;
        result = Holds(GetInteger(left), r, comparison);
        return true;
    }
    return false;
}

} // namespace

TValueResult CopyValue(TIFValuePool& pool, TIFValue& dest, const TIFValue& src) {
    try {
        return CopyInto(pool, dest, src, 0);
    } catch (const std::bad_alloc&) {
        return Fail(TExecError::OutOfMemory);
    }
}

TValueResult CalcValues(TIFValue& dest, const TIFValue& src, std::uint8_t operation) {
    try {
        return Calc(dest, src, operation);
    } catch (const std::bad_alloc&) {
        return Fail(TExecError::OutOfMemory);
    } catch (const std::exception& e) {
        return {TExecError::HostException, e.what()};
    }
}

TValueResult CompareValues(const TIFValue& left, const TIFValue& right, std::uint8_t comparison,
                           TIFValue& dest) {
    if (comparison > 5) return Fail(TExecError::InvalidParameter);
    bool result = false;
    if (!left.Type || !right.Type) {
        const bool bothNull = !left.Type && !right.Type;
        if (comparison == 5)
            result = bothNull;
        else if (comparison == 4)
            result = !bothNull;
        else
            return Fail(TExecError::TypeMismatch);
    } else {
        try {
            if (!Compare(left, right, comparison, result)) return Fail(TExecError::TypeMismatch);
        } catch (const std::bad_alloc&) {
            return Fail(TExecError::OutOfMemory);
        }
    }
    if (!IsInt32Kind(KindOf(dest))) return Fail(TExecError::TypeMismatch);
    SetInteger(dest, result ? 1 : 0);
    return {};
}

} // namespace lumivar::script
