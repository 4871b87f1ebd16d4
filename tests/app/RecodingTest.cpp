// The code-page guess (its statistics over the bytes above 128), the conversion of the editor's
// text, and the bytes written in the DOS code page, with a real code page 866 text.
#include "app/Recoding.h"

#include "app/util/strtools.h"

#include <gtest/gtest.h>

namespace lumivar {
namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(char(v));
    return b;
}

// "Привет, мир!" in both code pages.
const QByteArray kDosHello = Bytes({0x8F, 0xE0, 0xA8, 0xA2, 0xA5, 0xE2, ',', ' ', 0xAC, 0xA8, 0xE0, '!'});
const QByteArray kWinHello = Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, ',', ' ', 0xEC, 0xE8, 0xF0, '!'});

struct GuessCase {
    const char* what;
    QByteArray text;
    CodePageGuess guess;
};

TEST(GuessCodePage, ComparesTheAverageOfTheHighBytesWith200) {
    const GuessCase cases[] = {
        {"empty", {}, CodePageGuess::Undetermined},
        {"Latin only", "plain text 123", CodePageGuess::Undetermined},
        {"byte 128 is not counted", Bytes({128, 128, 'a'}), CodePageGuess::Undetermined},
        {"128 beside 201", Bytes({128, 201}), CodePageGuess::Windows},
        {"exactly 200", Bytes({200}), CodePageGuess::Undetermined},
        {"average exactly 200", Bytes({150, 250}), CodePageGuess::Undetermined},
        {"just above", Bytes({150, 251}), CodePageGuess::Windows},
        {"just below", Bytes({150, 249}), CodePageGuess::Dos},
        {"129 alone", Bytes({129}), CodePageGuess::Dos},
        {"255 alone", Bytes({255}), CodePageGuess::Windows},
        {"Cyrillic in 866", kDosHello, CodePageGuess::Dos},
        {"Cyrillic in 1251", kWinHello, CodePageGuess::Windows},
    };
    for (const GuessCase& c : cases) EXPECT_EQ(GuessCodePage(c.text), c.guess) << c.what;
}

TEST(ConvertDosToWindows, MakesADosTextReadable) {
    const QString garbled = Cp1251ToUnicode(kDosHello + "\r\nline 2\r\n");
    EXPECT_EQ(ConvertDosToWindows(garbled), QString::fromUtf8("Привет, мир!\r\nline 2\r\n"));
    EXPECT_EQ(ConvertDosToWindows(QStringLiteral("Latin only\n")), QStringLiteral("Latin only\n"));
    EXPECT_EQ(ConvertDosToWindows(QStringLiteral("  \r\n\t \n")), QString()) << "blank text";
}

TEST(ConvertDosToWindows, KeepsCharactersWithoutAByte) {
    const QString text = Cp1251ToUnicode(kDosHello) + QString::fromUtf8(" Ω 中 😀 ") + Cp1251ToUnicode(kDosHello);
    const QString expected = QString::fromUtf8("Привет, мир! Ω 中 😀 Привет, мир!");
    EXPECT_EQ(ConvertDosToWindows(text), expected);
}

struct DosCase {
    const char* what;
    QByteArray windows;
    QByteArray file;
};

TEST(DosFileBytes, EveryLineEndsWithCrLf) {
    const DosCase cases[] = {
        {"empty", {}, {}},
        {"blanks and breaks only", "  \r\n \r\n\t", {}},
        {"one line", "abc", "abc\r\n"},
        {"break at the end adds no line", "abc\r\n", "abc\r\n"},
        {"empty line kept", "a\r\n\r\nb", "a\r\n\r\nb\r\n"},
        {"every kind of break", "a\rb\nc\r\nd", "a\r\nb\r\nc\r\nd\r\n"},
        {"LF CR is two breaks", "a\n\rb", "a\r\n\r\nb\r\n"},
        {"Cyrillic", kWinHello + "\r\n" + kWinHello, kDosHello + "\r\n" + kDosHello + "\r\n"},
        {"leading blanks kept", "  x  ", "  x  \r\n"},
    };
    for (const DosCase& c : cases) EXPECT_EQ(DosFileBytes(c.windows), c.file) << c.what;
}

TEST(DosFileBytes, ARealDosTextRoundTripsByteExact) {
    // Every Cyrillic letter of code page 866, digits and punctuation, in CR LF lines.
    QByteArray dos;
    for (int b = 0x80; b <= 0xAF; ++b) dos.append(char(b));
    dos.append("\r\n");
    for (int b = 0xE0; b <= 0xF1; ++b) dos.append(char(b));
    dos.append(" 0123456789 .,;:!?()\r\n\r\n");
    dos.append(Bytes({0x8C, 0xAE, 0xE1, 0xAA, 0xA2, 0xA0, ' ', 0xFC, ' ', '1'}));
    dos.append("\r\n");
    const QByteArray windows = UnicodeToCp1251(ConvertDosToWindows(Cp1251ToUnicode(dos))).bytes;
    EXPECT_EQ(GuessCodePage(dos), CodePageGuess::Dos);
    EXPECT_EQ(GuessCodePage(windows), CodePageGuess::Windows);
    EXPECT_TRUE(Cp1251ToUnicode(windows).contains(QString::fromUtf8("Москва № 1")));
    EXPECT_EQ(DosFileBytes(windows), dos);
}

} // namespace
} // namespace lumivar
