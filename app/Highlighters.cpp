// The highlighters: QScintilla's own lexers for Pascal, batch files and HTML with PHP, the
// word-based lexers of our own for Visual Basic and CA-Clipper, and the token colours.
#include "app/Highlighters.h"

#include "app/LexerBasic.h"
#include "app/LexerClipper.h"

#include <Qsci/qscilexerbatch.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qsciscintilla.h>

#include <QLocale>

#include <array>

namespace lumivar {
namespace {

constexpr std::array<HighlighterInfo, 6> kHighlighters = {{
    {kSyntaxPas, "Pascal Files (*.pas,*.dpr,*.dpk,*.inc)|*.pas;*.dpr;*.dpk;*.inc"},
    {kSyntaxBas, "Visual Basic Files (*.bas)|*.bas"},
    {kSyntaxBat, "MS-DOS Batch Files (*.bat;*.cmd)|*.bat;*.cmd"},
    {kSyntaxPrg, "CA-Clipper Files (*.prg,*.ch,*.inc)|*.prg;*.ch;*.inc"},
    {kSyntaxHtml, "HTML Document (*.htm,*.html)|*.htm;*.html"},
    {kSyntaxPhp, "PHP Files (*.php,*.php3,*.phtml,*.inc)|*.php;*.php3;*.phtml;*.inc"},
}};

// Token colours of QScintilla's own lexers; the lexers of our own carry theirs. The Pascal
// lexer has one style for integer and floating-point numbers, and the batch lexer none for
// numbers.
struct TokenColour {
    SyntaxCode mode;
    int style;
    QRgb colour;
    bool bold; // made bold; otherwise the lexer's own weight stays
};
constexpr TokenColour kTokenColours[] = {
    {kSyntaxPas, QsciLexerPascal::Comment, 0x008000, false},
    {kSyntaxPas, QsciLexerPascal::CommentParenthesis, 0x008000, false},
    {kSyntaxPas, QsciLexerPascal::CommentLine, 0x008000, false},
    {kSyntaxPas, QsciLexerPascal::PreProcessor, 0x008000, false},
    {kSyntaxPas, QsciLexerPascal::PreProcessorParenthesis, 0x008000, false},
    {kSyntaxPas, QsciLexerPascal::Keyword, 0x000080, false},
    {kSyntaxPas, QsciLexerPascal::Number, 0xFF0000, false},
    {kSyntaxPas, QsciLexerPascal::HexNumber, 0x800080, false},
    {kSyntaxPas, QsciLexerPascal::SingleQuotedString, 0x0000FF, false},
    {kSyntaxPas, QsciLexerPascal::UnclosedString, 0x0000FF, false},
    {kSyntaxPas, QsciLexerPascal::Character, 0x0000FF, false},
    {kSyntaxPas, QsciLexerPascal::Operator, 0xFF00FF, true},
    {kSyntaxBat, QsciLexerBatch::Comment, 0x008000, false},
    {kSyntaxBat, QsciLexerBatch::Keyword, 0x000080, false},
    {kSyntaxBat, QsciLexerBatch::Variable, 0xFF00FF, false},
};

QsciLexer* NewLexer(SyntaxCode mode, QObject* parent) {
    switch (mode) {
    case kSyntaxPas: return new QsciLexerPascal(parent);
    case kSyntaxBas: return new TLexerBasic(parent);
    case kSyntaxBat: return new QsciLexerBatch(parent);
    case kSyntaxPrg: return new TLexerClipper(parent);
    case kSyntaxHtml:
    case kSyntaxPhp: return new QsciLexerHTML(parent);
    default: return nullptr;
    }
}

// QScintilla's lexers number their styles below 128; a style exists when it has a description.
constexpr int kMaxStyle = 128;

} // namespace

std::span<const HighlighterInfo> HighlighterTable() { return kHighlighters; }

QsciLexer* CreateHighlighter(SyntaxCode mode, QObject* parent) {
    QsciLexer* lexer = NewLexer(mode, parent);
    if (!lexer) return nullptr;
    // The editor's auto-indent keeps the indentation of the line above, in every language;
    // the component's lexers would otherwise indent after their block words.
    lexer->setAutoIndentStyle(QsciScintilla::AiMaintain);
    for (const TokenColour& t : kTokenColours) {
        if (t.mode != mode) continue;
        lexer->setColor(QColor::fromRgb(t.colour), t.style);
        if (!t.bold) continue;
        QFont font = lexer->font(t.style);
        font.setBold(true);
        lexer->setFont(font, t.style);
    }
    return lexer;
}

void ApplyHighlighterFont(QsciLexer& lexer, const QFont& font) {
    lexer.setDefaultFont(font);
    for (int style = 0; style < kMaxStyle; ++style) {
        if (lexer.description(style).isEmpty()) continue;
        const QFont current = lexer.font(style);
        QFont styled = font;
        styled.setBold(current.bold());
        styled.setItalic(current.italic());
        lexer.setFont(styled, style);
    }
}

void ApplyHighlighterPaper(QsciLexer& lexer, const QColor& paper) {
    lexer.setDefaultPaper(paper);
    lexer.setPaper(paper, -1);
}

int SyntaxOfExtension(const QString& ext) {
    if (ext.isEmpty()) return kSyntaxNone;
    const QLocale locale;
    const QString upper = locale.toUpper(ext);
    int result = kSyntaxNone;
    for (const HighlighterInfo& h : kHighlighters)
        if (locale.toUpper(QString::fromUtf8(h.filter)).contains(upper)) result = h.mode;
    if (locale.toUpper(QStringLiteral(".txt")).contains(upper)) result = kSyntaxText;
    return result;
}

QString BuildFileFilter() {
    QString filter = QStringLiteral("Все файлы|*.*");
    for (const HighlighterInfo& h : kHighlighters) filter += QLatin1Char('|') + QString::fromUtf8(h.filter);
    return filter;
}

} // namespace lumivar
