// Loading and saving text files line by line, and the editor-side conversion of the lines.
#include "app/TextFile.h"

#include "app/util/strtools.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace lumivar {
namespace {

const QString kNotAFile = QStringLiteral("Это не обычный файл");

// The reason a file could not be opened, in the words of the editor's messages.
QString FailureReason(const QString& path, const QFileDevice& file, bool writing) {
    const QFileInfo info(path);
    if (info.isDir()) return QStringLiteral("Это папка, а не файл");
    if (!writing && !info.exists()) return QStringLiteral("Файл не найден");
    if (writing && !info.absoluteDir().exists()) return QStringLiteral("Папка не найдена");
    if (file.error() == QFileDevice::PermissionsError) return QStringLiteral("Нет доступа к файлу");
    return file.errorString();
}

} // namespace

LineBreak DetectLineBreak(const QByteArray& bytes) {
    const bool cr = bytes.contains('\r');
    const bool lf = bytes.contains('\n');
    if (lf && !cr) return LineBreak::Lf;
    if (cr && !lf) return LineBreak::Cr;
    return LineBreak::CrLf;
}

QByteArray LineBreakBytes(LineBreak kind) {
    switch (kind) {
    case LineBreak::Cr: return QByteArrayLiteral("\r");
    case LineBreak::Lf: return QByteArrayLiteral("\n");
    case LineBreak::CrLf: break;
    }
    return QByteArrayLiteral("\r\n");
}

TextFileContent ParseTextFile(const QByteArray& bytes) {
    TextFileContent content;
    content.lineBreak = DetectLineBreak(bytes);
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n' && c != '\0') continue;
        content.lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < n) content.lines.append(bytes.mid(start));
    return content;
}

QByteArray ComposeTextFile(const TextFileContent& content) {
    return content.lines.join(LineBreakBytes(content.lineBreak));
}

TextFileResult LoadTextFile(const QString& path, TextFileContent& content) {
    const QFileInfo info(path);
    // Only regular files are read: a pipe would block the editor at opening, and a device
    // would be read without end.
    if (info.exists() && !info.isDir() && !info.isFile()) return {false, kNotAFile};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) return {false, FailureReason(path, file, false)};
    const TextFileResult tooLarge{false, QStringLiteral("Файл слишком велик (больше %1 байт)").arg(kMaxLoadBytes)};
    if (!FitsInEditor(file.size())) return tooLarge;
    try {
        // One byte past the limit is read, so that a device that tells no size is caught too.
        const QByteArray bytes = file.read(kMaxLoadBytes + 1);
        if (file.error() != QFileDevice::NoError) return {false, file.errorString()};
        if (!FitsInEditor(bytes.size())) return tooLarge;
        content = ParseTextFile(bytes);
    } catch (const std::bad_alloc&) {
        return {false, QStringLiteral("Недостаточно памяти для загрузки файла")};
    }
    return {true, {}};
}

bool FitsInEditor(qint64 fileSize) { return fileSize <= kMaxLoadBytes; }

TextFileResult SaveTextFile(const QString& path, const TextFileContent& content) {
    return WriteFileSafely(path, ComposeTextFile(content));
}

TextFileResult WriteFileSafely(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    // The new file would replace a pipe or a device by a plain file.
    if (info.exists() && !info.isDir() && !info.isFile()) return {false, kNotAFile};
    if (info.exists() && !info.isDir() && !info.isWritable()) return {false, QStringLiteral("Нет доступа к файлу")};
    // QSaveFile writes into a temporary file beside the target and renames it over the target
    // in commit(); after a failed write, commit() discards the temporary file.
    QSaveFile file(path);
    if (info.isDir() || !file.open(QIODevice::WriteOnly)) return {false, FailureReason(path, file, true)};
    if (file.write(bytes) != bytes.size() || !file.commit())
        return {false, QStringLiteral("Ошибка записи: ") + file.errorString()};
    return {true, {}};
}

QString EditorText(const QList<QByteArray>& lines) { return Cp1251ToUnicode(lines.join('\n')); }

EncodedLines EncodeEditorText(const QString& text) {
    EncodedLines result;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        const Cp1251Encoding encoded = UnicodeToCp1251(line);
        if (encoded.firstUnencodable >= 0 && result.badLine < 0) {
            result.badLine = int(i);
            result.badColumn = int(encoded.firstUnencodable);
        }
        result.lines.append(encoded.bytes);
    }
    return result;
}

TextFileResult EncodeForSaving(const QString& text, QList<QByteArray>& lines) {
    EncodedLines encoded = EncodeEditorText(text);
    if (encoded.badLine >= 0) {
        // Every character before the first refused one is held by the code page, so it is a
        // single UTF-16 unit and the column counts characters.
        const QString line = text.section(QLatin1Char('\n'), encoded.badLine, encoded.badLine);
        const char32_t bad = QStringView(line).mid(encoded.badColumn).toUcs4().value(0);
        return {false, QStringLiteral("Строка %1, колонка %2: символ «%3» (U+%4) нельзя записать в кодировке Windows-1251")
                           .arg(encoded.badLine + 1)
                           .arg(encoded.badColumn + 1)
                           .arg(QString::fromUcs4(&bad, 1))
                           .arg(QString::number(uint(bad), 16).toUpper().rightJustified(4, QLatin1Char('0')))};
    }
    lines = std::move(encoded.lines);
    return {true, {}};
}

} // namespace lumivar
