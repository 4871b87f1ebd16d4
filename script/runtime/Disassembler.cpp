// The image listing: tables from the checked layout reader, instructions decoded by the field
// lists of Opcodes.def with a bounded cursor.
#include "Disassembler.h"

#include "Cp1251.h"
#include "Extended.h"
#include "ImageFormat.h"
#include "ImageLayout.h"
#include "ValueText.h"
#include "Values.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace lumivar::script {
namespace {

// Reads from one code block; a read past its end fails and reads nothing.
struct TCursor {
    std::string_view Code;
    std::size_t Pos = 0;

    bool Bytes(std::size_t n, std::string_view& out) {
        if (n > Code.size() - Pos) return false;
        out = Code.substr(Pos, n);
        Pos += n;
        return true;
    }
    bool U8(std::uint8_t& out) {
        std::string_view b;
        if (!Bytes(1, b)) return false;
        out = static_cast<std::uint8_t>(b[0]);
        return true;
    }
    bool U32(std::uint32_t& out) {
        std::string_view b;
        if (!Bytes(4, b)) return false;
        std::memcpy(&out, b.data(), 4);
        return true;
    }
};

std::string Hex(std::size_t n, int width = 4) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*zX", width, n);
    return buffer;
}

std::string VariableText(std::uint32_t v) {
    if (v < kFirstStackVar) return "G" + std::to_string(v);
    const std::int64_t offset = std::int64_t(v) - kStackBaseVar;
    return offset == 0 ? "S0" : (offset > 0 ? "S+" : "S") + std::to_string(offset);
}

std::string LiteralText(std::uint8_t kind, std::string_view bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    auto little = [&](std::size_t n) {
        std::uint64_t u = 0;
        for (std::size_t i = n; i-- > 0;)
            u = (u << 8) | b[i];
        return u;
    };
    switch (kind) {
    case vkU8:
        return std::to_string(b[0]);
    case vkS8:
        return std::to_string(std::int8_t(b[0]));
    case vkU16:
        return std::to_string(std::uint16_t(little(2)));
    case vkS16:
        return std::to_string(std::int16_t(little(2)));
    case vkU32:
        return std::to_string(std::uint32_t(little(4)));
    case vkS32:
        return std::to_string(std::int32_t(little(4)));
    case vkS64:
        return std::to_string(std::int64_t(little(8)));
    case vkSingle: {
        float f;
        std::memcpy(&f, b, 4);
        return FloatText(f, kind);
    }
    case vkDouble: {
        double d;
        std::memcpy(&d, b, 8);
        return FloatText(d, kind);
    }
    case vkExtended:
        return FloatText(ReadExtended(b), kind);
    default:
        return PascalLiteral(bytes);
    }
}

// The literal length of a constant of this kind: fixed for numbers, a u32 count for strings;
// kinds without literal read nothing (the interpreter refuses them).
bool Constant(TCursor& c, std::uint32_t typeNo, std::span<const std::uint8_t> kinds,
              std::string& out) {
    out = "T" + std::to_string(typeNo) + ":";
    if (typeNo >= kinds.size()) return true;
    const std::uint8_t kind = kinds[typeNo];
    std::string_view literal;
    if (kind == vkString || kind == vkPChar) {
        std::uint32_t n = 0;
        if (!c.U32(n) || !c.Bytes(n, literal)) return false;
    } else {
        const std::size_t width = PayloadSize(kind);
        if (width == 0) return true;
        if (!c.Bytes(width, literal)) return false;
    }
    out += LiteralText(kind, literal);
    return true;
}

bool Operand(TCursor& c, std::span<const std::uint8_t> kinds, std::string& out) {
    std::uint8_t kind = 0;
    std::uint32_t a = 0, b = 0;
    if (!c.U8(kind) || !c.U32(a)) return false;
    switch (kind) {
    case okVariable:
        out = VariableText(a);
        return true;
    case okConstant:
        return Constant(c, a, kinds, out);
    case okElement:
        if (!c.U32(b)) return false;
        out = VariableText(a) + "[" + std::to_string(b) + "]";
        return true;
    case okElementByVar:
        if (!c.U32(b)) return false;
        out = VariableText(a) + "[" + VariableText(b) + "]";
        return true;
    default:
        out = "K" + std::to_string(kind) + ":" + std::to_string(a);
        return true;
    }
}

// One instruction; false (nothing consumed that matters) when it cannot be decoded.
bool Instruction(TCursor& c, std::span<const std::uint8_t> kinds, std::string& line) {
    std::uint8_t op = 0;
    if (!c.U8(op) || op >= kOpcodeCount) return false;
    std::vector<std::string> args;
    std::vector<std::pair<std::size_t, std::uint32_t>> targets; // argument index, relative offset
    std::string_view fields = OpcodeOperands(op);
    while (!fields.empty()) {
        const std::size_t comma = fields.find(',');
        std::string_view field = fields.substr(0, comma);
        fields = comma == std::string_view::npos ? std::string_view() : fields.substr(comma + 1);
        while (field.starts_with(' '))
            field.remove_prefix(1);
        const std::string_view width = field.substr(0, field.find(' '));
        std::string_view name = field.substr(width.size());
        while (name.starts_with(' '))
            name.remove_prefix(1);
        name = name.substr(0, name.find(' '));
        std::string arg;
        if (width == "u8") {
            std::uint8_t v = 0;
            if (!c.U8(v)) return false;
            arg = std::to_string(v);
        } else if (width == "u32") {
            std::uint32_t v = 0;
            if (!c.U32(v)) return false;
            if (IsCodeOffsetField(name) && !(op == ocTryBegin && v == kNoTryOffset))
                targets.emplace_back(args.size(), v);
            if (v == kNoTryOffset && op == ocTryBegin)
                arg = "none";
            else if (name == "type")
                arg = "T" + std::to_string(v);
            else if (name == "proc")
                arg = "P" + std::to_string(v);
            else
                arg = std::to_string(v);
        } else if (!Operand(c, kinds, arg)) {
            return false;
        }
        args.push_back(std::move(arg));
    }
    for (const auto& [index, offset] : targets)
        args[index] = "->" + Hex(std::uint32_t(c.Pos + offset));
    line = std::string(OpcodeName(op));
    for (std::size_t i = 0; i < args.size(); ++i)
        line += (i ? ", " : " ") + args[i];
    return true;
}

std::string BytesLine(std::string_view bytes) {
    std::string line = ".bytes";
    for (char b : bytes)
        line += " " + Hex(static_cast<unsigned char>(b), 2);
    return line;
}

// A record line with its comment aligned in a column.
void AddLine(std::string& out, const std::string& text, const std::string& comment) {
    out += text;
    if (!comment.empty())
        out += std::string(text.size() < 40 ? 40 - text.size() : 1, ' ') + "; " + comment;
    out += '\n';
}

std::string ExportText(bool has, const std::string& name) {
    return has ? " export " + PascalLiteral(name) : "";
}

} // namespace

std::string_view KindListingName(std::uint8_t kind) {
    std::string_view name = ValueKindName(kind);
    return name.empty() ? name : name.substr(2);
}

std::string DisassembleCode(std::string_view code, std::span<const std::uint8_t> typeKinds) {
    std::string out;
    TCursor c{code};
    while (c.Pos < code.size()) {
        const std::size_t at = c.Pos;
        std::string line;
        if (!Instruction(c, typeKinds, line)) {
            // An unknown opcode is one byte that is no instruction; a truncated instruction
            // leaves the rest of the block undecodable.
            const std::size_t n = std::uint8_t(code[at]) >= kOpcodeCount ? 1 : code.size() - at;
            line = BytesLine(code.substr(at, n));
            c.Pos = at + n;
        }
        out += "  " + Hex(at) + ": " + line + "\n";
    }
    return out;
}

TListing DisassembleImage(std::string_view image) {
    TListing listing;
    std::string& out = listing.Text;
    TImageLayout layout;
    const TImageFault fault = ReadImageLayout(image, layout);
    out += "; compiled image, " + std::to_string(image.size()) + " bytes\n";
    if (layout.HeaderRead) {
        out += "version " + std::to_string(layout.Version) + "\n";
        out += layout.MainProc == kNoMainProc ? std::string("main none\n")
                                              : "main P" + std::to_string(layout.MainProc) + "\n";
    }
    std::vector<std::uint8_t> kinds;
    for (std::size_t i = 0; i < layout.Types.size(); ++i) {
        const TImageTypeRecord& t = layout.Types[i];
        std::string line = "type " + std::string(KindListingName(t.Kind));
        if (t.Kind == vkArray) line += " T" + std::to_string(t.ElementType);
        for (std::uint32_t f : t.FieldTypes)
            line += " T" + std::to_string(f);
        AddLine(out, line + ExportText(t.HasExportName, t.ExportName), "T" + std::to_string(i));
        kinds.push_back(t.Kind);
    }
    for (std::size_t i = 0; i < layout.Vars.size(); ++i) {
        const TImageVarRecord& v = layout.Vars[i];
        AddLine(out, "var T" + std::to_string(v.Type) + ExportText(v.HasExportName, v.ExportName),
                "G" + std::to_string(i));
    }
    // Code blocks are listed in table order as long as each starts at or after the end of the
    // one listed before, as in every image the compiler writes; a block that goes back into
    // code already listed is only named, so that the listing of an image whose procedures all
    // claim the same bytes stays as small as the image.
    std::uint64_t listedEnd = 0;
    for (std::size_t i = 0; i < layout.Procs.size(); ++i) {
        const TImageProcRecord& p = layout.Procs[i];
        const std::string number = "P" + std::to_string(i);
        if (p.Flags & kProcImported) {
            const std::string decl =
                (p.Flags & kProcHasExtra) ? " " + PascalLiteral(p.Declaration) : "";
            AddLine(out, "import " + PascalLiteral(p.Name) + decl, number);
            continue;
        }
        const std::string exported =
            (p.Flags & kProcHasExtra)
                ? " export " + PascalLiteral(p.Name) + " " + PascalLiteral(p.Declaration)
                : "";
        const std::uint64_t end = std::uint64_t(p.CodeOffset) + p.CodeLength;
        const bool inside = end <= image.size();
        const bool listed = inside && p.CodeOffset >= listedEnd;
        AddLine(out, "proc" + exported,
                number + ", code at " + std::to_string(p.CodeOffset) + ", " +
                    std::to_string(p.CodeLength) + " bytes" +
                    (!inside  ? ", outside the image"
                     : listed ? ""
                              : ", overlapping code listed before"));
        if (!listed) continue;
        out += DisassembleCode(image.substr(p.CodeOffset, p.CodeLength), kinds);
        listedEnd = end;
    }
    if (fault) {
        listing.Malformed = true;
        out += "; error " + std::to_string(int(fault.Code)) + " at offset " +
               std::to_string(fault.Offset) + ": " +
               Cp1251ToUtf8(ExecErrorToText(std::uint8_t(fault.Code), fault.Param)) + "\n";
    }
    return listing;
}

} // namespace lumivar::script
