// The recent-files list: ten entries, case-insensitive move to the top, the captions, removal,
// and its settings values stored and loaded again.
#include "app/RecentFiles.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

QStringList Paths(std::initializer_list<const char*> paths) {
    QStringList list;
    for (const char* p : paths) list.append(QString::fromUtf8(p));
    return list;
}

RecentFiles ListOf(const QStringList& paths) {
    RecentFiles list;
    for (qsizetype i = paths.size(); i-- > 0;) list.add(paths[i]);
    return list;
}

TEST(RecentFiles, NewestFirstAndAtMostTen) {
    RecentFiles list;
    for (int i = 1; i <= 11; ++i) list.add(QStringLiteral("/f/%1.txt").arg(i));
    ASSERT_EQ(list.count(), RecentFiles::kMaxEntries);
    EXPECT_EQ(list.items().front(), "/f/11.txt");
    EXPECT_EQ(list.items().back(), "/f/2.txt") << "the oldest dropped out";
}

TEST(RecentFiles, ACaseVariantMovesUpWithoutDuplicating) {
    RecentFiles list = ListOf(Paths({"/a/one.txt", "/a/Two.txt", "/a/three.txt"}));
    list.add("/A/TWO.TXT");
    EXPECT_EQ(list.items(), Paths({"/A/TWO.TXT", "/a/one.txt", "/a/three.txt"}));
    list.add("/a/Три.txt");
    list.add("/a/ТРИ.TXT");
    EXPECT_EQ(list.items().front(), QString::fromUtf8("/a/ТРИ.TXT"));
    EXPECT_EQ(list.count(), 4);
}

TEST(RecentFiles, PathsBecomeFullPaths) {
    RecentFiles list;
    list.add("rel/x.txt");
    list.add("/a/b/../c/./y.txt");
    EXPECT_EQ(list.items(), QStringList({"/a/c/y.txt", QDir::current().filePath("rel/x.txt")}));
}

TEST(RecentFiles, MovingAndRemovingEntries) {
    RecentFiles list = ListOf(Paths({"/1", "/2", "/3", "/4"}));
    list.moveToTop(2);
    EXPECT_EQ(list.items(), Paths({"/3", "/1", "/2", "/4"}));
    list.remove(0);
    EXPECT_EQ(list.items(), Paths({"/1", "/2", "/4"}));
    list.remove(2);
    EXPECT_EQ(list.items(), Paths({"/1", "/2"}));
    for (int bad : {-1, 2, 99}) {
        list.remove(bad);
        list.moveToTop(bad);
    }
    EXPECT_EQ(list.items(), Paths({"/1", "/2"}));
}

TEST(RecentFiles, CaptionsCarryTheAccelerators) {
    RecentFiles list;
    for (int i = 10; i >= 1; --i) list.add(QStringLiteral("/d/f%1").arg(i));
    const char* expected[] = {"&1 /d/f1", "&2 /d/f2", "&3 /d/f3", "&4 /d/f4", "&5 /d/f5",
                              "&6 /d/f6", "&7 /d/f7", "&8 /d/f8", "&9 /d/f9", "&A /d/f10"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(list.caption(i), expected[i]);
    EXPECT_EQ(list.caption(10), "");
    list.add("/tom & jerry.txt");
    EXPECT_EQ(list.caption(0), "&1 /tom && jerry.txt");
}

class RecentFilesStoreTest : public testing::Test {
protected:
    void SetUp() override { QFile::remove(SettingsStore().fileName()); }
    void TearDown() override { QFile::remove(SettingsStore().fileName()); }
};

TEST_F(RecentFilesStoreTest, StoredAndLoadedInOrder) {
    const QStringList paths = Paths({"/x/a.pas", "/x/b.bas", "/x/c.txt"});
    {
        SettingsStore store;
        ListOf(paths).store(store);
    }
    const SettingsStore store;
    for (int n = 1; n <= 3; ++n)
        EXPECT_EQ(store.readString("MRU/MRUList", QStringLiteral("MRU%1").arg(n), ""), paths[n - 1]);
    RecentFiles loaded;
    loaded.add("/was/here");
    loaded.load(store);
    EXPECT_EQ(loaded.items(), paths);
}

TEST_F(RecentFilesStoreTest, StoringDeletesTheValuesPastTheEnd) {
    SettingsStore store;
    RecentFiles list;
    for (int i = 0; i < 10; ++i) list.add(QStringLiteral("/f%1").arg(i));
    list.store(store);
    ListOf(Paths({"/only"})).store(store);
    EXPECT_EQ(store.readString("MRU/MRUList", "MRU1", ""), "/only");
    for (int n = 2; n <= 10; ++n)
        EXPECT_EQ(store.readString("MRU/MRUList", QStringLiteral("MRU%1").arg(n), "gone"), "gone") << n;
}

TEST_F(RecentFilesStoreTest, LoadingSkipsEmptyAndRepeatedValues) {
    SettingsStore store;
    store.writeString("MRU/MRUList", "MRU1", "/a");
    store.writeString("MRU/MRUList", "MRU2", "");
    store.writeString("MRU/MRUList", "MRU4", "/b");
    store.writeString("MRU/MRUList", "MRU5", "/A");
    store.writeString("MRU/MRUList", "MRU10", "/j");
    store.writeString("MRU/MRUList", "MRU11", "/k");
    RecentFiles list;
    list.load(store);
    EXPECT_EQ(list.items(), Paths({"/a", "/b", "/j"}));
}

} // namespace
} // namespace lumivar
