// Upper-casing and hashing of identifier names.
#include "Names.h"

#include <bit>

namespace lumivar::script {

std::string FastUpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

std::uint32_t MakeHash(std::string_view s) {
    std::uint32_t h = 0;
    for (char c : s) h = std::rotl(h, 7) + static_cast<unsigned char>(c);
    return h;
}

} // namespace lumivar::script
