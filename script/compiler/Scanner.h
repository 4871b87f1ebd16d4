// TIfPascalParser: the scanner that turns script text (code page 1251 bytes) into tokens.
// It never raises: a scanning error becomes an end-of-text token of length 0 at the error's
// position, so the compiler simply stops reading there, and the kind goes to OnParserError.
#pragma once

#include "script/compiler/Tokens.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lumivar::script {

// Scanner error kinds, passed to OnParserError; the compiler records kind + 1 as its code.
enum TParserError : std::uint8_t {
    peNone = 0,
    peCommentNotClosed = 1, // also a "//" comment at the very end of the text
    peStringNotClosed = 2,  // a quoted text not closed on its line
    peCharCodeError = 3,    // a letter or "_" right after the digits of a "#" character code
    peUnexpectedChar = 4,   // a character that starts no token
};

class TIfPascalParser {
public:
    using TParserErrorEvent =
        std::function<void(TIfPascalParser& sender, TParserError kind, std::uint32_t position)>;

    // Copies the text and scans its first token. The text ends at its first character 0.
    void SetText(std::string_view s);
    // Moves to the next token, skipping comments and blanks.
    void Next();

    // The scanner's own copy of the text; an empty text reads as no text at all.
    std::string Text;
    std::uint32_t TokenPos = 0; // offset of the current token's first character
    std::uint32_t TokenLen = 0; // length of the current token
    TPasToken Token = ttEOF;
    // Identifiers: the upper-cased spelling; the five literal kinds: the spelling as written.
    std::string TokenText;
    // Identifiers and the five literal kinds: the spelling as written.
    std::string OriginalToken;
    TParserErrorEvent OnParserError;

private:
    struct Scanned {
        TPasToken kind;
        std::uint32_t length;
        TParserError error;
    };
    Scanned ScanAt(std::uint32_t p) const;
};

} // namespace lumivar::script
