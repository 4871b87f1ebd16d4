// The text model: splitting at the four line breaks, the remembered kind, saving with that
// kind, the byte-exact round trip of every non-zero byte, and the editor-side conversion.
#include "app/TextFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumivar {
namespace {

struct ParseCase {
    const char* name;
    QByteArray bytes;
    QList<QByteArray> lines;
    LineBreak kind;
};

const ParseCase kParseCases[] = {
    {"empty file", "", {}, LineBreak::CrLf},
    {"one line without break", "abc", {"abc"}, LineBreak::CrLf},
    {"CR LF", "a\r\nb\r\nc", {"a", "b", "c"}, LineBreak::CrLf},
    {"LF only", "a\nb\n", {"a", "b"}, LineBreak::Lf},
    {"CR only", "a\rb\r\rc", {"a", "b", "", "c"}, LineBreak::Cr},
    {"break at the end adds no line", "a\r\n", {"a"}, LineBreak::CrLf},
    {"two breaks at the end", "a\n\n", {"a", ""}, LineBreak::Lf},
    {"NUL splits", QByteArray("a\0b\0", 4), {"a", "b"}, LineBreak::CrLf},
    {"LF then CR is two breaks", "a\n\rb", {"a", "", "b"}, LineBreak::CrLf},
    {"mixed CR and LF", "a\rb\nc", {"a", "b", "c"}, LineBreak::CrLf},
    {"only a break", "\n", {""}, LineBreak::Lf},
};

TEST(TextFile, ParsesLinesAndRemembersTheKind) {
    for (const ParseCase& c : kParseCases) {
        SCOPED_TRACE(c.name);
        const TextFileContent content = ParseTextFile(c.bytes);
        EXPECT_EQ(content.lines, c.lines);
        EXPECT_EQ(content.lineBreak, c.kind);
    }
}

TEST(TextFile, ComposesWithTheKindAndNoBreakAfterTheLastLine) {
    const struct {
        LineBreak kind;
        QByteArray bytes;
    } cases[] = {{LineBreak::CrLf, "a\r\n\r\nb"}, {LineBreak::Lf, "a\n\nb"}, {LineBreak::Cr, "a\r\rb"}};
    for (const auto& c : cases) EXPECT_EQ(ComposeTextFile({{"a", "", "b"}, c.kind}), c.bytes);
    EXPECT_EQ(ComposeTextFile({{}, LineBreak::CrLf}), QByteArray());
}

// Every non-zero byte: those that are not line breaks inside the lines, and the breaks of the
// file's kind between them.
QByteArray AllBytesWithBreaks(LineBreak kind) {
    QByteArray bytes;
    for (int b = 1; b < 256; ++b) {
        if (b == '\r' || b == '\n') continue;
        bytes.append(char(b));
        if (b % 50 == 0) bytes.append(LineBreakBytes(kind));
    }
    return bytes;
}

TEST(TextFile, LoadAndSaveRoundTripEveryNonZeroByte) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (LineBreak kind : {LineBreak::CrLf, LineBreak::Lf, LineBreak::Cr}) {
        SCOPED_TRACE(int(kind));
        const QByteArray original = AllBytesWithBreaks(kind);
        const QString path = dir.filePath("all.txt");
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(original);
        out.close();

        TextFileContent loaded;
        ASSERT_TRUE(LoadTextFile(path, loaded).ok);
        EXPECT_EQ(loaded.lineBreak, kind);
        // Through the editor's Unicode text and back, as a save of an unchanged text does.
        const QString shown = EditorText(loaded.lines);
        const EncodedLines encoded = EncodeEditorText(shown);
        EXPECT_EQ(encoded.badLine, -1);
        ASSERT_TRUE(SaveTextFile(path, {encoded.lines, loaded.lineBreak}).ok);

        QFile in(path);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        EXPECT_EQ(in.readAll(), original);
    }
}

TEST(TextFile, FailuresGiveAReasonAndLeaveTheContent) {
    QTemporaryDir dir;
    TextFileContent content{{"kept"}, LineBreak::Lf};
    // A pipe nobody writes to would block the editor at opening; a device reads without end.
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const struct {
        QString path;
        const char* reason;
    } cases[] = {
        {dir.filePath("missing.txt"), "Файл не найден"},
        {dir.path(), "Это папка, а не файл"},
        {pipe, "Это не обычный файл"},
        {"/dev/zero", "Это не обычный файл"},
    };
    for (const auto& c : cases) {
        const TextFileResult r = LoadTextFile(c.path, content);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.reason, QString::fromUtf8(c.reason));
        EXPECT_EQ(content.lines, QList<QByteArray>{"kept"});
    }
    const TextFileResult saved = SaveTextFile(dir.filePath("no/such/folder/x.txt"), content);
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.reason, QString::fromUtf8("Папка не найдена"));
}

TEST(TextFile, EncodingNamesTheFirstCharacterTheCodePageLacks) {
    const EncodedLines e = EncodeEditorText(QString::fromUtf8("Привет\nмир ✓ и ✓\n"));
    EXPECT_EQ(e.badLine, 1);
    EXPECT_EQ(e.badColumn, 4);
    ASSERT_EQ(e.lines.size(), 3);
    EXPECT_EQ(e.lines[0], QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"));
    EXPECT_EQ(e.lines[2], QByteArray());
}

} // namespace
} // namespace lumivar
