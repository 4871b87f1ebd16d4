// Operator tokens of expressions: the operator code each binary operator token stands for,
// and the tokens that end every expression whatever its own terminator. The expression
// parser and the constant-expression reader share these.
#pragma once

#include "script/compiler/CompilerModel.h"
#include "script/compiler/Tokens.h"

#include <optional>

namespace lumivar::script {

// "/" and DIV both give opDiv (integer division on integer kinds, real division on reals).
constexpr std::optional<TOperator> BinaryOperatorOf(TPasToken t) {
    switch (t) {
    case ttPlus:
        return opAdd;
    case ttMinus:
        return opSub;
    case ttMultiply:
        return opMul;
    case ttDivide:
    case ttDiv:
        return opDiv;
    case ttMod:
        return opMod;
    case ttShl:
        return opShl;
    case ttShr:
        return opShr;
    case ttAnd:
        return opAnd;
    case ttOr:
        return opOr;
    case ttXor:
        return opXor;
    case ttGreaterEqual:
        return opGE;
    case ttLessEqual:
        return opLE;
    case ttGreater:
        return opGT;
    case ttLess:
        return opLT;
    case ttNotEqual:
        return opNE;
    case ttEqual:
        return opEQ;
    default:
        return std::nullopt;
    }
}

// ";" "," ")" "]" ELSE END TO end any expression, and so do UNTIL, EXCEPT and FINALLY: no
// expression continues with them, and the last statement before them needs no ";" (as in
// "repeat X := X + 1 until X > 5").
constexpr bool EndsAnyExpression(TPasToken t) {
    switch (t) {
    case ttSemicolon:
    case ttComma:
    case ttCloseRound:
    case ttCloseBlock:
    case ttElse:
    case ttEnd:
    case ttTo:
    case ttUntil:
    case ttExcept:
    case ttFinally:
        return true;
    default:
        return false;
    }
}

} // namespace lumivar::script
