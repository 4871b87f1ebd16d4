// Reading the layout of a compiled image: header, type, procedure and variable records and the
// place of every code block, checked completely before anything uses them. The loader builds
// the executor's tables from the result; the disassembler lists it. Every read goes through one
// checked reader that knows how many bytes remain.
#pragma once

#include "script/runtime/ExecErrors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script {

// Deepest nesting of record and array types an image may declare (a record holding a record ...):
// creating a value recurses through record fields, so the bound keeps that recursion within a
// small part of the stack. It lies above the compiler's own nesting limit (1000 levels of any
// construct), so every image the compiler writes loads.
inline constexpr std::size_t kMaxTypeDepth = 1024;

struct TImageTypeRecord {
    std::uint8_t Kind = 0; // without the export-name bit
    std::uint32_t ElementType = 0;
    std::vector<std::uint32_t> FieldTypes;
    bool HasExportName = false;
    std::string ExportName;
};

struct TImageProcRecord {
    std::uint8_t Flags = 0;
    std::uint32_t CodeOffset = 0;
    std::uint32_t CodeLength = 0;
    std::string Name;        // flags 2: the export name; flags 1 and 3: the import name
    std::string Declaration; // flags 2: the export declaration; flags 3: the import declaration
};

struct TImageVarRecord {
    std::uint32_t Type = 0;
    bool HasExportName = false;
    std::string ExportName;
};

struct TImageLayout {
    std::uint32_t Version = 0;
    std::uint32_t TypeCount = 0;
    std::uint32_t ProcCount = 0;
    std::uint32_t VarCount = 0;
    std::uint32_t MainProc = 0;
    std::uint32_t Reserved = 0;
    bool HeaderRead = false;
    std::vector<TImageTypeRecord> Types;
    std::vector<TImageProcRecord> Procs;
    std::vector<TImageVarRecord> Vars;
    std::size_t CodeStart = 0; // offset just past the last variable record
};

// Why an image was refused: the load error code, its parameter and the image offset where the
// reader stopped.
struct TImageFault {
    TExecError Code = TExecError::None;
    std::string Param;
    std::size_t Offset = 0;
    explicit operator bool() const { return Code != TExecError::None; }
};

// Reads and checks the whole layout: magic (4), version (14), truncation (13), kinds and type
// numbers that name no earlier type or nest too deep (2), procedure flags, variable flags and
// the main procedure number (3), code blocks outside the image (13). Trailing bytes after the
// last code block are accepted. On a fault `layout` holds what was read before it.
TImageFault ReadImageLayout(std::string_view image, TImageLayout& layout);

} // namespace lumivar::script
