// The pure parts of converting a DOS (code page 866) text to the Windows code page (1251) and
// back: the guess which code page a text is in, the conversion of the editor's text, and the
// bytes of a text saved in the DOS code page.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace lumivar {

enum class CodePageGuess : std::uint8_t { Undetermined = 0, Windows = 1, Dos = 2 };

// Bytes above 128 and their average: Cyrillic letters sit in 0xC0..0xFF in code page 1251 and
// in 0x80..0xAF and 0xE0..0xEF in 866, so an average above 200 means Windows, below 200 DOS;
// exactly 200, or no byte above 128, is undetermined.
CodePageGuess GuessCodePage(const QByteArray& text);

// The editor's text read as DOS text and shown in the Windows code page, as OemToAnsiText does
// it (a text of only blanks and control characters becomes empty). Characters the Windows code
// page cannot hold are kept as they are.
QString ConvertDosToWindows(const QString& text);

// The file bytes of a Windows text saved in the DOS code page: converted with AnsiToOemText,
// split into lines at CR LF, CR or LF (a break at the very end adds no line), and every line,
// the last one included, followed by CR LF.
QByteArray DosFileBytes(const QByteArray& windowsText);

} // namespace lumivar
