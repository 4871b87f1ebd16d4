// The editor key table, row by row: each case loads a text, puts the caret, presses keys in the
// shown window and checks the text, the caret and the selection.
#include "app/ScriptEditor.h"
#include "tests/support/TestPrompter.h"
#include "tests/support/WindowTesting.h"

#include <QClipboard>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace lumivar {
namespace {

using test::TestPrompter;

constexpr auto Ctrl = Qt::ControlModifier;
constexpr auto Shift = Qt::ShiftModifier;
constexpr auto Alt = Qt::AltModifier;

// One key press, or typed text when text is set.
struct Press {
    Qt::Key key = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    const char* text = nullptr;
};
Press Type(const char* text) { return {Qt::Key_unknown, Qt::NoModifier, text}; }

constexpr CaretPlace kAnyPlace{-1, -1};

struct KeyCase {
    const char* name;
    const char* text;
    CaretPlace start;
    std::vector<Press> keys;
    const char* expectedText;
    CaretPlace expectedCaret = kAnyPlace;
    const char* expectedSelection = nullptr;
};

const KeyCase kKeyCases[] = {
    {"Right moves past the end of the line", "ab", {0, 2}, {{Qt::Key_Right}, {Qt::Key_Right}}, "ab", {0, 4}},
    {"typing past the end fills with blanks", "ab", {0, 2}, {{Qt::Key_Right}, Type("x")}, "ab x", {0, 4}},
    {"Down keeps the column past a short line", "abcdef\na\nabcdef", {0, 5}, {{Qt::Key_Down}}, "abcdef\na\nabcdef", {1, 5}},
    {"Shift+Right selects", "abc", {0, 0}, {{Qt::Key_Right, Shift}, {Qt::Key_Right, Shift}}, "abc", {0, 2}, "ab"},
    {"Home and End", "  abc", {0, 3}, {{Qt::Key_End}}, "  abc", {0, 5}},
    {"Home goes to column 1", "  abc", {0, 3}, {{Qt::Key_Home}}, "  abc", {0, 0}},
    {"Ctrl+Right goes a word right", "one two", {0, 0}, {{Qt::Key_Right, Ctrl}}, "one two", {0, 4}},
    {"Ctrl+Shift+Left selects a word left", "one two", {0, 7}, {{Qt::Key_Left, Ctrl | Shift}}, "one two", {0, 4}, "two"},
    {"Ctrl+End and Ctrl+Home", "ab\ncd", {0, 1}, {{Qt::Key_End, Ctrl}}, "ab\ncd", {1, 2}},
    {"Ctrl+Shift+Home selects to the start", "ab\ncd", {1, 1}, {{Qt::Key_Home, Ctrl | Shift}}, "ab\ncd", {0, 0}, "ab\nc"},
    {"Ins switches to overwrite", "abc", {0, 0}, {{Qt::Key_Insert}, Type("x")}, "xbc", {0, 1}},
    {"Del deletes a character", "abc", {0, 1}, {{Qt::Key_Delete}}, "ac", {0, 1}},
    {"Backspace deletes the previous character", "abc", {0, 1}, {{Qt::Key_Backspace}}, "bc", {0, 0}},
    {"Ctrl+Backspace deletes the previous word", "hello world", {0, 11}, {{Qt::Key_Backspace, Ctrl}}, "hello ", {0, 6}},
    {"Alt+Backspace undoes", "", {0, 0}, {Type("xy"), {Qt::Key_Backspace, Alt}}, "", {0, 0}},
    {"Alt+Shift+Backspace redoes", "", {0, 0},
     {Type("x"), {Qt::Key_Backspace, Alt}, {Qt::Key_Backspace, Alt | Shift}}, "x"},
    {"Ctrl+Shift+Z is left to the macro expander", "", {0, 0},
     {Type("x"), {Qt::Key_Backspace, Alt}, {Qt::Key_Z, Ctrl | Shift}}, ""},
    {"Ctrl+Space and Ctrl+Shift+J insert nothing", "a", {0, 1},
     {{Qt::Key_Space, Ctrl}, {Qt::Key_Escape}, {Qt::Key_J, Ctrl | Shift}, {Qt::Key_Escape}}, "a", {0, 1}},
    {"Enter breaks the line with auto-indent", "  abcd", {0, 4}, {{Qt::Key_Return}}, "  ab\n  cd", {1, 2}},
    {"Shift+Enter types no character", "abcd", {0, 2}, {{Qt::Key_Return, Shift}}, "abcd", {0, 2}},
    {"Ctrl+M breaks the line", "abcd", {0, 2}, {{Qt::Key_M, Ctrl}}, "ab\ncd", {1, 0}},
    {"Ctrl+N inserts a line and the caret stays", "abcd", {0, 2}, {{Qt::Key_N, Ctrl}}, "ab\ncd", {0, 2}},
    {"Ctrl+A selects all", "ab\ncd", {0, 0}, {{Qt::Key_A, Ctrl}}, "ab\ncd", kAnyPlace, "ab\ncd"},
    {"Ctrl+Shift+I indents the block", "a\nb\nc", {0, 0},
     {{Qt::Key_Down, Shift}, {Qt::Key_Down, Shift}, {Qt::Key_I, Ctrl | Shift}}, "  a\n  b\nc"},
    {"Ctrl+Shift+I indents the caret line", "a", {0, 0}, {{Qt::Key_I, Ctrl | Shift}}, "  a"},
    {"Ctrl+Shift+U unindents", "    a\n  b", {0, 0},
     {{Qt::Key_Down, Shift}, {Qt::Key_End, Shift}, {Qt::Key_U, Ctrl | Shift}}, "  a\nb"},
    {"Ctrl+T deletes a word", "hello world", {0, 0}, {{Qt::Key_T, Ctrl}}, "world", {0, 0}},
    {"Ctrl+Y deletes the line", "one\ntwo\nthree", {1, 1}, {{Qt::Key_Y, Ctrl}}, "one\nthree"},
    {"Ctrl+Shift+Y deletes to the end of the line", "hello world", {0, 5}, {{Qt::Key_Y, Ctrl | Shift}}, "hello", {0, 5}},
    {"Ctrl+Shift+3 sets bookmark 3, Ctrl+3 goes there", "a\nbcd\ne", {1, 2},
     {{Qt::Key_3, Ctrl | Shift}, {Qt::Key_Home, Ctrl}, {Qt::Key_3, Ctrl}}, "a\nbcd\ne", {1, 2}},
    {"a bookmark past the end of the line keeps its column", "a\nb", {1, 6},
     {{Qt::Key_0, Ctrl | Shift}, {Qt::Key_Home, Ctrl}, {Qt::Key_0, Ctrl}}, "a\nb", {1, 6}},
    {"Ctrl+digit of an unset bookmark does nothing", "a\nb", {1, 1}, {{Qt::Key_7, Ctrl}}, "a\nb", {1, 1}},
    {"Ctrl+Shift+L selects whole lines", "ab\ncd\nef", {0, 1},
     {{Qt::Key_L, Ctrl | Shift}, {Qt::Key_Down, Shift}}, "ab\ncd\nef", kAnyPlace, "ab\ncd"},
    {"Ctrl+Shift+C selects a column", "abc\ndef", {0, 0},
     {{Qt::Key_C, Ctrl | Shift}, {Qt::Key_Down, Shift}, {Qt::Key_Right, Shift}}, "abc\ndef", {1, 1}, "a\nd\n"},
    {"Ctrl+Shift+N selects normally again", "abc\ndef", {0, 0},
     {{Qt::Key_C, Ctrl | Shift}, {Qt::Key_N, Ctrl | Shift}, {Qt::Key_Down, Shift}, {Qt::Key_Right, Shift}},
     "abc\ndef", {1, 1}, "abc\nd"},
    {"Tab inserts blanks", "ab", {0, 0}, {{Qt::Key_Tab}}, "  ab", {0, 2}},
    {"Tab goes to the next word of the line above", "begin  x := 1;\n", {1, 0}, {{Qt::Key_Tab}},
     "begin  x := 1;\n       ", {1, 7}},
    {"Shift+Tab goes back", "    a", {0, 4}, {{Qt::Key_Backtab, Shift}}, "  a", {0, 2}},
    {"Ctrl+Shift+B jumps to the matching bracket", "f(a, (b))", {0, 1}, {{Qt::Key_B, Ctrl | Shift}}, "f(a, (b))", {0, 8}},
    {"Ctrl+Shift+B from after a bracket", "(a)", {0, 3}, {{Qt::Key_B, Ctrl | Shift}}, "(a)", {0, 0}},
};

class EditorKeys : public testing::Test {
protected:
    void SetUp() override {
        window_ = StartUp({});
        ASSERT_TRUE(test::ShowAndActivate(*window_));
    }

    TestPrompter prompter_;
    std::unique_ptr<TfScriptEditor> window_;
};

void Send(TEditorMemo* memo, const Press& p) {
    if (p.text) QTest::keyClicks(memo, QString::fromUtf8(p.text));
    else QTest::keyClick(memo, p.key, p.modifiers);
}

TEST_F(EditorKeys, KeyTable) {
    TEditorMemo* memo = window_->Memo;
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.name);
        memo->setOverwriteMode(false);
        memo->SetSelectionMode(SelectionMode::Normal);
        memo->LoadText(QString::fromUtf8(c.text));
        memo->SetCaret(c.start);
        for (const Press& p : c.keys) Send(memo, p);
        EXPECT_EQ(memo->text(), QString::fromUtf8(c.expectedText));
        if (c.expectedCaret != kAnyPlace) {
            EXPECT_EQ(memo->Caret().line, c.expectedCaret.line);
            EXPECT_EQ(memo->Caret().column, c.expectedCaret.column);
        }
        if (c.expectedSelection) {
            EXPECT_EQ(memo->selectedText(), QString::fromUtf8(c.expectedSelection));
        }
    }
}

TEST_F(EditorKeys, ClipboardKeys) {
    TEditorMemo* memo = window_->Memo;
    memo->LoadText("abc");
    memo->setSelection(0, 0, 0, 2);
    QTest::keyClick(memo, Qt::Key_Insert, Ctrl);
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    QTest::keyClick(memo, Qt::Key_Delete, Shift);
    EXPECT_EQ(memo->text(), "c");
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClick(memo, Qt::Key_Insert, Shift);
    EXPECT_EQ(memo->text(), "cab");
}

TEST_F(EditorKeys, ColumnSelectionIsRectangular) {
    TEditorMemo* memo = window_->Memo;
    memo->LoadText("abc\ndef\nghi");
    memo->SetCaret({0, 1});
    QTest::keyClick(memo, Qt::Key_C, Ctrl | Shift);
    QTest::keyClick(memo, Qt::Key_Down, Shift);
    QTest::keyClick(memo, Qt::Key_Down, Shift);
    QTest::keyClick(memo, Qt::Key_Right, Shift);
    EXPECT_TRUE(memo->SendScintilla(QsciScintillaBase::SCI_SELECTIONISRECTANGLE));
    EXPECT_EQ(memo->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONS), 3);
    QTest::keyClick(memo, Qt::Key_Right); // a plain move ends the selection
    EXPECT_FALSE(memo->hasSelectedText());
}

TEST_F(EditorKeys, PageTopAndBottom) {
    TEditorMemo* memo = window_->Memo;
    QStringList lines;
    for (int i = 0; i < 200; ++i) lines << QString("line %1").arg(i);
    memo->LoadText(lines.join('\n'));
    memo->SetCaret({0, 3});
    const int onScreen = int(memo->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN));
    ASSERT_GT(onScreen, 3);
    QTest::keyClick(memo, Qt::Key_PageDown, Ctrl);
    EXPECT_EQ(memo->Caret().line, onScreen - 1);
    EXPECT_EQ(memo->Caret().column, 3);
    QTest::keyClick(memo, Qt::Key_Down, Ctrl); // scroll one line; the caret stays
    EXPECT_EQ(memo->firstVisibleLine(), 1);
    QTest::keyClick(memo, Qt::Key_PageUp, Ctrl | Shift);
    EXPECT_EQ(memo->Caret().line, 1);
    test::Settle(); // the component learns of a new selection when it paints
    EXPECT_EQ(memo->selectedText(), lines.mid(1, onScreen - 2).join('\n').mid(3) + "\nlin");
    QTest::keyClick(memo, Qt::Key_Up, Ctrl);
    EXPECT_EQ(memo->firstVisibleLine(), 0);
}

TEST_F(EditorKeys, CtrlF1RequestsHelpForTheWordAtTheCaret) {
    TEditorMemo* memo = window_->Memo;
    QSignalSpy spy(memo, &TEditorMemo::ContextHelpRequested);
    memo->LoadText("begin Writeln end");
    memo->SetCaret({0, 8});
    QTest::keyClick(memo, Qt::Key_F1, Ctrl);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.first().first().toString(), "Writeln");
}

} // namespace
} // namespace lumivar
