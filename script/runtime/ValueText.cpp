// Canonical value texts.
#include "ValueText.h"

#include <charconv>

namespace lumivar::script {
namespace {

// Values nest through records, arrays and variants to a bounded depth (the loader bounds types,
// CopyValue bounds copies), but pointers can form chains and cycles: past this depth a text
// shows "..." instead of following them further.
constexpr int kMaxTextDepth = 300;

void AppendValue(std::string& out, const TIFValue& v, int depth);

void AppendElements(std::string& out, const TIFValue& v, char open, char close, int depth) {
    out += open;
    for (std::size_t i = 0; i < v.Elements.size(); ++i) {
        if (i) out += ", ";
        AppendValue(out, *v.Elements[i], depth + 1);
    }
    out += close;
}

void AppendValue(std::string& out, const TIFValue& v, int depth) {
    if (depth > kMaxTextDepth) {
        out += "...";
        return;
    }
    const std::uint8_t kind = KindOf(v);
    switch (kind) {
    case vkU8:
    case vkS8:
    case vkU16:
    case vkS16:
    case vkU32:
    case vkS32:
    case vkS64:
        out += std::to_string(GetInteger(v));
        break;
    case vkSingle:
    case vkDouble:
    case vkExtended:
        out += FloatText(GetFloat(v), kind);
        break;
    case vkString:
    case vkPChar:
        out += PascalLiteral(GetString(v));
        break;
    case vkRecord:
        AppendElements(out, v, '(', ')', depth);
        break;
    case vkArray:
        AppendElements(out, v, '[', ']', depth);
        break;
    case vkPointer:
        if (v.Payload.Ref) {
            out += '^';
            AppendValue(out, *v.Payload.Ref, depth + 1);
        } else {
            out += "nil";
        }
        break;
    case vkResourcePointer:
        out += "resource(" + std::to_string(v.Payload.Resource.Data) + ")";
        break;
    case vkVariant:
        if (v.Payload.Ref && v.Payload.Ref->Type)
            AppendValue(out, *v.Payload.Ref, depth + 1);
        else
            out += "Null";
        break;
    case vkReturnAddress:
        out += "return";
        break;
    default:
        out += "Null";
        break; // a value that holds nothing
    }
}

} // namespace

std::string ValueText(const TIFValue& value) {
    std::string out;
    AppendValue(out, value, 0);
    return out;
}

std::string PascalLiteral(std::string_view bytes) {
    if (bytes.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool printable = b >= 32 && b <= 126;
        if (printable != quoted) {
            out += '\'';
            quoted = printable;
        }
        if (!printable)
            out += '#' + std::to_string(b);
        else
            out += c == '\'' ? std::string("''") : std::string(1, c);
    }
    if (quoted) out += '\'';
    return out;
}

std::string FloatText(long double value, std::uint8_t kind) {
    char buffer[64];
    std::to_chars_result r;
    if (kind == vkSingle)
        r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    else if (kind == vkDouble)
        r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value));
    else
        r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

} // namespace lumivar::script
