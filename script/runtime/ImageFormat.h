// The compiled image: one contiguous little-endian byte string (header, types, procedures,
// variables, code). This header holds the names and fixed numbers that the image writer,
// the loader and the disassembler share; the layout itself is read and written by them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumivar::script {

enum TOpcode : std::uint8_t {
#define LV_OPCODE(code, name, operands, effect) name = code,
#include "Opcodes.def"
#undef LV_OPCODE
};

enum TOperandKind : std::uint8_t {
#define LV_OPERAND_KIND(code, name, layout) name = code,
#include "OperandKinds.def"
#undef LV_OPERAND_KIND
};

enum TValueKind : std::uint8_t {
#define LV_VALUE_KIND(code, name, meaning) name = code,
#include "ValueKinds.def"
#undef LV_VALUE_KIND
};

inline constexpr std::size_t kOpcodeCount = 21;
inline constexpr std::size_t kOperandKindCount = 4;
inline constexpr std::size_t kValueKindCount = 18;
static_assert(ocTryEnd == kOpcodeCount - 1 && ocCall == 5 && ocCompare == 12);
static_assert(okElementByVar == kOperandKindCount - 1);
static_assert(vkS64 == kValueKindCount - 1 && vkVariant == 16 && vkString == 10);

// Header: magic, version, type count, procedure count, variable count, main procedure, reserved.
inline constexpr std::string_view kImageMagic = "IFPS";
inline constexpr std::uint32_t kImageVersion = 17;
inline constexpr std::size_t kImageHeaderSize = 28;
inline constexpr std::uint32_t kNoMainProc = 0xFFFFFFFF;

// Type record: the kind byte carries this bit when an export name ends the record.
inline constexpr std::uint8_t kTypeHasExportName = 0x80;

// Procedure record flags.
inline constexpr std::uint8_t kProcImported = 1;
inline constexpr std::uint8_t kProcHasExtra = 2;

// Operand variable numbers: below kFirstStackVar a global variable; from there on a stack
// slot relative to the frame base, which is addressed as kStackBaseVar.
inline constexpr std::uint32_t kFirstStackVar = 0x40000000;
inline constexpr std::uint32_t kStackBaseVar = 0x60000000;

// try-frame offsets that are not set.
inline constexpr std::uint32_t kNoTryOffset = 0xFFFFFFFF;

// Names for listings and messages; an unknown code gives an empty view.
std::string_view OpcodeName(std::uint8_t code);
std::string_view OpcodeOperands(std::uint8_t code);
std::string_view OperandKindName(std::uint8_t code);
std::string_view ValueKindName(std::uint8_t code);

// Whether an operand field of Opcodes.def (by its name) is a relative code offset.
bool IsCodeOffsetField(std::string_view fieldName);

} // namespace lumivar::script
