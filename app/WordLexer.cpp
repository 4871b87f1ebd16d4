// Scanner of the word-based highlighters: one pass over the bytes of a range, giving every byte
// a style.
#include "app/WordLexer.h"

#include <Qsci/qsciscintilla.h>

#include <QFont>

#include <algorithm>

namespace lumivar {
namespace {

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Does text hold token at i, without regard to case? A token ending in a letter must end a
// word there unless it is a prefix.
bool TokenAt(std::string_view text, std::size_t i, std::string_view token, bool prefix = false) {
    if (token.empty() || text.size() - i < token.size()) return false;
    for (std::size_t k = 0; k < token.size(); ++k)
        if (std::toupper(static_cast<unsigned char>(text[i + k])) != std::toupper(static_cast<unsigned char>(token[k])))
            return false;
    if (prefix || !IsWordStart(static_cast<unsigned char>(token.back()))) return true;
    const std::size_t after = i + token.size();
    return after >= text.size() || !IsWordChar(static_cast<unsigned char>(text[after]));
}

bool AnyTokenAt(std::string_view text, std::size_t i, std::span<const std::string_view> tokens, bool prefix = false) {
    return std::any_of(tokens.begin(), tokens.end(), [&](std::string_view t) { return TokenAt(text, i, t, prefix); });
}

std::size_t LineEndFrom(std::string_view text, std::size_t i) {
    while (i < text.size() && !IsLineEnd(text[i])) ++i;
    return i;
}

} // namespace

TWordLexer::TWordLexer(const WordLexerRules& rules, QObject* parent) : QsciLexerCustom(parent), rules_(rules) {
    for (std::string_view k : rules.keywords) keywords_.insert(Upper(k));
}

QString TWordLexer::description(int style) const {
    switch (style) {
    case Default: return QStringLiteral("Default");
    case Comment: return QStringLiteral("Comment");
    case BlockComment: return QStringLiteral("Block comment");
    case Keyword: return QStringLiteral("Keyword");
    case Number: return QStringLiteral("Number");
    case String: return QStringLiteral("String");
    case Operator: return QStringLiteral("Operator");
    case Identifier: return QStringLiteral("Identifier");
    case Preprocessor: return QStringLiteral("Preprocessor");
    default: return {};
    }
}

QColor TWordLexer::defaultColor(int style) const {
    switch (style) {
    case Comment:
    case BlockComment: return QColor(0x00, 0x80, 0x00);
    case Keyword: return QColor(0x00, 0x00, 0x80);
    case Number: return QColor(0xFF, 0x00, 0x00);
    case String: return QColor(0x00, 0x00, 0xFF);
    case Operator: return QColor(0xFF, 0x00, 0xFF);
    case Preprocessor: return QColor(0x00, 0x80, 0x80);
    default: return QColor(0x00, 0x00, 0x00);
    }
}

QFont TWordLexer::defaultFont(int style) const {
    QFont font = QsciLexerCustom::defaultFont(style);
    font.setBold(style == Keyword || style == Operator);
    return font;
}

bool TWordLexer::IsKeyword(std::string_view word) const { return keywords_.count(Upper(word)) > 0; }

void TWordLexer::Scan(std::string_view text, bool inBlock, std::string& styles) const {
    const std::size_t n = text.size();
    auto mark = [&](std::size_t length, Style style) { styles.append(length, char(style)); };
    bool lineStart = true; // nothing but blanks seen on this line yet
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (inBlock) {
            const std::size_t close = text.find(rules_.blockClose, i);
            const std::size_t stop = close == std::string_view::npos ? n : close + rules_.blockClose.size();
            mark(stop - i, BlockComment);
            inBlock = close == std::string_view::npos;
            i = stop;
            continue;
        }
        if (IsLineEnd(char(c)) || c == ' ' || c == '\t') {
            mark(1, Default);
            if (IsLineEnd(char(c))) lineStart = true;
            ++i;
            continue;
        }
        const bool first = lineStart;
        lineStart = false;
        std::size_t stop = i + 1;
        Style style = Default;
        if (!rules_.blockOpen.empty() && TokenAt(text, i, rules_.blockOpen)) {
            inBlock = true;
            mark(rules_.blockOpen.size(), BlockComment);
            i += rules_.blockOpen.size();
            continue;
        }
        if (AnyTokenAt(text, i, rules_.lineComments) || (first && AnyTokenAt(text, i, rules_.lineStartComments))) {
            stop = LineEndFrom(text, i);
            style = Comment;
        } else if (first && rules_.preprocessorLines && c == '#') {
            stop = LineEndFrom(text, i);
            style = Preprocessor;
        } else if (rules_.quotes.find(char(c)) != std::string_view::npos) {
            // A doubled quote inside a string stands for the quote itself.
            stop = i + 1;
            while (stop < n && !IsLineEnd(text[stop])) {
                if (text[stop] == char(c)) {
                    if (stop + 1 < n && text[stop + 1] == char(c)) {
                        stop += 2;
                        continue;
                    }
                    ++stop;
                    break;
                }
                ++stop;
            }
            style = String;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
            stop = i;
            while (stop < n && (std::isdigit(static_cast<unsigned char>(text[stop])) || text[stop] == '.')) ++stop;
            if (stop < n && (text[stop] == 'e' || text[stop] == 'E')) {
                std::size_t e = stop + 1;
                if (e < n && (text[e] == '+' || text[e] == '-')) ++e;
                if (e < n && std::isdigit(static_cast<unsigned char>(text[e]))) {
                    stop = e;
                    while (stop < n && std::isdigit(static_cast<unsigned char>(text[stop]))) ++stop;
                }
            }
            if (stop < n && rules_.numberSuffixes.find(text[stop]) != std::string_view::npos) ++stop;
            style = Number;
        } else if (AnyTokenAt(text, i, rules_.radixPrefixes, true)) {
            stop = i + 2;
            while (stop < n && std::isxdigit(static_cast<unsigned char>(text[stop]))) ++stop;
            if (stop < n && rules_.numberSuffixes.find(text[stop]) != std::string_view::npos) ++stop;
            style = Number;
        } else if (rules_.dottedWords && c == '.' && i + 1 < n && std::isalpha(static_cast<unsigned char>(text[i + 1]))) {
            std::size_t close = i + 1;
            while (close < n && std::isalpha(static_cast<unsigned char>(text[close]))) ++close;
            if (close < n && text[close] == '.' && IsKeyword(text.substr(i, close + 1 - i))) {
                stop = close + 1;
                style = Keyword;
            } else {
                style = Operator;
            }
        } else if (IsWordStart(c)) {
            while (stop < n && IsWordChar(static_cast<unsigned char>(text[stop]))) ++stop;
            style = IsKeyword(text.substr(i, stop - i)) ? Keyword : Identifier;
        } else if (rules_.operators.find(char(c)) != std::string_view::npos) {
            style = Operator;
        }
        mark(stop - i, style);
        i = stop;
    }
}

std::string TWordLexer::StyleBytes(std::string_view text) const {
    std::string styles;
    Scan(text, false, styles);
    return styles;
}

void TWordLexer::styleText(int start, int end) {
    QsciScintilla* memo = editor();
    if (!memo || end <= start) return;
    // Restart at the beginning of the line; the line break before it tells whether a block
    // comment is open there.
    const int line = int(memo->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    start = int(memo->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
    const bool inBlock =
        start > 0 && memo->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, start - 1) == BlockComment;
    std::string bytes(std::size_t(end - start) + 1, '\0');
    memo->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, start, end, bytes.data());
    bytes.resize(std::size_t(end - start));
    std::string styles;
    Scan(bytes, inBlock, styles);
    startStyling(start);
    for (std::size_t i = 0; i < styles.size();) {
        std::size_t run = i;
        while (run < styles.size() && styles[run] == styles[i]) ++run;
        setStyling(int(run - i), styles[i]);
        i = run;
    }
}

} // namespace lumivar
