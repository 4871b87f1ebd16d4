// The find and replace dialogs: their options as search options, their captions and buttons.
#include "app/FindReplaceDialogs.h"
#include "tests/support/NamedCases.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;
using O = TSearchOption;

struct OptionCase {
    const char* name;
    bool matchCase;
    bool wholeWord;
    bool down;
    TSearchOptions options;
};

class DialogOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(DialogOptions, MapToSearchOptions) {
    const OptionCase& c = GetParam();
    TFindDialog find;
    TReplaceDialog replace;
    for (TSearchDialog* dialog : {static_cast<TSearchDialog*>(&find),
                                  static_cast<TSearchDialog*>(&replace)}) {
        dialog->MatchCaseBox()->setChecked(c.matchCase);
        dialog->WholeWordBox()->setChecked(c.wholeWord);
        (c.down ? dialog->DownButton() : dialog->UpButton())->setChecked(true);
        EXPECT_EQ(dialog->Options(), c.options) << dialog->windowTitle().toStdString();
    }
}

const OptionCase kOptionCases[] = {
    {"Nothing", false, false, true, {}},
    {"MatchCase", true, false, true, O::MatchCase},
    {"WholeWord", false, true, true, O::WholeWord},
    {"Up", false, false, false, O::Backwards},
    {"All", true, true, false, O::MatchCase | O::WholeWord | O::Backwards},
};

INSTANTIATE_TEST_SUITE_P(FindReplaceDialogs, DialogOptions, testing::ValuesIn(kOptionCases), test::CaseName);

TEST(FindReplaceDialogs, DirectionIsDownAtFirst) {
    TFindDialog find;
    EXPECT_TRUE(find.DownButton()->isChecked());
    EXPECT_EQ(find.Options(), TSearchOptions());
}

TEST(FindReplaceDialogs, ButtonsNeedATextToFind) {
    TReplaceDialog replace;
    EXPECT_FALSE(replace.FindNextButton()->isEnabled());
    EXPECT_FALSE(replace.ReplaceAllButton()->isEnabled());
    replace.SetFindText("x");
    EXPECT_TRUE(replace.FindNextButton()->isEnabled());
    EXPECT_TRUE(replace.ReplaceButton()->isEnabled());
}

TEST(FindReplaceDialogs, ButtonsReportTheirPress) {
    TReplaceDialog replace;
    replace.SetFindText("x");
    QSignalSpy find(&replace, &TSearchDialog::FindNext);
    QSignalSpy one(&replace, &TReplaceDialog::Replace);
    QSignalSpy all(&replace, &TReplaceDialog::ReplaceAll);
    replace.FindNextButton()->click();
    replace.ReplaceButton()->click();
    replace.ReplaceButton()->click();
    replace.ReplaceAllButton()->click();
    EXPECT_EQ(find.count(), 1);
    EXPECT_EQ(one.count(), 2);
    EXPECT_EQ(all.count(), 1);
}

TEST(FindReplaceDialogs, ExecuteShowsWithoutBlocking) {
    TFindDialog find;
    find.SetFindText("word");
    find.Execute();
    EXPECT_TRUE(find.isVisible());
    EXPECT_FALSE(find.isModal());
    EXPECT_EQ(find.FindEdit()->selectedText(), "word");
    EXPECT_EQ(find.windowTitle(), "Найти");
}

} // namespace
} // namespace lumivar
