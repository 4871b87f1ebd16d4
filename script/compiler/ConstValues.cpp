// Constant value bytes: little-endian integers of a kind's width and the three real formats.
#include "script/compiler/ConstValues.h"

#include "script/compiler/CompilerModel.h"
#include "script/runtime/Extended.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace lumivar::script {

std::size_t IntegerKindWidth(std::uint8_t kind) {
    switch (kind) {
    case btU8:
    case btS8:
        return 1;
    case btU16:
    case btS16:
        return 2;
    case btU32:
    case btS32:
        return 4;
    case btS64:
        return 8;
    default:
        return 0;
    }
}

bool IsSignedIntegerKind(std::uint8_t kind) {
    return kind == btS8 || kind == btS16 || kind == btS32 || kind == btS64;
}

std::int64_t ReadRawInteger(std::string_view data, std::size_t width, bool isSigned) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width && i < 8; ++i) {
        const std::uint64_t byte = i < data.size() ? static_cast<unsigned char>(data[i]) : 0;
        v |= byte << (8 * i);
    }
    if (isSigned && width > 0 && width < 8) {
        const std::uint64_t sign = std::uint64_t(1) << (8 * width - 1);
        if (v & sign) v |= ~((sign << 1) - 1);
    }
    return static_cast<std::int64_t>(v);
}

std::string WriteRawInteger(std::uint64_t v, std::size_t width) {
    std::string r(width, '\0');
    for (std::size_t i = 0; i < width && i < 8; ++i)
        r[i] = char((v >> (8 * i)) & 0xFF);
    return r;
}

long double ReadRawReal(std::string_view data, std::uint8_t kind) {
    switch (kind) {
    case btSingle: {
        float f = 0;
        const auto bits = std::uint32_t(ReadRawInteger(data, 4, false));
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    case btDouble: {
        double d = 0;
        const auto bits = std::uint64_t(ReadRawInteger(data, 8, false));
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    default: {
        unsigned char bytes[kExtendedSize] = {};
        data.copy(reinterpret_cast<char*>(bytes), kExtendedSize);
        return ReadExtended(bytes);
    }
    }
}

std::string WriteRawReal(long double v, std::uint8_t kind) {
    switch (kind) {
    case btSingle: {
        const float f = static_cast<float>(v);
        std::uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof f);
        return WriteRawInteger(bits, 4);
    }
    case btDouble: {
        const double d = static_cast<double>(v);
        std::uint64_t bits = 0;
        std::memcpy(&bits, &d, sizeof d);
        return WriteRawInteger(bits, 8);
    }
    default: {
        unsigned char bytes[kExtendedSize] = {};
        WriteExtended(bytes, v);
        return std::string(reinterpret_cast<const char*>(bytes), kExtendedSize);
    }
    }
}

std::optional<long double> RealLiteralValue(std::string_view text) {
    long double v = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Out of range one way or the other: a non-zero digit before the point means too big.
        const std::string_view whole = text.substr(0, text.find('.'));
        if (whole.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
        return 0.0L;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

} // namespace lumivar::script
