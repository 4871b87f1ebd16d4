// The main window: start-up with zero, one and two arguments, the caption, the command table,
// menus, tool bar and context menu, the status bar rules, the about box, hidden and disabled
// shortcuts, and errors escaping a command.
#include "app/ScriptEditor.h"
#include "tests/support/TestPrompter.h"
#include "tests/support/WindowTesting.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumivar {
namespace {

using test::Interaction;
using test::TestPrompter;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

TEST(StartUp, WithoutArgumentsTheWindowIsEmptyAndUntitled) {
    TestPrompter prompter;
    const auto w = StartUp({});
    EXPECT_EQ(w->windowTitle(), "Lumivar");
    EXPECT_EQ(w->SB[7]->text(), U("Нет"));
    EXPECT_EQ(w->SB[1]->text(), "1");
    EXPECT_EQ(w->SB[3]->text(), "1");
    EXPECT_EQ(w->SB[4]->text(), "");
    EXPECT_EQ(w->SB[5]->text(), "");
    EXPECT_EQ(w->Memo->text(), "");
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_TRUE(w->PanelErr->isHidden());
    EXPECT_EQ(w->ScriptHost, nullptr);
    EXPECT_TRUE(prompter.records().empty());
}

TEST(StartUp, WithOneExistingFileShowsItWithItsSyntax) {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "unit1.pas", "program P;\r\n\xCF\xF0\xE8\xE2\xE5\xF2\r\nend.");
    TestPrompter prompter;
    const auto w = StartUp({path});
    EXPECT_EQ(w->Memo->text(), U("program P;\nПривет\nend."));
    EXPECT_EQ(w->windowTitle(), "Lumivar [" + path + "]");
    EXPECT_EQ(w->FileName, path);
    EXPECT_EQ(w->SyntaxMode, 1);
    EXPECT_EQ(w->SB[7]->text(), "Delphi (Pascal)");
    EXPECT_EQ(w->Memo->lexer(), w->Pas);
    EXPECT_EQ(w->TextLineBreak, LineBreak::CrLf);
    EXPECT_FALSE(w->TextModified);
    EXPECT_FALSE(w->Recoded);
    EXPECT_FALSE(w->Memo->isModified());
    EXPECT_EQ(w->SB[4]->text(), "");
    EXPECT_TRUE(prompter.records().empty());
}

TEST(StartUp, ARelativePathBecomesTheFullPath) {
    QTemporaryDir dir;
    WriteFile(dir, "notes.txt", "x");
    QDir(dir.path()).mkdir("sub");
    const QString previous = QDir::currentPath();
    const QString full = QDir(dir.path()).absoluteFilePath("notes.txt");
    for (const char* relative : {"notes.txt", "./sub/../notes.txt"}) {
        SCOPED_TRACE(relative);
        QDir::setCurrent(dir.path());
        TestPrompter prompter;
        const auto w = StartUp({relative});
        QDir::setCurrent(previous);
        EXPECT_EQ(w->FileName, full);
        EXPECT_EQ(w->windowTitle(), "Lumivar [" + full + "]");
        EXPECT_EQ(w->SB[7]->text(), U("Нет"));
    }
}

TEST(StartUp, AMissingFileIsReportedAndTheWindowStaysEmpty) {
    QTemporaryDir dir;
    TestPrompter prompter;
    const auto w = StartUp({dir.filePath("absent.pas")});
    ASSERT_EQ(prompter.records().size(), 1u);
    EXPECT_EQ(prompter.last().kind, Interaction::ErrorReport);
    EXPECT_EQ(prompter.last().text, U("Ошибка загрузки файла\rФайл не найден"));
    EXPECT_EQ(w->Memo->text(), "");
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_EQ(w->windowTitle(), "Lumivar");
    EXPECT_EQ(w->SB[7]->text(), U("Нет"));
}

TEST(StartUp, WithTwoArgumentsNothingIsLoaded) {
    QTemporaryDir dir;
    const QString a = WriteFile(dir, "a.pas", "a");
    const QString b = WriteFile(dir, "b.pas", "b");
    TestPrompter prompter;
    const auto w = StartUp({a, b});
    EXPECT_EQ(w->Memo->text(), "");
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_EQ(w->windowTitle(), "Lumivar");
    EXPECT_TRUE(prompter.records().empty());
}

TEST(Caption, FollowsNonEmptyFileNamesOnly) {
    TestPrompter prompter;
    const auto w = StartUp({});
    w->SetFileName("/data/x.bas");
    EXPECT_EQ(w->windowTitle(), "Lumivar [/data/x.bas]");
    w->SetFileName("");
    EXPECT_EQ(w->windowTitle(), "Lumivar [/data/x.bas]");
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_EQ(w->SB[7]->text(), "Visual Basic");
}

// ---- Commands

enum State { On, Off, Hidden, OffHidden, Unmarked, Standard };

struct CommandCase {
    const char* name;
    const char* caption;
    const char* hint;
    const char* keys;
    State state;
};

const CommandCase kCommandCases[] = {
    {"actLoadScriptOnFile", "Загрузить из файла", "Загрузить из файла", "F5", On},
    {"actSaveScriptToFile", "Сохранить", "Сохранить", "F2", On},
    {"actSaveScriptAsToFile", "Сохранить как...", "Сохранить как...", "", On},
    {"actPrint", "Печать...", "Печать...", "F12", On},
    {"actExit", "Выход", "Выход", "Alt+X", On},
    {"actUndo", "&Отменить", "Отменить", "Ctrl+Z", Standard},
    {"actCut", "В&ырезать", "Вырезать", "Ctrl+X", Standard},
    {"actCopy", "&Копировать", "Копировать", "Ctrl+C", Standard},
    {"actPaste", "Вст&авить", "Вставить", "Ctrl+V", Standard},
    {"actSelectAll", "Выделить &Все", "Выделить Все", "Ctrl+A", Standard},
    {"actFind", "Поиск...", "Поиск...", "Ctrl+F", On},
    {"actFindNext", "Найти далее", "Найти далее", "F3", On},
    {"actFindReplace", "Найти и заменить", "Найти и заменить", "Ctrl+H", On},
    {"actRecodeDosToWin", "Перекодировка DOS --> WIN", "Перекодировка DOD --> WIN", "Ctrl+Shift+F10", On},
    {"actUndoRecodeText", "Омена перекодировки", "Омена перекодировки", "", Off},
    {"actNoSintax", "Нет", "Нет", "", On},
    {"actPasSintax", "Delphi (Pascal)", "Delphi (Pascal)", "", Unmarked},
    {"actBasSintax", "Visual Basic", "Visual Basic", "", Unmarked},
    {"actBatSintax", "BAT- файлы (DOS)", "BAT- файлы (DOS)", "", Unmarked},
    {"actPrgSintax", "CA Clipper", "CA Clipper", "", Unmarked},
    {"actHtmlSintax", "HTML код", "HTML код", "", Unmarked},
    {"actPhpSintax", "PHP скрипт", "PHP скрипт", "", Unmarked},
    {"actEditMacros", "Редактор макроподстановок", "Редактор макроподстановок", "", On},
    {"actSetings", "Настройки...", "Настройки...", "", On},
    {"actCompileScript", "Компилировать скрипт", "Компилировать скрипт", "F9", OffHidden},
    {"actSaveTextAndClose", "Сохранить и закрыть", "Сохранить и закрыть", "Ctrl+Return", Hidden},
    {"actSaveToDb", "Сохранить в базе", "Сохранить в базе", "Ctrl+F2", OffHidden},
    {"actClearMessageList", "Очистить...", "Очистить...", "", On},
};

TEST(Commands, CaptionsHintsShortcutsAndStatesAtStart) {
    TestPrompter prompter;
    QApplication::clipboard()->clear();
    const auto w = StartUp({});
    const QList<QAction*> commands = w->Commands();
    ASSERT_EQ(commands.size(), qsizetype(std::size(kCommandCases)));
    for (std::size_t i = 0; i < std::size(kCommandCases); ++i) {
        const CommandCase& c = kCommandCases[i];
        SCOPED_TRACE(c.name);
        const QAction* a = commands[qsizetype(i)];
        EXPECT_EQ(a->objectName(), c.name);
        EXPECT_EQ(a->text(), U(c.caption));
        EXPECT_EQ(a->toolTip(), U(c.hint));
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), c.keys);
        EXPECT_EQ(a->parent(), w.get());
        const bool standard = c.state == Standard;
        // With an empty text and an empty clipboard no standard command can act.
        EXPECT_EQ(a->isEnabled(), !standard && c.state != Off && c.state != OffHidden);
        EXPECT_EQ(w->IsCommandVisible(a), c.state != Hidden && c.state != OffHidden);
        EXPECT_TRUE(a->isVisible()); // Qt would disable a hidden action
        const bool syntax = c.state == Unmarked || QByteArray(c.name).endsWith("Sintax");
        EXPECT_EQ(a->isCheckable(), syntax);
        EXPECT_EQ(a->isChecked(), QByteArray(c.name) == "actNoSintax");
    }
    EXPECT_EQ(w->actSaveTextAndClose->shortcuts().size(), 2); // Enter of the keypad too
}

TEST(Commands, StandardCommandsFollowWhatTheEditorCanDo) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    QApplication::clipboard()->setText("clip");
    QTest::keyClicks(w->Memo, "hello");
    test::Settle();
    EXPECT_TRUE(w->actUndo->isEnabled());
    EXPECT_FALSE(w->actCopy->isEnabled());
    EXPECT_TRUE(w->actPaste->isEnabled());
    EXPECT_TRUE(w->actSelectAll->isEnabled());

    QTest::keyClick(w->Memo, Qt::Key_A, Qt::ControlModifier); // select all
    QTest::keyClick(w->Memo, Qt::Key_C, Qt::ControlModifier); // copy
    EXPECT_EQ(QApplication::clipboard()->text(), "hello");
    EXPECT_TRUE(w->actCut->isEnabled());
    QTest::keyClick(w->Memo, Qt::Key_X, Qt::ControlModifier); // cut
    EXPECT_EQ(w->Memo->text(), "");
    QTest::keyClick(w->Memo, Qt::Key_Z, Qt::ControlModifier); // undo
    EXPECT_EQ(w->Memo->text(), "hello");
    QTest::keyClick(w->Memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(w->Memo, Qt::Key_V, Qt::ControlModifier); // paste
    EXPECT_EQ(w->Memo->text(), "hellohello");
}

TEST(Commands, HiddenShortcutsWorkAndDisabledOnesDoNot) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    int compiles = 0, finds = 0;
    QObject::connect(w->actCompileScript, &QAction::triggered, [&] { ++compiles; });
    QObject::connect(w->actFind, &QAction::triggered, [&] { ++finds; });

    QTest::keyClick(w->Memo, Qt::Key_F9); // disabled and hidden
    EXPECT_EQ(compiles, 0);
    w->actCompileScript->setEnabled(true); // enabled, still hidden
    QTest::keyClick(w->Memo, Qt::Key_F9);
    EXPECT_EQ(compiles, 1);
    w->SetCommandVisible(w->actCompileScript, true); // shown: triggered once
    QTest::keyClick(w->Memo, Qt::Key_F9);
    EXPECT_EQ(compiles, 2);

    QTest::keyClick(w->Memo, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(finds, 1);
    w->actFind->setEnabled(false);
    QTest::keyClick(w->Memo, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(finds, 1);
}

TEST(Commands, CtrlEnterClosesTheWindowWithCloseResultOne) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    QTest::keyClick(w->Memo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->CloseResult, 1);
}

TEST(Commands, AnExceptionEscapingACommandIsReportedAndTheWindowStays) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    QObject::connect(w->actFind, &QAction::triggered, w.get(), [&] {
        w->RunGuarded([] { throw std::runtime_error("Деление на ноль"); });
    });
    QTest::keyClick(w->Memo, Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(prompter.records(Interaction::ErrorReport).size(), 1u);
    EXPECT_EQ(prompter.last().text, U("Деление на ноль"));
    w->RunGuarded([] { throw 42; });
    EXPECT_EQ(prompter.records(Interaction::ErrorReport).size(), 2u);
    EXPECT_TRUE(w->isVisible());
}

// ---- Menus, tool bar, context menu

// The entries of a menu or tool bar: command names, "-" for a separator, "gap" for a space.
QStringList Entries(const QList<QAction*>& actions, const QWidget* owner = nullptr) {
    QStringList names;
    for (QAction* a : actions) {
        if (a->isSeparator()) {
            names << "-";
        } else if (auto* widgetAction = qobject_cast<QWidgetAction*>(a); widgetAction || owner) {
            const auto* bar = qobject_cast<const QToolBar*>(owner);
            QWidget* widget = bar ? bar->widgetForAction(a) : nullptr;
            if (auto* button = qobject_cast<QToolButton*>(widget); button && button->defaultAction() != a)
                names << button->defaultAction()->objectName() + "+menu";
            else if (widget && !qobject_cast<QToolButton*>(widget))
                names << "gap";
            else
                names << a->objectName();
        } else {
            names << a->objectName();
        }
    }
    return names;
}

TEST(Menus, MenuBarMenusAndContextMenuInOrder) {
    TestPrompter prompter;
    const auto w = StartUp({});
    QStringList titles;
    for (QAction* a : w->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{U("Файл"), U("Правка"), U("Синтаксис"), U("Настойки"), U("О программе")}));
    EXPECT_EQ(w->menuBar()->actions().last()->menu(), nullptr);

    EXPECT_EQ(Entries(w->MenuFile->actions()),
              (QStringList{"actLoadScriptOnFile", "actSaveScriptToFile", "actSaveScriptAsToFile", "-", "actPrint", "-",
                           "-", "actExit"}));
    EXPECT_EQ(Entries(w->MenuEdit->actions()),
              (QStringList{"actUndo", "-", "actCut", "actCopy", "actPaste", "-", "actFind", "actFindNext",
                           "actFindReplace", "-", "actRecodeDosToWin", "actUndoRecodeText"}));
    const QStringList syntax{"actNoSintax", "actPasSintax", "actBasSintax", "actBatSintax",
                             "actPrgSintax", "actHtmlSintax", "actPhpSintax"};
    EXPECT_EQ(Entries(w->MenuSyntax->actions()), syntax);
    EXPECT_EQ(Entries(w->MenuSettings->actions()), (QStringList{"actEditMacros", "-", "actSetings"}));
    EXPECT_EQ(Entries(w->PopupMenu->actions()),
              QStringList({"actUndo", "-", "actCut", "actCopy", "actPaste", "actSelectAll", "-"}) + syntax +
                  QStringList({"-", "actRecodeDosToWin", "actUndoRecodeText"}));
    EXPECT_EQ(w->MenuFile->actions().indexOf(w->MRUEnd), 6);
}

TEST(Menus, ToolBarInOrderWithTheOpenDropDown) {
    TestPrompter prompter;
    const auto w = StartUp({});
    EXPECT_EQ(Entries(w->ToolBar->actions(), w->ToolBar),
              (QStringList{"actLoadScriptOnFile+menu", "-", "actSaveScriptToFile", "-", "actPrint", "gap", "actCut",
                           "actCopy", "actPaste", "-", "actUndo", "gap", "actFind", "-", "actFindNext", "-",
                           "actFindReplace", "gap", "actCompileScript", "-", "actSaveTextAndClose", "-",
                           "actSaveToDb", "gap", "-", "actExit"}));
    EXPECT_EQ(w->OpenButton->menu(), w->OpenButtonMenu);
    EXPECT_TRUE(w->OpenButtonMenu->isEmpty());
    EXPECT_EQ(w->OpenButton->popupMode(), QToolButton::MenuButtonPopup);
}

TEST(AboutBox, ShowsNameVersionAndTheThreeLines) {
    TestPrompter prompter;
    const auto w = StartUp({});
    QStringList shown;
    prompter.answerDialog([&](QDialog& d) {
        for (const QLabel* l : d.findChildren<QLabel*>()) shown << l->text();
        return int(QDialog::Accepted);
    });
    w->MenuAbout->trigger();
    ASSERT_EQ(prompter.records(Interaction::Dialog).size(), 1u);
    EXPECT_EQ(prompter.last().caption, U("О программе"));
    EXPECT_TRUE(shown.contains("Lumivar"));
    EXPECT_TRUE(shown.contains(U("Версия 1.0.1.50")));
    EXPECT_TRUE(shown.contains(U("Редактор предназначен для редактирования текстовых файлов, как WIN так и DOS "
                                 "кодировки.\nРеализованы функции подсветки синтаксиса нескольких языков и Bat "
                                 "файлов.\nМакроподстановки для каждого выбранного синтаксиса.")));
}

// ---- Status bar

struct PositionCase {
    qint64 above;
    int linesAbove;
    int lineLength;
    int column;
    qint64 position;
};

TEST(StatusBar, PositionRule) {
    const PositionCase cases[] = {
        {0, 0, 0, 1, 1},    // caret at the very start
        {10, 2, 6, 5, 19},  // lines of 10 and 0 above, column 5
        {10, 2, 3, 9, 18},  // past the end of a line of 3: counts 4
        {10, 2, 3, 4, 18},  // just past the end
        {0, 3, 0, 7, 7},    // three empty lines above, on an empty line
        {100, 1, 50, 51, 153},
    };
    for (const PositionCase& c : cases)
        EXPECT_EQ(TfScriptEditor::StatusPosition(c.above, c.linesAbove, c.lineLength, c.column), c.position)
            << c.above << " " << c.linesAbove << " " << c.lineLength << " " << c.column;
}

TEST(StatusBar, CaretPanelsIncludingPastTheEndOfALineAndSelections) {
    TestPrompter prompter;
    const auto w = StartUp({});
    w->Memo->LoadText("0123456789\n\nabcdef");
    w->Memo->SetCaret({2, 4});
    EXPECT_EQ(w->SB[1]->text(), "5");
    EXPECT_EQ(w->SB[3]->text(), "19");
    w->Memo->LoadText("0123456789\n\nabc");
    w->Memo->SetCaret({2, 8}); // column 9 of a line of 3
    EXPECT_EQ(w->SB[1]->text(), "9");
    EXPECT_EQ(w->SB[3]->text(), "18");
    w->Memo->setSelection(2, 2, 0, 3); // anchor on line 3, caret on line 1: the start counts
    w->Memo->ReportStatus();
    EXPECT_EQ(w->SB[1]->text(), "4");
    EXPECT_EQ(w->SB[3]->text(), "4");
    w->Memo->setSelection(0, 2, 2, 1); // caret at the end: the start still counts
    w->Memo->ReportStatus();
    EXPECT_EQ(w->SB[1]->text(), "2");
    EXPECT_EQ(w->SB[3]->text(), "3");
}

TEST(StatusBar, InsertModePanelTogglesWithIns) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    QTest::keyClick(w->Memo, Qt::Key_Insert);
    EXPECT_EQ(w->SB[5]->text(), U("Змена"));
    QTest::keyClick(w->Memo, Qt::Key_Insert);
    EXPECT_EQ(w->SB[5]->text(), U("Вставка"));
}

TEST(StatusBar, ModifiedPanelFollowsTheEditorsMark) {
    TestPrompter prompter;
    const auto w = StartUp({});
    ASSERT_TRUE(test::ShowAndActivate(*w));
    w->SetTextModified(false);
    EXPECT_FALSE(w->actSaveScriptToFile->isEnabled());
    QTest::keyClick(w->Memo, Qt::Key_Q);
    EXPECT_EQ(w->SB[4]->text(), U("Текст изменен"));
    EXPECT_TRUE(w->TextModified);
    EXPECT_TRUE(w->actSaveScriptToFile->isEnabled());
    w->SetTextModified(false); // as after a save
    EXPECT_EQ(w->SB[4]->text(), "");
    EXPECT_FALSE(w->Memo->isModified());
    EXPECT_FALSE(w->actSaveScriptToFile->isEnabled());
    // Clearing the editor's mark alone empties the panel and keeps TextModified.
    QTest::keyClick(w->Memo, Qt::Key_W);
    w->Memo->setModified(false);
    EXPECT_EQ(w->SB[4]->text(), "");
    EXPECT_TRUE(w->TextModified);
}

TEST(StatusBar, AReportOfOnlyAWholeTextChangeUpdatesNothing) {
    TestPrompter prompter;
    const auto w = StartUp({});
    for (QLabel* panel : w->SB) panel->setText("x");
    w->MemoStatusChange(StatusChange::All);
    for (QLabel* panel : w->SB) EXPECT_EQ(panel->text(), "x");
}

TEST(StatusBar, EightPanelsWithTheirWidthsAndLabels) {
    TestPrompter prompter;
    const auto w = StartUp({});
    const int widths[] = {60, 50, 60, 50, 100, 50, 70, 150};
    const char* labels[] = {"Колонка", nullptr, "Позиция", nullptr, nullptr, nullptr, "Синтаксис", nullptr};
    for (int i = 0; i < TfScriptEditor::kPanelCount; ++i) {
        EXPECT_EQ(w->SB[i]->minimumWidth(), widths[i]);
        EXPECT_EQ(w->SB[i]->maximumWidth(), widths[i]);
        if (labels[i]) {
            EXPECT_EQ(w->SB[i]->text(), U(labels[i]));
        }
        EXPECT_EQ(bool(w->SB[i]->alignment() & Qt::AlignHCenter), i != 7);
    }
}

} // namespace
} // namespace lumivar
