// The image assembler: one pass over the lines collecting tables and code (with label fixups
// per procedure), then the image written in layout order.
#include "ImageAssembler.h"

#include "Disassembler.h"
#include "Extended.h"
#include "ImageFormat.h"
#include "Values.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace lumivar::script {
namespace {

// A malformed line: the message; the line number is added by AssembleImage.
struct TSyntaxError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Bad(const std::string& what) {
    throw TSyntaxError(what);
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(v >> (8 * i));
}

void PutLongText(std::string& out, std::string_view text) {
    PutU32(out, std::uint32_t(text.size()));
    out += text;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// The end of a Pascal literal starting at text[i] ('..' runs and #n codes, no blanks between).
std::size_t LiteralEnd(std::string_view text, std::size_t i) {
    while (i < text.size()) {
        if (text[i] == '\'') {
            for (++i; i < text.size(); ++i)
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'')
                        ++i;
                    else
                        break;
                }
            if (i >= text.size()) Bad("unterminated string");
            ++i;
        } else if (text[i] == '#') {
            ++i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
        } else {
            break;
        }
    }
    return i;
}

std::string ParseLiteral(std::string_view text) {
    std::string out;
    std::size_t i = 0;
    if (text.empty() || LiteralEnd(text, 0) != text.size())
        Bad("bad string literal: " + std::string(text));
    while (i < text.size()) {
        if (text[i] == '#') {
            std::size_t j = i + 1;
            unsigned code = 0;
            while (j < text.size() && text[j] >= '0' && text[j] <= '9')
                code = code * 10 + unsigned(text[j++] - '0');
            if (j == i + 1 || code > 255) Bad("bad character code in " + std::string(text));
            out += static_cast<char>(code);
            i = j;
        } else {
            for (++i; !(text[i] == '\'' && (i + 1 >= text.size() || text[i + 1] != '\'')); ++i) {
                out += text[i];
                if (text[i] == '\'') ++i;
            }
            ++i;
        }
    }
    return out;
}

// Words of a line; a Pascal literal is one word.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t j = (line[i] == '\'' || line[i] == '#') ? LiteralEnd(line, i) : i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        words.emplace_back(line.substr(i, j - i));
        i = j;
    }
    return words;
}

// The line without its comment (";" outside string literals).
std::string_view StripComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\'')
            i = LiteralEnd(line, i) - 1;
        else if (line[i] == ';')
            return line.substr(0, i);
    }
    return line;
}

std::int64_t Number(std::string_view text) {
    const std::string s(text);
    char* end = nullptr;
    const bool negative = !s.empty() && s[0] == '-';
    const auto value = negative ? std::strtoll(s.c_str(), &end, 0)
                                : std::int64_t(std::strtoull(s.c_str(), &end, 0));
    if (s.empty() || *end != '\0') Bad("bad number: " + s);
    return value;
}

std::uint32_t Prefixed(std::string_view text, char prefix) {
    if (text.size() < 2 || text[0] != prefix)
        Bad("expected " + std::string(1, prefix) + "<n>: " + std::string(text));
    return std::uint32_t(Number(text.substr(1)));
}

struct TType {
    std::uint8_t KindByte;
    std::vector<std::uint32_t> Refs;
    std::optional<std::string> Export;
};

struct TProc {
    std::uint8_t Flags = 0;
    std::string Name;
    std::string Decl;
    std::string Code;
    std::map<std::string, std::size_t> Labels;
    struct Fixup {
        std::size_t At;       // position of the u32 in the code
        std::size_t End;      // end of its instruction
        std::string Label;    // target label, or
        std::size_t Absolute; // target offset when Label is empty
    };
    std::vector<Fixup> Fixups;
};

class TAssembler {
public:
    void Line(std::string_view raw) {
        std::string_view line = Trim(StripComment(raw));
        if (line.empty()) return;
        // "HHHH:" offsets of listings are ignored; "@name:" defines a label.
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && colon > 0 &&
            line.substr(0, colon).find_first_not_of("0123456789ABCDEFabcdef") ==
                std::string_view::npos) {
            line = Trim(line.substr(colon + 1));
        }
        if (line.starts_with('@') && line.ends_with(':')) {
            CurrentCode().Labels[std::string(line.substr(1, line.size() - 2))] =
                CurrentCode().Code.size();
            return;
        }
        const std::vector<std::string> w = Words(line);
        const std::string& head = w[0];
        if (head == "version")
            Version_ = std::uint32_t(Number(Arg(w, 1)));
        else if (head == "reserved")
            Reserved_ = std::uint32_t(Number(Arg(w, 1)));
        else if (head == "main")
            Main_ = Arg(w, 1) == "none" ? kNoMainProc : Prefixed(Arg(w, 1), 'P');
        else if (head == "type")
            TypeLine(w);
        else if (head == "var")
            VarLine(w);
        else if (head == "proc")
            ProcLine(w);
        else if (head == "import")
            ImportLine(w);
        else if (head == ".bytes") {
            for (std::size_t i = 1; i < w.size(); ++i)
                CurrentCode().Code += static_cast<char>(Number("0x" + w[i]));
        } else {
            Instruction(line);
        }
    }

    std::string Build() {
        for (TProc& p : Procs_)
            Resolve(p);
        std::string types, procs, vars, code;
        for (const TType& t : Types_) {
            types += static_cast<char>(t.KindByte);
            const std::uint8_t kind = t.KindByte & ~kTypeHasExportName;
            if (kind == vkRecord) PutU32(types, std::uint32_t(t.Refs.size()));
            for (std::uint32_t r : t.Refs)
                PutU32(types, r);
            if (t.Export) PutLongText(types, *t.Export);
        }
        for (const auto& [type, name] : Vars_) {
            PutU32(vars, type);
            vars += static_cast<char>(name ? 1 : 0);
            if (name) PutLongText(vars, *name);
        }
        std::size_t recordsSize = 0;
        for (const TProc& p : Procs_)
            recordsSize += ProcRecord(p, 0).size();
        std::size_t codeAt = kImageHeaderSize + types.size() + recordsSize + vars.size();
        for (const TProc& p : Procs_) {
            procs += ProcRecord(p, std::uint32_t(codeAt));
            if (!(p.Flags & kProcImported)) {
                code += p.Code;
                codeAt += p.Code.size();
            }
        }
        std::string image(kImageMagic);
        for (std::uint32_t v :
             {Version_, std::uint32_t(Types_.size()), std::uint32_t(Procs_.size()),
              std::uint32_t(Vars_.size()), Main_, Reserved_})
            PutU32(image, v);
        return image + types + procs + vars + code;
    }

private:
    static const std::string& Arg(const std::vector<std::string>& w, std::size_t i) {
        if (i >= w.size()) Bad("missing argument to " + w[0]);
        return w[i];
    }

    TProc& CurrentCode() {
        if (Procs_.empty() || (Procs_.back().Flags & kProcImported)) Bad("code outside a proc");
        return Procs_.back();
    }

    // "export 'NAME'" from word i on; nothing when absent.
    static std::optional<std::string> ExportName(const std::vector<std::string>& w, std::size_t i) {
        if (i >= w.size()) return std::nullopt;
        if (w[i] != "export" || i + 2 != w.size()) Bad("expected export 'NAME'");
        return ParseLiteral(w[i + 1]);
    }

    void TypeLine(const std::vector<std::string>& w) {
        TType t;
        const std::string& kind = Arg(w, 1);
        int code = -1;
        if (kind.starts_with('#')) code = int(Number(kind.substr(1)));
        for (int k = 0; k < int(kValueKindCount) && code < 0; ++k)
            if (KindListingName(std::uint8_t(k)) == kind) code = k;
        if (code < 0 || code > 0x7F) Bad("unknown kind " + kind);
        std::size_t i = 2;
        for (; i < w.size() && w[i] != "export"; ++i)
            t.Refs.push_back(Prefixed(w[i], 'T'));
        if (code != vkRecord && t.Refs.size() != (code == vkArray ? 1u : 0u))
            Bad("wrong type references");
        t.Export = ExportName(w, i);
        t.KindByte = std::uint8_t(code | (t.Export ? kTypeHasExportName : 0));
        Types_.push_back(std::move(t));
    }

    void VarLine(const std::vector<std::string>& w) {
        Vars_.emplace_back(Prefixed(Arg(w, 1), 'T'), ExportName(w, 2));
    }

    void ProcLine(const std::vector<std::string>& w) {
        TProc p;
        if (w.size() > 1) {
            if (w.size() != 4 || w[1] != "export") Bad("expected proc [export 'NAME' 'DECL']");
            p.Flags = kProcHasExtra;
            p.Name = ParseLiteral(w[2]);
            p.Decl = ParseLiteral(w[3]);
        }
        Procs_.push_back(std::move(p));
    }

    void ImportLine(const std::vector<std::string>& w) {
        TProc p;
        p.Flags = kProcImported;
        p.Name = ParseLiteral(Arg(w, 1));
        if (p.Name.size() > 255) Bad("import name longer than 255");
        if (w.size() > 2) {
            p.Flags |= kProcHasExtra;
            p.Decl = ParseLiteral(w[2]);
        }
        Procs_.push_back(std::move(p));
    }

    static std::string ProcRecord(const TProc& p, std::uint32_t codeAt) {
        std::string r(1, static_cast<char>(p.Flags));
        if (p.Flags & kProcImported) {
            r += static_cast<char>(p.Name.size());
            r += p.Name;
            if (p.Flags & kProcHasExtra) PutLongText(r, p.Decl);
        } else {
            PutU32(r, codeAt);
            PutU32(r, std::uint32_t(p.Code.size()));
            if (p.Flags & kProcHasExtra) {
                PutLongText(r, p.Name);
                PutLongText(r, p.Decl);
            }
        }
        return r;
    }

    void Variable(std::string_view text, std::string& code) {
        std::uint32_t v;
        if (text == "S0")
            v = kStackBaseVar;
        else if (text.starts_with("S"))
            v = std::uint32_t(std::int64_t(kStackBaseVar) + Number(text.substr(1)));
        else if (text.starts_with("G"))
            v = Prefixed(text, 'G');
        else
            v = Prefixed(text, 'V');
        PutU32(code, v);
    }

    void Literal(std::uint32_t typeNo, std::string_view text, std::string& code) {
        if (typeNo >= Types_.size()) {
            if (!text.empty()) Bad("literal of an unknown type");
            return;
        }
        const std::uint8_t kind = Types_[typeNo].KindByte & ~kTypeHasExportName;
        if (kind == vkString || kind == vkPChar) {
            PutLongText(code, ParseLiteral(text));
            return;
        }
        const std::size_t width = PayloadSize(kind);
        if (width == 0) {
            if (!text.empty()) Bad("no literal for this kind");
            return;
        }
        unsigned char bytes[16] = {};
        if (kind >= vkSingle && kind <= vkExtended) {
            const std::string s(text);
            char* end = nullptr;
            const long double x = std::strtold(s.c_str(), &end);
            if (s.empty() || *end != '\0') Bad("bad float: " + s);
            const float f = static_cast<float>(x);
            const double d = static_cast<double>(x);
            if (kind == vkSingle) std::memcpy(bytes, &f, 4);
            if (kind == vkDouble) std::memcpy(bytes, &d, 8);
            if (kind == vkExtended) WriteExtended(bytes, x);
        } else {
            const auto n = static_cast<std::uint64_t>(Number(text));
            for (std::size_t i = 0; i < width; ++i)
                bytes[i] = static_cast<unsigned char>(n >> (8 * i));
        }
        code.append(reinterpret_cast<const char*>(bytes), width);
    }

    void Operand(std::string_view text, std::string& code) {
        if (text.size() > 1 && (text[0] == 'K' || text[0] == 'T') &&
            text.find(':') != std::string_view::npos) {
            const std::size_t colon = text.find(':');
            const std::uint32_t n = std::uint32_t(Number(text.substr(1, colon - 1)));
            if (text[0] == 'K') {
                code += static_cast<char>(Number(text.substr(1, colon - 1)));
                PutU32(code, std::uint32_t(Number(text.substr(colon + 1))));
                return;
            }
            code += static_cast<char>(okConstant);
            PutU32(code, n);
            Literal(n, text.substr(colon + 1), code);
            return;
        }
        const std::size_t open = text.find('[');
        if (open == std::string_view::npos) {
            code += static_cast<char>(okVariable);
            Variable(text, code);
            return;
        }
        if (!text.ends_with(']')) Bad("bad element operand");
        const std::string_view index = text.substr(open + 1, text.size() - open - 2);
        const bool byVar = !index.empty() && !(index[0] >= '0' && index[0] <= '9');
        code += static_cast<char>(byVar ? okElementByVar : okElement);
        Variable(text.substr(0, open), code);
        if (byVar)
            Variable(index, code);
        else
            PutU32(code, std::uint32_t(Number(index)));
    }

    void Instruction(std::string_view line) {
        TProc& p = CurrentCode();
        const std::size_t space = line.find(' ');
        const std::string_view name = line.substr(0, space);
        int op = -1;
        for (int i = 0; i < int(kOpcodeCount); ++i)
            if (OpcodeName(std::uint8_t(i)) == name) op = i;
        if (op < 0) Bad("unknown opcode " + std::string(name));
        std::vector<std::string_view> args;
        std::string_view rest =
            space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
        while (!rest.empty()) {
            std::size_t comma = 0;
            while (comma < rest.size() && rest[comma] != ',')
                comma = rest[comma] == '\'' ? LiteralEnd(rest, comma) : comma + 1;
            args.push_back(Trim(rest.substr(0, comma)));
            rest = comma < rest.size() ? Trim(rest.substr(comma + 1)) : std::string_view();
        }
        std::string code(1, static_cast<char>(op));
        std::vector<TProc::Fixup> fixups;
        std::string_view fields = OpcodeOperands(std::uint8_t(op));
        std::size_t arg = 0;
        while (!fields.empty()) {
            const std::size_t comma = fields.find(',');
            const std::vector<std::string> field = Words(fields.substr(0, comma));
            fields =
                comma == std::string_view::npos ? std::string_view() : fields.substr(comma + 1);
            if (arg >= args.size()) Bad("too few operands for " + std::string(name));
            const std::string_view a = args[arg++];
            if (field[0] == "u8") {
                code += static_cast<char>(Number(a));
            } else if (field[0] == "ref") {
                Operand(a, code);
            } else if (IsCodeOffsetField(field[1]) && (a.starts_with('@') || a.starts_with("->"))) {
                const bool label = a.starts_with('@');
                fixups.push_back(
                    {p.Code.size() + code.size(), 0,
                     label ? std::string(a.substr(1)) : std::string(),
                     label ? 0 : std::size_t(Number("0x" + std::string(a.substr(2))))});
                PutU32(code, 0);
            } else if (a.size() > 1 && (a[0] == 'T' || a[0] == 'P')) { // a type or procedure number
                PutU32(code, std::uint32_t(Number(a.substr(1))));
            } else {
                PutU32(code, a == "none" ? kNoTryOffset : std::uint32_t(Number(a)));
            }
        }
        if (arg != args.size()) Bad("too many operands for " + std::string(name));
        for (TProc::Fixup& f : fixups)
            f.End = p.Code.size() + code.size();
        p.Fixups.insert(p.Fixups.end(), fixups.begin(), fixups.end());
        p.Code += code;
    }

    static void Resolve(TProc& p) {
        for (const TProc::Fixup& f : p.Fixups) {
            std::size_t target = f.Absolute;
            if (!f.Label.empty()) {
                const auto it = p.Labels.find(f.Label);
                if (it == p.Labels.end()) Bad("unknown label @" + f.Label);
                target = it->second;
            }
            const auto offset = static_cast<std::uint32_t>(target - f.End);
            std::memcpy(p.Code.data() + f.At, &offset, 4);
        }
    }

    std::uint32_t Version_ = kImageVersion;
    std::uint32_t Reserved_ = 0;
    std::uint32_t Main_ = kNoMainProc;
    std::vector<TType> Types_;
    std::vector<std::pair<std::uint32_t, std::optional<std::string>>> Vars_;
    std::vector<TProc> Procs_;
};

} // namespace

TAssembly AssembleImage(std::string_view text) {
    TAssembly result;
    TAssembler assembler;
    try {
        while (!text.empty()) {
            ++result.Line;
            const std::size_t end = text.find('\n');
            assembler.Line(text.substr(0, end));
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        }
        result.Line = 0;
        result.Image = assembler.Build();
    } catch (const TSyntaxError& e) {
        result.Error = e.what();
    }
    return result;
}

} // namespace lumivar::script
