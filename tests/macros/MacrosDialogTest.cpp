// The macro dialog: its captions, the table ordered by name, the edit panel with its limits,
// cancel and delete paths, loading a macro file and saving.
#include "macros/Macros.h"

#include "macros/EditMac.h"
#include "tests/support/TestPrompter.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumivar {
namespace {

using test::PrintTo;
using test::Interaction;
using test::TestPrompter;

const QStringList kStored{"[Begin]", "beg", "=begin", "=  |", "=end;", "",
                          "[Assign]", "as", "=a := b;|", ""};

void Click(QDialog& dialog, const char* button) {
    auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(found, nullptr) << button;
    found->click();
}

// Answers the next edit panel with these fields and OK (or Cancel).
void AnswerPanel(TestPrompter& prompter, const QString& name, const QString& key, bool ok = true) {
    prompter.answerDialog([=](QDialog& dialog) {
        auto& panel = static_cast<TfEditMac&>(dialog);
        panel.NameEdit()->setText(name);
        panel.KeyEdit()->setText(key);
        if (ok) panel.accept();
        return panel.result();
    });
}

QStringList Names(TfMacros& dialog) {
    QStringList names;
    for (const TMacro& macro : dialog.CdsMac().Records()) names << macro.Name;
    return names;
}

// The dialog opened on the stored list, with a prompter answering its questions.
class StoredMacros : public testing::Test {
protected:
    StoredMacros() { dialog.FormShow("Нет", kStored); }
    TestPrompter prompter;
    TfMacros dialog;
};

TEST(MacrosDialog, ButtonsAndLabelsCarryTheirCaptions) {
    TfMacros dialog;
    const std::pair<const char*, const char*> buttons[] = {
        {"BitBtn4", "Дбавить макрос"},      {"BitBtn5", "Изменить макрос"},
        {"BitBtn6", "Удалить макрос"},      {"BitBtn1", "Загрузить из файла"},
        {"BitBtn2", "Сохранить и выйти"},   {"BitBtn3", "Выйти без сохранениея"},
    };
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(dialog.findChild<QPushButton*>(name)->text(), QString::fromUtf8(caption));
    EXPECT_EQ(dialog.windowTitle(), "Редактор макроподстановок");
    EXPECT_EQ(dialog.size(), QSize(413, 363));
    EXPECT_EQ(dialog.findChild<QLabel*>("Label4")->text(),
              "Вызов списка макроподстановок в окне редактора (Ctrl+Shift+J)\n"
              "Вызов  макроподстановки в окне редактора (Ctrl+J) после ключа");
    const QAbstractItemModel* model = dialog.Grid()->model();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Наименование");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Ключевое слово");
    EXPECT_EQ(dialog.Grid()->columnWidth(0), 264);
    EXPECT_EQ(dialog.Grid()->columnWidth(1), 123);
}

TEST(MacrosDialog, ShowsTheModeAndTheTableByName) {
    TfMacros dialog;
    dialog.FormShow("Delphi (Pascal)", kStored);
    EXPECT_EQ(dialog.LbSintax()->text(), "Синтаксис  Delphi (Pascal)");
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
    EXPECT_EQ(dialog.CdsMac().Current(), 0);
    EXPECT_EQ(dialog.Memo()->toPlainText(), "a := b;|\n");
}

TEST(MacrosDialog, EmptyListShowsAnEmptyTableAndChangeDoesNothing) {
    TestPrompter prompter;
    TfMacros dialog;
    dialog.FormShow("Нет", {});
    EXPECT_EQ(dialog.Grid()->model()->rowCount(), 0);
    Click(dialog, "BitBtn5");
    EXPECT_TRUE(prompter.records().empty());
    EXPECT_TRUE(dialog.Memo()->isReadOnly());
}

TEST(MacrosDialog, AddingBThenASavesAFirst) {
    TestPrompter prompter;
    TfMacros dialog;
    prompter.answerDialog([&](QDialog&) {
        Click(dialog, "BitBtn4");
        dialog.Memo()->setPlainText("second");
        Click(dialog, "BitBtn4");
        dialog.Memo()->setPlainText("first|");
        Click(dialog, "BitBtn2");
        return dialog.result();
    });
    AnswerPanel(prompter, "b", "kb");
    AnswerPanel(prompter, "a", "ka");
    const std::optional<QStringList> saved = dialog.EditMacros("Нет", {});
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, (QStringList{"[a]", "ka", "=first|", "", "[b]", "kb", "=second", ""}));
    const auto panels = prompter.records(Interaction::Dialog);
    ASSERT_EQ(panels.size(), 3u);
    EXPECT_EQ(panels[1].caption, "Новая макроподстановка");
}

TEST_F(StoredMacros, CancelledNewMacroLeavesNoRecord) {
    AnswerPanel(prompter, "new", "nw", false);
    Click(dialog, "BitBtn4");
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
    Click(dialog, "BitBtn2");
    EXPECT_EQ(ParseMacroText(dialog.MacroText()).size(), 2u);
}

TEST_F(StoredMacros, ChangedNameMovesTheRecordAndCancelKeepsIt) {
    AnswerPanel(prompter, "Zeta", "as2", false);
    Click(dialog, "BitBtn5");
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
    AnswerPanel(prompter, "Zeta", "as2");
    Click(dialog, "BitBtn5");
    EXPECT_EQ(prompter.last().caption, "Редактидование");
    EXPECT_EQ(Names(dialog), (QStringList{"Begin", "Zeta"}));
    EXPECT_EQ(dialog.CdsMac().Current(), 1);
    EXPECT_EQ(dialog.CdsMac().CurrentRecord()->Key, "as2");
    EXPECT_EQ(dialog.CdsMac().CurrentRecord()->Text, "a := b;|\r");
}

TEST_F(StoredMacros, DeleteAsksAndOnlyYesDeletes) {
    prompter.answerNo();
    Click(dialog, "BitBtn6");
    EXPECT_EQ(prompter.last().text, "Удалить выбранную макроподстановку.");
    EXPECT_EQ(prompter.last().caption, "Удаление!");
    EXPECT_EQ(prompter.last().flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
    prompter.answerYes();
    Click(dialog, "BitBtn6");
    EXPECT_EQ(Names(dialog), QStringList{"Begin"});
    EXPECT_EQ(dialog.Memo()->toPlainText(), "begin\n  |\nend;\n");
}

TEST(MacrosDialog, DeleteOnAnEmptyTableAsksNothing) {
    TestPrompter prompter;
    TfMacros dialog;
    dialog.FormShow("Нет", {});
    Click(dialog, "BitBtn6");
    EXPECT_TRUE(prompter.records().empty());
}

TEST(MacrosDialog, MemoEditsTheCurrentMacro) {
    TfMacros dialog;
    dialog.FormShow("Нет", kStored);
    dialog.Grid()->setCurrentIndex(dialog.Grid()->model()->index(1, 0));
    EXPECT_EQ(dialog.Memo()->toPlainText(), "begin\n  |\nend;\n");
    dialog.Memo()->setPlainText("begin\n  |\nend.");
    dialog.Grid()->setCurrentIndex(dialog.Grid()->model()->index(0, 0));
    EXPECT_EQ(dialog.Memo()->toPlainText(), "a := b;|\n");
    Click(dialog, "BitBtn2");
    EXPECT_EQ(dialog.MacroText(), (QStringList{"[Assign]", "as", "=a := b;|", "",
                                               "[Begin]", "beg", "=begin", "=  |", "=end.", ""}));
}

TEST_F(StoredMacros, SaveKeepsAssignmentsAndDropsEmptyMacrosOnTheNextRead) {
    AnswerPanel(prompter, "Empty", "em");
    Click(dialog, "BitBtn4");
    Click(dialog, "BitBtn2");
    EXPECT_TRUE(dialog.MacroText().contains("=a := b;|"));
    EXPECT_TRUE(dialog.MacroText().contains("em"));
    dialog.FormShow("Нет", dialog.MacroText());
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
}

struct LimitCase {
    const char* name;
    bool keyField;
    int typed;
    int kept;
};

class FieldLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(FieldLimit, LongerTextCannotBeEntered) {
    TfEditMac panel;
    QLineEdit* edit = GetParam().keyField ? panel.KeyEdit() : panel.NameEdit();
    edit->setText(QString(GetParam().typed, 'x'));
    EXPECT_EQ(edit->text().size(), GetParam().kept);
}

const LimitCase kLimitCases[] = {
    {"Name200", false, 200, 200},
    {"Name201", false, 201, 200},
    {"Key20", true, 20, 20},
    {"Key21", true, 21, 20},
};

INSTANTIATE_TEST_SUITE_P(MacrosDialog, FieldLimit, testing::ValuesIn(kLimitCases), test::CaseName);

struct KeyCase {
    const char* name;
    QString key;
    bool accepted;
};

class PanelKey : public testing::TestWithParam<KeyCase> {};

TEST_P(PanelKey, OkRefusesKeysTheTextCannotHold) {
    TestPrompter prompter;
    TfEditMac panel;
    panel.SetFields("name", GetParam().key);
    panel.setResult(QDialog::Rejected);
    panel.accept();
    EXPECT_EQ(panel.result() == QDialog::Accepted, GetParam().accepted);
    EXPECT_EQ(prompter.records(Interaction::MessageBox).size(), GetParam().accepted ? 0u : 1u);
}

const KeyCase kKeyCases[] = {
    {"Plain", "beg", true},   {"Cyrillic", "нач", true}, {"Empty", "", false},
    {"Blank", "   ", false},  {"Bracket", "[x", false},  {"Equals", "=x", false},
};

INSTANTIATE_TEST_SUITE_P(MacrosDialog, PanelKey, testing::ValuesIn(kKeyCases), test::CaseName);

class MacroFile : public testing::Test {
protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir_.filePath("list.mcr");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(MacroFile, LoadReplacesTheTableAndExitKeepsTheList) {
    TestPrompter prompter;
    TfMacros dialog;
    // "[Цикл]" in code page 1251, then a key and a text line.
    const QString path = write("[\xD6\xE8\xEA\xEB]\r\nwh\r\n=while | do\r\n\r\n");
    prompter.answerOpenFile(path);
    prompter.answerDialog([&](QDialog&) {
        Click(dialog, "BitBtn1");
        EXPECT_EQ(Names(dialog), QStringList{"Цикл"});
        Click(dialog, "BitBtn3");
        return dialog.result();
    });
    EXPECT_FALSE(dialog.EditMacros("Нет", kStored));
    const auto open = prompter.records(Interaction::OpenFile);
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].caption, "закрузка файла макросов");
    EXPECT_EQ(open[0].filter, "Файлы макросов (*.mcr)|*.mcr");
}

TEST_F(MacroFile, CancelledOpenKeepsTheTable) {
    TestPrompter prompter;
    TfMacros dialog;
    dialog.FormShow("Нет", kStored);
    prompter.answerOpenFile(std::nullopt);
    Click(dialog, "BitBtn1");
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
}

TEST_F(MacroFile, UnreadableFileIsReportedAndKeepsTheTable) {
    // A pipe nobody writes to would block the dialog at opening.
    const QString pipe = dir_.filePath("pipe.mcr");
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    for (const QString& path : {dir_.filePath("missing.mcr"), pipe, QStringLiteral("/dev/zero")}) {
        SCOPED_TRACE(path.toStdString());
        TestPrompter prompter;
        TfMacros dialog;
        dialog.FormShow("Нет", kStored);
        prompter.answerOpenFile(path);
        Click(dialog, "BitBtn1");
        EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
        EXPECT_EQ(prompter.last().caption, "Ошибка!");
        EXPECT_TRUE(prompter.last().text.startsWith("Ошибка загрузки файла\r" + path + "\r"));
    }
}

TEST_F(MacroFile, OversizedFileIsRefused) {
    TestPrompter prompter;
    TfMacros dialog;
    dialog.FormShow("Нет", kStored);
    prompter.answerOpenFile(write(QByteArray(TfMacros::kMaxFileSize + 1, 'x')));
    Click(dialog, "BitBtn1");
    EXPECT_EQ(Names(dialog), (QStringList{"Assign", "Begin"}));
    EXPECT_EQ(prompter.last().kind, Interaction::MessageBox);
}

} // namespace
} // namespace lumivar
