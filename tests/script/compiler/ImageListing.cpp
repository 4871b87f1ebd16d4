// Image reading and instruction listing for the compiler tests. The tables are read by the
// runtime's checked image reader; operand layouts come from the opcode table
// (OpcodeOperands), so the listing spells neither a layout nor an opcode list of its own.
#include "ImageListing.h"

#include "script/compiler/ConstValues.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/ImageLayout.h"

#include <cstdio>
#include <sstream>

namespace lumivar::script::test {
namespace {

class TCursor {
public:
    TCursor(std::string_view bytes, std::size_t pos, std::size_t end) : Pos(pos), Bytes(bytes), End(end) {}

    bool U8(std::uint8_t& v) {
        if (Pos + 1 > End) return false;
        v = static_cast<std::uint8_t>(Bytes[Pos++]);
        return true;
    }
    bool U32(std::uint32_t& v) {
        if (Pos + 4 > End) return false;
        v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(Bytes[Pos + i]);
        Pos += 4;
        return true;
    }
    bool Take(std::size_t n, std::string& out) {
        if (n > End - Pos) return false;
        out.assign(Bytes.substr(Pos, n));
        Pos += n;
        return true;
    }
    bool LongText(std::string& out) {
        std::uint32_t n = 0;
        return U32(n) && Take(n, out);
    }
    std::size_t Pos;

private:
    std::string_view Bytes;
    std::size_t End;
};

std::string Variable(std::uint32_t v) {
    if (v < kFirstStackVar) return "G" + std::to_string(v);
    if (v >= kStackBaseVar) return "L" + std::to_string(v - kStackBaseVar);
    return "P" + std::to_string(kStackBaseVar - v);
}

// The literal of a constant of the given image type, as text.
bool Literal(TCursor& c, const TListedImage& image, std::uint32_t type, std::string& out) {
    if (type >= image.Types.size()) return false;
    const std::uint8_t kind = image.Types[type].Kind;
    std::string raw;
    switch (kind) {
    case vkU8: case vkS8: case vkU16: case vkS16: case vkU32: case vkS32: case vkS64: {
        const std::size_t width = IntegerKindWidth(kind);
        if (!c.Take(width, raw)) return false;
        out = std::to_string(ReadRawInteger(raw, width, IsSignedIntegerKind(kind)));
        return true;
    }
    case vkSingle: case vkDouble: case vkExtended: {
        if (!c.Take(kind == vkSingle ? 4 : kind == vkDouble ? 8 : 10, raw)) return false;
        char text[64];
        std::snprintf(text, sizeof text, "%Lg", ReadRawReal(raw, kind));
        out = text;
        return true;
    }
    case vkString: case vkPChar:
        if (!c.LongText(raw)) return false;
        out = "'" + raw + "'";
        return true;
    default: return false;
    }
}

bool Operand(TCursor& c, const TListedImage& image, std::string& out) {
    std::uint8_t kind = 0;
    std::uint32_t a = 0, b = 0;
    if (!c.U8(kind) || !c.U32(a)) return false;
    switch (kind) {
    case okVariable: out = Variable(a); return true;
    case okConstant: {
        std::string value;
        if (!Literal(c, image, a, value)) return false;
        out = "#" + std::to_string(a) + ":" + value;
        return true;
    }
    case okElement:
        if (!c.U32(b)) return false;
        out = Variable(a) + "[" + std::to_string(b) + "]";
        return true;
    case okElementByVar:
        if (!c.U32(b)) return false;
        out = Variable(a) + "[" + Variable(b) + "]";
        return true;
    default: return false;
    }
}

// One instruction at c.Pos; false when it cannot be decoded.
bool Instruction(TCursor& c, const TListedImage& image, std::size_t codeStart, std::string& line) {
    const std::size_t at = c.Pos;
    std::uint8_t op = 0;
    if (!c.U8(op) || op >= kOpcodeCount) return false;
    std::vector<std::string> parts;
    std::vector<std::size_t> jumps; // indexes in parts of jump offsets
    std::string layout(OpcodeOperands(op));
    std::istringstream fields(layout);
    for (std::string field; std::getline(fields, field, ',');) {
        std::istringstream words(field);
        std::string width, name;
        words >> width >> name;
        if (width == "u8") {
            std::uint8_t v = 0;
            if (!c.U8(v)) return false;
            parts.push_back(std::to_string(v));
        } else if (width == "u32") {
            std::uint32_t v = 0;
            if (!c.U32(v)) return false;
            const bool offset = name == "offset" || op == ocTryBegin;
            if (offset) jumps.push_back(parts.size());
            parts.push_back(offset ? std::to_string(static_cast<std::int32_t>(v)) : std::to_string(v));
        } else if (width == "ref") {
            std::string operand;
            if (!Operand(c, image, operand)) return false;
            parts.push_back(operand);
        }
    }
    // Offsets are relative to the end of the instruction; list the absolute targets.
    for (const std::size_t j : jumps) {
        const std::int64_t offset = std::stoll(parts[j]);
        parts[j] = offset == -1 && op == ocTryBegin ? "-" : "->" + std::to_string(c.Pos - codeStart + offset);
    }
    line = std::to_string(at - codeStart) + " " + std::string(OpcodeName(op));
    for (std::size_t i = 0; i < parts.size(); ++i) line += (i ? ", " : " ") + parts[i];
    return true;
}

} // namespace

std::optional<TListedImage> ReadImage(std::string_view bytes) {
    TImageLayout layout;
    if (ReadImageLayout(bytes, layout)) return std::nullopt;
    TListedImage image;
    image.Bytes = std::string(bytes);
    image.MainProc = layout.MainProc;
    for (const TImageTypeRecord& t : layout.Types)
        image.Types.push_back({t.Kind, t.ElementType, t.FieldTypes, t.ExportName});
    for (const TImageProcRecord& p : layout.Procs)
        image.Procs.push_back({p.Flags, p.CodeOffset, p.CodeLength, p.Name, p.Declaration});
    for (const TImageVarRecord& v : layout.Vars) image.Vars.push_back({v.Type, v.ExportName});
    return image;
}

std::string ListCode(const TListedImage& image, std::size_t procNo) {
    if (procNo >= image.Procs.size()) return "no procedure " + std::to_string(procNo);
    const TListedProc& p = image.Procs[procNo];
    const std::size_t start = p.CodeOffset;
    TCursor c(image.Bytes, start, start + p.CodeLength);
    std::string listing;
    while (c.Pos < start + p.CodeLength) {
        std::string line;
        const std::size_t at = c.Pos;
        if (!Instruction(c, image, start, line)) {
            listing += std::to_string(at - start) + " ?\n";
            break;
        }
        listing += line + "\n";
    }
    return listing;
}

} // namespace lumivar::script::test
