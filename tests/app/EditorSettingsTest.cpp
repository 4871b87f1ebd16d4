// The window's stored settings across restarts: placement (maximised included, a rectangle off
// every screen brought back, malformed values ignored), the editor's font, right margin, colours
// and tab width with the extension list, written only when asked, and the printout's font.
#include "tests/app/FileTesting.h"

#include <QGuiApplication>
#include <QPrintPreviewWidget>
#include <QScreen>

namespace lumivar {
namespace {

using test::U;

class EditorSettingsTest : public test::FileTest {
protected:
    static QByteArray SettingsText() { return test::ReadBytes(SettingsStore().fileName()); }
};

TEST_F(EditorSettingsTest, AFirstStartKeepsTheBuiltInValues) {
    const auto w = NewWindow();
    EXPECT_EQ(w->MemoFont().family(), "Courier New");
    EXPECT_EQ(w->MemoFont().pointSize(), 9);
    EXPECT_EQ(w->Memo->edgeColumn(), 100);
    EXPECT_EQ(w->Memo->edgeColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(w->Memo->tabWidth(), 2);
    EXPECT_TRUE(w->ExtList.isEmpty());
    EXPECT_EQ(w->size(), QSize(780, 525));
    EXPECT_FALSE(w->isMaximized());
}

TEST_F(EditorSettingsTest, ThePlacementComesBack) {
    const QRect rect(QPoint(50, 60), QSize(700, 400));
    {
        const auto w = NewWindow();
        w->setGeometry(rect);
    }
    EXPECT_TRUE(SettingsText().contains("Rect=\"50,60,750,460\"")) << SettingsText().constData();
    EXPECT_TRUE(SettingsText().contains("WindowState=0"));
    const auto w = NewWindow();
    EXPECT_EQ(w->geometry(), rect);
    EXPECT_FALSE(w->isMaximized());
}

TEST_F(EditorSettingsTest, AMaximisedWindowOpensMaximised) {
    {
        const auto w = NewWindow();
        w->showMaximized();
        QApplication::processEvents();
        ASSERT_TRUE(w->isMaximized());
    }
    EXPECT_TRUE(SettingsText().contains("WindowState=2"));
    const auto w = NewWindow();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    w->show();
    QApplication::processEvents();
    EXPECT_TRUE(w->isMaximized());
}

TEST_F(EditorSettingsTest, AWindowOffEveryScreenIsBroughtBack) {
    SettingsStore().writeString("FormRect", "Rect", "20000,20000,20700,20400");
    const auto w = NewWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w->geometry())) << "on " << screen.width() << "x" << screen.height();
    EXPECT_EQ(w->size(), QSize(700, 400));
}

TEST_F(EditorSettingsTest, MalformedPlacementValuesAreIgnored) {
    const QRect built = NewWindow()->geometry();
    for (const char* rect : {"1,2,3", "a,b,c,d", "100,100,50,50", ""}) {
        SettingsStore().writeString("FormRect", "Rect", rect);
        SettingsStore().writeString("FormRect", "WindowState", "7");
        const auto w = NewWindow();
        EXPECT_EQ(w->geometry(), built) << rect;
        EXPECT_FALSE(w->isMaximized() || w->isMinimized());
    }
}

TEST_F(EditorSettingsTest, EditorSettingsComeBackAfterARestart) {
    QStringList twenty;
    for (int i = 0; i < 20; ++i) twenty << QStringLiteral("e%1").arg(i);
    {
        const auto w = NewWindow();
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPointSize(14);
        font.setBold(true);
        w->SetMemoFont(font);
        w->MemoFontColor = clNavy;
        w->Memo->setEdgeColumn(80);
        w->Memo->setEdgeColor(QColor(255, 0, 0));
        w->SetMemoColor(QColor(0x10, 0x20, 0x30));
        w->Memo->setTabWidth(4);
        w->ExtList = twenty;
        w->StoreEditorSettings(true);
    }
    const QByteArray text = SettingsText();
    for (const char* line : {"Font=\"Liberation Serif,14,clNavy,1,0,0,0\"", "RightEdge=80",
                             "RightEdgeColor=clRed", "Color=$00302010", "TabWidth=4", "15=e15"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();
    EXPECT_FALSE(text.contains("16=e16"));

    const auto w = NewWindow();
    EXPECT_EQ(w->MemoFont().family(), "Liberation Serif");
    EXPECT_EQ(w->MemoFont().pointSize(), 14);
    EXPECT_TRUE(w->MemoFont().bold());
    EXPECT_EQ(w->MemoFontColor, clNavy);
    EXPECT_EQ(w->Memo->color(), QColor(0, 0, 0x80)) << "the text is painted in the font's colour";
    EXPECT_EQ(w->Memo->edgeColumn(), 80);
    EXPECT_EQ(w->Memo->edgeColor(), QColor(255, 0, 0));
    EXPECT_EQ(w->MemoColor(), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(w->Memo->paper(), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(w->Memo->tabWidth(), 4);
    EXPECT_EQ(w->ExtList, twenty.mid(0, 16));
}

TEST_F(EditorSettingsTest, SystemColoursKeepTheirNames) {
    NewWindow()->StoreEditorSettings(true);
    const QByteArray text = SettingsText();
    EXPECT_TRUE(text.contains("RightEdgeColor=clSilver")) << text.constData();
    EXPECT_TRUE(text.contains("Color=clWindow")) << text.constData();
    EXPECT_TRUE(text.contains("Font=\"Courier New,9,clWindowText,0,0,0,0\"")) << text.constData();
}

TEST_F(EditorSettingsTest, TheEditorSettingsAreNotWrittenAtExit) {
    {
        const auto w = NewWindow();
        w->Memo->setEdgeColumn(33);
    }
    EXPECT_FALSE(SettingsText().contains("[Memo]"));
    EXPECT_EQ(NewWindow()->Memo->edgeColumn(), 100);
}

TEST_F(EditorSettingsTest, MalformedEditorValuesKeepTheBuiltInOnes) {
    SettingsStore store;
    store.writeString("Memo", "Font", "Arial,12");
    store.writeString("Memo", "RightEdge", "-5");
    store.writeString("Memo", "RightEdgeColor", "reddish");
    store.writeString("Memo", "Color", "$XYZ");
    store.writeString("Memo", "TabWidth", "99");
    const auto w = NewWindow();
    EXPECT_EQ(w->MemoFont().family(), "Courier New");
    EXPECT_EQ(w->Memo->edgeColumn(), 100);
    EXPECT_EQ(w->Memo->edgeColor(), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(w->Memo->tabWidth(), 2);
    store.writeString("Memo", "Font", "Arial,huge,clRed,0,1,0,0");
    const auto v = NewWindow();
    EXPECT_EQ(v->MemoFont().family(), "Arial");
    EXPECT_EQ(v->MemoFont().pointSize(), 10) << "a size that is not a number reads as 10";
    EXPECT_TRUE(v->MemoFont().italic());
}

TEST_F(EditorSettingsTest, TheNextPrintoutUsesTheEditorsFont) {
    const auto w = NewWindow();
    QStringList lines;
    for (int i = 0; i < 100; ++i) lines << QStringLiteral("line %1").arg(i);
    w->Memo->setText(lines.join('\n'));
    std::vector<int> pages;
    for (int size : {9, 18}) {
        QFont font = w->MemoFont();
        font.setPointSize(size);
        w->SetMemoFont(font);
        prompter_.answerDialog([&](QDialog& dialog) {
            dialog.show();
            QApplication::processEvents();
            pages.push_back(dialog.findChild<QPrintPreviewWidget*>()->pageCount());
            return int(QDialog::Rejected);
        });
        w->actPrint->trigger();
    }
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], 2);
    EXPECT_GE(pages[1], 2 * pages[0] - 1);
}

} // namespace
} // namespace lumivar
