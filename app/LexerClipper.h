// Highlighter of CA-Clipper: the word-based lexer with the language's commands and keywords,
// the comment forms //, &&, /* */, and * or NOTE first on a line, strings in "..." and '...',
// the dotted logical words and the preprocessor lines.
#pragma once

#include "app/WordLexer.h"

namespace lumivar {

class TLexerClipper final : public TWordLexer {
    Q_OBJECT
public:
    explicit TLexerClipper(QObject* parent = nullptr);
};

} // namespace lumivar
