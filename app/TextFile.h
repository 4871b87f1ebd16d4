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

// Reads a whole file into content; on failure content is left as it was.
TextFileResult LoadTextFile(const QString& path, TextFileContent& content);
// Writes the composed content over the file.
TextFileResult SaveTextFile(const QString& path, const TextFileContent& content);

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

} // namespace lumivar
