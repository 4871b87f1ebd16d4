// Identifier names as the whole engine keeps them: upper-cased (ASCII letters only) and
// hashed, so that lookups compare the 32-bit hash first and the text only on a match. The
// compiler's names and the executor's registered routine names use the same two functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumivar::script {

// The letters a..z changed to A..Z; every other byte (Cyrillic letters too) unchanged.
std::string FastUpperCase(std::string_view s);

// h := rotate_left(h, 7) + byte, over all bytes, starting from 0 (mod 2^32).
std::uint32_t MakeHash(std::string_view s);

} // namespace lumivar::script
