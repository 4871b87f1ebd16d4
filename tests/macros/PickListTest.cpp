// The pick lists on a bare editor: what they list for the word before the caret, the refusal
// on a lone ".", their keys and the delayed opening after ".", and picking an item.
#include "macros/PickList.h"

#include "macros/MacroExpander.h"
#include "macros/MacroText.h"
#include "tests/macros/TestEditor.h"

#include <QLabel>
#include <QListWidget>

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;
using test::MarkedText;
using test::PressKey;
using test::SetMarkedText;

const QStringList kMacros{"[Begin end]", "beg", "=begin", "=  |", "=end;", "",
                          "[Begin]", "Bg", "=begin|", "",
                          "[If]", "if", "=if | then", ""};

// An editor with the expander and the macro pick list wired as the main window wires them.
struct MacroEditor {
    std::unique_ptr<QsciScintilla> editor = test::MakeEditor();
    TMacroExpander* expander = new TMacroExpander(editor.get());
    TPickList* list = new TPickList(editor.get(), MacroPickListStyle());

    MacroEditor() {
        expander->SetList(kMacros);
        const TCompletionItems items = CompletionItems(kMacros);
        list->SetItems(items.Display, items.Insert);
        QObject::connect(list, &TPickList::CodeCompletion, expander, &TMacroExpander::Execute);
        editor->show();
    }

    QListWidget* shownList() const {
        for (QListWidget* widget : editor->findChildren<QListWidget*>())
            if (widget->isVisible()) return widget;
        return nullptr;
    }
};

struct ShowCase {
    const char* name;
    QString text;
    QStringList shown;
};

class Show : public testing::TestWithParam<ShowCase> {};

TEST_P(Show, ListsTheKeysStartingWithTheWord) {
    MacroEditor m;
    SetMarkedText(*m.editor, GetParam().text);
    ASSERT_TRUE(m.list->Execute());
    EXPECT_TRUE(m.editor->isListActive());
    EXPECT_EQ(m.list->ShownItems(), GetParam().shown);
}

const ShowCase kShowCases[] = {
    {"EmptyWordListsAll", "@", {"beg\tBegin end\t", "Bg\tBegin\t", "if\tIf\t"}},
    {"PrefixInAnyCase", "x = b@", {"beg\tBegin end\t", "Bg\tBegin\t"}},
    {"WholeKey", "(BEG@", {"beg\tBegin end\t"}},
    {"DotIsPartOfTheWord", "a.i@", {}},
    {"NoMatch", "zz@", {}},
};

INSTANTIATE_TEST_SUITE_P(PickList, Show, testing::ValuesIn(kShowCases), test::CaseName);

TEST(PickList, RefusesOnALoneDot) {
    MacroEditor m;
    SetMarkedText(*m.editor, "x .@");
    EXPECT_FALSE(m.list->Execute());
    EXPECT_FALSE(m.editor->isListActive());
}

TEST(PickList, CtrlShiftJOpensTheMacroList) {
    MacroEditor m;
    SetMarkedText(*m.editor, "i@");
    PressKey(*m.editor, Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(m.editor->isListActive());
    EXPECT_EQ(m.list->ShownItems(), QStringList{"if\tIf\t"});
    EXPECT_EQ(m.editor->text(), "i");
}

TEST(PickList, ListHasTheStyleWidthAndColour) {
    MacroEditor m;
    SetMarkedText(*m.editor, "@");
    ASSERT_TRUE(m.list->Execute());
    QListWidget* shown = m.shownList();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width(), 400);
    EXPECT_EQ(shown->palette().color(QPalette::Base), MacroPickListStyle().background);
}

TEST(PickList, UserFunctionListOpensEmptyWithItsTitle) {
    auto editor = test::MakeEditor();
    TPickList list(editor.get(), UserFunctionListStyle());
    editor->show();
    PressKey(*editor, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(editor->isListActive());
    EXPECT_TRUE(list.ShownItems().isEmpty());
    QLabel* title = nullptr;
    for (QListWidget* widget : editor->findChildren<QListWidget*>())
        if (widget->isVisible()) title = widget->findChild<QLabel*>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "User Function");
    EXPECT_EQ(title->parentWidget()->width(), 450);
}

TEST(PickList, TypedDotStartsTheDelayAndAnotherCharacterStopsIt) {
    MacroEditor m;
    SetMarkedText(*m.editor, "x@");
    PressKey(*m.editor, Qt::Key_Period, Qt::NoModifier, ".");
    EXPECT_EQ(m.editor->text(), "x.");
    EXPECT_TRUE(m.list->AutoOpenTimer().isActive());
    EXPECT_EQ(m.list->AutoOpenTimer().interval(), 500);
    PressKey(*m.editor, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_FALSE(m.list->AutoOpenTimer().isActive());
}

struct DelayCase {
    const char* name;
    QString before; // the text before "." is typed
    bool opens;
};

class Delay : public testing::TestWithParam<DelayCase> {};

// Opened by the delay, the list shows only when an item matches the word with its dot (an
// embedding application's items may hold a dot; macro keys never do).
TEST_P(Delay, ElapsedDelayOpensTheListWhenAnItemMatchesUnlessTheDotStandsAlone) {
    MacroEditor m;
    m.list->SetItems({"beg\tBegin end\t", "x.y\tMember\t"}, {"beg", "x.y"});
    SetMarkedText(*m.editor, GetParam().before);
    PressKey(*m.editor, Qt::Key_Period, Qt::NoModifier, ".");
    ASSERT_TRUE(QMetaObject::invokeMethod(&m.list->AutoOpenTimer(), "timeout"));
    EXPECT_EQ(m.editor->isListActive(), GetParam().opens);
    if (GetParam().opens) {
        EXPECT_EQ(m.list->ShownItems(), QStringList{"x.y\tMember\t"});
    }
}

const DelayCase kDelayCases[] = {
    {"AfterAWordAnItemStartsWith", "x@", true},
    {"AfterAWordNoItemStartsWith", "beg@", false},
    {"AfterABlank", "x @", false},
    {"AtTheStartOfTheLine", "@", false},
};

INSTANTIATE_TEST_SUITE_P(PickList, Delay, testing::ValuesIn(kDelayCases), test::CaseName);

TEST(PickList, PickingInsertsTheKeyAndExpandsItAtOnce) {
    MacroEditor m;
    SetMarkedText(*m.editor, "  b@");
    ASSERT_TRUE(m.list->Execute());
    // The editor component's own selection and completion, as Enter in the list does.
    m.editor->SendScintilla(QsciScintillaBase::SCI_AUTOCSELECT, "Bg");
    m.editor->SendScintilla(QsciScintillaBase::SCI_AUTOCCOMPLETE);
    EXPECT_FALSE(m.editor->isListActive());
    EXPECT_EQ(MarkedText(*m.editor), "  begin@");
}

TEST(PickList, PickingAMultiLineMacroIndentsIt) {
    MacroEditor m;
    SetMarkedText(*m.editor, "  BE@");
    ASSERT_TRUE(m.list->Execute());
    m.list->Pick("beg\tBegin end\t");
    EXPECT_EQ(MarkedText(*m.editor), "  begin\n    @\n  end;");
}

TEST(PickList, ItemsFollowALoad) {
    MacroEditor m;
    const QStringList other{"[Loop]", "wh", "=while | do", ""};
    const TCompletionItems items = CompletionItems(other);
    m.list->SetItems(items.Display, items.Insert);
    EXPECT_EQ(m.list->ItemList(), QStringList{"wh\tLoop\t"});
    EXPECT_EQ(m.list->InsertList(), QStringList{"wh"});
}

} // namespace
} // namespace lumivar
