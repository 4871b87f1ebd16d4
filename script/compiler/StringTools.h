// Small byte-string helpers used throughout the compiler: splitting declaration strings into
// words, decimal and "$" hexadecimal integer texts, and 4-byte little-endian raw integers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumivar::script {

// The text of s before its first blank, removed from s together with that blank; with no
// blank all of s, and s becomes empty.
std::string GrabFirstWord(std::string& s);
// The text before the first blank of s, or all of s.
std::string FirstWord(std::string_view s);
std::string IntToStr(std::int64_t i);
// The 32-bit integer written in s (an optional sign, then decimal digits or "$" and hex
// digits; hex texts may use all 32 bits), or def when s is not such an integer.
std::int32_t StrToIntDef(std::string_view s, std::int32_t def);
// The same for 64 bits: decimal within the signed range, hex up to 16 digits.
std::int64_t StrToInt64Def(std::string_view s, std::int64_t def);
// A 4-character string holding i as 4 little-endian bytes.
std::string IntToRaw4(std::uint32_t i);
// s without its first character.
std::string StripFirst(std::string_view s);
// s without its first and its last character (empty when s is shorter than 2).
std::string Dequote(std::string_view s);

} // namespace lumivar::script
