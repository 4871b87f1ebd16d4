// The settings dialog: its pages and captions, loading the editor's values, the apply and
// cancel paths, the font dialog's own last font, the extension list rules, the 16 entries the
// store keeps, and the registration of the listed extensions (BAT not made the default).
#include "settings/Setings.h"

#include "settings/ColorPicker.h"
#include "settings/SettingsStore.h"
#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestPrompter.h"
#include "tests/support/WindowTesting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;
using test::Interaction;
using test::TestPrompter;

const TEditorLook kEditorLook{QFont("Courier New", 9), 100, QColor(0xC0, 0xC0, 0xC0),
                              QColor(Qt::white), 2};

// A dialog over a pretend editor: its look, what was applied and stored, and where the
// extensions go.
class Setings : public testing::Test {
protected:
    Setings() : folders_{dir_.filePath("data"), dir_.filePath("config")} {
        dialog_.SetHooks({[this] { return editor_; },
                          [this](const TEditorLook& look) {
                              editor_ = look;
                              calls_ << "apply";
                          },
                          [this] {
                              calls_ << (QFile::exists(MimeAppsPath(folders_)) ? "store after"
                                                                               : "store");
                          }});
        dialog_.SetAssociationTarget("/usr/bin/lumivar", folders_);
    }
    void click(const char* name) {
        auto* button = dialog_.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    QString mimeApps() const {
        QFile file(MimeAppsPath(folders_));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    void add(const QString& typed) {
        dialog_.EditExt()->clear();
        // Typed key by key, Cyrillic letters included, as the keyboard delivers them.
        for (const QChar c : typed) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(dialog_.EditExt(), &press);
        }
        click("RxSpeedButton1");
    }

    TestPrompter prompter_;
    QTemporaryDir dir_;
    TAssociationFolders folders_;
    TEditorLook editor_ = kEditorLook;
    QStringList calls_;
    TfSetings dialog_;
};

TEST_F(Setings, PagesAndCaptions) {
    EXPECT_EQ(dialog_.windowTitle(), "Параметры...");
    EXPECT_EQ(dialog_.size(), QSize(482, 226));
    EXPECT_EQ(dialog_.PageControl()->tabText(0), "Общие");
    EXPECT_EQ(dialog_.PageControl()->tabText(1), "Расширения файлов");
    EXPECT_EQ(dialog_.PageControl()->currentIndex(), 1);
    for (const char* caption : {"Правая граница", "Ширина табуляции", "Цвет правой границы",
                                "Цвет фона"}) {
        bool found = false;
        for (const QLabel* label : dialog_.findChildren<QLabel*>())
            found = found || label->text() == QString::fromUtf8(caption);
        EXPECT_TRUE(found) << caption;
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"BtnApply", "Применить"}, {"BtnOk", "OK"}, {"BtnCancel", "Отмена"},
        {"Button1", "Шрифт"}, {"RxSpeedButton1", "Добавить в список"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(dialog_.findChild<QPushButton*>(name)->text(), QString::fromUtf8(caption));
    EXPECT_EQ(dialog_.LbFont()->size(), QSize(333, 47));
    EXPECT_EQ(dialog_.LbExtFile()->font().family(), "Courier New");
    EXPECT_EQ(dialog_.LbExtFile()->font().pointSize(), 10);
    EXPECT_TRUE(dialog_.LbExtFile()->font().bold());
}

TEST_F(Setings, TheLastShownPageIsShownAgain) {
    dialog_.PageControl()->setCurrentIndex(0);
    prompter_.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
    dialog_.Execute();
    EXPECT_EQ(dialog_.PageControl()->currentIndex(), 0);
}

TEST_F(Setings, ShowLoadsTheEditorsValues) {
    editor_ = {QFont("DejaVu Sans Mono", 12), 80, QColor(Qt::red), QColor(0x12, 0x34, 0x56), 4};
    dialog_.FormShow();
    EXPECT_EQ(dialog_.SeRight()->value(), 80);
    EXPECT_EQ(dialog_.SeTabs()->value(), 4);
    EXPECT_EQ(dialog_.CmbRightColor()->Selected(), QColor(Qt::red));
    EXPECT_EQ(dialog_.CmbFon()->Selected(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(dialog_.LbFont()->text(), "DejaVu Sans Mono   12");
    EXPECT_EQ(dialog_.LbFont()->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(dialog_.LbFont()->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
}

TEST_F(Setings, SampleIsWhiteAtFirstAndFollowsTheBackgroundPicker) {
    EXPECT_EQ(dialog_.LbFont()->palette().color(QPalette::Window), QColor(Qt::white));
    dialog_.CmbFon()->SetSelected(Qt::yellow);
    EXPECT_EQ(dialog_.LbFont()->palette().color(QPalette::Window), QColor(Qt::yellow));
}

TEST_F(Setings, ApplyAppliesStoresThenRegistersAndKeepsTheDialogOpen) {
    dialog_.FormShow();
    dialog_.SeRight()->setValue(120);
    dialog_.SeTabs()->setValue(8);
    dialog_.CmbFon()->SetSelected(Qt::yellow);
    dialog_.SetExtList({"PAS"});
    dialog_.show();
    click("BtnApply");
    EXPECT_EQ(calls_, (QStringList{"apply", "store"}));
    EXPECT_EQ(editor_.RightEdge, 120);
    EXPECT_EQ(editor_.TabWidth, 8);
    EXPECT_EQ(editor_.Color, QColor(Qt::yellow));
    EXPECT_EQ(editor_.RightEdgeColor, kEditorLook.RightEdgeColor);
    EXPECT_EQ(editor_.Font.family(), "Courier New");
    EXPECT_TRUE(mimeApps().contains("application/x-lumivar-pas=lumivar.desktop;"));
    EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(Setings, OkAppliesAndCloses) {
    prompter_.answerDialog([this](QDialog& dialog) {
        dialog_.SeRight()->setValue(60);
        click("BtnOk");
        return dialog.result();
    });
    EXPECT_EQ(dialog_.Execute(), QDialog::Accepted);
    EXPECT_EQ(editor_.RightEdge, 60);
    EXPECT_EQ(calls_, (QStringList{"apply", "store"}));
}

TEST_F(Setings, CancelAppliesNothing) {
    prompter_.answerFont(QFont("DejaVu Serif", 14));
    prompter_.answerDialog([this](QDialog& dialog) {
        click("Button1");
        dialog_.SeTabs()->setValue(9);
        click("BtnCancel");
        return dialog.result();
    });
    EXPECT_EQ(dialog_.Execute(), QDialog::Rejected);
    EXPECT_TRUE(calls_.isEmpty());
    EXPECT_EQ(editor_, kEditorLook);
    // The next opening shows the editor's font again.
    dialog_.FormShow();
    EXPECT_EQ(dialog_.LbFont()->font().family(), "Courier New");
    EXPECT_EQ(dialog_.SeTabs()->value(), 2);
}

TEST_F(Setings, ApplyThenCancelKeepsTheAppliedValues) {
    prompter_.answerDialog([this](QDialog& dialog) {
        dialog_.SeTabs()->setValue(5);
        click("BtnApply");
        dialog_.SeTabs()->setValue(7);
        click("BtnCancel");
        return dialog.result();
    });
    dialog_.Execute();
    EXPECT_EQ(editor_.TabWidth, 5);
}

TEST_F(Setings, FontDialogStartsWithTheFontItLastReturned) {
    prompter_.answerFont(QFont("DejaVu Serif", 14));
    click("Button1");
    EXPECT_EQ(prompter_.last().font.family(), "MS Sans Serif");
    EXPECT_EQ(prompter_.last().font.pointSize(), 8);
    EXPECT_EQ(dialog_.LbFont()->text(), "DejaVu Serif   14");
    dialog_.FormShow();
    click("Button1"); // cancelled: the sample stays the editor's font
    EXPECT_EQ(prompter_.last().font.family(), "DejaVu Serif");
    EXPECT_EQ(dialog_.LbFont()->text(), "Courier New   9");
}

struct SpinCase {
    const char* name;
    int set;
    int shown;
};

class TabWidth : public Setings, public testing::WithParamInterface<SpinCase> {};

TEST_P(TabWidth, StaysBetweenOneAndSixteen) {
    dialog_.SeTabs()->setValue(GetParam().set);
    EXPECT_EQ(dialog_.SeTabs()->value(), GetParam().shown);
}

const SpinCase kTabCases[] = {
    {"Zero", 0, 1}, {"One", 1, 1}, {"Sixteen", 16, 16}, {"Seventeen", 17, 16}};

INSTANTIATE_TEST_SUITE_P(SetingsDialog, TabWidth, testing::ValuesIn(kTabCases), test::CaseName);

TEST_F(Setings, RightMarginHasNoUpperLimitAndNoNegativeColumn) {
    dialog_.SeRight()->setValue(100000);
    EXPECT_EQ(dialog_.SeRight()->value(), 100000);
    dialog_.SeRight()->setValue(-5);
    EXPECT_EQ(dialog_.SeRight()->value(), 0);
}

struct AddCase {
    const char* name;
    QStringList listed;
    QString typed;
    QStringList after;
    QString left = {}; // what stays in the edit field
};

class AddExtension : public Setings, public testing::WithParamInterface<AddCase> {};

TEST_P(AddExtension, FollowsTheListRules) {
    dialog_.SetExtList(GetParam().listed);
    add(GetParam().typed);
    EXPECT_EQ(dialog_.ExtList(), GetParam().after);
    EXPECT_EQ(dialog_.EditExt()->text(), GetParam().left);
}

const AddCase kAddCases[] = {
    {"TypedInUpperCase", {}, "pas", {"PAS"}},
    {"SortedIn", {"AAA", "ZZZ"}, "mmm", {"AAA", "MMM", "ZZZ"}},
    {"AtMostThreeCharacters", {}, "abcd", {"ABC"}},
    {"DuplicateInOtherCase", {"TXT"}, "txt", {"TXT"}},
    {"CyrillicDuplicate", {"ТХТ"}, "тхт", {"ТХТ"}},
    {"BlanksOnlyDoNothing", {"TXT"}, "   ", {"TXT"}, "   "},
    {"UnsafeCharactersNotTaken", {}, "a/b", {"AB"}},
};

INSTANTIATE_TEST_SUITE_P(SetingsDialog, AddExtension, testing::ValuesIn(kAddCases), test::CaseName);

// The add button keeps no focus of its own: after a click the next extension is typed on.
TEST_F(Setings, TypingGoesOnInTheFieldAfterAnExtensionIsAdded) {
    dialog_.PageControl()->setCurrentIndex(1);
    ASSERT_TRUE(test::ShowAndActivate(dialog_));
    dialog_.EditExt()->setFocus();
    for (const char* typed : {"txt", "bat"}) {
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::mouseClick(dialog_.findChild<QPushButton*>("RxSpeedButton1"), Qt::LeftButton);
    }
    EXPECT_EQ(dialog_.ExtList(), (QStringList{"BAT", "TXT"}));
    EXPECT_EQ(QApplication::focusWidget(), dialog_.EditExt());
}

TEST_F(Setings, ListKeepsEntriesAcrossACancelledOpening) {
    prompter_.answerDialog([this](QDialog& dialog) {
        add("txt");
        click("BtnCancel");
        return dialog.result();
    });
    dialog_.Execute();
    EXPECT_EQ(dialog_.ExtList(), QStringList{"TXT"});
    EXPECT_TRUE(calls_.isEmpty());
}

TEST_F(Setings, StoreKeepsTheFirstSixteenExtensions) {
    QStringList twenty;
    for (char c = 'A'; c < 'A' + 20; ++c) twenty << QString(3, QChar(c));
    dialog_.SetExtList(twenty);
    SettingsStore store;
    dialog_.SetHooks({[this] { return editor_; }, [](const TEditorLook&) {},
                      [&] { store.writeStringList("ExtList", dialog_.ExtList()); }});
    dialog_.ApplySettings();
    EXPECT_EQ(store.readStringList("ExtList"), twenty.mid(0, 16));
    // All twenty are registered all the same.
    EXPECT_TRUE(mimeApps().contains("application/x-lumivar-ttt=lumivar.desktop;"));
}

TEST_F(Setings, BatIsAddedButNotMadeTheDefault) {
    dialog_.SetExtList({"BAT", "TXT"});
    dialog_.ApplySettings();
    EXPECT_TRUE(mimeApps().contains("application/x-lumivar-txt=lumivar.desktop;"));
    const QString apps = mimeApps();
    const QString defaults = apps.mid(0, apps.indexOf("[Added Associations]"));
    EXPECT_FALSE(defaults.contains("application/x-lumivar-bat")) << apps.toStdString();
    EXPECT_TRUE(apps.mid(apps.indexOf("[Added Associations]"))
                    .contains("application/x-lumivar-bat=lumivar.desktop;"));
    EXPECT_TRUE(prompter_.records(Interaction::ErrorReport).empty());
}

TEST_F(Setings, RegistrationFailureIsReportedAfterTheSettingsAreApplied) {
    dialog_.SetExtList({"AAA", "BBB", "CCC"});
    QDir().mkpath(MimePackagePath(folders_, "bbb")); // a folder where the package belongs
    dialog_.ApplySettings();
    EXPECT_EQ(calls_, (QStringList{"apply", "store"}));
    const auto reports = prompter_.records(Interaction::ErrorReport);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, "Не удалось записать файл \"" + MimePackagePath(folders_, "bbb") + "\"");
    EXPECT_TRUE(QFile::exists(MimePackagePath(folders_, "aaa")));
    EXPECT_FALSE(QFile::exists(MimePackagePath(folders_, "ccc")));
}

TEST_F(Setings, OkClosesEvenWhenRegistrationFails) {
    dialog_.SetExtList({"AAA"});
    QDir().mkpath(MimePackagePath(folders_, "aaa"));
    prompter_.answerDialog([this](QDialog& dialog) {
        click("BtnOk");
        return dialog.result();
    });
    EXPECT_EQ(dialog_.Execute(), QDialog::Accepted);
    EXPECT_EQ(prompter_.records(Interaction::ErrorReport).size(), 1u);
}

} // namespace
} // namespace lumivar
