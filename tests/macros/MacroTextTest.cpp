// The macro text format: parse and write round trips, the pick-list items, the stored form.
#include "macros/MacroText.h"

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;

struct ParseCase {
    const char* name;
    QStringList lines;
    std::vector<TMacro> macros;
    QStringList written; // WriteMacroText of the parsed table
};

class ParseWrite : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseWrite, ParsesAndWrites) {
    const ParseCase& c = GetParam();
    const std::vector<TMacro> parsed = ParseMacroText(c.lines);
    EXPECT_EQ(parsed, c.macros);
    EXPECT_EQ(WriteMacroText(parsed), c.written);
    // What was written reads back as the same table.
    EXPECT_EQ(ParseMacroText(WriteMacroText(parsed)), parsed);
}

const ParseCase kParseCases[] = {
    {"OneMacroOfThreeLines",
     {"[Блок]", "beg", "=begin", "=  |", "=end;", ""},
     {{"Блок", "beg", "begin\r  |\rend;\r"}},
     {"[Блок]", "beg", "=begin", "=  |", "=end;", ""}},
    {"AssignmentSurvives",
     {"[Assign]", "as", "=a := b;|", ""},
     {{"Assign", "as", "a := b;|\r"}},
     {"[Assign]", "as", "=a := b;|", ""}},
    {"NameLineWithoutEmptyLineBefore",
     {"[A]", "a", "=x", "[B]", "b", "=y"},
     {{"A", "a", "x\r"}, {"B", "b", "y\r"}},
     {"[A]", "a", "=x", "", "[B]", "b", "=y", ""}},
    {"NameCarriesOverToTheNextKey",
     {"[N]", "k1", "=x", "", "k2", "=y", ""},
     {{"N", "k1", "x\r"}, {"N", "k2", "y\r"}},
     {"[N]", "k1", "=x", "", "[N]", "k2", "=y", ""}},
    {"KeyCarriesOverAfterAnEmptyLine",
     {"[N]", "k", "=x", "", "=y", ""},
     {{"N", "k", "x\r"}, {"N", "k", "y\r"}},
     {"[N]", "k", "=x", "", "[N]", "k", "=y", ""}},
    {"KeyWithoutTextGivesNoMacro",
     {"[A]", "a", "", "[B]", "b", "=y", ""},
     {{"B", "b", "y\r"}},
     {"[B]", "b", "=y", ""}},
    {"LinesAreTrimmedButTextKeepsItsIndent",
     {"  [ Name ]  ", " key\t", " =x", "\t=  inner  ", ""},
     {{"Name", "key", "x\r  inner\r"}},
     {"[Name]", "key", "=x", "=  inner", ""}},
    {"NestedBracketsLeaveTheName",
     {"[[x]y]]", "k", "=t"},
     {{"xy", "k", "t\r"}},
     {"[xy]", "k", "=t", ""}},
    {"EmptyTextLineInsideTheText",
     {"[A]", "a", "=x", "=", "=y", ""},
     {{"A", "a", "x\r\ry\r"}},
     {"[A]", "a", "=x", "=", "=y", ""}},
    {"TabsInTheText",
     {"[A]", "a", "=x", "=\ty\t|", ""},
     {{"A", "a", "x\r\ty\t|\r"}},
     {"[A]", "a", "=x", "=\ty\t|", ""}},
    {"TextBeforeAnyNameOrKey",
     {"=lonely", ""},
     {{"", "", "lonely\r"}},
     {"[]", "", "=lonely", ""}},
    {"NothingAtAll", {}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(MacroText, ParseWrite, testing::ValuesIn(kParseCases), test::CaseName);

struct WriteCase {
    const char* name;
    std::vector<TMacro> macros;
    QStringList written;
};

class Write : public testing::TestWithParam<WriteCase> {};

TEST_P(Write, WritesTrimmedFieldsAndTextLines) {
    EXPECT_EQ(WriteMacroText(GetParam().macros), GetParam().written);
}

const WriteCase kWriteCases[] = {
    {"EmptyTextIsNameKeyAndEmptyLine", {{"Empty", "e", ""}}, {"[Empty]", "e", ""}},
    {"BlankTextIsEmpty", {{"Empty", "e", " \r\r "}}, {"[Empty]", "e", ""}},
    {"FieldsAreTrimmed", {{" n ", " k ", "  x  \r"}}, {"[n]", "k", "=x", ""}},
    {"TextIsTrimmedAsAWhole", {{"n", "k", "\r  x\r  y  \r\r"}}, {"[n]", "k", "=x", "=  y", ""}},
    {"AnyLineBreakSplitsTheText", {{"n", "k", "a\r\nb\nc\rd"}},
     {"[n]", "k", "=a", "=b", "=c", "=d", ""}},
    {"KeepsTheTableOrder", {{"b", "kb", "B"}, {"a", "ka", "A"}},
     {"[b]", "kb", "=B", "", "[a]", "ka", "=A", ""}},
};

INSTANTIATE_TEST_SUITE_P(MacroText, Write, testing::ValuesIn(kWriteCases), test::CaseName);

TEST(MacroText, EmptyMacroDisappearsWhenReadAgain) {
    const std::vector<TMacro> macros{{"Empty", "e", ""}, {"Full", "f", "x"}};
    EXPECT_EQ(ParseMacroText(WriteMacroText(macros)), (std::vector<TMacro>{{"Full", "f", "x\r"}}));
}

struct CompletionCase {
    const char* name;
    QStringList lines;
    QStringList display;
    QStringList insert;
};

class Completion : public testing::TestWithParam<CompletionCase> {};

TEST_P(Completion, ListsKeysWithTheirNames) {
    const TCompletionItems items = CompletionItems(GetParam().lines);
    EXPECT_EQ(items.Display, GetParam().display);
    EXPECT_EQ(items.Insert, GetParam().insert);
}

const CompletionCase kCompletionCases[] = {
    {"TwoMacros",
     {"[Begin]", "beg", "=begin", "", "[If]", "if", "=if | then", ""},
     {"beg\tBegin\t", "if\tIf\t"},
     {"beg", "if"}},
    {"NameCarriesOver", {"[N]", "a", "=x", "", "b", "=y"}, {"a\tN\t", "b\tN\t"}, {"a", "b"}},
    {"KeyBeforeAnyName", {"k", "=x"}, {"k\t\t"}, {"k"}},
    {"TrimmedKeysAndNames", {" [ [N] ] ", "  k  ", " =x"}, {"k\tN\t"}, {"k"}},
    {"TextAndEmptyLinesAreSkipped", {"", "=x", "  ", "\t"}, {}, {}},
    {"EveryOtherLineIsAKey", {"[N]", "a", "b"}, {"a\tN\t", "b\tN\t"}, {"a", "b"}},
};

INSTANTIATE_TEST_SUITE_P(MacroText, Completion, testing::ValuesIn(kCompletionCases), test::CaseName);

struct SplitCase {
    const char* name;
    QString text;
    QStringList lines;
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, SplitsAtEveryLineBreakKind) {
    EXPECT_EQ(SplitMacroLines(GetParam().text), GetParam().lines);
}

const SplitCase kSplitCases[] = {
    {"Empty", "", {}},
    {"CrLfAfterEveryLine", "a\r\nb\r\n", {"a", "b"}},
    {"NoBreakAtTheEnd", "a\r\nb", {"a", "b"}},
    {"CrAndLfAlone", "a\rb\nc", {"a", "b", "c"}},
    {"EmptyLinesKept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
    {"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
};

INSTANTIATE_TEST_SUITE_P(MacroText, Split, testing::ValuesIn(kSplitCases), test::CaseName);

TEST(MacroText, StoredTextEndsEveryLineWithCrLf) {
    const QStringList lines{"[A]", "a", "=x", ""};
    EXPECT_EQ(JoinMacroLines(lines), "[A]\r\na\r\n=x\r\n\r\n");
    EXPECT_EQ(SplitMacroLines(JoinMacroLines(lines)), lines);
}

TEST(MacroText, TrimBlanksRemovesEveryControlCode) {
    EXPECT_EQ(TrimBlanks(QString("\x01\t x y\x1f \r\n")), "x y");
    EXPECT_EQ(TrimBlanks(QString(" \x02 ")), "");
}

} // namespace
} // namespace lumivar
