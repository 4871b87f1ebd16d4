// The window's search commands: Ctrl+F and Ctrl+H with their dialogs, F3 with the find
// dialog's text only, the "Не найдено!" message, and Replace All from the caret.
#include "tests/app/WindowToolsTesting.h"

#include "app/FindReplaceDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace lumivar {
namespace {

using test::Interaction;

class WindowSearch : public test::WindowTest {};

TEST_F(WindowSearch, FindAndReplaceCommandsShowOneDialogAtATime) {
    window_->actFind->trigger();
    EXPECT_TRUE(window_->FindDialog->isVisible());
    window_->actFindReplace->trigger();
    EXPECT_TRUE(window_->ReplaceDialog->isVisible());
    EXPECT_FALSE(window_->FindDialog->isVisible());
    window_->actFind->trigger();
    EXPECT_FALSE(window_->ReplaceDialog->isVisible());
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(WindowSearch, FindNextBeforeAnySearchOpensTheFindDialog) {
    window_->actFindNext->trigger();
    EXPECT_TRUE(window_->FindDialog->isVisible());
}

TEST_F(WindowSearch, FindNextGoesOnAfterTheSelectedOccurrence) {
    setMarkedText("@ab ab ab");
    window_->FindDialog->SetFindText("ab");
    window_->FindDialog->FindNextButton()->click();
    EXPECT_EQ(window_->Memo->selectedText(), "ab");
    window_->actFindNext->trigger();
    window_->actFindNext->trigger();
    EXPECT_EQ(markedText(), "ab ab ab@");
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(WindowSearch, FindNextUsesOnlyTheFindDialogsText) {
    setMarkedText("@xx yy");
    window_->ReplaceDialog->SetFindText("yy");
    window_->actFindNext->trigger();
    EXPECT_TRUE(window_->FindDialog->isVisible());
    EXPECT_EQ(markedText(), "@xx yy");
}

TEST_F(WindowSearch, MissingWordIsReported) {
    setMarkedText("@some text");
    window_->FindDialog->SetFindText("слово");
    window_->actFindNext->trigger();
    ASSERT_EQ(prompter_.records(Interaction::MessageBox).size(), 1u);
    EXPECT_EQ(prompter_.last().text, "слово\rНе найдено!");
    EXPECT_EQ(prompter_.last().caption, "Поиск");
    EXPECT_EQ(prompter_.last().flags, 0);
}

TEST_F(WindowSearch, UpwardsFindsNothingBelowTheCaret) {
    setMarkedText("one @two");
    window_->FindDialog->SetFindText("two");
    window_->FindDialog->UpButton()->setChecked(true);
    window_->FindDialog->FindNextButton()->click();
    EXPECT_EQ(prompter_.last().text, "two\rНе найдено!");
    window_->FindDialog->SetFindText("one");
    window_->FindDialog->FindNextButton()->click();
    EXPECT_EQ(window_->Memo->selectedText(), "one");
}

TEST_F(WindowSearch, ReplaceAllWorksFromTheCaret) {
    setMarkedText("a b @a b a");
    window_->actFindReplace->trigger();
    window_->ReplaceDialog->SetFindText("a");
    window_->ReplaceDialog->SetReplaceText("x");
    window_->ReplaceDialog->ReplaceAllButton()->click();
    EXPECT_EQ(markedText(), "a b x b x@");
    window_->ReplaceDialog->ReplaceAllButton()->click();
    EXPECT_EQ(prompter_.last().text, "a\rНе найдено!");
}

TEST_F(WindowSearch, ReplaceReplacesTheNextOccurrence) {
    setMarkedText("@Ab ab");
    window_->ReplaceDialog->SetFindText("ab");
    window_->ReplaceDialog->SetReplaceText("cd");
    window_->ReplaceDialog->MatchCaseBox()->setChecked(true);
    window_->ReplaceDialog->ReplaceButton()->click();
    EXPECT_EQ(markedText(), "Ab cd@");
}

TEST_F(WindowSearch, ReplaceDialogsFindNextSearchesItsOwnText) {
    setMarkedText("@xx yy");
    window_->ReplaceDialog->SetFindText("yy");
    window_->ReplaceDialog->FindNextButton()->click();
    EXPECT_EQ(window_->Memo->selectedText(), "yy");
}

} // namespace
} // namespace lumivar
