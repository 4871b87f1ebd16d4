// DOS/Windows recoding in the window: the command states, the question before converting a
// text that looks like Windows text, the caret kept, undoing, and saving in the DOS code page
// with a real code page 866 file that comes back byte for byte.
#include "tests/app/FileTesting.h"

#include "app/util/strtools.h"

#include <QAction>
#include <QLabel>

namespace lumivar {
namespace {

using test::Interaction;
using test::ReadBytes;
using test::U;

// "Привет, мир!" and "Москва" in code page 866.
const QByteArray kDosHello("\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0!");
const QByteArray kDosMoscow("\x8C\xAE\xE1\xAA\xA2\xA0");

class RecodeTest : public test::FileTest {
protected:
    std::unique_ptr<TfScriptEditor> OpenWindow(const QString& path) {
        auto w = NewWindow();
        prompter_.answerOpenFile(path);
        w->actLoadScriptOnFile->trigger();
        prompter_.clear();
        return w;
    }
};

TEST_F(RecodeTest, AtStartOnlyTheRecodeCommandIsEnabled) {
    const auto w = NewWindow();
    EXPECT_TRUE(w->actRecodeDosToWin->isEnabled());
    EXPECT_FALSE(w->actUndoRecodeText->isEnabled());
    EXPECT_FALSE(w->Recoded);
}

TEST_F(RecodeTest, ADosTextConvertsWithoutAQuestion) {
    const auto w = OpenWindow(WriteFile("dos.txt", kDosHello + "\r\n" + kDosMoscow));
    const QString garbled = w->Memo->text();
    w->actRecodeDosToWin->trigger();
    EXPECT_TRUE(prompter_.records().empty());
    EXPECT_EQ(w->Memo->text(), U("Привет, мир!\nМосква"));
    EXPECT_TRUE(w->Recoded);
    EXPECT_FALSE(w->actRecodeDosToWin->isEnabled());
    EXPECT_TRUE(w->actUndoRecodeText->isEnabled());
    EXPECT_TRUE(w->TextModified);
    EXPECT_EQ(w->SB[4]->text(), U("Текст изменен"));
    EXPECT_EQ(w->TextBeforeRecode, garbled);
    EXPECT_EQ(garbled, Cp1251ToUnicode(kDosHello + "\n" + kDosMoscow));
}

TEST_F(RecodeTest, AWindowsTextAsksFirstAndNoChangesNothing) {
    const auto w = NewWindow();
    w->Memo->setText(U("Привет, мир!"));
    w->SetTextModified(false);
    prompter_.answerNo();
    w->actRecodeDosToWin->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.last().text, U("Текст в WIN кодировке!\rВсе равно перекодировать ?"));
    EXPECT_EQ(prompter_.last().caption, U("Перекодировака DOS --> WIN"));
    EXPECT_EQ(prompter_.last().flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(w->Memo->text(), U("Привет, мир!"));
    EXPECT_FALSE(w->Recoded);
    EXPECT_FALSE(w->TextModified);
    EXPECT_TRUE(w->actRecodeDosToWin->isEnabled());

    prompter_.answerYes();
    w->actRecodeDosToWin->trigger();
    EXPECT_TRUE(w->Recoded);
    EXPECT_NE(w->Memo->text(), U("Привет, мир!"));
}

TEST_F(RecodeTest, LatinAndEmptyTextsStayButCountAsRecodedAndModified) {
    for (const char* text : {"Latin letters only 123", ""}) {
        const auto w = NewWindow();
        w->Memo->setText(text);
        w->SetTextModified(false);
        w->actRecodeDosToWin->trigger();
        EXPECT_TRUE(prompter_.records().empty());
        EXPECT_EQ(w->Memo->text(), text);
        EXPECT_TRUE(w->Recoded);
        EXPECT_TRUE(w->TextModified);
        EXPECT_TRUE(w->Memo->isModified()) << text;
        EXPECT_EQ(w->SB[4]->text(), U("Текст изменен")) << text;
    }
}

TEST_F(RecodeTest, TheCaretKeepsItsLineAndColumnAndBookmarkOneIsRemoved) {
    const auto w = OpenWindow(WriteFile("dos.txt", kDosHello + "\r\n" + kDosMoscow + "\r\n" + kDosHello));
    w->Memo->SetBookmark(1, CaretPlace{0, 2});
    w->Memo->SetCaret(CaretPlace{1, 4});
    w->actRecodeDosToWin->trigger();
    EXPECT_EQ(w->Memo->Caret(), (CaretPlace{1, 4}));
    EXPECT_FALSE(w->Memo->Bookmark(1).has_value());
}

TEST_F(RecodeTest, UndoBringsBackTheTextOfTheConversionMoment) {
    const QByteArray dos = kDosHello + "\r\n" + kDosMoscow;
    const auto w = OpenWindow(WriteFile("dos.txt", dos));
    const QString before = w->Memo->text();
    w->actRecodeDosToWin->trigger();
    w->Memo->insertAt("typed ", 0, 0);
    w->SetTextModified(false);
    w->actUndoRecodeText->trigger();
    EXPECT_EQ(w->Memo->text(), before);
    EXPECT_FALSE(w->Recoded);
    EXPECT_TRUE(w->actRecodeDosToWin->isEnabled());
    EXPECT_FALSE(w->actUndoRecodeText->isEnabled());
    EXPECT_TRUE(w->TextModified);
    EXPECT_EQ(w->SB[4]->text(), U("Текст изменен"));
}

TEST_F(RecodeTest, ARealDosFileSavesBackByteExactAndEverySaveAsksAgain) {
    // Every Cyrillic letter of code page 866 and some punctuation, CR LF after every line.
    QByteArray dos;
    for (int b = 0x80; b <= 0xAF; ++b) dos.append(char(b));
    dos.append("\r\n");
    for (int b = 0xE0; b <= 0xF1; ++b) dos.append(char(b));
    dos.append(" 0123456789 .,;:!?()\r\n\r\n" + kDosMoscow + " \xFC 1\r\n");
    const QString path = WriteFile("dos.txt", dos);
    const auto w = OpenWindow(path);
    w->actRecodeDosToWin->trigger();
    EXPECT_TRUE(w->Memo->text().contains(U("Москва № 1")));
    for (int round = 0; round < 2; ++round) {
        prompter_.answerYes();
        w->SaveFile(w->FileName); // F2 is disabled while nothing changed
        EXPECT_EQ(prompter_.last().text, U("Файл <") + path +
                                             U(">\rбыл перекодирован из кодировки DOS в WIN.\rСохранить файл в кодировке DOS ?"));
        EXPECT_EQ(prompter_.last().caption, U("Сохранение файла."));
        EXPECT_EQ(ReadBytes(path), dos) << "round " << round;
        EXPECT_TRUE(w->Recoded) << "saving keeps the state";
        EXPECT_TRUE(w->Memo->text().contains(U("Москва"))) << "the editor keeps the Windows text";
        EXPECT_FALSE(w->TextModified);
    }
    EXPECT_EQ(prompter_.records(Interaction::MessageBox).size(), 2u);
}

TEST_F(RecodeTest, NoToTheDosQuestionWritesTheWindowsText) {
    const QString path = WriteFile("dos.txt", kDosMoscow + "\n" + kDosMoscow);
    const auto w = OpenWindow(path);
    w->actRecodeDosToWin->trigger();
    prompter_.answerNo();
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(path), "\xCC\xEE\xF1\xEA\xE2\xE0\n\xCC\xEE\xF1\xEA\xE2\xE0") << "LF kept, no break at the end";
}

TEST_F(RecodeTest, ABlankTextSavedInDosIsAnEmptyFile) {
    const QString path = WriteFile("blank.txt", "  \r\n\r\n \r\n");
    const auto w = OpenWindow(path);
    w->actRecodeDosToWin->trigger();
    prompter_.answerYes();
    w->actSaveScriptToFile->trigger();
    EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(RecodeTest, OpeningAnotherFileLeavesTheRecodedState) {
    const auto w = OpenWindow(WriteFile("dos.txt", kDosMoscow));
    w->actRecodeDosToWin->trigger();
    prompter_.answerNo(); // the save question
    prompter_.answerOpenFile(WriteFile("other.txt", "x"));
    w->actLoadScriptOnFile->trigger();
    EXPECT_FALSE(w->Recoded);
    EXPECT_TRUE(w->actRecodeDosToWin->isEnabled());
    EXPECT_FALSE(w->actUndoRecodeText->isEnabled());
}

TEST_F(RecodeTest, CharactersWithoutAByteSurviveTheConversion) {
    const auto w = NewWindow();
    w->Memo->setText(Cp1251ToUnicode(kDosMoscow) + U(" Ω"));
    w->actRecodeDosToWin->trigger();
    EXPECT_EQ(w->Memo->text(), U("Москва Ω"));
}

} // namespace
} // namespace lumivar
