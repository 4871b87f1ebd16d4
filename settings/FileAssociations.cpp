// The freedesktop registration of file extensions: MIME package, desktop entry, mimeapps.list.
#include "settings/FileAssociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace lumivar {
namespace {

const QString kTypePrefix = QStringLiteral("application/x-lumivar-");
// Above the default glob weight (50), so that the extension is Lumivar's type as the
// association asks, while the type stays a kind of the one the extension had before.
constexpr int kGlobWeight = 60;
constexpr int kUpdateTimeoutMs = 60000;

QString CannotCreateFolder(const QString& path) {
    return QStringLiteral("Не удалось создать папку \"%1\"").arg(QDir::toNativeSeparators(path));
}
QString CannotWrite(const QString& path) {
    return QStringLiteral("Не удалось записать файл \"%1\"").arg(QDir::toNativeSeparators(path));
}

// The extension as the names of files and types hold it: ASCII letters, digits, "_", "-" and
// "+" stay, any other letter becomes "u" and its code in hexadecimal.
QString Token(const QString& ext) {
    QString token;
    for (const QChar c : QLocale().toLower(ext)) {
        if (c.unicode() < 128) token += c;
        else token += QStringLiteral("u%1").arg(c.unicode(), 0, 16);
    }
    return token;
}

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

// Writes a whole file at once (a temporary file renamed over the old one), creating its folder.
std::optional<QString> WriteFile(const QString& path, const QString& text) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) return CannotCreateFolder(folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return CannotWrite(path);
    file.write(text.toUtf8());
    if (!file.commit()) return CannotWrite(path);
    return std::nullopt;
}

QString WriteLines(const QStringList& lines) { return lines.join('\n') + '\n'; }

// The type the extension had before Lumivar took it, recorded in an earlier package of ours or
// else as the shared MIME database knows it; empty when there is none.
QString ParentType(const QString& packagePath, const QString& token) {
    static const QRegularExpression recorded(QStringLiteral("<sub-class-of type=\"([^\"]+)\""));
    for (const QString& line : ReadLines(packagePath)) {
        const QRegularExpressionMatch match = recorded.match(line);
        if (match.hasMatch()) return match.captured(1);
    }
    const QMimeType known =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("x.") + token, QMimeDatabase::MatchExtension);
    if (!known.isValid() || known.isDefault() || known.name().startsWith(kTypePrefix)) return {};
    return known.name();
}

QString MimePackage(const QString& ext, const QString& type, const QString& parent) {
    QStringList lines{
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"),
        QStringLiteral("  <mime-type type=\"%1\">").arg(type),
        QStringLiteral("    <comment>Файл %1</comment>").arg(QLocale().toUpper(ext)),
        QStringLiteral("    <icon name=\"lumivar\"/>"),
    };
    if (!parent.isEmpty()) lines << QStringLiteral("    <sub-class-of type=\"%1\"/>").arg(parent);
    lines << QStringLiteral("    <glob pattern=\"*.%1\" weight=\"%2\"/>").arg(ext).arg(kGlobWeight)
          << QStringLiteral("  </mime-type>") << QStringLiteral("</mime-info>");
    return WriteLines(lines);
}

// The program as the Exec key needs it: quoted, with the characters reserved inside quotes
// escaped, "%" doubled (it starts field codes), then escaped as a string value.
QString ExecProgram(const QString& executable) {
    QString quoted;
    for (const QChar c : executable) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        if (c == '%') quoted += '%';
        quoted += c;
    }
    quoted = '"' + quoted + '"';
    quoted.replace('\\', QStringLiteral("\\\\"));
    quoted.replace('\n', QStringLiteral("\\n"));
    return quoted;
}

// The value list of a ";"-separated key, without empty entries.
QStringList ListValue(const QString& value) {
    QStringList entries = value.split(';');
    entries.removeAll(QString());
    return entries;
}

// The MIME types the desktop entry already lists, so that a new registration adds to them.
QStringList ListedTypes(const QString& path) {
    for (const QString& line : ReadLines(path))
        if (line.startsWith(QStringLiteral("MimeType="))) return ListValue(line.mid(9));
    return {};
}

QString DesktopEntry(const QString& executable, const QStringList& types) {
    return WriteLines({
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Lumivar"),
        QStringLiteral("Comment=Редактор текстовых файлов"),
        QStringLiteral("Exec=%1 %f").arg(ExecProgram(executable)),
        QStringLiteral("Icon=lumivar"),
        QStringLiteral("Terminal=false"),
        QStringLiteral("Categories=Utility;TextEditor;"),
        QStringLiteral("MimeType=%1;").arg(types.join(';')),
    });
}

// Puts Lumivar first in the list of a key of a group in the lines of mimeapps.list, adding
// the group or the key when missing and keeping everything else as it was.
void PutFirst(QStringList& lines, const QString& group, const QString& key) {
    const QString header = '[' + group + ']';
    const QString id = QString::fromLatin1(kDesktopId);
    qsizetype start = lines.indexOf(header);
    if (start < 0) {
        if (!lines.isEmpty() && !lines.last().isEmpty()) lines << QString();
        lines << header << key + '=' + id + ';';
        return;
    }
    qsizetype end = start + 1;
    while (end < lines.size() && !lines[end].startsWith('[')) ++end;
    for (qsizetype i = start + 1; i < end; ++i) {
        const qsizetype equals = lines[i].indexOf('=');
        if (equals < 0 || lines[i].left(equals).trimmed() != key) continue;
        QStringList entries = ListValue(lines[i].mid(equals + 1));
        entries.removeAll(id);
        entries.prepend(id);
        lines[i] = key + '=' + entries.join(';') + ';';
        return;
    }
    // A new key goes after the group's last entry, before the blank lines that end it.
    while (end > start + 1 && lines[end - 1].trimmed().isEmpty()) --end;
    lines.insert(end, key + '=' + id + ';');
}

} // namespace

TAssociationFolders UserAssociationFolders() {
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}

QString DesktopEntryPath(const TAssociationFolders& folders) {
    return folders.dataHome + QStringLiteral("/applications/") + QString::fromLatin1(kDesktopId);
}

QString MimeAppsPath(const TAssociationFolders& folders) {
    return folders.configHome + QStringLiteral("/mimeapps.list");
}

QString MimePackagePath(const TAssociationFolders& folders, const QString& ext) {
    return folders.dataHome + QStringLiteral("/mime/packages/lumivar-") + Token(ext) +
           QStringLiteral(".xml");
}

QString MimeTypeOfExtension(const QString& ext) { return kTypePrefix + Token(ext); }

bool IsOpenedByTheSystem(const QString& ext) {
    static const QStringList kSystemOpened{"bat", "exe", "com", "cmd"};
    return kSystemOpened.contains(QLocale().toLower(ext));
}

bool IsRegistrableExtension(const QString& ext) {
    if (ext.isEmpty()) return false;
    for (const QChar c : ext)
        if (!c.isLetterOrNumber() && c != '_' && c != '-' && c != '+') return false;
    return true;
}

std::optional<QString> RegisterExtension(const QString& ext, const QString& executable,
                                         const TAssociationFolders& folders) {
    if (!IsRegistrableExtension(ext))
        return QStringLiteral("Недопустимое расширение файла \"%1\"").arg(ext);
    const QString e = QLocale().toLower(ext);
    const QString type = MimeTypeOfExtension(e);

    // The type of the extension, with the program's icon.
    const QString package = MimePackagePath(folders, e);
    if (auto failed = WriteFile(package, MimePackage(e, type, ParentType(package, Token(e)))))
        return failed;

    // The program's entry; it lists every type registered so far.
    const QString entry = DesktopEntryPath(folders);
    QStringList types = ListedTypes(entry);
    if (!types.contains(type)) types << type;
    if (auto failed = WriteFile(entry, DesktopEntry(executable, types))) return failed;

    // Opening (the default application) unless the system opens such files itself; editing
    // (an added application) always.
    const QString mimeApps = MimeAppsPath(folders);
    QStringList lines = ReadLines(mimeApps);
    if (!IsOpenedByTheSystem(e)) PutFirst(lines, QStringLiteral("Default Applications"), type);
    PutFirst(lines, QStringLiteral("Added Associations"), type);
    return WriteFile(mimeApps, WriteLines(lines));
}

std::optional<QString> UpdateMimeDatabase(const TAssociationFolders& folders) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    const QString mime = folders.dataHome + QStringLiteral("/mime");
    if (tool.isEmpty() || !QFileInfo(mime + QStringLiteral("/packages")).isDir())
        return std::nullopt;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, {mime});
    const bool finished = process.waitForFinished(kUpdateTimeoutMs);
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return std::nullopt;
    if (!finished) process.kill();
    return QStringLiteral("Не удалось обновить базу типов файлов \"%1\"")
        .arg(QDir::toNativeSeparators(mime));
}

} // namespace lumivar
