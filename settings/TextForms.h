// The text forms in which every stored setting is kept: integer, colour, rectangle, font.
// Each form has a writer and a reader; a reader returns nothing for a malformed text, so the
// store can fall back to the caller's default without reporting anything.
#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

#include <cstdint>
#include <optional>

namespace lumivar {

// A colour as the settings keep it: red in the lowest byte, blue in the third from the right.
// A top byte of 0x80 marks a system colour (the low byte indexes the platform palette);
// clNone and clDefault stand for "no colour" and "the control's own colour".
using TColor = std::uint32_t;

#define COLOR_NAME(name, value) inline constexpr TColor name = value;
#include "settings/ColorNames.def"
#undef COLOR_NAME

// Integer: decimal digits with an optional leading minus sign, nothing else.
QString IntegerToText(int value);
std::optional<int> TextToInteger(const QString& text);

// Colour: the name when the value has one ("clSilver"), else "$" and eight hexadecimal digits.
// Reading takes a name without regard to case, or "$" and one to eight hexadecimal digits.
QString ColorToText(TColor color);
std::optional<TColor> TextToColor(const QString& text);

// The colour to paint with: a system colour resolves to the matching role of the palette;
// clNone, clDefault and an unknown system index give the fallback.
QColor ResolveColor(TColor color, const QPalette& palette, const QColor& fallback);
// The colour value of a painted colour (the alpha channel is not kept).
TColor ColorFromQColor(const QColor& color);

// Rectangle: "Left,Top,Right,Bottom" in pixels, Right and Bottom exclusive. A text that is
// not four numbers, or that describes an empty rectangle, is malformed.
QString RectToText(const QRect& rect);
std::optional<QRect> TextToRect(const QString& text);

// A font as the settings keep it: face, size in points, colour and four style flags.
struct StoredFont {
    QString name = QStringLiteral("Courier New");
    int size = 9;
    TColor color = clWindowText;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    bool operator==(const StoredFont&) const = default;

    // The face, size and style set on a base font, whose other attributes (such as a fixed-pitch
    // hint for font matching) are kept; the colour is painted separately.
    QFont toQFont(const QFont& base = QFont()) const;
    // Face, size and style of a Qt font, with the given colour.
    static StoredFont fromQFont(const QFont& font, TColor color);
};

// Font: "Name,Size,Color,Bold,Italic,Underline,StrikeOut", the flags "1" or "0". Reading needs
// exactly seven fields, else the text is malformed. A size that is not a positive number reads
// as 10, a colour that cannot be read as clWindowText, a flag reads as set when it is a
// number other than 0 and as clear otherwise.
QString FontToText(const StoredFont& font);
std::optional<StoredFont> TextToFont(const QString& text);

} // namespace lumivar
