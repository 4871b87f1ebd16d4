// Text files as the editor reads and writes them: the bytes are code page 1251 and are kept
// unchanged; lines are split at CR LF, CR, LF or NUL, and the kind of line break found is
// remembered so that saving writes the same kind back.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace lumivar {

enum class LineBreak { CrLf, Cr, Lf };

struct TextFileContent {
    QList<QByteArray> lines;
    LineBreak lineBreak = LineBreak::CrLf;
};

// LF when the bytes hold LF but no CR, CR when they hold CR but no LF, otherwise CR LF.
LineBreak DetectLineBreak(const QByteArray& bytes);
QByteArray LineBreakBytes(LineBreak kind);

// The lines of a file's bytes; a break at the very end adds no empty line.
TextFileContent ParseTextFile(const QByteArray& bytes);
// The lines joined by the content's kind of line break, with no break after the last line.
QByteArray ComposeTextFile(const TextFileContent& content);

struct TextFileResult {
    bool ok = false;
    QString reason; // why the file could not be read or written, worded for the user
};

// Reads a whole file into content; on failure content is left as it was. Only regular files
// are read (a pipe would block, a device never end).
TextFileResult LoadTextFile(const QString& path, TextFileContent& content);
// Writes the composed content over the file, safely (WriteFileSafely).
TextFileResult SaveTextFile(const QString& path, const TextFileContent& content);

// Writes bytes over a file without ever leaving it half-written: into a temporary file in the
// same folder that replaces the target (keeping its permissions) only when everything was
// written; on any failure the old file is untouched. A target that exists but may not be
// written, or that is not a regular file, is refused.
TextFileResult WriteFileSafely(const QString& path, const QByteArray& bytes);

// The largest file the editor loads. It keeps several copies of a text (the file's lines, the
// Unicode text, the component's buffer and styles: about eight bytes per byte of the file),
// so a larger file would exhaust the memory of a typical machine.
inline constexpr qint64 kMaxLoadBytes = 256LL * 1024 * 1024;
bool FitsInEditor(qint64 fileSize);

// The editor component holds Unicode with LF between lines; these convert through the
// lossless 1251 codec.
QString EditorText(const QList<QByteArray>& lines);

struct EncodedLines {
    QList<QByteArray> lines;
    // Line and column (both from 0) of the first character code page 1251 cannot hold, or -1.
    int badLine = -1;
    int badColumn = -1;
};
EncodedLines EncodeEditorText(const QString& text);

// The editor's text as the lines of a file. Fails when a character cannot be held by code
// page 1251, naming the line and column (from 1) of the first one, so that such a text is
// refused instead of being written with the character lost.
TextFileResult EncodeForSaving(const QString& text, QList<QByteArray>& lines);

} // namespace lumivar
