// The window's settings dialog: it shows the editor's values, applies and stores them with
// the extension list (16 entries kept), registers the extensions in the XDG tree of the test
// environment, and cancelling changes nothing.
#include "tests/app/WindowToolsTesting.h"

#include "settings/Setings.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

namespace lumivar {
namespace {

using test::Interaction;

class WindowSetings : public test::WindowTest {
protected:
    // Answers the settings dialog: Change works on it, then the named button is pressed.
    void answer(std::function<void(TfSetings&)> change, const char* button) {
        prompter_.answerDialog([change, button](QDialog& dialog) {
            auto& setings = static_cast<TfSetings&>(dialog);
            change(setings);
            setings.findChild<QPushButton*>(QString::fromLatin1(button))->click();
            return setings.result();
        });
    }
    QString mimeApps() const {
        QFile file(MimeAppsPath(UserAssociationFolders()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
};

TEST_F(WindowSetings, ShowsTheEditorsValues) {
    answer([](TfSetings& setings) {
        EXPECT_EQ(setings.SeRight()->value(), 100);
        EXPECT_EQ(setings.SeTabs()->value(), 2);
    }, "BtnCancel");
    window_->actSetings->trigger();
    EXPECT_EQ(prompter_.records(Interaction::Dialog).at(0).caption, "Параметры...");
}

TEST_F(WindowSetings, OkAppliesStoresAndRegisters) {
    answer([](TfSetings& setings) {
        setings.SeTabs()->setValue(4);
        setings.SeRight()->setValue(80);
        setings.SetExtList({"BAT", "TXT"});
    }, "BtnOk");
    window_->actSetings->trigger();
    EXPECT_EQ(window_->Memo->tabWidth(), 4);
    EXPECT_EQ(window_->Memo->edgeColumn(), 80);
    EXPECT_EQ(window_->Reg.readInteger("Memo", "TabWidth", 0), 4);
    EXPECT_EQ(window_->Reg.readStringList("ExtList"), (QStringList{"BAT", "TXT"}));
    const QString apps = mimeApps();
    EXPECT_TRUE(apps.contains("[Default Applications]\napplication/x-lumivar-txt=lumivar.desktop;\n"))
        << apps.toStdString();
    EXPECT_FALSE(apps.left(apps.indexOf("[Added Associations]")).contains("x-lumivar-bat"));
    EXPECT_TRUE(apps.contains("application/x-lumivar-bat=lumivar.desktop;"));
    QFile entry(DesktopEntryPath(UserAssociationFolders()));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(entry.readAll())
                    .contains("Exec=\"" + QCoreApplication::applicationFilePath() + "\" %f"));
    EXPECT_TRUE(prompter_.records(Interaction::ErrorReport).empty());
}

TEST_F(WindowSetings, CancelChangesNothingButKeepsTheAddedExtensions) {
    answer([](TfSetings& setings) {
        setings.SeTabs()->setValue(9);
        setings.SetExtList({"PAS"});
    }, "BtnCancel");
    window_->actSetings->trigger();
    EXPECT_EQ(window_->Memo->tabWidth(), 2);
    EXPECT_EQ(window_->Reg.readInteger("Memo", "TabWidth", 0), 0);
    EXPECT_TRUE(mimeApps().isEmpty());
    EXPECT_EQ(window_->ExtList, QStringList{"PAS"});
    answer([](TfSetings& setings) { EXPECT_EQ(setings.ExtList(), QStringList{"PAS"}); },
           "BtnCancel");
    window_->actSetings->trigger();
}

TEST_F(WindowSetings, OnlySixteenExtensionsComeBackAfterARestart) {
    QStringList twenty;
    for (int i = 0; i < 20; ++i) twenty << QStringLiteral("E%1").arg(i, 2, 10, QChar('0'));
    answer([twenty](TfSetings& setings) { setings.SetExtList(twenty); }, "BtnOk");
    window_->actSetings->trigger();
    window_ = StartUp({});
    EXPECT_EQ(window_->ExtList, twenty.mid(0, 16));
    answer([twenty](TfSetings& setings) { EXPECT_EQ(setings.ExtList(), twenty.mid(0, 16)); },
           "BtnCancel");
    window_->actSetings->trigger();
}

} // namespace
} // namespace lumivar
