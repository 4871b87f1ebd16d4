// Code-page helpers: the DOS/Windows conversion (trimming rule, letters exact both ways,
// box-drawing rendering), the lossless 1251 codec, character removal, case-free comparison.
#include "app/util/NumTools.h"
#include "app/util/strtools.h"
#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

namespace lumivar {
namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values) b.append(char(v));
    return b;
}

TEST(OemAnsi, BlankTextsConvertToNothing) {
    const QByteArray blanks[] = {QByteArray(), " ", "\t\r\n  \r\n", Bytes({0, 1, 31, 32})};
    for (const QByteArray& s : blanks) {
        EXPECT_EQ(OemToAnsiText(s), QByteArray());
        EXPECT_EQ(AnsiToOemText(s), QByteArray());
    }
}

TEST(OemAnsi, AsciiIsUnchangedAndLengthIsKept) {
    const QByteArray latin = "  Begin 0123456789 end; {x}\r\n";
    EXPECT_EQ(OemToAnsiText(latin), latin);
    EXPECT_EQ(AnsiToOemText(latin), latin);
    EXPECT_EQ(OemToAnsiText(" \x80\r\n"), QByteArray(" \xC0\r\n"));
}

// Code point a DOS letter stands for, computed independently of the tables.
char32_t OemLetter(int b) {
    if (b >= 0x80 && b <= 0xAF) return 0x0410 + (b - 0x80);
    if (b >= 0xE0 && b <= 0xEF) return 0x0440 + (b - 0xE0);
    if (b == 0xF0) return 0x0401;
    if (b == 0xF1) return 0x0451;
    return 0;
}

TEST(OemAnsi, EveryLetterMapsExactlyBothWays) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char32_t letter = OemLetter(b);
        if (!letter) continue;
        SCOPED_TRACE(b);
        const QByteArray ansi = OemToAnsiText(Bytes({b}));
        ASSERT_EQ(ansi.size(), 1);
        EXPECT_EQ(script::Cp1251ToCodePoint(static_cast<unsigned char>(ansi[0])), letter);
        EXPECT_EQ(AnsiToOemText(ansi), Bytes({b}));
    }
}

TEST(OemAnsi, SharedCharactersRoundTripAndTheRestIsPrintable) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const QByteArray ansi = OemToAnsiText(Bytes({b}));
        ASSERT_EQ(ansi.size(), 1);
        if (static_cast<unsigned char>(ansi[0]) >= 0x80)
            EXPECT_EQ(AnsiToOemText(ansi), Bytes({b}));
        else
            EXPECT_TRUE(QByteArray("#|-=+v").contains(ansi[0])) << "rendered as " << ansi[0];
        const QByteArray oem = AnsiToOemText(Bytes({b}));
        ASSERT_EQ(oem.size(), 1);
        EXPECT_NE(oem[0], '\0');
    }
}

TEST(OemAnsi, BoxDrawingBecomesLines) {
    // ┌──┐ / │░▒│ / ╚══╝
    EXPECT_EQ(OemToAnsiText(Bytes({0xDA, 0xC4, 0xC4, 0xBF})), QByteArray("+--+"));
    EXPECT_EQ(OemToAnsiText(Bytes({0xB3, 0xB0, 0xB1, 0xB3})), QByteArray("|##|"));
    EXPECT_EQ(OemToAnsiText(Bytes({0xC8, 0xCD, 0xCD, 0xBC})), QByteArray("+==+"));
}

TEST(Cp1251Codec, EveryByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(char(b));
    const QString text = Cp1251ToUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x98].unicode(), 0x0098);
    EXPECT_EQ(text[0xC0].unicode(), 0x0410);
    EXPECT_EQ(text[0xB9].unicode(), 0x2116);
    const Cp1251Encoding back = UnicodeToCp1251(text);
    EXPECT_EQ(back.firstUnencodable, -1);
    EXPECT_EQ(back.bytes, all);
}

TEST(Cp1251Codec, ReportsTheFirstUnencodableCharacter) {
    const Cp1251Encoding e = UnicodeToCp1251(QString::fromUtf8("ab€中x中"));
    EXPECT_EQ(e.firstUnencodable, 3);
    EXPECT_EQ(e.bytes, QByteArray("ab\x88?x?"));
    EXPECT_EQ(UnicodeToCp1251(QString(QChar(0x0099))).firstUnencodable, 0);
}

TEST(RemoveChars, RemovesEveryOccurrence) {
    EXPECT_EQ(RemoveChars("[[Begin] [End]]", "[]"), "Begin End");
    EXPECT_EQ(RemoveChars("abc", ""), "abc");
    EXPECT_EQ(RemoveChar("a-b--c", '-'), "abc");
    EXPECT_EQ(RemoveChar("", '-'), "");
}

TEST(SameTextNoCase, FollowsCaseRulesIncludingCyrillic) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"pas", "PAS", true},   {"Php3", "pHP3", true}, {"Привет", "пРИВЕТ", true},
        {"ёж", "ЁЖ", true},     {"pas", "pa", false},   {"ее", "её", false},
        {"", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameTextNoCase(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.same)
            << c.a << " / " << c.b;
}

} // namespace
} // namespace lumivar
