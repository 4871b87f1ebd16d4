// The window's file commands: line-break kinds kept on save, the save question in both
// wordings, Save As onto an existing file, the recent-files list in both menus with removal of
// a missing file, a failing save that leaves the old file intact, refusal of characters code
// page 1251 cannot hold, files too large to load, exit, and the print command.
#include "tests/app/FileTesting.h"

#include "app/RecentFiles.h"

#include <QAction>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QToolButton>

namespace lumivar {
namespace {

using test::Interaction;
using test::ReadBytes;
using test::U;

class FileCommandsTest : public test::FileTest {
protected:
    // Opens a file through the Open command and its dialog.
    void Open(TfScriptEditor& w, const QString& path) {
        prompter_.answerOpenFile(path);
        w.actLoadScriptOnFile->trigger();
    }

    // Opens the named files in turn (each file holds its own name), then deletes the one named
    // gone; the prompter forgets what it was asked so far.
    void OpenThenDelete(TfScriptEditor& w, const QStringList& names, const QString& gone) {
        for (const QString& name : names) Open(w, WriteFile(name, name.toUtf8()));
        QFile::remove(Path(gone));
        prompter_.clear();
    }

    static QStringList EntryTexts(const QList<QAction*>& actions) {
        QStringList texts;
        for (QAction* a : actions)
            if (!a->isSeparator()) texts << a->text();
        return texts;
    }
    // The File menu entries between the separator after "Печать..." and the one before "Выход".
    static QStringList FileMenuEntries(const TfScriptEditor& w) {
        const QList<QAction*> all = w.MenuFile->actions();
        const qsizetype print = all.indexOf(w.actPrint), end = all.indexOf(w.MRUEnd);
        return EntryTexts(all.mid(print + 2, end - print - 2));
    }
};

struct LineBreakCase {
    const char* what;
    QByteArray file;
    QByteArray saved; // after "X" is typed at the start of the text
};

TEST_F(FileCommandsTest, SavingKeepsTheLineBreakKindOfTheFile) {
    const LineBreakCase cases[] = {
        {"LF", "a\nb\nc\n", "Xa\nb\nc"},
        {"CR", "a\rb\r", "Xa\rb"},
        {"CR LF", "a\r\nb\r\n", "Xa\r\nb"},
        {"no break after the last line", "a\nb", "Xa\nb"},
        {"NUL is a break", QByteArray("a\0b\nc", 5), "Xa\nb\nc"},
        {"mixed breaks become CR LF", "a\nb\rc\r\nd", "Xa\r\nb\r\nc\r\nd"},
        {"empty lines kept", "\n\na\n\n", "X\n\na\n"},
        {"every byte kept", "\x01\x7F\x80\x98\xC0\xFF", "X\x01\x7F\x80\x98\xC0\xFF"},
    };
    for (const LineBreakCase& c : cases) {
        const QString path = WriteFile("t.txt", c.file);
        const auto w = NewWindow();
        Open(*w, path);
        ASSERT_EQ(w->FileName, path) << c.what;
        w->Memo->insertAt("X", 0, 0);
        EXPECT_TRUE(w->TextModified);
        w->actSaveScriptToFile->trigger();
        EXPECT_EQ(ReadBytes(path), c.saved) << c.what;
        EXPECT_FALSE(w->TextModified);
        EXPECT_FALSE(w->actSaveScriptToFile->isEnabled());
    }
    EXPECT_TRUE(prompter_.records(Interaction::MessageBox).empty());
}

TEST_F(FileCommandsTest, OpeningSetsNameCaptionSyntaxAndTheList) {
    const QString path = WriteFile("unit.pas", "begin end.");
    const auto w = NewWindow();
    EXPECT_TRUE(w->actSaveScriptToFile->isEnabled()) << "enabled at start";
    Open(*w, path);
    const test::PromptRecord dialog = prompter_.records(Interaction::OpenFile).front();
    EXPECT_EQ(dialog.caption, U("Загрузить из файла"));
    EXPECT_EQ(dialog.fileName, "");
    EXPECT_EQ(w->Memo->text(), "begin end.");
    EXPECT_EQ(w->windowTitle(), "Lumivar [" + path + "]");
    EXPECT_EQ(w->SyntaxMode, 1);
    EXPECT_FALSE(w->TextModified);
    EXPECT_FALSE(w->actSaveScriptToFile->isEnabled());
    EXPECT_EQ(w->MRUList.items(), QStringList{path});
    EXPECT_EQ(w->OpenDialog.fileName, path);
}

TEST_F(FileCommandsTest, ACancelledOpenDialogChangesNothing) {
    const auto w = NewWindow();
    w->Memo->setText("keep");
    prompter_.answerOpenFile(std::nullopt);
    w->actLoadScriptOnFile->trigger();
    EXPECT_EQ(w->Memo->text(), "keep");
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_TRUE(w->MRUList.items().isEmpty());
}

TEST_F(FileCommandsTest, TheSaveQuestionNamesTextOrFile) {
    const QString first = WriteFile("first.txt", "one");
    const QString second = WriteFile("second.txt", "two");
    const auto w = NewWindow();
    w->Memo->setText("typed");
    prompter_.answerNo();
    Open(*w, first);
    auto questions = prompter_.records(Interaction::MessageBox);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text, U("Текст был изменен\rСохранить?"));
    EXPECT_EQ(questions[0].caption, U("Сообщение"));
    EXPECT_EQ(questions[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(w->Memo->text(), "one") << "No loses the changes and goes on";

    w->Memo->insertAt("!", 0, 0);
    prompter_.answerYes();
    Open(*w, second);
    questions = prompter_.records(Interaction::MessageBox);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text, U("Файл был изменен\rСохранить?"));
    EXPECT_EQ(ReadBytes(first), "!one") << "Yes saves under the file's name";
    EXPECT_EQ(w->FileName, second);
}

TEST_F(FileCommandsTest, YesOnAnUntitledTextWithTheSaveDialogCancelledStillOpens) {
    const QString path = WriteFile("next.txt", "next");
    const auto w = NewWindow();
    w->Memo->setText("untitled");
    prompter_.answerYes();
    prompter_.answerSaveFile(std::nullopt);
    Open(*w, path);
    std::vector<Interaction> kinds;
    for (const auto& r : prompter_.records()) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<Interaction>{Interaction::MessageBox, Interaction::SaveFile, Interaction::OpenFile}));
    EXPECT_EQ(prompter_.records(Interaction::SaveFile)[0].caption, U("Сохранить как..."));
    EXPECT_EQ(w->Memo->text(), "next");
}

TEST_F(FileCommandsTest, NoQuestionWhenTheTextIsUnchangedOrSaveAndCloseIsShown) {
    const QString path = WriteFile("a.txt", "a");
    const auto w = NewWindow();
    Open(*w, path);
    Open(*w, path);
    w->Memo->setText("changed");
    w->SetCommandVisible(w->actSaveTextAndClose, true); // an embedding application shows it
    Open(*w, path);
    EXPECT_TRUE(prompter_.records(Interaction::MessageBox).empty());
}

TEST_F(FileCommandsTest, SaveAsOntoAnExistingFileAsksAndNoLeavesEverything) {
    const QString mine = WriteFile("mine.txt", "mine");
    const QString other = WriteFile("other.pas", "other");
    const auto w = NewWindow();
    Open(*w, mine);
    w->Memo->setText("edited");
    prompter_.answerSaveFile(other);
    prompter_.answerNo();
    w->actSaveScriptAsToFile->trigger();
    const test::PromptRecord save = prompter_.records(Interaction::SaveFile).front();
    EXPECT_EQ(save.caption, U("Сохранить как..."));
    EXPECT_EQ(save.fileName, mine) << "the dialog starts with the current name";
    EXPECT_EQ(prompter_.last().text, U("Файл существует\r") + other + U("\rПереписать?"));
    EXPECT_EQ(prompter_.last().caption, U("Сообщение."));
    EXPECT_EQ(ReadBytes(other), "other");
    EXPECT_EQ(ReadBytes(mine), "mine");
    EXPECT_EQ(w->FileName, mine);
    EXPECT_TRUE(w->TextModified);
    EXPECT_EQ(w->SyntaxMode, 0);

    prompter_.answerSaveFile(other);
    prompter_.answerYes();
    w->actSaveScriptAsToFile->trigger();
    EXPECT_EQ(ReadBytes(other), "edited");
    EXPECT_EQ(w->FileName, other);
    EXPECT_EQ(w->windowTitle(), "Lumivar [" + other + "]");
    EXPECT_EQ(w->SyntaxMode, 1) << "the new extension chooses the syntax";
    EXPECT_EQ(w->SB[7]->text(), "Delphi (Pascal)");
    EXPECT_FALSE(w->TextModified);
    EXPECT_EQ(w->MRUList.items(), QStringList{mine}) << "saving does not add to the list";
}

TEST_F(FileCommandsTest, SaveWithANameOverwritesWithoutAQuestionAndSetsTheFolder) {
    const QString path = WriteFile("x.txt", "on disk");
    const auto w = NewWindow();
    Open(*w, path);
    WriteFile("x.txt", "changed on disk meanwhile");
    w->Memo->setText("mine");
    QDir::setCurrent(QDir::rootPath());
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(path), "mine");
    EXPECT_TRUE(prompter_.records().size() == 1u) << "only the open dialog";
    EXPECT_EQ(QDir::currentPath(), QDir(dir_.path()).canonicalPath());
}

TEST_F(FileCommandsTest, SavingAnUntitledTextRunsTheSaveDialog) {
    const auto w = NewWindow();
    w->Memo->setText("new text");
    prompter_.answerSaveFile(Path("new.bas"));
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(Path("new.bas")), "new text");
    EXPECT_EQ(w->FileName, Path("new.bas"));
    EXPECT_EQ(w->SyntaxMode, 2);
    EXPECT_EQ(prompter_.records(Interaction::MessageBox).size(), 0u) << "a new file needs no question";
}

TEST_F(FileCommandsTest, AFailingWriteLeavesTheOldFileAndTheStateAlone) {
    const QByteArray original = "the original text";
    const QString path = WriteFile("big.txt", original);
    const auto w = NewWindow();
    Open(*w, path);
    w->Memo->setText(QString(200000, u'x'));
    w->Recoded = true; // the state must survive as well

    prompter_.answerNo(); // plain save, not DOS
    {
        const test::FileSizeLimit limit(4096); // the write fails in the middle
        w->actSaveScriptToFile->trigger();
    }

    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"big.txt"}) << "no temporary file left";
    ASSERT_EQ(prompter_.records(Interaction::MessageBox).size(), 2u);
    EXPECT_TRUE(prompter_.last().text.startsWith(U("Ошибка сохранения файла\r") + path + "\r"))
        << prompter_.last().text.toStdString();
    EXPECT_EQ(prompter_.last().caption, U("Ошибка!"));
    EXPECT_EQ(prompter_.last().flags, 0);
    EXPECT_EQ(w->FileName, path);
    EXPECT_TRUE(w->TextModified);
    EXPECT_TRUE(w->Recoded);
}

TEST_F(FileCommandsTest, SavingKeepsTheFilesPermissions) {
    const QString path = WriteFile("script.sh", "echo old");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup;
    QFile::setPermissions(path, perms);
    const auto w = NewWindow();
    Open(*w, path);
    w->Memo->setText("echo new");
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(path), "echo new");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, perms & 0x7077) << "owner, group and others";
}

TEST_F(FileCommandsTest, ACharacterCodePage1251CannotHoldRefusesTheSave) {
    const QString path = WriteFile("u.txt", "old");
    const auto w = NewWindow();
    Open(*w, path);
    w->Memo->setText(U("первая\nвторая 😀 и Ω\n"));
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(prompter_.last().text,
              U("Ошибка сохранения файла\r") + path +
                  U("\rСтрока 2, колонка 8: символ «😀» (U+1F600) нельзя записать в кодировке Windows-1251"));
    EXPECT_TRUE(w->TextModified);

    prompter_.answerSaveFile(Path("fresh.txt"));
    w->actSaveScriptAsToFile->trigger();
    EXPECT_FALSE(QFile::exists(Path("fresh.txt")));
    EXPECT_EQ(w->FileName, path);
}

TEST_F(FileCommandsTest, LoadErrorsNameTheFileAndTheReason) {
    const auto w = NewWindow();
    w->Memo->setText("kept");
    Open(*w, Path("missing.txt"));
    EXPECT_EQ(prompter_.last().text, U("Ошибка загрузки файла\r") + Path("missing.txt") + U("\rФайл не найден"));
    EXPECT_EQ(prompter_.last().caption, U("Ошибка!"));
    EXPECT_EQ(prompter_.records(Interaction::OpenFile).size(), 1u) << "no second dialog";
    EXPECT_EQ(w->Memo->text(), "kept");
    EXPECT_TRUE(w->FileName.isEmpty());
}

TEST_F(FileCommandsTest, AFileTooLargeForTheEditorIsRefused) {
    const QString path = WriteFile("huge.txt", "");
    QFile file(path);
    ASSERT_TRUE(file.resize(kMaxLoadBytes + 1)); // sparse: costs no disk
    const auto w = NewWindow();
    Open(*w, path);
    EXPECT_EQ(prompter_.last().text, U("Ошибка загрузки файла\r") + path +
                                         U("\rФайл слишком велик (больше 268435456 байт)"));
    EXPECT_TRUE(w->FileName.isEmpty());
    EXPECT_TRUE(FitsInEditor(kMaxLoadBytes));
    EXPECT_FALSE(FitsInEditor(kMaxLoadBytes + 1));
}

TEST_F(FileCommandsTest, TheRecentFilesShowInBothMenus) {
    const auto w = NewWindow();
    EXPECT_TRUE(FileMenuEntries(*w).isEmpty());
    QStringList expected;
    for (int i = 1; i <= 11; ++i) Open(*w, WriteFile(QStringLiteral("f%1.txt").arg(i), "x"));
    const char* accelerators = "123456789A";
    for (int i = 0; i < 10; ++i)
        expected << QStringLiteral("&%1 %2").arg(QChar(accelerators[i]), Path(QStringLiteral("f%1.txt").arg(11 - i)));
    EXPECT_EQ(FileMenuEntries(*w), expected);
    EXPECT_EQ(EntryTexts(w->OpenButtonMenu->actions()), expected);
    EXPECT_EQ(w->OpenButton->menu(), w->OpenButtonMenu);

    // The same name in other letters (another file here) replaces the entry, moved up.
    Open(*w, WriteFile("F5.TXT", "y"));
    EXPECT_EQ(w->MRUList.count(), 10);
    EXPECT_EQ(w->MRUList.items().front(), Path("F5.TXT"));
    EXPECT_EQ(w->MRUList.items().filter("f5.txt", Qt::CaseInsensitive).size(), 1);
}

TEST_F(FileCommandsTest, ChoosingAnEntryMovesItUpAndOpensIt) {
    const auto w = NewWindow();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) Open(*w, WriteFile(name, name));
    w->Memo->setText("changes");
    prompter_.clear();
    prompter_.answerNo();
    w->MRUItems[2]->trigger(); // a.txt
    QApplication::processEvents();
    EXPECT_EQ(w->Memo->text(), "a.txt");
    EXPECT_EQ(w->MRUList.items(), QStringList({Path("a.txt"), Path("c.txt"), Path("b.txt")}));
    EXPECT_EQ(prompter_.records(Interaction::OpenFile).size(), 0u);
    EXPECT_EQ(prompter_.records(Interaction::MessageBox).size(), 1u) << "the save question";
}

TEST_F(FileCommandsTest, AMissingRecentFileIsRemovedAndTheOpenDialogOffersItsName) {
    const auto w = NewWindow();
    const QString gone = Path("gone.txt"), stays = Path("stays.txt");
    OpenThenDelete(*w, {"gone.txt", "stays.txt"}, "gone.txt");
    prompter_.answerOpenFile(std::nullopt);
    w->MRUItems[1]->trigger();
    QApplication::processEvents();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, U("Ошибка загрузки файла\r") + gone + U("\rФайл не найден"));
    EXPECT_EQ(prompter_.records()[0].caption, U("Ошибка!"));
    EXPECT_EQ(prompter_.records()[1].kind, Interaction::OpenFile);
    EXPECT_EQ(prompter_.records()[1].fileName, gone);
    EXPECT_EQ(w->MRUList.items(), QStringList{stays});
    EXPECT_EQ(FileMenuEntries(*w), QStringList{"&1 " + stays});
    EXPECT_EQ(w->Memo->text(), "stays.txt");

    // Picking a file in the offered dialog opens it.
    WriteFile("gone.txt", "back");
    Open(*w, gone);
    QFile::remove(gone);
    prompter_.answerOpenFile(stays);
    w->MRUItems[0]->trigger();
    QApplication::processEvents();
    EXPECT_EQ(w->FileName, stays);
    EXPECT_EQ(w->MRUList.items(), QStringList{stays});
}

TEST_F(FileCommandsTest, AFailingPickInTheOfferedDialogRemovesNoOtherEntry) {
    const auto w = NewWindow();
    const QString stays = Path("stays.txt");
    OpenThenDelete(*w, {"stays.txt", "gone.txt"}, "gone.txt");
    prompter_.answerOpenFile(Path("nothere.txt"));
    w->MRUItems[0]->trigger();
    QApplication::processEvents();
    std::vector<Interaction> kinds;
    for (const auto& r : prompter_.records()) kinds.push_back(r.kind);
    EXPECT_EQ(kinds, (std::vector<Interaction>{Interaction::MessageBox, Interaction::OpenFile, Interaction::MessageBox,
                                               Interaction::OpenFile}));
    EXPECT_EQ(prompter_.records()[3].fileName, Path("nothere.txt"));
    EXPECT_EQ(w->MRUList.items(), QStringList{stays});
    EXPECT_EQ(w->Memo->text(), "gone.txt") << "the text stays as it was";
}

TEST_F(FileCommandsTest, TheListSurvivesARestartAndARemovalStaysRemoved) {
    const QString a = WriteFile("a.txt", "a"), b = WriteFile("b.txt", "b");
    {
        const auto w = NewWindow();
        Open(*w, a);
        Open(*w, b);
    }
    EXPECT_EQ(SettingsStore().readString("MRU/MRUList", "MRU1", ""), b);
    EXPECT_EQ(SettingsStore().readString("MRU/MRUList", "MRU2", ""), a);
    {
        const auto w = NewWindow();
        EXPECT_EQ(w->MRUList.items(), QStringList({b, a}));
        EXPECT_EQ(FileMenuEntries(*w), QStringList({"&1 " + b, "&2 " + a}));
        QFile::remove(a);
        w->MRUItems[1]->trigger();
        QApplication::processEvents();
    }
    EXPECT_EQ(NewWindow()->MRUList.items(), QStringList{b});
    EXPECT_EQ(SettingsStore().readString("MRU/MRUList", "MRU2", "deleted"), "deleted");
}

TEST_F(FileCommandsTest, ExitAsksTheSaveQuestion) {
    const auto w = NewWindow();
    w->show();
    w->Memo->setText("unsaved");
    prompter_.answerNo();
    w->actExit->trigger();
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(prompter_.records(Interaction::MessageBox).size(), 1u);
    EXPECT_EQ(prompter_.last().text, U("Текст был изменен\rСохранить?"));
}

TEST_F(FileCommandsTest, PrintShowsThePreviewOfTheWholeText) {
    const auto w = NewWindow();
    QStringList lines;
    for (int i = 0; i < 100; ++i) lines << QStringLiteral("line %1").arg(i);
    w->Memo->setText(lines.join('\n'));
    int pages = 0;
    prompter_.answerDialog([&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        pages = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
        return int(QDialog::Rejected);
    });
    w->actPrint->trigger();
    EXPECT_EQ(prompter_.last().className, "QPrintPreviewDialog");
    EXPECT_EQ(w->PrintText, lines.join("\r\n"));
    EXPECT_EQ(pages, 2);
}

} // namespace
} // namespace lumivar
