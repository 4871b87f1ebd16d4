// Highlighter of Visual Basic: the word-based lexer with the language's keywords, ' and REM
// comments, "..." strings and &H / &O numbers.
#pragma once

#include "app/WordLexer.h"

namespace lumivar {

class TLexerBasic final : public TWordLexer {
    Q_OBJECT
public:
    explicit TLexerBasic(QObject* parent = nullptr);
};

} // namespace lumivar
