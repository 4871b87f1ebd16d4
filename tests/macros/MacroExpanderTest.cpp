// The macro expander on a bare editor: the word rule, the indentation, the caret mark, the
// single undo step and the consumed Ctrl+Shift+Z.
#include "macros/MacroExpander.h"

#include "tests/macros/TestEditor.h"

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;
using test::MarkedText;
using test::PressExpansionKey;
using test::SetMarkedText;

const QStringList kMacros{
    "[Begin end]", "be",   "=begin|end",  "",
    "[Block]",     "blk",  "=begin",      "=  |", "=end;", "",
    "[Case]",      "Beg",  "=BEGIN",      "",
    "[Bars]",      "bars", "=a|b|c",      "",
    "[Tab]",       "tb",   "=\tx|",       "",
    "[Cyr]",       "пр",   "=привет|",    "",
    "[Empty]",     "emp",  "",
    "[Second]",    "blk",  "=never used", "",
};

// An editor with the expander holding the macros above.
class Expander : public testing::Test {
protected:
    Expander() { expander.SetList(kMacros); }
    std::unique_ptr<QsciScintilla> editor = test::MakeEditor();
    TMacroExpander expander{editor.get()};
};

struct ExpandCase {
    const char* name;
    QString before; // "@" marks the caret
    QString after;
    bool expanded;
};

class Expand : public Expander, public testing::WithParamInterface<ExpandCase> {};

TEST_P(Expand, ReplacesTheKeyBeforeTheCaret) {
    const ExpandCase& c = GetParam();
    SetMarkedText(*editor, c.before);
    EXPECT_EQ(expander.Execute(), c.expanded);
    EXPECT_EQ(MarkedText(*editor), c.after);
}

const ExpandCase kExpandCases[] = {
    {"CaretBetweenTheHalves", "be@", "begin@end", true},
    {"ThreeLinesAtColumnFive", "    blk@", "    begin\n      @\n    end;", true},
    {"OtherLetterCase", "bLK@", "begin\n  @\nend;", true},
    {"StoredKeyInOtherCase", "beg@", "BEGIN@", true},
    {"NoBarLeavesTheCaretAtTheEnd", "x beg@ y", "x BEGIN@ y", true},
    {"OnlyTheLastBarIsRemoved", "bars@", "a|b@c", true},
    {"TextAfterTheCaretStays", "be@ rest", "begin@end rest", true},
    {"WordEndsAtABracket", "f(be@", "f(begin@end", true},
    {"WordEndsAtADot", "x.be@", "x.begin@end", true},
    {"WordEndsAtATab", "x\tbe@", "x\tbegin@end", true},
    {"TabTypedAsTheTabKey", "tb@", "  x@", true},
    {"CyrillicKey", "пр@", "привет@", true},
    {"KeyWithoutTextDeletesTheKey", "emp@", "@", true},
    {"NotAKey", "xyz@", "xyz@", false},
    {"KeyIsOnlyPartOfTheWord", "abe@", "abe@", false},
    {"CaretInsideTheWord", "b@e", "b@e", false},
    {"EmptyWord", "be @", "be @", false},
    {"NameLinesNeverMatch", "[Block]@", "[Block]@", false},
    {"TextLinesAreNoKeys", "=BEGIN@", "=BEGIN@", false},
};

INSTANTIATE_TEST_SUITE_P(MacroExpander, Expand, testing::ValuesIn(kExpandCases), test::CaseName);

TEST_F(Expander, ExpansionIsOneUndoStep) {
    SetMarkedText(*editor, "  blk@");
    ASSERT_TRUE(expander.Execute());
    editor->undo();
    EXPECT_EQ(editor->text(), "  blk");
    EXPECT_FALSE(editor->isUndoAvailable());
}

TEST_F(Expander, AutoIndentIsRestored) {
    SetMarkedText(*editor, "    blk@");
    ASSERT_TRUE(expander.Execute());
    EXPECT_TRUE(editor->autoIndent());
}

TEST_F(Expander, CtrlShiftZExpands) {
    SetMarkedText(*editor, "be@");
    PressExpansionKey(*editor);
    EXPECT_EQ(MarkedText(*editor), "begin@end");
}

TEST_F(Expander, CtrlShiftZOnANonKeyChangesNothingAndDoesNotRedo) {
    SetMarkedText(*editor, "xyz@");
    editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    editor->insert("q");
    editor->undo();
    ASSERT_TRUE(editor->isRedoAvailable());
    PressExpansionKey(*editor);
    EXPECT_EQ(MarkedText(*editor), "xyz@");
    EXPECT_TRUE(editor->isRedoAvailable());
}

TEST_F(Expander, EmptyListExpandsNothing) {
    expander.SetList({});
    SetMarkedText(*editor, "be@");
    PressExpansionKey(*editor);
    EXPECT_EQ(MarkedText(*editor), "be@");
}

TEST_F(Expander, ReadOnlyEditorIsLeftAlone) {
    SetMarkedText(*editor, "be@");
    editor->setReadOnly(true);
    EXPECT_FALSE(expander.Execute());
    EXPECT_EQ(editor->text(), "be");
}

TEST_F(Expander, CaretPastTheEndOfTheLineHasNoWord) {
    SetMarkedText(*editor, "be@");
    editor->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONNCARETVIRTUALSPACE, 0UL, 3L);
    editor->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONNANCHORVIRTUALSPACE, 0UL, 3L);
    EXPECT_FALSE(expander.Execute());
    EXPECT_EQ(editor->text(), "be");
}

TEST_F(Expander, SelectionIsDroppedBeforeTheKeyIsReplaced) {
    SetMarkedText(*editor, "xx be@");
    editor->SendScintilla(QsciScintillaBase::SCI_SETANCHOR, 0L);
    ASSERT_TRUE(expander.Execute());
    EXPECT_EQ(MarkedText(*editor), "xx begin@end");
}

} // namespace
} // namespace lumivar
