// Loading and saving text files line by line, and the editor-side conversion of the lines.
#include "app/TextFile.h"

#include "app/util/strtools.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

namespace lumivar {
namespace {

// The reason a file could not be opened, in the words of the editor's messages.
QString FailureReason(const QString& path, const QFile& file, bool writing) {
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
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) return {false, FailureReason(path, file, false)};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {false, file.errorString()};
    content = ParseTextFile(bytes);
    return {true, {}};
}

TextFileResult SaveTextFile(const QString& path, const TextFileContent& content) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {false, FailureReason(path, file, true)};
    const QByteArray bytes = ComposeTextFile(content);
    if (file.write(bytes) != bytes.size() || !file.flush()) return {false, file.errorString()};
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

} // namespace lumivar
