// Saving files safely: the temporary file that replaces the target only when everything was
// written, the target's permissions and links kept, the failures named, and the refusal of
// characters code page 1251 cannot hold.
#include "tests/app/FileTesting.h"

#include <sys/stat.h>
#include <unistd.h>

namespace lumivar {
namespace {

using test::ReadBytes;
using test::U;

class SafeSaveTest : public test::FileTest {};

TEST_F(SafeSaveTest, WritesNewAndExistingFiles) {
    EXPECT_TRUE(WriteFileSafely(Path("new.txt"), "fresh").ok);
    EXPECT_EQ(ReadBytes(Path("new.txt")), "fresh");
    EXPECT_TRUE(WriteFileSafely(Path("new.txt"), "second").ok);
    EXPECT_EQ(ReadBytes(Path("new.txt")), "second");
    EXPECT_TRUE(WriteFileSafely(Path("new.txt"), "").ok);
    EXPECT_EQ(ReadBytes(Path("new.txt")), "");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"new.txt"});
}

TEST_F(SafeSaveTest, AWriteThatFailsMidwayLeavesTheOldFile) {
    const QString path = WriteFile("keep.txt", "old contents");
    TextFileResult result;
    {
        const test::FileSizeLimit limit(1024);
        result = WriteFileSafely(path, QByteArray(100000, 'x'));
    }
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.reason.startsWith(U("Ошибка записи: "))) << result.reason.toStdString();
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.txt"});
}

TEST_F(SafeSaveTest, KeepsPermissionsAndLinks) {
    const QString target = WriteFile("target.txt", "old");
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ExeOwner;
    QFile::setPermissions(target, perms);
    ASSERT_TRUE(QFile::link(target, Path("link.txt")));
    EXPECT_TRUE(WriteFileSafely(Path("link.txt"), "through the link").ok);
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
    EXPECT_EQ(ReadBytes(target), "through the link");
    EXPECT_EQ(QFile::permissions(target) & 0x7077, perms & 0x7077) << "owner, group and others";
}

struct FailureCase {
    const char* what;
    const char* name;
    const char* reason;
};

TEST_F(SafeSaveTest, NamesWhyAFileCannotBeWritten) {
    QDir(dir_.path()).mkdir("folder");
    ASSERT_EQ(mkfifo(Path("pipe").toLocal8Bit().constData(), 0600), 0);
    const FailureCase cases[] = {
        {"a folder", "folder", "Это папка, а не файл"},
        {"a missing folder", "nowhere/x.txt", "Папка не найдена"},
        {"a pipe, which a save would replace by a file", "pipe", "Это не обычный файл"},
    };
    for (const FailureCase& c : cases) {
        const TextFileResult result = WriteFileSafely(Path(c.name), "x");
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_EQ(result.reason, U(c.reason)) << c.what;
    }
    EXPECT_FALSE(QFileInfo(Path("pipe")).isFile()) << "the pipe is left as it was";
}

TEST_F(SafeSaveTest, ARefusedTargetIsNotReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser may write every file";
    const QString path = WriteFile("ro.txt", "read only");
    QFile::setPermissions(path, QFile::ReadOwner);
    const TextFileResult result = WriteFileSafely(path, "new");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, U("Нет доступа к файлу"));
    EXPECT_EQ(ReadBytes(path), "read only");
}

struct EncodeCase {
    const char* text;
    QList<QByteArray> lines; // when it can be saved
    const char* reason;      // when it cannot
};

TEST(EncodeForSaving, RefusesTheFirstCharacterWithoutAByte) {
    const EncodeCase cases[] = {
        {"", {""}, nullptr},
        {"a\nb", {"a", "b"}, nullptr},
        {"a\r\nb\n", {"a", "b", ""}, nullptr},
        {"Привет €\n", {"\xCF\xF0\xE8\xE2\xE5\xF2 \x88", ""}, nullptr},
        {"Ω", {}, "Строка 1, колонка 1: символ «Ω» (U+03A9) нельзя записать в кодировке Windows-1251"},
        {"ok\nok\nабв 中 Ω", {}, "Строка 3, колонка 5: символ «中» (U+4E2D) нельзя записать в кодировке Windows-1251"},
        {"x😀", {}, "Строка 1, колонка 2: символ «😀» (U+1F600) нельзя записать в кодировке Windows-1251"},
        {"\t\u00A0\u2116\u2122\u0098\u0001", {"\t\xA0\xB9\x99\x98\x01"}, nullptr},
    };
    for (const EncodeCase& c : cases) {
        QList<QByteArray> lines{"untouched"};
        const TextFileResult result = EncodeForSaving(U(c.text), lines);
        EXPECT_EQ(result.ok, c.reason == nullptr) << c.text;
        if (c.reason) {
            EXPECT_EQ(result.reason, U(c.reason));
            EXPECT_EQ(lines, QList<QByteArray>{"untouched"}) << c.text;
        } else {
            EXPECT_EQ(lines, c.lines) << c.text;
        }
    }
}

} // namespace
} // namespace lumivar
