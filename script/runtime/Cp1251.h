// Code page 1251, the code page of every text the engine and the editor keep: its mapping to
// Unicode (one table, shared by the editor's codec) and conversion to and from UTF-8 for
// texts that are written in UTF-8 source or printed on a UTF-8 terminal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivar::script {

// Unicode code point of a byte; lossless for all 256 bytes (0x98 maps to U+0098).
char32_t Cp1251ToCodePoint(unsigned char byte);
// The byte of a code point, or nothing when the code page cannot hold it.
std::optional<unsigned char> CodePointToCp1251(char32_t cp);

std::string Cp1251ToUtf8(std::string_view text);
// Characters the code page cannot hold, and malformed UTF-8, become '?'.
std::string Utf8ToCp1251(std::string_view text);

} // namespace lumivar::script
