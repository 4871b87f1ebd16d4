// The window's macro substitutions: the mode's stored list in force, the keys in the editor,
// the pick list after a load, and the macro dialog saving the list of the current mode.
#include "tests/app/WindowToolsTesting.h"
#include "tests/support/NamedCases.h"

#include "macros/MacroExpander.h"
#include "macros/Macros.h"
#include "macros/PickList.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace lumivar {
namespace {

using test::PrintTo;
using test::Interaction;

const QString kPascalMacros = QStringLiteral("[Блок]\r\nbeg\r\n=begin\r\n=  |\r\n=end;\r\n\r\n");

class WindowMacros : public test::WindowTest {
protected:
    void pressInMemo(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(window_->Memo, key, modifiers);
    }
    void click(QDialog& dialog, const char* name) {
        auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
};

struct KeyCase {
    const char* name;
    int mode;
    const char* key;
};

class MacroKey : public testing::TestWithParam<KeyCase> {};

TEST_P(MacroKey, NamesTheStoredValueOfAMode) {
    EXPECT_EQ(TfScriptEditor::SyntaxKey(GetParam().mode), QString::fromLatin1(GetParam().key));
}

const KeyCase kKeyCases[] = {
    {"None", 0, "Other"}, {"Pascal", 1, "Pas"}, {"Basic", 2, "Bas"}, {"Batch", 3, "Bat"},
    {"Clipper", 4, "Prg"}, {"PlainText", 5, "Other"}, {"Html", 6, "Html"}, {"Php", 7, "Php"},
    {"Unknown", 99, "Other"},
};

INSTANTIATE_TEST_SUITE_P(WindowMacros, MacroKey, testing::ValuesIn(kKeyCases), test::CaseName);

TEST_F(WindowMacros, EachModeHasItsOwnStoredList) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    EXPECT_EQ(window_->AC->List(), (QStringList{"[Блок]", "beg", "=begin", "=  |", "=end;", ""}));
    EXPECT_EQ(window_->Cp_Ac->ItemList(), QStringList{"beg\tБлок\t"});
    EXPECT_EQ(window_->Cp_Ac->InsertList(), QStringList{"beg"});
    window_->actBasSintax->trigger();
    EXPECT_TRUE(window_->AC->List().isEmpty());
    EXPECT_TRUE(window_->Cp_Ac->ItemList().isEmpty());
}

TEST_F(WindowMacros, CtrlShiftZExpandsInTheEditor) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    setMarkedText("    BEG@");
    pressInMemo(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(markedText(), "    begin\n      @\n    end;");
}

// Saving under the extension of another syntax changes the mode, and with it the macro list.
TEST_F(WindowMacros, SavingAsABatchFileBringsTheBatchMacros) {
    window_->Reg.writeString("Macros", "Bas", QStringLiteral("[Sub]\r\nsb\r\n=Sub |\r\n\r\n"));
    window_->Reg.writeString("Macros", "Bat", QStringLiteral("[Echo]\r\nec\r\n=@echo |\r\n\r\n"));
    window_->actBasSintax->trigger();
    ASSERT_EQ(window_->Cp_Ac->InsertList(), QStringList{"sb"});
    const QTemporaryDir dir;
    prompter_.answerSaveFile(dir.filePath("run.bat"));
    window_->actSaveScriptAsToFile->trigger();
    EXPECT_EQ(window_->SyntaxMode, 3);
    EXPECT_EQ(window_->SB[7]->text(), QString::fromUtf8("BAT- файлы (DOS)"));
    EXPECT_TRUE(window_->actBatSintax->isChecked());
    EXPECT_EQ(window_->Cp_Ac->InsertList(), QStringList{"ec"});
    setMarkedText("ec@");
    pressInMemo(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(markedText(), "@echo @");
}

TEST_F(WindowMacros, ModeWithoutAStoredListExpandsNothing) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    setMarkedText("beg@");
    pressInMemo(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(markedText(), "beg@");
    EXPECT_TRUE(window_->Cp_Ac->ItemList().isEmpty());
}

TEST_F(WindowMacros, PickFromCtrlShiftJExpandsAtOnce) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    setMarkedText("b@");
    pressInMemo(Qt::Key_J, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(window_->Memo->isListActive());
    pressInMemo(Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(markedText(), "begin\n  @\nend;");
}

// Typing goes on after a pause behind a dot: neither list has anything to show for the word,
// so neither opens by itself and takes the Enter that follows.
TEST_F(WindowMacros, EnterAfterAPauseBehindADotBreaksTheLine) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    setMarkedText("end@");
    QTest::keyClicks(window_->Memo, ".");
    for (TPickList* list : {window_->Cp_Ac, window_->CP}) {
        ASSERT_TRUE(list->AutoOpenTimer().isActive());
        ASSERT_TRUE(QMetaObject::invokeMethod(&list->AutoOpenTimer(), "timeout"));
    }
    EXPECT_FALSE(window_->Memo->isListActive());
    pressInMemo(Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(markedText(), "end.\n@");
}

TEST_F(WindowMacros, UserFunctionListOpensEmpty) {
    pressInMemo(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(window_->Memo->isListActive());
    EXPECT_TRUE(window_->CP->ShownItems().isEmpty());
}

TEST_F(WindowMacros, DialogSavesTheListOfTheCurrentMode) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    prompter_.answerDialog([this](QDialog& dialog) {
        auto& macros = static_cast<TfMacros&>(dialog);
        EXPECT_EQ(macros.LbSintax()->text(), "Синтаксис  Delphi (Pascal)");
        EXPECT_EQ(macros.CdsMac().Records().size(), 1u);
        click(dialog, "BitBtn4");
        macros.Memo()->setPlainText("if | then");
        click(dialog, "BitBtn2");
        return dialog.result();
    });
    prompter_.answerDialog([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("EditName")->setText("Если");
        dialog.findChild<QLineEdit*>("EditKey")->setText("if");
        dialog.accept();
        return dialog.result();
    });
    window_->actEditMacros->trigger();
    const QString expected = "[Блок]\r\nbeg\r\n=begin\r\n=  |\r\n=end;\r\n\r\n"
                             "[Если]\r\nif\r\n=if | then\r\n\r\n";
    EXPECT_EQ(window_->Reg.readString("Macros", "Pas", {}), expected);
    EXPECT_EQ(window_->Cp_Ac->InsertList(), (QStringList{"beg", "if"}));
    EXPECT_TRUE(window_->Reg.readString("Macros", "Other", {}).isEmpty());
    // The list stays the mode's after switching away and back.
    window_->actNoSintax->trigger();
    window_->actPasSintax->trigger();
    EXPECT_EQ(window_->Cp_Ac->InsertList(), (QStringList{"beg", "if"}));
}

TEST_F(WindowMacros, ExitWithoutSavingLeavesTheMacrosAlone) {
    window_->Reg.writeString("Macros", "Pas", kPascalMacros);
    window_->actPasSintax->trigger();
    prompter_.answerDialog([this](QDialog& dialog) {
        prompter_.answerYes();
        click(dialog, "BitBtn6");
        click(dialog, "BitBtn3");
        return dialog.result();
    });
    window_->actEditMacros->trigger();
    EXPECT_EQ(window_->Reg.readString("Macros", "Pas", {}), kPascalMacros);
    EXPECT_EQ(window_->Cp_Ac->InsertList(), QStringList{"beg"});
    EXPECT_EQ(prompter_.records(Interaction::Dialog).at(0).caption, "Редактор макроподстановок");
}

} // namespace
} // namespace lumivar
