// Syntax modes: the extension rules, the mode of a file name, the one check mark in menu and
// context menu, status panel 7, the highlighter of each mode, its token colours and the file
// filters of the dialogs.
#include "app/Highlighters.h"
#include "app/ScriptEditor.h"
#include "app/WordLexer.h"
#include "app/util/InteractivePrompter.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"
#include "tests/support/WindowTesting.h"

#include <Qsci/qscilexerbatch.h>
#include <Qsci/qscilexerpascal.h>

#include <QAction>
#include <QLabel>
#include <QMenu>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace lumivar {
namespace {

using test::TestPrompter;

TEST(SyntaxOfExtension, SubstringRulesOverTheFilters) {
    const struct {
        const char* ext;
        int mode;
    } cases[] = {
        {".pas", 1}, {".PAS", 1},  {".dpr", 1},   {".dpk", 1},   {".bas", 2}, {".bat", 3},  {".cmd", 3},
        {".prg", 4}, {".ch", 4},   {".htm", 6},   {".html", 6},  {".php", 7}, {".php3", 7}, {".phtml", 7},
        {".inc", 7}, {".txt", 5},  {".TXT", 5},   {".", 5},      {"", 0},     {".xyz", 0},  {".h", 6},
        {".p", 7},   {".b", 3},    {".t", 5},     {".пас", 0},   {"pas", 1},  {"Files", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TfScriptEditor::SyntaxOfExtension(QString::fromUtf8(c.ext)), c.mode) << c.ext;
}

TEST(SyntaxModes, FileNamesChooseTheModeOfTheirExtension) {
    const struct {
        const char* name;
        int mode;
        const char* caption;
    } cases[] = {
        {"/w/a.php3", 7, "PHP скрипт"},       {"/w/a.htm", 6, "HTML код"},   {"/w/a.inc", 7, "PHP скрипт"},
        {"/w/a.txt", 0, "Нет"},               {"/w/noext", 0, "Нет"},        {"/w/dir.pas/file", 0, "Нет"},
        {"/w/a.", 0, "Нет"},                  {"/w/A.PRG", 4, "CA Clipper"}, {"/w/a.cmd", 3, "BAT- файлы (DOS)"},
        {"/w/a.bas", 2, "Visual Basic"},      {"/w/a.dpr", 1, "Delphi (Pascal)"},
    };
    TestPrompter prompter;
    const auto w = StartUp({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        w->SetFileName(QString::fromUtf8(c.name));
        EXPECT_EQ(w->SyntaxMode, c.mode);
        EXPECT_EQ(w->SB[7]->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(w->Memo->lexer(), w->HighlighterOf(c.mode));
        EXPECT_TRUE(w->SyntaxCommandOf(c.mode)->isChecked());
    }
}

TEST(SyntaxModes, EachCommandSelectsItsModeWithOneCheckMark) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const int codes[] = {0, 1, 2, 3, 4, 6, 7};
    const auto commands = w->SyntaxCommands();
    for (std::size_t i = 0; i < commands.size(); ++i) {
        QAction* command = commands[i];
        SCOPED_TRACE(command->objectName().toStdString());
        command->trigger();
        command->trigger(); // choosing the marked command again keeps the mark
        EXPECT_EQ(w->SyntaxMode, codes[i]);
        EXPECT_EQ(w->SB[7]->text(), command->text());
        EXPECT_EQ(w->Memo->lexer(), w->HighlighterOf(codes[i]));
        for (QMenu* menu : {w->MenuSyntax, w->PopupMenu}) {
            int marked = 0;
            for (QAction* a : menu->actions()) marked += a->isChecked();
            EXPECT_EQ(marked, 1);
            EXPECT_TRUE(menu->actions().contains(command));
        }
        EXPECT_TRUE(command->isChecked());
    }
}

TEST(SyntaxModes, HighlightersOfTheModes) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const struct {
        int mode;
        const char* language;
    } cases[] = {{1, "Pascal"}, {2, "Visual Basic"}, {3, "Batch"}, {4, "CA-Clipper"}, {6, "HTML"}, {7, "HTML"}};
    for (const auto& c : cases) {
        ASSERT_NE(w->HighlighterOf(c.mode), nullptr);
        EXPECT_STREQ(w->HighlighterOf(c.mode)->language(), c.language);
    }
    EXPECT_NE(w->HTML, w->PHP);
    EXPECT_EQ(w->HighlighterOf(0), nullptr);
    EXPECT_EQ(w->HighlighterOf(5), nullptr);
    EXPECT_EQ(w->SyntaxCommandOf(5), w->actNoSintax);
    EXPECT_EQ(w->SyntaxCommandOf(200), w->actNoSintax);
}

TEST(SyntaxModes, TokenColours) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const struct {
        QsciLexer* lexer;
        int style;
        QRgb colour;
        bool bold;
    } cases[] = {
        {w->Pas, QsciLexerPascal::Comment, 0x008000, false},
        {w->Pas, QsciLexerPascal::CommentParenthesis, 0x008000, false},
        {w->Pas, QsciLexerPascal::CommentLine, 0x008000, false},
        {w->Pas, QsciLexerPascal::PreProcessor, 0x008000, false},
        {w->Pas, QsciLexerPascal::Keyword, 0x000080, false},
        {w->Pas, QsciLexerPascal::Number, 0xFF0000, false},
        {w->Pas, QsciLexerPascal::HexNumber, 0x800080, false},
        {w->Pas, QsciLexerPascal::SingleQuotedString, 0x0000FF, false},
        {w->Pas, QsciLexerPascal::Operator, 0xFF00FF, true},
        {w->Bat, QsciLexerBatch::Comment, 0x008000, false},
        {w->Bat, QsciLexerBatch::Keyword, 0x000080, false},
        {w->Bat, QsciLexerBatch::Variable, 0xFF00FF, false},
        {w->Bas, TWordLexer::Comment, 0x008000, false},
        {w->Bas, TWordLexer::Keyword, 0x000080, false},
        {w->Bas, TWordLexer::Number, 0xFF0000, false},
        {w->Bas, TWordLexer::String, 0x0000FF, false},
        {w->Bas, TWordLexer::Operator, 0xFF00FF, true},
        {w->Prg, TWordLexer::BlockComment, 0x008000, false},
        {w->Prg, TWordLexer::Operator, 0xFF00FF, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lexer->language() << " style " << c.style);
        EXPECT_EQ(c.lexer->color(c.style).rgb() & 0xFFFFFF, c.colour);
        if (c.bold) {
            EXPECT_TRUE(c.lexer->font(c.style).bold());
        }
        EXPECT_EQ(c.lexer->font(c.style).family(), w->MemoFont().family());
    }
}

TEST(SyntaxModes, FileFiltersOfBothDialogs) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const QString expected = QString::fromUtf8(
        "Все файлы|*.*"
        "|Pascal Files (*.pas,*.dpr,*.dpk,*.inc)|*.pas;*.dpr;*.dpk;*.inc"
        "|Visual Basic Files (*.bas)|*.bas"
        "|MS-DOS Batch Files (*.bat;*.cmd)|*.bat;*.cmd"
        "|CA-Clipper Files (*.prg,*.ch,*.inc)|*.prg;*.ch;*.inc"
        "|HTML Document (*.htm,*.html)|*.htm;*.html"
        "|PHP Files (*.php,*.php3,*.phtml,*.inc)|*.php;*.php3;*.phtml;*.inc");
    EXPECT_EQ(w->OpenDialog.filter, expected);
    EXPECT_EQ(w->SaveDialog.filter, expected);
    EXPECT_EQ(w->OpenDialog.filterIndex, 1);
    EXPECT_EQ(w->OpenDialog.title, QString::fromUtf8("Загрузить из файла"));
    EXPECT_EQ(QtNameFilters(expected).size(), 7);
}

TEST(SyntaxModes, FontAndBackgroundReachEveryHighlighter) {
    TestPrompter prompter;
    const auto w = StartUp({});
    QFont font("Liberation Mono", 12);
    w->SetMemoFont(font);
    w->SetMemoColor(QColor(0xFF, 0xFF, 0xE0));
    for (QsciLexer* lexer : {w->Pas, w->Bas, w->Bat, w->Prg, w->HTML, w->PHP}) {
        EXPECT_EQ(lexer->font(lexer->defaultStyle()).pointSize(), 12) << lexer->language();
        EXPECT_EQ(lexer->paper(lexer->defaultStyle()), QColor(0xFF, 0xFF, 0xE0)) << lexer->language();
    }
    EXPECT_TRUE(w->Pas->font(QsciLexerPascal::Operator).bold());
    w->actNoSintax->trigger();
    EXPECT_EQ(w->Memo->paper(), QColor(0xFF, 0xFF, 0xE0));
}

// The gutter's own font: face and size in hundredths of a point, as the component holds them.
std::pair<std::string, long> GutterFont(const TEditorMemo& memo) {
    char face[64] = {};
    memo.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, QsciScintillaBase::STYLE_LINENUMBER, face);
    return {face, memo.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL,
                                     QsciScintillaBase::STYLE_LINENUMBER)};
}

TEST(SyntaxModes, TheLineNumbersKeepTheirSmallFontInEveryModeAndAfterAFontChange) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const std::pair<std::string, long> small{"Small Fonts", 675}; // 9 pixels at 96 dots per inch
    ASSERT_EQ(GutterFont(*w->Memo), small);
    for (QAction* command : w->SyntaxCommands()) {
        command->trigger();
        EXPECT_EQ(GutterFont(*w->Memo), small) << command->text().toStdString();
    }
    w->actNoSintax->trigger();
    EXPECT_EQ(GutterFont(*w->Memo), small);
    for (QAction* command : {w->actNoSintax, w->actBasSintax}) {
        command->trigger();
        w->SetMemoFont(QFont("Liberation Mono", 14));
        EXPECT_EQ(GutterFont(*w->Memo), small) << command->text().toStdString();
    }
}

// The face and size (in hundredths of a point) of the style of every character of the text.
std::set<std::pair<std::string, long>> TextFonts(const TEditorMemo& memo) {
    std::set<std::pair<std::string, long>> fonts;
    for (long at = 0; at < memo.length(); ++at) {
        const long style = memo.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, at);
        char face[64] = {};
        memo.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, face);
        fonts.insert({face, memo.SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, style)});
    }
    return fonts;
}

TEST(SyntaxModes, WithoutAHighlighterTheWholeTextIsInTheEditorsFont) {
    TestPrompter prompter;
    const auto w = StartUp({});
    w->actPasSintax->trigger();
    w->Memo->LoadText("program P;\n{ comment }\nbegin\n  s := 'x' + 1;\nend.");
    w->Memo->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    ASSERT_NE(w->Memo->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, 0), 0); // "program" highlighted
    using Fonts = std::set<std::pair<std::string, long>>;
    for (QAction* command : {w->actNoSintax, w->actBasSintax, w->actNoSintax}) {
        command->trigger();
        w->Memo->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
        EXPECT_EQ(TextFonts(*w->Memo), (Fonts{{"Courier New", 900}})) << command->text().toStdString();
    }
    w->SetMemoFont(QFont("Liberation Mono", 14));
    EXPECT_EQ(TextFonts(*w->Memo), (Fonts{{"Liberation Mono", 1400}}));
}

// The editor's auto-indent keeps the indentation of the line above in every mode; no mode
// adds or takes away indentation for the words of its language.
TEST(SyntaxModes, EnterKeepsTheIndentationOfTheLineAboveInEveryMode) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    const struct {
        const char* text; // the caret goes to its end
        const char* expected;
    } cases[] = {
        {"program P;\nbegin\n  x := 1;\nend.", "program P;\nbegin\n  x := 1;\nend.\n"},
        {"begin\n  x := 1;\n  {$R+}\nend.", "begin\n  x := 1;\n  {$R+}\nend.\n"},
        {"begin", "begin\n"},
        {"  begin", "  begin\n  "},
        {"    x := 1;\n  end", "    x := 1;\n  end\n  "},
        {"if a then", "if a then\n"},
        {"<html>", "<html>\n"},
        {"  {", "  {\n  "},
        {"Sub Main()", "Sub Main()\n"},
    };
    for (QAction* command : w->SyntaxCommands()) {
        command->trigger();
        for (const auto& c : cases) {
            w->Memo->LoadText(QString::fromUtf8(c.text));
            w->Memo->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
            QTest::keyClick(w->Memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(w->Memo, Qt::Key_Return);
            EXPECT_EQ(w->Memo->text(), QString::fromUtf8(c.expected)) << command->text().toStdString();
        }
    }
}

} // namespace
} // namespace lumivar
