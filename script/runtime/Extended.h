// The 10-byte x87 extended float of the value kind vkExtended, read and written as long double.
// The engine is built for x86 targets, where long double is that very format: its first ten
// bytes are the value (the rest is padding). The static_assert in Extended.cpp guards this.
#pragma once

namespace lumivar::script {

inline constexpr int kExtendedSize = 10;

long double ReadExtended(const unsigned char* bytes);
void WriteExtended(unsigned char* bytes, long double value);

} // namespace lumivar::script
