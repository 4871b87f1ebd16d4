// The six highlighters of the syntax modes: creation with their token colours, their file
// filters in the window's order, and the choice of a mode from a file extension.
#pragma once

#include <QString>

#include <span>

class QColor;
class QFont;
class QObject;
class QsciLexer;

namespace lumivar {

// Syntax mode codes; 5 (plain text) is only ever a result of SyntaxOfExtension.
enum SyntaxCode : int {
    kSyntaxNone = 0,
    kSyntaxPas = 1,
    kSyntaxBas = 2,
    kSyntaxBat = 3,
    kSyntaxPrg = 4,
    kSyntaxText = 5,
    kSyntaxHtml = 6,
    kSyntaxPhp = 7,
};

struct HighlighterInfo {
    SyntaxCode mode;
    const char* filter; // "Description|*.a;*.b"
};

// In the window's order: Pas, Bas, Bat, Prg, HTML, PHP.
std::span<const HighlighterInfo> HighlighterTable();

// A new highlighter of a mode with its token colours; nullptr for modes without one.
QsciLexer* CreateHighlighter(SyntaxCode mode, QObject* parent);

// Sets the editor font on every style, keeping each style's bold and italic.
void ApplyHighlighterFont(QsciLexer& lexer, const QFont& font);
void ApplyHighlighterPaper(QsciLexer& lexer, const QColor& paper);

// The mode of a file extension with its leading dot (".pas"), or empty: the last highlighter
// whose whole filter text holds the extension as a substring, without regard to case; 5 when
// ".txt" holds it; 0 otherwise.
int SyntaxOfExtension(const QString& ext);

// "Все файлы|*.*" followed by "|" and each highlighter's filter.
QString BuildFileFilter();

} // namespace lumivar
