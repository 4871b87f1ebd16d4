// Conversion between the DOS (866) and Windows (1251) code pages, the lossless mapping between
// code page 1251 bytes and the editor component's Unicode text, and character removal.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace lumivar {

// Both first trim blanks and control characters (codes 0..32) from both ends: when nothing is
// left the result is empty; otherwise every byte of S is mapped and the length is kept.
QByteArray OemToAnsiText(const QByteArray& s);
QByteArray AnsiToOemText(const QByteArray& s);

// S without every occurrence of C; without every character of Chars.
QString RemoveChar(const QString& s, QChar c);
QString RemoveChars(const QString& s, const QString& chars);

// Code page 1251 bytes to Unicode and back, lossless for every byte: the undefined byte 0x98
// maps to U+0098 and back.
QString Cp1251ToUnicode(const QByteArray& bytes);

struct Cp1251Encoding {
    QByteArray bytes;
    // Index in the Unicode text of the first character code page 1251 cannot hold, or -1.
    qsizetype firstUnencodable = -1;
};
Cp1251Encoding UnicodeToCp1251(const QString& text);

} // namespace lumivar
