// Name tables of the image format, generated from the .def lists.
#include "ImageFormat.h"

#include <array>

namespace lumivar::script {
namespace {

struct OpcodeInfo {
    std::string_view name;
    std::string_view operands;
};

constexpr std::array<OpcodeInfo, kOpcodeCount> kOpcodes = {{
#define LV_OPCODE(code, name, operands, effect) {#name, operands},
#include "Opcodes.def"
#undef LV_OPCODE
}};

constexpr std::array<std::string_view, kOperandKindCount> kOperandKinds = {{
#define LV_OPERAND_KIND(code, name, layout) #name,
#include "OperandKinds.def"
#undef LV_OPERAND_KIND
}};

constexpr std::array<std::string_view, kValueKindCount> kValueKinds = {{
#define LV_VALUE_KIND(code, name, meaning) #name,
#include "ValueKinds.def"
#undef LV_VALUE_KIND
}};

} // namespace

std::string_view OpcodeName(std::uint8_t code) {
    return code < kOpcodes.size() ? kOpcodes[code].name : std::string_view{};
}

std::string_view OpcodeOperands(std::uint8_t code) {
    return code < kOpcodes.size() ? kOpcodes[code].operands : std::string_view{};
}

std::string_view OperandKindName(std::uint8_t code) {
    return code < kOperandKinds.size() ? kOperandKinds[code] : std::string_view{};
}

std::string_view ValueKindName(std::uint8_t code) {
    return code < kValueKinds.size() ? kValueKinds[code] : std::string_view{};
}

bool IsCodeOffsetField(std::string_view fieldName) {
    return fieldName == "offset" || fieldName == "finally" || fieldName == "except" ||
           fieldName == "finally2" || fieldName == "end";
}

} // namespace lumivar::script
