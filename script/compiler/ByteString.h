// Appending and patching little-endian numbers in a byte string: the three primitives the
// code generator, the image writer and the debug records build on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumivar::script {

inline void AppendU8(std::string& out, std::uint8_t v) { out.push_back(static_cast<char>(v)); }

inline void AppendU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A u32 byte count, then the bytes.
inline void AppendLongText(std::string& out, std::string_view text) {
    AppendU32(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

// Overwrites the four bytes at pos (which the caller has appended before).
inline void PatchU32(std::string& out, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline std::uint32_t ReadU32(std::string_view in, std::size_t pos) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[pos + i]);
    return v;
}

} // namespace lumivar::script
