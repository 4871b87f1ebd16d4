// The settings store: where it keeps its file, every value written by one store and read by
// the next (as after a restart), defaults for missing and malformed values, the string-list
// rules, and keeping a restored window on a screen.
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { QFile::remove(SettingsStore().fileName()); }
    void TearDown() override { QFile::remove(SettingsStore().fileName()); }

    static QByteArray FileText() {
        QFile file(SettingsStore().fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteFileText(const QByteArray& text) {
        SettingsStore store; // makes sure the folder exists
        store.writeString("X", "y", "z");
        QFile file(store.fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
};

TEST_F(SettingsStoreTest, LivesInTheUsersConfigFolder) {
    const QString config = QProcessEnvironment::systemEnvironment().value("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(SettingsStore().fileName(), QDir(config).filePath("Lumivar/Lumivar.ini"));
}

TEST_F(SettingsStoreTest, EveryValueComesBackAfterARestart) {
    StoredFont font{"Liberation Mono", 12, 0x00102030, true, false, false, true};
    const QRect rect(QPoint(40, 30), QSize(800, 600));
    const QString text = QString::fromUtf8("первая строка\r\nвторая; строка, с запятой\r\n");
    {
        SettingsStore store;
        store.writeInteger("Memo", "RightEdge", 80);
        store.writeInteger("FormRect", "WindowState", 2);
        store.writeColor("Memo", "RightEdgeColor", clRed);
        store.writeColor("Memo", "Color", 0x00F0E0D0);
        store.writeRect("FormRect", "Rect", rect);
        store.writeFont("Memo", "Font", font);
        store.writeString("Macros", "Pas", text);
        store.writeStringList("ExtList", {"pas", "txt"});
    }
    const SettingsStore store;
    EXPECT_EQ(store.readInteger("Memo", "RightEdge", 100), 80);
    EXPECT_EQ(store.readInteger("FormRect", "WindowState", 0), 2);
    EXPECT_EQ(store.readColor("Memo", "RightEdgeColor", clSilver), clRed);
    EXPECT_EQ(store.readColor("Memo", "Color", clWindow), 0x00F0E0D0u);
    EXPECT_EQ(store.readRect("FormRect", "Rect", QRect()), rect);
    EXPECT_EQ(store.readFont("Memo", "Font", StoredFont()), font);
    EXPECT_EQ(store.readString("Macros", "Pas", ""), text);
    EXPECT_EQ(store.readStringList("ExtList"), QStringList({"pas", "txt"}));

    // The file holds the text forms, values grouped by section.
    const QByteArray file = FileText();
    for (const char* line : {"[Memo]", "RightEdge=80", "RightEdgeColor=clRed", "Color=$00F0E0D0",
                             "Font=\"Liberation Mono,12,$00102030,1,0,0,1\"", "[FormRect]",
                             "Rect=\"40,30,840,630\"", "WindowState=2", "[ExtList]", "0=pas", "1=txt"})
        EXPECT_TRUE(file.contains(line)) << line << "\n" << file.constData();
}

TEST_F(SettingsStoreTest, MissingValuesGiveTheDefault) {
    const SettingsStore store;
    const StoredFont font{"Arial", 11, clBlue, false, true, false, false};
    EXPECT_EQ(store.readInteger("Memo", "TabWidth", 2), 2);
    EXPECT_EQ(store.readColor("Memo", "Color", clWindow), clWindow);
    EXPECT_EQ(store.readRect("FormRect", "Rect", QRect(1, 2, 3, 4)), QRect(1, 2, 3, 4));
    EXPECT_EQ(store.readFont("Memo", "Font", font), font);
    EXPECT_EQ(store.readString("Macros", "Bas", "none"), "none");
    EXPECT_TRUE(store.readStringList("ExtList").isEmpty());
    EXPECT_FALSE(QFile::exists(store.fileName())) << "reading creates nothing";
}

TEST_F(SettingsStoreTest, MalformedValuesGiveTheDefault) {
    SettingsStore store;
    for (const char* name : {"Int", "Color", "Rect", "Font"}) store.writeString("Bad", name, "1,x");
    const StoredFont font{"Arial", 11, clBlue, false, true, false, false};
    EXPECT_EQ(store.readInteger("Bad", "Int", 7), 7);
    EXPECT_EQ(store.readColor("Bad", "Color", clSilver), clSilver);
    EXPECT_EQ(store.readRect("Bad", "Rect", QRect(1, 2, 3, 4)), QRect(1, 2, 3, 4));
    EXPECT_EQ(store.readFont("Bad", "Font", font), font);
}

TEST_F(SettingsStoreTest, HandEditedValuesWithCommasAreRead) {
    WriteFileText("[FormRect]\nRect=10, 20, 810, 620\nWindowState=1\n"
                  "[Memo]\nFont=Arial,12,clRed,0,1,0,0\nTabWidth=four\n");
    const SettingsStore store;
    EXPECT_EQ(store.readRect("FormRect", "Rect", QRect()), QRect(QPoint(10, 20), QSize(800, 600)));
    EXPECT_EQ(store.readInteger("FormRect", "WindowState", 0), 1);
    EXPECT_EQ(store.readFont("Memo", "Font", StoredFont()),
              (StoredFont{"Arial", 12, clRed, false, true, false, false}));
    EXPECT_EQ(store.readInteger("Memo", "TabWidth", 2), 2);
}

TEST_F(SettingsStoreTest, StringListsKeepAtMostSixteenEntries) {
    QStringList twenty;
    for (int i = 0; i < 20; ++i) twenty.append(QStringLiteral("e%1").arg(i));
    SettingsStore().writeStringList("ExtList", twenty);
    const SettingsStore store;
    EXPECT_EQ(store.readStringList("ExtList"), twenty.mid(0, 16));
    EXPECT_EQ(store.readString("ExtList", "16", "absent"), "absent");
}

TEST_F(SettingsStoreTest, WritingAListErasesTheSectionFirst) {
    SettingsStore store;
    store.writeStringList("ExtList", {"a", "b", "c", "d", "e"});
    store.writeString("ExtList", "Other", "x");
    store.writeStringList("ExtList", {"p", "q"});
    EXPECT_EQ(store.readStringList("ExtList"), QStringList({"p", "q"}));
    for (const char* name : {"2", "3", "4", "Other"})
        EXPECT_EQ(store.readString("ExtList", name, "gone"), "gone") << name;
    store.writeStringList("ExtList", {});
    EXPECT_TRUE(store.readStringList("ExtList").isEmpty());
}

TEST_F(SettingsStoreTest, ReadingAListStopsAtTheFirstGapOrEmptyEntry) {
    SettingsStore store;
    store.writeString("A", "0", "one");
    store.writeString("A", "1", "two");
    store.writeString("A", "3", "four");
    store.writeString("B", "0", "one");
    store.writeString("B", "1", "");
    store.writeString("B", "2", "three");
    EXPECT_EQ(store.readStringList("A"), QStringList({"one", "two"}));
    EXPECT_EQ(store.readStringList("B"), QStringList({"one"}));
}

TEST_F(SettingsStoreTest, RemovingAValue) {
    SettingsStore store;
    store.writeString("MRU/MRUList", "MRU1", "/a");
    store.writeString("MRU/MRUList", "MRU2", "/b");
    store.remove("MRU/MRUList", "MRU2");
    store.remove("MRU/MRUList", "MRU9");
    EXPECT_EQ(SettingsStore().readString("MRU/MRUList", "MRU1", ""), "/a");
    EXPECT_EQ(SettingsStore().readString("MRU/MRUList", "MRU2", "gone"), "gone");
}

struct ScreenCase {
    const char* what;
    QRect window;
    QRect expected;
};

TEST(KeepOnScreens, MovesOnlyWindowsThatCannotBeReached) {
    const QList<QRect> screens = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1024, 768)};
    const ScreenCase cases[] = {
        {"inside", QRect(100, 100, 780, 525), QRect(100, 100, 780, 525)},
        {"maximised with frame outside", QRect(-8, -8, 1296, 1040), QRect(-8, -8, 1296, 1040)},
        {"mostly off but reachable", QRect(1200, 700, 780, 525), QRect(1200, 700, 780, 525)},
        {"on the second screen", QRect(1400, 100, 500, 400), QRect(1400, 100, 500, 400)},
        {"far right, over no screen", QRect(5000, 100, 780, 525), QRect(500, 100, 780, 525)},
        {"far above", QRect(100, -3000, 780, 525), QRect(100, 0, 780, 525)},
        {"a sliver on the left", QRect(-770, 50, 780, 525), QRect(0, 50, 780, 525)},
        {"bigger than any screen", QRect(-5000, -5000, 3000, 2000), QRect(0, 0, 1280, 1024)},
        {"second screen sliver", QRect(1290, 760, 400, 300), QRect(1290, 468, 400, 300)},
    };
    for (const ScreenCase& c : cases) EXPECT_EQ(KeepOnScreens(c.window, screens), c.expected) << c.what;
    EXPECT_EQ(KeepOnScreens(QRect(9, 9, 9, 9), {}), QRect(9, 9, 9, 9)) << "no screen known";
}

} // namespace
} // namespace lumivar
