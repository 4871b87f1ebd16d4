// The settings' text forms: every form written and read back, and the malformed texts each
// reader refuses.
#include "settings/TextForms.h"

#include <gtest/gtest.h>

#include <climits>

namespace lumivar {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<int> value;
};

TEST(TextForms, IntegerTexts) {
    const IntegerCase cases[] = {
        {"0", 0},           {"-1", -1},           {"100", 100},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"007", 7},
        {"", std::nullopt}, {"-", std::nullopt},  {"+1", std::nullopt},
        {" 1", std::nullopt}, {"1 ", std::nullopt}, {"1a", std::nullopt},
        {"$10", std::nullopt}, {"2147483648", std::nullopt}, {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt}, {"1.5", std::nullopt}, {"--1", std::nullopt},
    };
    for (const IntegerCase& c : cases) EXPECT_EQ(TextToInteger(c.text), c.value) << c.text;
    for (int v : {0, 1, -1, 100, INT_MAX, INT_MIN}) EXPECT_EQ(TextToInteger(IntegerToText(v)), v);
}

struct ColorCase {
    TColor value;
    const char* text;
};

TEST(TextForms, ColorsWrittenByNameOrNumber) {
    const ColorCase cases[] = {
        {clBlack, "clBlack"},     {clSilver, "clSilver"},       {clRed, "clRed"},
        {clBlue, "clBlue"},       {clMedGray, "clMedGray"},     {clNone, "clNone"},
        {clDefault, "clDefault"}, {clWindow, "clWindow"},       {clInfoBk, "clInfoBk"},
        {0x000000FE, "$000000FE"}, {0x00123456, "$00123456"},  {0x80000019, "$80000019"},
        {0x00ABCDEF, "$00ABCDEF"},
    };
    for (const ColorCase& c : cases) {
        EXPECT_EQ(ColorToText(c.value), c.text);
        EXPECT_EQ(TextToColor(c.text), c.value) << c.text;
    }
    EXPECT_EQ(clRed, 0x000000FFu) << "red is the lowest byte";
    EXPECT_EQ(clWindow, 0x80000005u);
}

TEST(TextForms, ColorsReadCaseInsensitivelyOrRefused) {
    EXPECT_EQ(TextToColor("CLSILVER"), clSilver);
    EXPECT_EQ(TextToColor("clwindowtext"), clWindowText);
    EXPECT_EQ(TextToColor("$ff"), 0xFFu);
    EXPECT_EQ(TextToColor("$00c0c0c0"), clSilver);
    for (const char* bad : {"", "$", "$123456789", "$G0", "red", "clSilverX", "C0C0C0", " clRed",
                            "12632256", "$-1"})
        EXPECT_EQ(TextToColor(bad), std::nullopt) << bad;
}

TEST(TextForms, ColorsResolveForPainting) {
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(4, 5, 6));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(7, 8, 9));
    const QColor fallback(10, 11, 12);
    EXPECT_EQ(ResolveColor(clWindow, palette, fallback), QColor(1, 2, 3));
    EXPECT_EQ(ResolveColor(clWindowText, palette, fallback), QColor(4, 5, 6));
    EXPECT_EQ(ResolveColor(clHighlight, palette, fallback), QColor(7, 8, 9));
    EXPECT_EQ(ResolveColor(clRed, palette, fallback), QColor(255, 0, 0));
    EXPECT_EQ(ResolveColor(clSkyBlue, palette, fallback), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(ResolveColor(clNone, palette, fallback), fallback);
    EXPECT_EQ(ResolveColor(clDefault, palette, fallback), fallback);
    EXPECT_EQ(ResolveColor(0x80000019, palette, fallback), fallback) << "no such system colour";
    EXPECT_EQ(ColorFromQColor(QColor(0xA6, 0xCA, 0xF0)), clSkyBlue);
    EXPECT_EQ(ColorFromQColor(QColor(0x12, 0x34, 0x56, 0x78)), 0x00563412u) << "alpha is dropped";
}

TEST(TextForms, RectanglesRoundTripWithExclusiveCorners) {
    const QRect r(QPoint(10, 20), QSize(780, 525));
    EXPECT_EQ(RectToText(r), "10,20,790,545");
    EXPECT_EQ(TextToRect("10,20,790,545"), r);
    EXPECT_EQ(TextToRect("-8,-8,1288,1032"), QRect(QPoint(-8, -8), QSize(1296, 1040)));
    for (const char* bad : {"", "1,2,3", "1,2,3,4,5", "a,b,c,d", "1, 2,3,4", "1;2;3;4", "10,10,5,20",
                            "10,10,10,20", "0,0,100,0", "1,2,3,4,", "0,0,100,100x"})
        EXPECT_EQ(TextToRect(bad), std::nullopt) << bad;
}

TEST(TextForms, FontsRoundTripInSevenFields) {
    StoredFont f;
    EXPECT_EQ(FontToText(f), "Courier New,9,clWindowText,0,0,0,0");
    f.name = "Liberation Mono";
    f.size = 14;
    f.color = 0x00123456;
    f.bold = true;
    f.strikeOut = true;
    EXPECT_EQ(FontToText(f), "Liberation Mono,14,$00123456,1,0,0,1");
    EXPECT_EQ(TextToFont(FontToText(f)), f);
    f.italic = f.underline = true;
    f.bold = f.strikeOut = false;
    EXPECT_EQ(TextToFont(FontToText(f)), f);
}

struct FontCase {
    const char* text;
    std::optional<StoredFont> font;
};

StoredFont Font(const char* name, int size, TColor color, bool b, bool i, bool u, bool s) {
    return StoredFont{name, size, color, b, i, u, s};
}

TEST(TextForms, FontsOfTheWrongShapeOrWithBadFields) {
    const FontCase cases[] = {
        {"Arial,12,clRed,1,1,1,1", Font("Arial", 12, clRed, true, true, true, true)},
        {"Arial,big,clRed,0,0,0,0", Font("Arial", 10, clRed, false, false, false, false)},
        {"Arial,0,clRed,0,0,0,0", Font("Arial", 10, clRed, false, false, false, false)},
        {"Arial,-12,clRed,0,0,0,0", Font("Arial", 10, clRed, false, false, false, false)},
        {"Arial,12,nocolour,0,0,0,0", Font("Arial", 12, clWindowText, false, false, false, false)},
        {"Arial,12,clRed,x,2,-1,", Font("Arial", 12, clRed, false, true, true, false)},
        {"", std::nullopt},
        {"Arial", std::nullopt},
        {"Arial,12,clRed,0,0,0", std::nullopt},
        {"Arial,12,clRed,0,0,0,0,0", std::nullopt},
        {"Times, Roman,12,clRed,0,0,0,0", std::nullopt},
    };
    for (const FontCase& c : cases) EXPECT_EQ(TextToFont(c.text), c.font) << c.text;
}

TEST(TextForms, FontsConvertToAndFromQtFonts) {
    const StoredFont f = Font("Liberation Mono", 13, clNavy, true, false, true, false);
    const QFont q = f.toQFont();
    EXPECT_EQ(q.family(), "Liberation Mono");
    EXPECT_EQ(q.pointSize(), 13);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());
    EXPECT_EQ(StoredFont::fromQFont(q, clNavy), f);

    QFont base(QStringLiteral("Courier New"), 9);
    base.setFixedPitch(true);
    base.setStyleHint(QFont::TypeWriter);
    const QFont onBase = f.toQFont(base);
    EXPECT_EQ(onBase.family(), "Liberation Mono");
    EXPECT_EQ(onBase.pointSize(), 13);
    EXPECT_TRUE(onBase.fixedPitch()) << "the base's matching hints stay";
    EXPECT_EQ(onBase.styleHint(), QFont::TypeWriter);
}

} // namespace
} // namespace lumivar
