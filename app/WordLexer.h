// A small highlighter on QScintilla's custom-lexer base for languages made of words, numbers,
// strings, comments and operator characters. A language is described by data (its rules and
// keyword list); the one subclass per language only supplies them. Block comments carry over
// line ends through the style of the line break, so styling can restart at any line.
#pragma once

#include <Qsci/qscilexercustom.h>

#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

namespace lumivar {

struct WordLexerRules {
    const char* language;
    std::span<const std::string_view> keywords;          // upper case; may hold dotted words
    std::span<const std::string_view> lineComments;      // to the end of the line, anywhere
    std::span<const std::string_view> lineStartComments; // only as the first thing on a line
    std::string_view blockOpen;                          // empty: no block comments
    std::string_view blockClose;
    std::string_view quotes;           // characters that open and close a string
    std::span<const std::string_view> radixPrefixes; // "&H" and the like; hexadecimal digits follow
    std::string_view numberSuffixes;   // type characters allowed after a number
    std::string_view operators;        // characters styled as operators
    bool preprocessorLines;            // '#' first on a line starts a preprocessor line
    bool dottedWords;                  // ".AND." and the like are words
};

class TWordLexer : public QsciLexerCustom {
    Q_OBJECT
public:
    enum Style {
        Default,
        Comment,
        BlockComment,
        Keyword,
        Number,
        String,
        Operator,
        Identifier,
        Preprocessor,
        StyleCount
    };

    TWordLexer(const WordLexerRules& rules, QObject* parent);

    const char* language() const override { return rules_.language; }
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QFont defaultFont(int style) const override;
    bool caseSensitive() const override { return false; }
    void styleText(int start, int end) override;

    // The styles of a text as the lexer gives them, one per byte; for tests.
    std::string StyleBytes(std::string_view text) const;

private:
    // Styles text, starting inside a block comment or not; appends one style per byte.
    void Scan(std::string_view text, bool inBlock, std::string& styles) const;
    bool IsKeyword(std::string_view word) const;

    WordLexerRules rules_;
    std::unordered_set<std::string> keywords_;
};

} // namespace lumivar
