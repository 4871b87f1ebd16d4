// The freedesktop registration of extensions, written into temporary XDG folders: the MIME
// package, the desktop entry and mimeapps.list, BAT and its kin not made the default opener,
// earlier contents kept, and failures that name what could not be written.
#include "settings/FileAssociations.h"

#include "tests/support/NamedCases.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lumivar {
namespace {

using test::PrintTo;

const QString kProgram = QStringLiteral("/opt/lumivar/bin/lumivar");

QString Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void Write(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

class Associations : public testing::Test {
protected:
    Associations() : folders_{dir_.filePath("data"), dir_.filePath("config")} {}
    QString mimeApps() const { return Read(MimeAppsPath(folders_)); }
    QString desktop() const { return Read(DesktopEntryPath(folders_)); }

    QTemporaryDir dir_;
    TAssociationFolders folders_;
};

struct OpenerCase {
    const char* name;
    QString ext;
    QString type;
    bool defaultOpener;
};

class Opener : public Associations, public testing::WithParamInterface<OpenerCase> {};

TEST_P(Opener, RegistersTheTypeAndOpensOnlyWhatTheSystemDoesNot) {
    const OpenerCase& c = GetParam();
    ASSERT_EQ(RegisterExtension(c.ext, kProgram, folders_), std::nullopt);
    const QString package = Read(MimePackagePath(folders_, c.ext));
    EXPECT_TRUE(package.contains("<mime-type type=\"" + c.type + "\">")) << package.toStdString();
    EXPECT_TRUE(package.contains("<glob pattern=\"*." + c.ext.toLower() + "\" weight=\"60\"/>"));
    EXPECT_TRUE(package.contains("<icon name=\"lumivar\"/>"));
    EXPECT_TRUE(desktop().contains("MimeType=" + c.type + ";\n"));
    EXPECT_TRUE(mimeApps().contains("[Added Associations]\n" + c.type + "=lumivar.desktop;\n"));
    EXPECT_EQ(mimeApps().contains("[Default Applications]\n" + c.type + "=lumivar.desktop;\n"),
              c.defaultOpener)
        << mimeApps().toStdString();
}

const OpenerCase kOpenerCases[] = {
    {"Txt", "TXT", "application/x-lumivar-txt", true},
    {"Pas", "pas", "application/x-lumivar-pas", true},
    {"Bat", "BAT", "application/x-lumivar-bat", false},
    {"Exe", "exe", "application/x-lumivar-exe", false},
    {"Com", "Com", "application/x-lumivar-com", false},
    {"Cmd", "CMD", "application/x-lumivar-cmd", false},
    {"Cyrillic", "ТХТ", "application/x-lumivar-u442u445u442", true},
};

INSTANTIATE_TEST_SUITE_P(FileAssociations, Opener, testing::ValuesIn(kOpenerCases), test::CaseName);

TEST_F(Associations, DesktopEntryRunsTheProgramWithTheFile) {
    ASSERT_EQ(RegisterExtension("txt", kProgram, folders_), std::nullopt);
    EXPECT_EQ(desktop(), "[Desktop Entry]\n"
                         "Type=Application\n"
                         "Name=Lumivar\n"
                         "Comment=Редактор текстовых файлов\n"
                         "Exec=\"/opt/lumivar/bin/lumivar\" %f\n"
                         "Icon=lumivar\n"
                         "Terminal=false\n"
                         "Categories=Utility;TextEditor;\n"
                         "MimeType=application/x-lumivar-txt;\n");
}

TEST_F(Associations, ExecQuotesEveryReservedCharacterOfThePath) {
    ASSERT_EQ(RegisterExtension("txt", "/my dir/a\"b$c%d\\e", folders_), std::nullopt);
    EXPECT_TRUE(desktop().contains("Exec=\"/my dir/a\\\\\"b\\\\$c%%d\\\\\\\\e\" %f\n"))
        << desktop().toStdString();
}

TEST_F(Associations, PackageKeepsTheTypeTheExtensionHadBefore) {
    ASSERT_EQ(RegisterExtension("txt", kProgram, folders_), std::nullopt);
    EXPECT_TRUE(Read(MimePackagePath(folders_, "txt")).contains("<sub-class-of type=\"text/plain\"/>"));
    // Registering again finds its own type in the database, and keeps the recorded one.
    ASSERT_EQ(RegisterExtension("txt", kProgram, folders_), std::nullopt);
    EXPECT_TRUE(Read(MimePackagePath(folders_, "txt")).contains("<sub-class-of type=\"text/plain\"/>"));
}

TEST_F(Associations, RegisteringTwiceWritesTheSame) {
    ASSERT_EQ(RegisterExtension("pas", kProgram, folders_), std::nullopt);
    const QString package = Read(MimePackagePath(folders_, "pas"));
    const QString entry = desktop();
    const QString apps = mimeApps();
    ASSERT_EQ(RegisterExtension("PAS", kProgram, folders_), std::nullopt);
    EXPECT_EQ(Read(MimePackagePath(folders_, "pas")), package);
    EXPECT_EQ(desktop(), entry);
    EXPECT_EQ(mimeApps(), apps);
}

TEST_F(Associations, DesktopEntryListsEveryTypeRegistered) {
    ASSERT_EQ(RegisterExtension("txt", kProgram, folders_), std::nullopt);
    ASSERT_EQ(RegisterExtension("bat", kProgram, folders_), std::nullopt);
    EXPECT_TRUE(desktop().contains("MimeType=application/x-lumivar-txt;application/x-lumivar-bat;\n"));
}

TEST_F(Associations, OtherAssociationsAreKept) {
    Write(MimeAppsPath(folders_), "[Default Applications]\n"
                                  "text/html=browser.desktop;\n"
                                  "application/x-lumivar-txt=other.desktop;\n"
                                  "\n"
                                  "[Removed Associations]\n"
                                  "image/png=viewer.desktop;\n");
    ASSERT_EQ(RegisterExtension("txt", kProgram, folders_), std::nullopt);
    EXPECT_EQ(mimeApps(), "[Default Applications]\n"
                          "text/html=browser.desktop;\n"
                          "application/x-lumivar-txt=lumivar.desktop;other.desktop;\n"
                          "\n"
                          "[Removed Associations]\n"
                          "image/png=viewer.desktop;\n"
                          "\n"
                          "[Added Associations]\n"
                          "application/x-lumivar-txt=lumivar.desktop;\n");
}

TEST_F(Associations, NewKeyGoesToTheEndOfItsGroup) {
    Write(MimeAppsPath(folders_), "[Added Associations]\n"
                                  "text/html=browser.desktop;\n"
                                  "\n"
                                  "[Default Applications]\n");
    ASSERT_EQ(RegisterExtension("bat", kProgram, folders_), std::nullopt);
    EXPECT_EQ(mimeApps(), "[Added Associations]\n"
                          "text/html=browser.desktop;\n"
                          "application/x-lumivar-bat=lumivar.desktop;\n"
                          "\n"
                          "[Default Applications]\n");
}

TEST_F(Associations, FolderThatCannotBeCreatedIsNamed) {
    Write(folders_.dataHome + "/mime", "a file where the folder belongs");
    const std::optional<QString> failure = RegisterExtension("txt", kProgram, folders_);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Не удалось создать папку \"" + folders_.dataHome + "/mime/packages\"");
    EXPECT_FALSE(QFile::exists(MimeAppsPath(folders_)));
}

TEST_F(Associations, FileThatCannotBeWrittenIsNamed) {
    QDir().mkpath(MimeAppsPath(folders_)); // a folder where the file belongs
    const std::optional<QString> failure = RegisterExtension("txt", kProgram, folders_);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Не удалось записать файл \"" + MimeAppsPath(folders_) + "\"");
}

struct ExtensionCase {
    const char* name;
    QString ext;
    bool registrable;
};

class Extension : public testing::TestWithParam<ExtensionCase> {};

TEST_P(Extension, OnlyPlainNamesAreRegistered) {
    EXPECT_EQ(IsRegistrableExtension(GetParam().ext), GetParam().registrable);
}

const ExtensionCase kExtensionCases[] = {
    {"Letters", "txt", true},     {"Digits", "mp3", true},    {"Cyrillic", "док", true},
    {"Signs", "c+-", true},       {"Empty", "", false},       {"Slash", "a/b", false},
    {"Dots", "..", false},        {"Glob", "*", false},       {"Blank", "a b", false},
    {"Quote", "a\"", false},      {"Angle", "<a", false},     {"LineBreak", "a\nb", false},
};

INSTANTIATE_TEST_SUITE_P(FileAssociations, Extension, testing::ValuesIn(kExtensionCases), test::CaseName);

TEST_F(Associations, UnsafeExtensionWritesNothing) {
    const std::optional<QString> failure = RegisterExtension("../x", kProgram, folders_);
    ASSERT_TRUE(failure);
    EXPECT_EQ(*failure, "Недопустимое расширение файла \"../x\"");
    EXPECT_FALSE(QDir(folders_.dataHome).exists());
}

TEST(FileAssociations, UserFoldersAreTheEnvironmentsXdgFolders) {
    const TAssociationFolders folders = UserAssociationFolders();
    EXPECT_EQ(folders.dataHome, qEnvironmentVariable("XDG_DATA_HOME"));
    EXPECT_EQ(folders.configHome, qEnvironmentVariable("XDG_CONFIG_HOME"));
}

TEST_F(Associations, DatabaseUpdateMakesTheGlobKnown) {
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty())
        GTEST_SKIP() << "no update-mime-database on this system";
    ASSERT_EQ(RegisterExtension("pas", kProgram, folders_), std::nullopt);
    ASSERT_EQ(UpdateMimeDatabase(folders_), std::nullopt);
    EXPECT_TRUE(Read(folders_.dataHome + "/mime/globs2").contains("application/x-lumivar-pas:*.pas"));
}

TEST_F(Associations, DatabaseUpdateWithoutPackagesDoesNothing) {
    EXPECT_EQ(UpdateMimeDatabase(folders_), std::nullopt);
    EXPECT_FALSE(QDir(folders_.dataHome).exists());
}

} // namespace
} // namespace lumivar
