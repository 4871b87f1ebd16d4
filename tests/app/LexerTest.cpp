// The word-based highlighters of Visual Basic and CA-Clipper: the style of every byte of a
// line, written as one letter per byte, and block comments carried over lines in the editor.
#include "app/LexerBasic.h"
#include "app/LexerClipper.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

// d default, c comment, b block comment, k keyword, n number, s string, o operator,
// i identifier, p preprocessor.
std::string Letters(const std::string& styles) {
    static const char letters[] = "dcbknsoip";
    std::string out;
    for (char s : styles) out += letters[int(s)];
    return out;
}

struct StyleCase {
    const char* text;
    const char* styles;
};

const StyleCase kBasicCases[] = {
    {"Dim x As Integer", "kkkdidkkdkkkkkkk"},
    {"x = \"a\"\"b\" ' note", "idodssssssdcccccc"},
    {"Rem all of it", "ccccccccccccc"},
    {"Remove = 1", "iiiiiidodn"},
    {"y = &HFF + 1.5E3#", "idodnnnndodnnnnnn"},
    {"If a<>b Then", "kkdiooidkkkk"},
    {"#If Win32 Then", "pppppppppppppp"},
    {"s = \"open", "idodsssss"},
    {"x = Привет", "idodiiiiiiiiiiii"},
};

const StyleCase kClipperCases[] = {
    {"LOCAL nX := 10", "kkkkkdiidoodnn"},
    {"* whole line", "cccccccccccc"},
    {"  NOTE also", "ddccccccccc"},
    {"NOTEBOOK := 1", "iiiiiiiidoodn"},
    {"x := 'a' + \"b\" // c", "idoodsssdodsssdcccc"},
    {"x := 2 * 3 && c", "idoodndodndcccc"},
    {"IF a .AND. .T.", "kkdidkkkkkdkkk"},
    {"#include \"x.ch\"", "ppppppppppppppp"},
    {"a /* b */ c", "idbbbbbbbdi"},
    {"@ 1, 2 SAY x", "odnodndkkkdi"},
};

template <std::size_t N>
void ExpectStyles(const TWordLexer& lexer, const StyleCase (&cases)[N]) {
    for (const StyleCase& c : cases) EXPECT_EQ(Letters(lexer.StyleBytes(c.text)), c.styles) << c.text;
}

TEST(LexerBasic, StylesEveryByte) {
    const TLexerBasic lexer;
    ExpectStyles(lexer, kBasicCases);
}

TEST(LexerClipper, StylesEveryByte) {
    const TLexerClipper lexer;
    ExpectStyles(lexer, kClipperCases);
}

TEST(LexerClipper, BlockCommentsCarryOverLinesInTheEditor) {
    QsciScintilla memo;
    memo.setUtf8(true);
    TLexerClipper lexer;
    memo.setLexer(&lexer);
    memo.setText("a /* one\ntwo\nthree */ b\nc");
    memo.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    auto styleAt = [&](int line, int index) {
        return int(memo.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, memo.positionFromLineIndex(line, index)));
    };
    EXPECT_EQ(styleAt(0, 0), TWordLexer::Identifier);
    EXPECT_EQ(styleAt(1, 1), TWordLexer::BlockComment);
    EXPECT_EQ(styleAt(2, 0), TWordLexer::BlockComment);
    EXPECT_EQ(styleAt(2, 9), TWordLexer::Identifier);
    EXPECT_EQ(styleAt(3, 0), TWordLexer::Identifier);

    // Closing the comment early restyles the lines after the edit.
    memo.insertAt("*/", 1, 0);
    memo.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(styleAt(1, 3), TWordLexer::Identifier);
    EXPECT_EQ(styleAt(2, 0), TWordLexer::Identifier);
    memo.setLexer(nullptr);
}

} // namespace
} // namespace lumivar
