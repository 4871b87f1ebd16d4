// The compiler's static type rules as plain functions of type kinds: the result of an
// operation with two operands, the warnings about constant Boolean operands of AND and OR,
// and assignability. TCompilerCore's ResultTypeOf and IsCompatible apply them to type numbers;
// the constant readers use the type lookup helpers at the end.
#pragma once

#include "script/compiler/CompilerCore.h"
#include "script/compiler/ConstFold.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace lumivar::script {

// Which type an operation yields: the left operand's, the right one's, the Boolean type, the
// standard STRING type, or none (the combination is refused).
enum class TResultRule : std::uint8_t { None, Left, Right, Boolean, String };

// p, q: the operand kinds; sameType: both operands have the same type record; bothBoolean:
// both are of the Boolean type.
TResultRule ResultTypeRule(TOperator op, std::uint8_t p, std::uint8_t q, bool sameType,
                           bool bothBoolean);

// The warning for a constant Boolean operand of AND or OR with the given value.
struct TBooleanOperandWarning {
    std::uint8_t Code;
    std::string_view Param;
};
std::optional<TBooleanOperandWarning> BooleanOperandWarning(TOperator op, bool constantIsLeft,
                                                            bool value);

// Assignability by kinds, for every pair except two class types (the destination's class
// type object decides those). sameType: both are the same type record.
bool CompatibleKinds(std::uint8_t dest, std::uint8_t src, bool sameType);

// A type by its number in the given numbering, one alias level resolved; null when none.
const TIFPSType* ResolvedType(const TCompilerCore& core, TTypeSpace space, TTypeNo typeNo);
// The kind and image value kind of a type, for folding.
TFoldType FoldTypeOf(const TIFPSType& type);

} // namespace lumivar::script
