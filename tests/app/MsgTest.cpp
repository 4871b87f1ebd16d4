// Message boxes: the kind table (captions, flags), the yes/no question, the translation of
// flags into Qt message boxes, and the filter texts of the file dialogs.
#include "app/util/InteractivePrompter.h"
#include "app/util/Msg.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"

#include <QAbstractButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace lumivar {
namespace {

struct ShowMsgCase {
    int kind;
    const char* caption;
    const char* shownCaption;
    int flags;
};

const ShowMsgCase kShowMsgCases[] = {
    {mkPlain, "", "Lumivar", 0},
    {mkPlain, "Поиск", "Поиск", 0},
    {mkInfo, "", "Для информации.", 0x40},
    {mkQuestion, "", "?", 0x20},
    {mkWarning, "", "Предупреждение!", 0x1030},
    {mkError, "", "Ошибка!", 0x10},
    {mkError, "Своё", "Своё", 0x10},
    {5, "", "", 0},
    {-1, "", "", 0},
    {7, "Есть", "Есть", 0},
};

TEST(ShowMsg, CaptionAndFlagsFollowTheKindTable) {
    for (const ShowMsgCase& c : kShowMsgCases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " caption " << c.caption);
        test::TestPrompter prompter;
        prompter.answerMessage(IDOK);
        EXPECT_EQ(ShowMsg("Текст\rвторая строка", QString::fromUtf8(c.caption), c.kind), IDOK);
        ASSERT_EQ(prompter.records().size(), 1u);
        const test::PromptRecord& r = prompter.last();
        EXPECT_EQ(r.kind, test::Interaction::MessageBox);
        EXPECT_EQ(r.text, QString::fromUtf8("Текст\rвторая строка"));
        EXPECT_EQ(r.caption, QString::fromUtf8(c.shownCaption));
        EXPECT_EQ(r.flags, c.flags);
        EXPECT_EQ(MsgFlags(c.kind), c.flags);
    }
}

TEST(AskYesNo, AsksWithQuestionFlagsAndIsTrueOnlyForYes) {
    const struct {
        int answer;
        bool result;
    } cases[] = {{IDYES, true}, {IDNO, false}, {IDOK, false}};
    for (const auto& c : cases) {
        test::TestPrompter prompter;
        prompter.answerMessage(c.answer);
        EXPECT_EQ(AskYesNo("Сохранить?", ""), c.result);
        EXPECT_EQ(prompter.last().flags, 0x24);
        EXPECT_EQ(prompter.last().caption, QString()); // used unchanged, even when empty
    }
}

TEST(ReportError, GoesToTheErrorReport) {
    test::TestPrompter prompter;
    ReportError("Сбой");
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.last().kind, test::Interaction::ErrorReport);
    EXPECT_EQ(prompter.last().text, QString::fromUtf8("Сбой"));
}

TEST(ScopedPrompter, RestoresThePreviousPrompter) {
    test::TestPrompter outer;
    {
        test::TestPrompter inner;
        ShowMsg("a", "", mkPlain);
        EXPECT_EQ(inner.records().size(), 1u);
    }
    ShowMsg("b", "", mkPlain);
    ASSERT_EQ(outer.records().size(), 1u);
    EXPECT_EQ(outer.last().text, "b");
}

struct BoxCase {
    int flags;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QStringList captions; // of the buttons, left to right
};

const BoxCase kBoxCases[] = {
    {0, QMessageBox::NoIcon, QMessageBox::Ok, {"OK"}},
    {MB_ICONINFORMATION, QMessageBox::Information, QMessageBox::Ok, {"OK"}},
    {MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Ok, {"OK"}},
    {MB_ICONWARNING | MB_SYSTEMMODAL, QMessageBox::Warning, QMessageBox::Ok, {"OK"}},
    {MB_ICONERROR, QMessageBox::Critical, QMessageBox::Ok, {"OK"}},
    {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
     {QString::fromUtf8("Да"), QString::fromUtf8("Нет")}},
};

// The captions of a box's buttons in the order the box shows them.
QStringList ButtonCaptions(QMessageBox& box) {
    QList<QAbstractButton*> buttons = box.buttons();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapTo(a->window(), QPoint()).x() < b->mapTo(b->window(), QPoint()).x();
    });
    QStringList captions;
    for (QAbstractButton* button : buttons) captions << button->text().remove('&');
    return captions;
}

TEST(InteractivePrompter, IconAndButtonsFollowTheFlagsWithRussianCaptions) {
    for (const BoxCase& c : kBoxCases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags);
        QMessageBox box;
        ConfigureMessageBox(box, "Файл был изменен\rСохранить?", "Сообщение", c.flags);
        EXPECT_EQ(box.icon(), c.icon);
        EXPECT_EQ(box.standardButtons(), c.buttons);
        EXPECT_EQ(box.text(), QString::fromUtf8("Файл был изменен\nСохранить?"));
        EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Сообщение"));
        box.show(); // lays the buttons out
        EXPECT_EQ(ButtonCaptions(box), c.captions);
        box.hide();
    }
}

TEST(InteractivePrompter, ButtonCodes) {
    EXPECT_EQ(MessageBoxResult(QMessageBox::Yes), IDYES);
    EXPECT_EQ(MessageBoxResult(QMessageBox::No), IDNO);
    EXPECT_EQ(MessageBoxResult(QMessageBox::Ok), IDOK);
}

TEST(InteractivePrompter, FilterTextsBecomeQtNameFilters) {
    const QString filter = QString::fromUtf8(
        "Все файлы|*.*|Pascal Files (*.pas,*.dpr,*.dpk,*.inc)|*.pas;*.dpr;*.dpk;*.inc"
        "|Visual Basic Files (*.bas)|*.bas|Odd");
    const QStringList expected = {
        QString::fromUtf8("Все файлы (*)"),
        "Pascal Files (*.pas *.dpr *.dpk *.inc)",
        "Visual Basic Files (*.bas)",
    };
    EXPECT_EQ(QtNameFilters(filter), expected);
}

} // namespace
} // namespace lumivar
