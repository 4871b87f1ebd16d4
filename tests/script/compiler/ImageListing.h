// A compact reader and listing of compiled images for the compiler's golden tests: the
// tables of an image and one line per instruction of a procedure, operands decoded
// ("G0" global 0, "L1" first local, "P1" the slot just below the frame base, "#t:v" a
// constant of type number t, jumps as absolute targets "->n").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script::test {

struct TListedType {
    std::uint8_t Kind = 0; // without the export-name bit
    std::uint32_t Element = 0;
    std::vector<std::uint32_t> Fields;
    std::string ExportName;
};

struct TListedProc {
    std::uint8_t Flags = 0;
    std::uint32_t CodeOffset = 0;
    std::uint32_t CodeLength = 0;
    std::string Name;
    std::string Decl;
};

struct TListedVar {
    std::uint32_t Type = 0;
    std::string ExportName;
};

struct TListedImage {
    std::uint32_t MainProc = 0;
    std::vector<TListedType> Types;
    std::vector<TListedProc> Procs;
    std::vector<TListedVar> Vars;
    std::string Bytes;
};

// Nothing when the image is malformed.
std::optional<TListedImage> ReadImage(std::string_view image);

// The instructions of procedure procNo, one "OFFSET NAME OPERANDS" line each, "\n"-joined;
// an undecodable rest is listed as "OFFSET ?".
std::string ListCode(const TListedImage& image, std::size_t procNo);

} // namespace lumivar::script::test
