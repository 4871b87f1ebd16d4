// MessageToText over the table of Messages.def. The table is UTF-8 source text; it is
// converted to code page 1251 once, on first use, and the parameter (already 1251) is
// inserted as it is.
#include "script/compiler/Messages.h"

#include "script/runtime/Cp1251.h"

#include <array>
#include <string_view>
#include <vector>

namespace lumivar::script {

namespace {

struct MessageText {
    std::uint8_t code;
    std::string before;
    bool usesParam;
    std::string after;
};

struct KindTexts {
    bool known = false;
    std::string prefix;
    std::string fallback;
    std::vector<MessageText> codes;
};

constexpr std::size_t kKindSlots = 256;

struct MessageTable {
    std::array<KindTexts, kKindSlots> kinds;
    std::string otherKind;
};

MessageTable BuildTable() {
    MessageTable t;
#define LV_MESSAGE_KIND(kind, name, prefix, fallback)                                              \
    t.kinds[kind] = {true, Utf8ToCp1251(prefix), Utf8ToCp1251(fallback), {}};
#define LV_OTHER_KIND(text) t.otherKind = Utf8ToCp1251(text);
#define LV_ERROR(code, name, before, usesParam, after)                                             \
    t.kinds[mkError].codes.push_back({code, Utf8ToCp1251(before), usesParam, Utf8ToCp1251(after)});
#define LV_WARNING(code, name, before, usesParam, after)                                           \
    t.kinds[mkWarning].codes.push_back(                                                            \
        {code, Utf8ToCp1251(before), usesParam, Utf8ToCp1251(after)});
#define LV_HINT(code, name, before, usesParam, after)                                              \
    t.kinds[mkHint].codes.push_back({code, Utf8ToCp1251(before), usesParam, Utf8ToCp1251(after)});
#include "Messages.def"
    return t;
}

const MessageTable& Table() {
    static const MessageTable table = BuildTable();
    return table;
}

} // namespace

std::string MessageToText(const TIFPSPascalCompilerMessage& message) {
    const MessageTable& table = Table();
    const KindTexts& kind = table.kinds[message.Kind];
    if (!kind.known) return table.otherKind;
    std::string text = kind.prefix + message.ModuleName + ": ";
    for (const MessageText& m : kind.codes) {
        if (m.code != message.Code) continue;
        text += m.before;
        if (m.usesParam) text += message.Param;
        return text + m.after;
    }
    return text + kind.fallback;
}

} // namespace lumivar::script
