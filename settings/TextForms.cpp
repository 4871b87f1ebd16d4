// Writers and readers of the settings' text forms, over the one table of colour names.
#include "settings/TextForms.h"

#include <QStringList>

#include <array>
#include <limits>

namespace lumivar {
namespace {

struct ColorNameRow {
    const char* name;
    TColor value;
};

constexpr ColorNameRow kColorNames[] = {
#define COLOR_NAME(name, value) {#name, value},
#include "settings/ColorNames.def"
#undef COLOR_NAME
};

constexpr TColor kSystemFlag = 0x80000000u;

// Palette roles of the system colours, by index (the low byte of the value). Colours the
// palette has no role for take the nearest role of the same use.
struct SystemRole {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};
constexpr std::array<SystemRole, 25> kSystemRoles = {{
    {QPalette::Active, QPalette::Button},          // clScrollBar
    {QPalette::Active, QPalette::Window},          // clBackground (the desktop)
    {QPalette::Active, QPalette::Highlight},       // clActiveCaption
    {QPalette::Inactive, QPalette::Highlight},     // clInactiveCaption
    {QPalette::Active, QPalette::Window},          // clMenu
    {QPalette::Active, QPalette::Base},            // clWindow
    {QPalette::Active, QPalette::Shadow},          // clWindowFrame
    {QPalette::Active, QPalette::WindowText},      // clMenuText
    {QPalette::Active, QPalette::Text},            // clWindowText
    {QPalette::Active, QPalette::HighlightedText}, // clCaptionText
    {QPalette::Active, QPalette::Window},          // clActiveBorder
    {QPalette::Inactive, QPalette::Window},        // clInactiveBorder
    {QPalette::Active, QPalette::Dark},            // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},       // clHighlight
    {QPalette::Active, QPalette::HighlightedText}, // clHighlightText
    {QPalette::Active, QPalette::Button},          // clBtnFace
    {QPalette::Active, QPalette::Dark},            // clBtnShadow
    {QPalette::Disabled, QPalette::Text},          // clGrayText
    {QPalette::Active, QPalette::ButtonText},      // clBtnText
    {QPalette::Inactive, QPalette::HighlightedText}, // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},           // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},          // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},        // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},     // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},     // clInfoBk
}};
static_assert(clInfoBk - kSystemFlag + 1 == kSystemRoles.size(),
              "one palette role per system colour");

constexpr int kFontFields = 7;
constexpr int kFallbackFontSize = 10; // the size a font text without a usable size reads as

QString FlagText(bool flag) { return flag ? QStringLiteral("1") : QStringLiteral("0"); }

int HexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
    return -1;
}

bool TextToFlag(const QString& text) { return TextToInteger(text).value_or(0) != 0; }

} // namespace

QString IntegerToText(int value) { return QString::number(value); }

std::optional<int> TextToInteger(const QString& text) {
    qsizetype i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative) ++i;
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max() + 1LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return int(value);
}

QString ColorToText(TColor color) {
    for (const ColorNameRow& row : kColorNames)
        if (row.value == color) return QString::fromLatin1(row.name);
    return QStringLiteral("$%1").arg(color, 8, 16, QChar(u'0')).toUpper();
}

std::optional<TColor> TextToColor(const QString& text) {
    for (const ColorNameRow& row : kColorNames)
        if (text.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0) return row.value;
    if (!text.startsWith(u'$') || text.size() < 2 || text.size() > 9) return std::nullopt;
    TColor value = 0;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) return std::nullopt;
        value = (value << 4) | TColor(digit);
    }
    return value;
}

QColor ResolveColor(TColor color, const QPalette& palette, const QColor& fallback) {
    if ((color & 0xFF000000u) == kSystemFlag) {
        const TColor index = color & 0x00FFFFFFu;
        if (index >= kSystemRoles.size()) return fallback;
        const SystemRole& r = kSystemRoles[index];
        return palette.color(r.group, r.role);
    }
    if (color == clNone || color == clDefault) return fallback;
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor ColorFromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return TColor(rgb.red()) | TColor(rgb.green()) << 8 | TColor(rgb.blue()) << 16;
}

QString RectToText(const QRect& rect) {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.x() + rect.width())
        .arg(rect.y() + rect.height());
}

std::optional<QRect> TextToRect(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return std::nullopt;
    std::array<int, 4> v{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> n = TextToInteger(parts[i]);
        if (!n) return std::nullopt;
        v[i] = *n;
    }
    // An empty or inverted rectangle would make the window vanish: treat it as malformed.
    if (v[2] <= v[0] || v[3] <= v[1]) return std::nullopt;
    return QRect(QPoint(v[0], v[1]), QSize(v[2] - v[0], v[3] - v[1]));
}

QFont StoredFont::toQFont(const QFont& base) const {
    QFont font(base);
    font.setFamily(name);
    font.setPointSize(size);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeOut);
    return font;
}

StoredFont StoredFont::fromQFont(const QFont& font, TColor color) {
    StoredFont f;
    f.name = font.family();
    f.size = font.pointSize() > 0 ? font.pointSize() : kFallbackFontSize;
    f.color = color;
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    f.strikeOut = font.strikeOut();
    return f;
}

QString FontToText(const StoredFont& font) {
    return QStringList{font.name,
                       IntegerToText(font.size),
                       ColorToText(font.color),
                       FlagText(font.bold),
                       FlagText(font.italic),
                       FlagText(font.underline),
                       FlagText(font.strikeOut)}
        .join(u',');
}

std::optional<StoredFont> TextToFont(const QString& text) {
    const QStringList f = text.split(u',');
    if (f.size() != kFontFields) return std::nullopt;
    StoredFont font;
    font.name = f[0];
    const int size = TextToInteger(f[1]).value_or(kFallbackFontSize);
    font.size = size > 0 ? size : kFallbackFontSize;
    font.color = TextToColor(f[2]).value_or(clWindowText);
    font.bold = TextToFlag(f[3]);
    font.italic = TextToFlag(f[4]);
    font.underline = TextToFlag(f[5]);
    font.strikeOut = TextToFlag(f[6]);
    return font;
}

} // namespace lumivar
