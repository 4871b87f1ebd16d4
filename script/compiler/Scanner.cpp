// The scanner: one token at a time, from the character at the current position. Every scan
// stops at the terminating character 0 of the text copy, so no read passes its end.
#include "script/compiler/Scanner.h"

#include "script/runtime/Names.h"

#include <algorithm>

namespace lumivar::script {

namespace {

// Identifiers longer than this are never looked up as keywords in full.
constexpr std::size_t kMaxKeywordLookup = 255;

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
bool IsBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

template <typename Pred> std::uint32_t RunLength(const char* s, std::uint32_t from, Pred pred) {
    std::uint32_t q = from;
    while (pred(s[q]))
        ++q;
    return q - from;
}

} // namespace

TPasToken LookupKeyword(std::string_view upperWord) {
    const auto it =
        std::lower_bound(kKeywords.begin(), kKeywords.end(), upperWord,
                         [](const TRTab& row, std::string_view w) { return row.Keyword < w; });
    return it != kKeywords.end() && it->Keyword == upperWord ? it->Kind : ttIdentifier;
}

void TIfPascalParser::SetText(std::string_view s) {
    Text.assign(s);
    TokenLen = 0;
    TokenPos = 0;
    Token = ttEOF;
    Next();
}

void TIfPascalParser::Next() {
    if (Text.empty()) {
        TokenLen = 0;
        TokenPos = 0;
        Token = ttEOF;
        return;
    }
    Scanned t{};
    do {
        TokenPos += TokenLen;
        t = ScanAt(TokenPos);
        TokenLen = t.length;
        if (t.error != peNone) {
            TokenLen = 0;
            Token = ttEOF;
            TokenText.clear();
            OriginalToken.clear();
            if (OnParserError) OnParserError(*this, t.error, TokenPos);
            return;
        }
    } while (t.kind == ttComment || t.kind == ttWhitespace);

    Token = t.kind;
    if (Token == ttIdentifier) {
        OriginalToken.assign(Text, TokenPos, TokenLen);
        TokenText = FastUpperCase(OriginalToken);
    } else if (Token >= ttInteger && Token <= ttHexInt) {
        OriginalToken.assign(Text, TokenPos, TokenLen);
        TokenText = OriginalToken;
    } else {
        TokenText.clear();
        OriginalToken.clear();
    }
}

TIfPascalParser::Scanned TIfPascalParser::ScanAt(std::uint32_t p) const {
    // c_str() keeps a character 0 after the last byte: every loop below stops there.
    const char* s = Text.c_str();
    const char c = s[p];
    const char c2 = c == '\0' ? '\0' : s[p + 1];
    auto one = [](TPasToken kind) { return Scanned{kind, 1, peNone}; };
    auto two = [](TPasToken kind) { return Scanned{kind, 2, peNone}; };

    if (c == '\0') return {ttEOF, 0, peNone};
    if (IsBlank(c)) return {ttWhitespace, RunLength(s, p, IsBlank), peNone};

    if (IsLetter(c)) {
        const std::uint32_t len = RunLength(s, p, [](char x) { return IsLetter(x) || IsDigit(x); });
        const std::string upper =
            FastUpperCase(std::string_view(s + p, std::min<std::size_t>(len, kMaxKeywordLookup)));
        return {LookupKeyword(upper), len, peNone};
    }

    if (IsDigit(c)) {
        // Digits with at most one "."; a ".." (a range) ends the number before it.
        std::uint32_t q = p;
        bool seenPoint = false;
        for (;;) {
            if (IsDigit(s[q])) {
                ++q;
            } else if (s[q] == '.' && !seenPoint && s[q + 1] != '.') {
                seenPoint = true;
                ++q;
            } else {
                break;
            }
        }
        return {seenPoint ? ttReal : ttInteger, q - p, peNone};
    }

    switch (c) {
    case '$':
        return {ttHexInt, 1 + RunLength(s, p + 1, IsHexDigit), peNone};
    case '#': {
        if (c2 == '$') return {ttChar, 2 + RunLength(s, p + 2, IsHexDigit), peNone};
        const std::uint32_t len = 1 + RunLength(s, p + 1, IsDigit);
        if (IsLetter(s[p + len])) return {ttChar, len, peCharCodeError};
        return {ttChar, len, peNone};
    }
    case '\'': {
        std::uint32_t q = p + 1;
        while (s[q] != '\'' && s[q] != '\r' && s[q] != '\n' && s[q] != '\0')
            ++q;
        if (s[q] != '\'') return {ttString, q - p + 1, peStringNotClosed};
        return {ttString, q - p + 1, peNone};
    }
    case '{': {
        std::uint32_t q = p + 1;
        while (s[q] != '}' && s[q] != '\0')
            ++q;
        if (s[q] == '\0') return {ttComment, 0, peCommentNotClosed};
        return {ttComment, q - p + 1, peNone};
    }
    case '(': {
        if (c2 != '*') return one(ttOpenRound);
        // The search for "*)" starts at the "*" of "(*", so "(*)" is a whole comment.
        std::uint32_t q = p + 1;
        while (!(s[q] == '*' && s[q + 1] == ')') && s[q] != '\0')
            ++q;
        if (s[q] == '\0') return {ttComment, 0, peCommentNotClosed};
        return {ttComment, q - p + 2, peNone};
    }
    case '/': {
        if (c2 != '/') return one(ttDivide);
        std::uint32_t q = p + 2;
        while (s[q] != '\r' && s[q] != '\n' && s[q] != '\0')
            ++q;
        if (s[q] == '\0') return {ttComment, 0, peCommentNotClosed};
        ++q; // the line break itself
        if (s[q] == '\r' || s[q] == '\n') ++q;
        return {ttComment, q - p, peNone};
    }
    case ':':
        return c2 == '=' ? two(ttAssignment) : one(ttColon);
    case '<':
        if (c2 == '=') return two(ttLessEqual);
        return c2 == '>' ? two(ttNotEqual) : one(ttLess);
    case '>':
        return c2 == '=' ? two(ttGreaterEqual) : one(ttGreater);
    case '=':
        return one(ttEqual);
    case ')':
        return one(ttCloseRound);
    case '[':
        return one(ttOpenBlock);
    case ']':
        return one(ttCloseBlock);
    case ',':
        return one(ttComma);
    case '.':
        return one(ttPeriod);
    case '@':
        return one(ttAddressOf);
    case '^':
        return one(ttDereference);
    case ';':
        return one(ttSemicolon);
    case '+':
        return one(ttPlus);
    case '-':
        return one(ttMinus);
    case '*':
        return one(ttMultiply);
    default:
        return {ttEOF, 1, peUnexpectedChar};
    }
}

} // namespace lumivar::script
