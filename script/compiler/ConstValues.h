// Raw bytes of constant values (TIfRVariant::Data) and the numbers they hold: integers of
// 1, 2, 4 or 8 little-endian bytes, SINGLE, DOUBLE and the 10-byte x87 EXTENDED format (the
// runtime's Extended unit does the format itself).
// Reads are lenient about short data (missing bytes count as zero), so a constant that was
// re-typed to a wider kind never reads past its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumivar::script {

// Byte width of an integer kind (1..6 and 17); 0 for any other kind.
std::size_t IntegerKindWidth(std::uint8_t kind);
// SHORTINT, SMALLINT, LONGINT and INT64.
bool IsSignedIntegerKind(std::uint8_t kind);

// The first width bytes of data as an integer, sign- or zero-extended to 64 bits.
std::int64_t ReadRawInteger(std::string_view data, std::size_t width, bool isSigned);
// The low width bytes of v.
std::string WriteRawInteger(std::uint64_t v, std::size_t width);

// A real kind's value (7 SINGLE 4 bytes, 8 DOUBLE 8 bytes, 9 EXTENDED 10 bytes), and back,
// rounded to that kind's precision.
long double ReadRawReal(std::string_view data, std::uint8_t kind);
std::string WriteRawReal(long double v, std::uint8_t kind);

// The value of a real literal (digits with one "."), independent of the C locale; nothing
// when it exceeds the EXTENDED range. A literal too small for the range reads as 0.
std::optional<long double> RealLiteralValue(std::string_view text);

} // namespace lumivar::script
