// Code-page guess, DOS-to-Windows conversion of the editor's text, and the DOS file bytes.
#include "app/Recoding.h"

#include "app/util/strtools.h"

namespace lumivar {

CodePageGuess GuessCodePage(const QByteArray& text) {
    qint64 count = 0, sum = 0;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 128) {
            ++count;
            sum += byte;
        }
    }
    if (count == 0) return CodePageGuess::Undetermined;
    // sum / count compared with 200, kept in integers so that exactly 200 is exact.
    if (sum > 200 * count) return CodePageGuess::Windows;
    if (sum < 200 * count) return CodePageGuess::Dos;
    return CodePageGuess::Undetermined;
}

QString ConvertDosToWindows(const QString& text) {
    const Cp1251Encoding encoded = UnicodeToCp1251(text);
    const QByteArray converted = OemToAnsiText(encoded.bytes);
    if (converted.isEmpty()) return {};
    QString result = Cp1251ToUnicode(converted);
    // The conversion keeps the length, so every character that had no byte is put back in
    // its place instead of the stand-in the encoder wrote.
    if (encoded.firstUnencodable >= 0) {
        for (qsizetype i = encoded.firstUnencodable; i < text.size(); ++i)
            if (UnicodeToCp1251(text.mid(i, 1)).firstUnencodable == 0) result[i] = text[i];
    }
    return result;
}

QByteArray DosFileBytes(const QByteArray& windowsText) {
    const QByteArray dos = AnsiToOemText(windowsText);
    QByteArray file;
    file.reserve(dos.size() + dos.size() / 16 + 2);
    qsizetype start = 0;
    while (start < dos.size()) {
        qsizetype end = start;
        while (end < dos.size() && dos[end] != '\r' && dos[end] != '\n') ++end;
        file.append(dos.constData() + start, end - start);
        file.append("\r\n");
        if (end < dos.size() && dos[end] == '\r' && end + 1 < dos.size() && dos[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return file;
}

} // namespace lumivar
