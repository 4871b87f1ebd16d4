// The string helpers. Integer texts are parsed by hand so that "$" hexadecimal, the sign and
// the range checks behave the same on every platform.
#include "script/compiler/StringTools.h"

#include <limits>
#include <optional>

namespace lumivar::script {

namespace {

// Magnitude of an unsigned integer text, or nothing when it is malformed or exceeds limit.
std::optional<std::uint64_t> ParseMagnitude(std::string_view s, std::uint64_t limit) {
    bool hex = false;
    if (!s.empty() && s.front() == '$') {
        hex = true;
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    const std::uint64_t base = hex ? 16 : 10;
    std::uint64_t v = 0;
    for (const char c : s) {
        std::uint64_t d;
        if (c >= '0' && c <= '9')
            d = std::uint64_t(c - '0');
        else if (hex && c >= 'A' && c <= 'F')
            d = std::uint64_t(c - 'A' + 10);
        else if (hex && c >= 'a' && c <= 'f')
            d = std::uint64_t(c - 'a' + 10);
        else
            return std::nullopt;
        if (v > (limit - d) / base) return std::nullopt;
        v = v * base + d;
    }
    return v;
}

// Sign, then magnitude; hex texts may fill the whole unsigned range and wrap to negative.
template <typename Int> std::optional<Int> ParseInt(std::string_view s) {
    using U = std::make_unsigned_t<Int>;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    const bool hex = !s.empty() && s.front() == '$';
    const std::uint64_t max = std::numeric_limits<Int>::max();
    const std::uint64_t limit = hex ? std::numeric_limits<U>::max() : negative ? max + 1 : max;
    const auto m = ParseMagnitude(s, limit);
    if (!m) return std::nullopt;
    const U u = negative ? U(U(0) - U(*m)) : U(*m);
    return Int(u);
}

} // namespace

std::string GrabFirstWord(std::string& s) {
    const std::size_t blank = s.find(' ');
    std::string word;
    if (blank == std::string::npos) {
        word.swap(s);
    } else {
        word = s.substr(0, blank);
        s.erase(0, blank + 1);
    }
    return word;
}

std::string FirstWord(std::string_view s) {
    return std::string(s.substr(0, s.find(' ')));
}

std::string IntToStr(std::int64_t i) {
    return std::to_string(i);
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t def) {
    return ParseInt<std::int32_t>(s).value_or(def);
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t def) {
    return ParseInt<std::int64_t>(s).value_or(def);
}

std::string IntToRaw4(std::uint32_t i) {
    std::string r(4, '\0');
    for (int k = 0; k < 4; ++k)
        r[k] = char((i >> (8 * k)) & 0xFF);
    return r;
}

std::string StripFirst(std::string_view s) {
    return s.empty() ? std::string() : std::string(s.substr(1));
}

std::string Dequote(std::string_view s) {
    return s.size() < 2 ? std::string() : std::string(s.substr(1, s.size() - 2));
}

} // namespace lumivar::script
