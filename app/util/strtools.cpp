// The DOS (866) <-> Windows (1251) conversion tables, the 1251 <-> Unicode codec over the
// engine's single 1251 table, and character removal.
#include "app/util/strtools.h"

#include "script/runtime/Cp1251.h"

#include <array>
#include <vector>

namespace lumivar {
namespace {

using Byte = unsigned char;
using HalfTable = std::array<Byte, 128>; // image of bytes 0x80..0xFF; bytes below are kept

// Characters both code pages hold, as runs of consecutive bytes: {866, 1251, count}.
struct CodeRun {
    Byte oem;
    Byte ansi;
    int count;
};
constexpr CodeRun kSharedRuns[] = {
    {0x80, 0xC0, 32}, // А..Я
    {0xA0, 0xE0, 16}, // а..п
    {0xE0, 0xF0, 16}, // р..я
    {0xF0, 0xA8, 1},  // Ё
    {0xF1, 0xB8, 1},  // ё
    {0xF2, 0xAA, 1},  // Є
    {0xF3, 0xBA, 1},  // є
    {0xF4, 0xAF, 1},  // Ї
    {0xF5, 0xBF, 1},  // ї
    {0xF6, 0xA1, 1},  // Ў
    {0xF7, 0xA2, 1},  // ў
    {0xF8, 0xB0, 1},  // °
    {0xF9, 0x95, 1},  // bullet operator <-> bullet
    {0xFA, 0xB7, 1},  // middle dot
    {0xFC, 0xB9, 1},  // №
    {0xFD, 0xA4, 1},  // currency sign
    {0xFF, 0xA0, 1},  // no-break space
};

// One-way renderings of characters the target code page lacks: {source byte, target byte}.
struct Rendering {
    Byte from;
    Byte to;
};

// DOS characters without a Windows counterpart: the shades and blocks become '#', single and
// double lines '|', '-' and '=', every corner and junction '+'.
constexpr Rendering kOemOnly[] = {
    {0xB0, '#'}, {0xB1, '#'}, {0xB2, '#'}, {0xB3, '|'}, {0xB4, '+'}, {0xB5, '+'}, {0xB6, '+'},
    {0xB7, '+'}, {0xB8, '+'}, {0xB9, '+'}, {0xBA, '|'}, {0xBB, '+'}, {0xBC, '+'}, {0xBD, '+'},
    {0xBE, '+'}, {0xBF, '+'}, {0xC0, '+'}, {0xC1, '+'}, {0xC2, '+'}, {0xC3, '+'}, {0xC4, '-'},
    {0xC5, '+'}, {0xC6, '+'}, {0xC7, '+'}, {0xC8, '+'}, {0xC9, '+'}, {0xCA, '+'}, {0xCB, '+'},
    {0xCC, '+'}, {0xCD, '='}, {0xCE, '+'}, {0xCF, '+'}, {0xD0, '+'}, {0xD1, '+'}, {0xD2, '+'},
    {0xD3, '+'}, {0xD4, '+'}, {0xD5, '+'}, {0xD6, '+'}, {0xD7, '+'}, {0xD8, '+'}, {0xD9, '+'},
    {0xDA, '+'}, {0xDB, '#'}, {0xDC, '#'}, {0xDD, '#'}, {0xDE, '#'}, {0xDF, '#'},
    {0xFB, 'v'}, // square root
    {0xFE, '#'}, // black square
};

// Windows characters without a DOS counterpart: the nearest DOS letter or an ASCII look-alike;
// '?' where there is none.
constexpr Rendering kAnsiOnly[] = {
    {0x80, '?'},  {0x81, 0x83}, {0x82, '\''}, {0x83, 0xA3}, {0x84, '"'},  {0x85, '.'},
    {0x86, '+'},  {0x87, '+'},  {0x88, 'E'},  {0x89, '%'},  {0x8A, 0x8B}, {0x8B, '<'},
    {0x8C, 0x8D}, {0x8D, 0x8A}, {0x8E, '?'},  {0x8F, 0x96}, {0x90, '?'},  {0x91, '\''},
    {0x92, '\''}, {0x93, '"'},  {0x94, '"'},  {0x96, '-'},  {0x97, '-'},  {0x98, '?'},
    {0x99, 'T'},  {0x9A, 0xAB}, {0x9B, '>'},  {0x9C, 0xAD}, {0x9D, 0xAA}, {0x9E, '?'},
    {0x9F, 0xE6}, {0xA3, 'J'},  {0xA5, 0x83}, {0xA6, '|'},  {0xA7, '?'},  {0xA9, 'c'},
    {0xAB, '"'},  {0xAC, '-'},  {0xAD, '-'},  {0xAE, 'R'},  {0xB1, '+'},  {0xB2, 'I'},
    {0xB3, 'i'},  {0xB4, 0xA3}, {0xB5, 'u'},  {0xB6, '?'},  {0xBB, '"'},  {0xBC, 'j'},
    {0xBD, 'S'},  {0xBE, 's'},
};

template <std::size_t N>
constexpr HalfTable BuildHalf(bool fromOem, const Rendering (&renderings)[N]) {
    HalfTable table{};
    for (const CodeRun& run : kSharedRuns) {
        for (int i = 0; i < run.count; ++i) {
            const Byte oem = Byte(run.oem + i), ansi = Byte(run.ansi + i);
            if (fromOem) table[oem - 0x80] = ansi;
            else table[ansi - 0x80] = oem;
        }
    }
    for (const Rendering& r : renderings) table[r.from - 0x80] = r.to;
    return table;
}

// Each table must give every upper byte exactly one image.
template <std::size_t N>
constexpr bool Complete(bool fromOem, const Rendering (&renderings)[N]) {
    std::array<int, 128> hits{};
    for (const CodeRun& run : kSharedRuns)
        for (int i = 0; i < run.count; ++i) ++hits[(fromOem ? run.oem : run.ansi) + i - 0x80];
    for (const Rendering& r : renderings) ++hits[r.from - 0x80];
    for (int h : hits)
        if (h != 1) return false;
    return true;
}

static_assert(Complete(true, kOemOnly), "every DOS byte needs exactly one Windows image");
static_assert(Complete(false, kAnsiOnly), "every Windows byte needs exactly one DOS image");

constexpr HalfTable kOemToAnsi = BuildHalf(true, kOemOnly);
constexpr HalfTable kAnsiToOem = BuildHalf(false, kAnsiOnly);

bool IsBlank(char c) { return Byte(c) <= 32; }

// Both directions share the rule: a text that is blank after trimming converts to nothing;
// otherwise every byte is mapped in place.
QByteArray Convert(const QByteArray& s, const HalfTable& table) {
    qsizetype first = 0, last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    if (first == last) return {};
    QByteArray result(s);
    for (char& c : result)
        if (Byte(c) >= 0x80) c = char(table[Byte(c) - 0x80]);
    return result;
}

// Byte of each UTF-16 unit, or -1; derived from the engine's table on first use.
const std::vector<short>& UnicodeToByte() {
    static const std::vector<short> table = [] {
        std::vector<short> t(0x10000, -1);
        for (int b = 0; b < 256; ++b) t[script::Cp1251ToCodePoint(Byte(b))] = short(b);
        return t;
    }();
    return table;
}

} // namespace

QByteArray OemToAnsiText(const QByteArray& s) { return Convert(s, kOemToAnsi); }

QByteArray AnsiToOemText(const QByteArray& s) { return Convert(s, kAnsiToOem); }

QString RemoveChar(const QString& s, QChar c) { return QString(s).remove(c); }

QString RemoveChars(const QString& s, const QString& chars) {
    QString result(s);
    for (QChar c : chars) result.remove(c);
    return result;
}

QString Cp1251ToUnicode(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(char16_t(script::Cp1251ToCodePoint(Byte(c))));
    return text;
}

Cp1251Encoding UnicodeToCp1251(const QString& text) {
    const std::vector<short>& table = UnicodeToByte();
    Cp1251Encoding result;
    result.bytes.resize(text.size());
    char* out = result.bytes.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const short b = table[text[i].unicode()];
        if (b < 0 && result.firstUnencodable < 0) result.firstUnencodable = i;
        out[i] = b < 0 ? '?' : char(b);
    }
    return result;
}

} // namespace lumivar
