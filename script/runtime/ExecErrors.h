// Runtime error codes (one byte, 0 = none) and their texts. The codes and texts live once, in
// ExecErrors.def; everything that reports or shows a runtime error reads them from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumivar::script {

enum class TExecError : std::uint8_t {
#define LV_EXEC_ERROR(code, name, text) name = code,
#include "ExecErrors.def"
#undef LV_EXEC_ERROR
};

inline constexpr std::size_t kExecErrorCount = 24;
static_assert(std::uint8_t(TExecError::CustomText) == kExecErrorCount - 1);
static_assert(std::uint8_t(TExecError::TypeMismatch) == 12 &&
              std::uint8_t(TExecError::HostException) == 20);

// The text of an error, in code page 1251. Only the low seven bits of the code count. Code 1
// appends the parameter cut at its first character below 32; code 20 appends it whole; code 23
// is the parameter itself; codes without a text give "Unknown error".
std::string ExecErrorToText(std::uint8_t code, std::string_view param);

} // namespace lumivar::script
