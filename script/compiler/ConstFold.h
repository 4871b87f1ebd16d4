// The arithmetic of constant folding on raw constant bytes, apart from any compile state:
// one operation on two typed constants, and the NOT and negation of one. The compiler's
// FoldConstants/FoldUnary wrap these with type lookup and error reporting.
#pragma once

#include "script/compiler/CompilerModel.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumivar::script {

// A constant's type as folding needs it: the compiler's kind and the value kind the image
// gives that type (CHAR and enumerations become unsigned integers of their width).
struct TFoldType {
    std::uint8_t Kind = 0;
    std::uint8_t ValueKind = 0;
};

// Code 0 when the operation succeeded, else the compiler error to report (14, 15, 37, 38)
// with its parameter.
struct TFoldStatus {
    std::uint8_t Code = 0;
    std::string Param;
    bool Ok() const { return Code == 0; }
};

// leftData := left op right. A comparison leaves one byte, 1 for true and 0 for false, which
// the caller types as Boolean; every other result keeps the left kind and its width.
TFoldStatus FoldValues(TOperator op, TFoldType left, std::string& leftData, TFoldType right,
                       std::string_view rightData);

// Negation (two's complement at the kind's width, or sign change of a real) or logical NOT
// (1 when the value is zero, else 0, at the constant's width) in place; false when the
// operation does not apply to the kind.
bool ApplyUnary(std::uint8_t kind, std::string& data, TUnaryOp op);

} // namespace lumivar::script
