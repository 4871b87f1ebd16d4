// The search-and-replace operation on a bare editor: direction, whole word, match case,
// replacing one or every occurrence from the caret, never wrapping.
#include "app/EditorSearch.h"

#include <Qsci/qsciscintilla.h>

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace lumivar {
namespace {

using test::PrintTo;
using O = TSearchOption;

// Text with "@" at the caret and "^" at the selection anchor when something is selected.
void SetMarked(QsciScintilla& editor, const QString& marked) {
    QString text = marked;
    text.remove('@');
    editor.setText(text);
    editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                         static_cast<long>(marked.left(marked.indexOf('@')).toUtf8().size()));
}

QString Marked(const QsciScintilla& editor) {
    const QByteArray bytes = editor.text().toUtf8();
    const long caret = editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const long anchor = editor.SendScintilla(QsciScintillaBase::SCI_GETANCHOR);
    QByteArray marked;
    for (long i = 0; i <= bytes.size(); ++i) {
        if (i == anchor && anchor != caret) marked += '^';
        if (i == caret) marked += '@';
        if (i < bytes.size()) marked += bytes.at(i);
    }
    return QString::fromUtf8(marked);
}

struct SearchCase {
    const char* name;
    QString before;
    QString find;
    QString replacement;
    TSearchOptions options;
    int count;
    QString after;
};

class Search : public testing::TestWithParam<SearchCase> {};

TEST_P(Search, WorksFromTheCaret) {
    const SearchCase& c = GetParam();
    auto editor = std::make_unique<QsciScintilla>();
    editor->setUtf8(true);
    SetMarked(*editor, c.before);
    EXPECT_EQ(SearchReplace(*editor, c.find, c.replacement, c.options), c.count);
    EXPECT_EQ(Marked(*editor), c.after);
}

const SearchCase kSearchCases[] = {
    {"DownFindsTheNextAfterTheCaret", "ab@c abc abc", "abc", "", {}, 1, "abc ^abc@ abc"},
    {"DownNeverWraps", "abc abc@ x", "abc", "", {}, 0, "abc abc@ x"},
    {"UpFindsTheNearestAbove", "abc abc ab@c", "abc", "", O::Backwards, 1, "abc @abc^ abc"},
    {"UpNeverWrapsEvenIfTheTextIsBelow", "x @abc", "abc", "", O::Backwards, 0, "x @abc"},
    {"CaseIgnoredByDefault", "@x ABC", "abc", "", {}, 1, "x ^ABC@"},
    {"MatchCase", "@ABC Abc abc", "abc", "", O::MatchCase, 1, "ABC Abc ^abc@"},
    {"MatchCaseNotFound", "@ABC", "abc", "", O::MatchCase, 0, "@ABC"},
    {"CyrillicCaseIgnored", "@x Привет", "пРИВЕТ", "", {}, 1, "x ^Привет@"},
    {"WholeWordSkipsParts", "@abcd xabc abc", "abc", "", O::WholeWord, 1, "abcd xabc ^abc@"},
    {"PartsFoundWithoutWholeWord", "@abcd", "abc", "", {}, 1, "^abc@d"},
    {"AcrossLines", "a@\nfoo\nbar", "bar", "", {}, 1, "a\nfoo\n^bar@"},
    {"EmptyTextFindsNothing", "ab@c", "", "", {}, 0, "ab@c"},
    {"ReplaceOne", "@abc abc", "abc", "x", O::Replace, 1, "x@ abc"},
    {"ReplaceOneBackwards", "abc abc@", "abc", "x", O::Replace | O::Backwards, 1, "abc @x"},
    {"ReplaceNothingFound", "abc @x", "abc", "y", O::Replace, 0, "abc @x"},
    {"ReplaceAllFromTheCaret", "abc @abc abc", "abc", "x", O::ReplaceAll, 2, "abc x x@"},
    {"ReplaceAllBackwards", "abc abc @abc", "abc", "x", O::ReplaceAll | O::Backwards, 2,
     "@x x abc"},
    {"ReplaceAllWithTheTextItself", "@a a", "a", "aa", O::ReplaceAll, 2, "aa aa@"},
    {"ReplaceAllWholeWordMatchCase", "@Ab ab abc ab", "ab", "-",
     O::ReplaceAll | O::WholeWord | O::MatchCase, 2, "Ab - abc -@"},
    {"ReplaceAllByNothing", "@a-b-c", "-", "", O::ReplaceAll, 2, "ab@c"},
};

INSTANTIATE_TEST_SUITE_P(EditorSearch, Search, testing::ValuesIn(kSearchCases), test::CaseName);

TEST(EditorSearch, RepeatedSearchWalksThroughTheText) {
    auto editor = std::make_unique<QsciScintilla>();
    SetMarked(*editor, "@ab ab ab");
    for (const char* expected : {"^ab@ ab ab", "ab ^ab@ ab", "ab ab ^ab@"}) {
        EXPECT_EQ(SearchReplace(*editor, "ab", {}, {}), 1);
        EXPECT_EQ(Marked(*editor), expected);
    }
    EXPECT_EQ(SearchReplace(*editor, "ab", {}, {}), 0);
    for (const char* expected : {"ab ab @ab^", "ab @ab^ ab", "@ab^ ab ab"}) {
        EXPECT_EQ(SearchReplace(*editor, "ab", {}, O::Backwards), 1);
        EXPECT_EQ(Marked(*editor), expected);
    }
}

TEST(EditorSearch, ReplaceAllIsOneUndoStep) {
    auto editor = std::make_unique<QsciScintilla>();
    SetMarked(*editor, "@a a a");
    editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    ASSERT_EQ(SearchReplace(*editor, "a", "b", O::ReplaceAll), 3);
    editor->undo();
    EXPECT_EQ(editor->text(), "a a a");
    EXPECT_FALSE(editor->isUndoAvailable());
}

} // namespace
} // namespace lumivar
