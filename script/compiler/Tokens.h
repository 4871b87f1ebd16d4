// Token kinds of the script language and the keyword table, both generated from
// TokenKinds.def. Keywords are found by halving the table, so its rows must stay sorted by
// spelling; the checks below fail the build when the .def file breaks that or a fixed code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumivar::script {

enum TPasToken : std::uint8_t {
#define LV_TOKEN(code, name, text) name = code,
#define LV_KEYWORD(code, name, spelling) name = code,
#include "TokenKinds.def"
#undef LV_KEYWORD
#undef LV_TOKEN
};

// One row of the keyword table: the upper-case spelling and its token kind.
struct TRTab {
    std::string_view Keyword;
    TPasToken Kind;
};

inline constexpr std::size_t kKeywordCount = 63;
inline constexpr std::uint8_t kFirstKeywordKind = 30;
inline constexpr std::uint8_t kLastTokenKind = 92;

inline constexpr std::array<TRTab, kKeywordCount> kKeywords = {{
#define LV_TOKEN(code, name, text)
#define LV_KEYWORD(code, name, spelling) {spelling, name},
#include "TokenKinds.def"
#undef LV_KEYWORD
#undef LV_TOKEN
}};

namespace detail {
// True when the rows are strictly ascending by spelling and the kinds are exactly 30..92.
consteval bool KeywordTableIsSound() {
    std::array<bool, kKeywordCount> seen{};
    for (std::size_t i = 0; i < kKeywords.size(); ++i) {
        if (i > 0 && !(kKeywords[i - 1].Keyword < kKeywords[i].Keyword)) return false;
        const unsigned kind = kKeywords[i].Kind;
        if (kind < kFirstKeywordKind || kind > kLastTokenKind) return false;
        if (seen[kind - kFirstKeywordKind]) return false;
        seen[kind - kFirstKeywordKind] = true;
    }
    return true;
}
} // namespace detail

static_assert(detail::KeywordTableIsSound(),
              "keyword table must be sorted and use kinds 30..92 once each");
static_assert(ttDereference == kFirstKeywordKind - 1 && ttImplementation == kLastTokenKind);
static_assert(ttBegin == 32 && ttEnd == 39 && ttXor == 63 && ttExit == 64 && ttChr == 89);
static_assert(ttInteger == 23 && ttHexInt == 27 && ttString == 25 && ttChar == 26);

// The keyword kind of an upper-case word, or ttIdentifier when it is no keyword.
TPasToken LookupKeyword(std::string_view upperWord);

} // namespace lumivar::script
