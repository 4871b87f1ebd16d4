// CONST sections and constant expressions. An expression is read into a flat list of
// operands (each with an optional NOT or minus prefix) and operators, then reduced: prefixes
// first, then three left-to-right passes, multiplicative, additive, comparisons, each operation
// folded by FoldConstants over Types indices.
#include "script/compiler/CompilerCore.h"

#include "script/compiler/ConstValues.h"
#include "script/compiler/Operators.h"
#include "script/compiler/StringTools.h"
#include "script/compiler/TypeRules.h"
#include "script/runtime/Names.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace lumivar::script {

namespace {

// A NOT or minus in front of an operand; "+" is no prefix.
enum class TPrefix : std::uint8_t { None, Not, Minus };

struct ConstOperand {
    TIfRVariant Value;
    std::uint32_t Position = 0; // reported when an operation with this right operand fails
    TPrefix Prefix = TPrefix::None;
};

// The Types index of the first type of a kind: LONGINT, EXTENDED and STRING for literals.
TTypeNo FirstTypeOfKind(const TCompileLists& lists, std::uint8_t kind) {
    for (std::size_t i = 0; i < lists.Types.size(); ++i)
        if (lists.Types[i]->BaseType == kind) return TTypeNo(i);
    return kNoType;
}

// An integer or "$" literal as 32 bits: read as a 32-bit number, and when that gives a
// negative value (also for a text out of range) as a 64-bit number cut to its low 32 bits.
std::uint32_t IntegerLiteral32(const std::string& text) {
    const std::int32_t v = StrToIntDef(text, -1);
    if (v >= 0) return std::uint32_t(v);
    return std::uint32_t(std::uint64_t(StrToInt64Def(text, -1)));
}

// The character code of a "#" token, modulo 256; nothing when the token has no digits.
std::optional<unsigned char> CharCode(const std::string& token) {
    const bool hex = token.size() > 1 && token[1] == '$';
    const std::string_view digits = std::string_view(token).substr(hex ? 2 : 1);
    if (digits.empty()) return std::nullopt;
    unsigned code = 0; // exact modulo 256 at every step
    for (const char c : digits) {
        const unsigned d = c <= '9' ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        code = (code * (hex ? 16 : 10) + d) & 0xFF;
    }
    return static_cast<unsigned char>(code);
}

} // namespace

// ConstSection -> CONST { Identifier "=" ConstExpr ";" }
void TCompilerCore::ReadConstSection() {
    Parser.Next();
    do {
        if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
        const std::string name = Parser.TokenText;
        if (IsGlobalNameUsed(name)) Error(ceDuplicateIdentifier);
        Parser.Next();
        if (Parser.Token != ttEqual) Error(ceEqualExpected);
        Parser.Next();
        TIfRVariant value = ReadConstExpr(ttSemicolon);
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        auto constant = std::make_unique<TIFPSConstant>();
        constant->NameHash = MakeHash(name);
        constant->Name = name;
        constant->Value = std::move(value);
        Lists->Constants.push_back(std::move(constant));
        Parser.Next();
    } while (Parser.Token == ttIdentifier);
}

// ConstExpr -> Operand { Operator Operand };  Operand -> [NOT | "-"] (Name | "(" ConstExpr ")" |
// Literal)
TIfRVariant TCompilerCore::ReadConstExpr(TPasToken terminator) {
    TNesting nesting(*this); // parentheses recurse: bounded like every other nesting
    std::vector<ConstOperand> operands;
    std::vector<TOperator> operators;

    // The prefix checks of a named or parenthesized value, by the kind of its type.
    auto checkPrefix = [this](const ConstOperand& o) {
        const TIFPSType* t = ResolvedType(*this, TTypeSpace::Types, o.Value.VType);
        const std::uint8_t kind = t ? t->BaseType : 0;
        if (o.Prefix == TPrefix::Not && !IsIntegerKind(kind)) Error(ceTypeMismatch);
        if (o.Prefix == TPrefix::Minus && !IsNumericKind(kind)) Error(ceTypeMismatch);
    };

    for (;;) {
        ConstOperand o;
        if (Parser.Token == ttNot || Parser.Token == ttMinus) {
            o.Prefix = Parser.Token == ttNot ? TPrefix::Not : TPrefix::Minus;
            Parser.Next();
        }
        switch (Parser.Token) {
        case ttEOF:
            Error(ceUnexpectedEndOfFile);
        case ttIdentifier: {
            const std::string& name = Parser.TokenText;
            const std::uint32_t hash = MakeHash(name);
            const TIFPSConstant* found = nullptr;
            for (auto it = Lists->Constants.rbegin(); it != Lists->Constants.rend() && !found; ++it)
                if ((*it)->NameHash == hash && (*it)->Name == name) found = it->get();
            if (!found) Error(ceUnknownIdentifier);
            o.Value = found->Value;
            checkPrefix(o);
            Parser.Next();
            o.Position = Parser.TokenPos;
            break;
        }
        case ttOpenRound:
            Parser.Next();
            o.Value = ReadConstExpr(ttCloseRound);
            if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
            checkPrefix(o);
            o.Position = Parser.TokenPos;
            Parser.Next();
            break;
        case ttInteger:
        case ttHexInt:
            o.Value.VType = FirstTypeOfKind(*Lists, btS32);
            o.Value.Data = IntToRaw4(IntegerLiteral32(Parser.TokenText));
            o.Position = Parser.TokenPos;
            Parser.Next();
            break;
        case ttReal: {
            if (o.Prefix == TPrefix::Not) Error(ceTypeMismatch);
            const std::optional<long double> v = RealLiteralValue(Parser.TokenText);
            if (!v) Error(ceMathError, "Floating point overflow");
            o.Value.VType = FirstTypeOfKind(*Lists, btExtended);
            o.Value.Data = WriteRawReal(*v, btExtended);
            o.Position = Parser.TokenPos;
            Parser.Next();
            break;
        }
        case ttString:
        case ttChar:
            if (o.Prefix != TPrefix::None) Error(ceTypeMismatch);
            o.Value.VType = FirstTypeOfKind(*Lists, btString);
            o.Value.Data = ReadStringLiteral();
            o.Position = Parser.TokenPos;
            break;
        default:
            Error(ceSyntaxError);
        }
        operands.push_back(std::move(o));

        if (Parser.Token == terminator || EndsAnyExpression(Parser.Token)) break;
        if (Parser.Token == ttEOF) Error(ceUnexpectedEndOfFile);
        // DIV is no operator of constant expressions.
        const std::optional<TOperator> op =
            Parser.Token == ttDiv ? std::nullopt : BinaryOperatorOf(Parser.Token);
        if (!op) Error(ceSyntaxError);
        operators.push_back(*op);
        Parser.Next();
    }

    // Prefixes apply to their own operand; a kind they do not fit is left unchanged.
    for (ConstOperand& o : operands) {
        if (o.Prefix == TPrefix::None) continue;
        const TIFPSType* t = ResolvedType(*this, TTypeSpace::Types, o.Value.VType);
        if (t)
            ApplyUnary(t->BaseType, o.Value.Data,
                       o.Prefix == TPrefix::Not ? TUnaryOp::Not : TUnaryOp::Negate);
    }

    // Three precedence passes, each left to right: * / MOD SHL SHR AND, then + - OR XOR, then
    // the comparisons.
    auto inPass = [](int pass, TOperator op) {
        if (pass == 0) return op >= opMul && op <= opAnd;
        if (pass == 1) return op == opAdd || op == opSub || op == opOr || op == opXor;
        return op >= kFirstCompareOp;
    };
    for (int pass = 0; pass < 3; ++pass) {
        std::size_t i = 0;
        while (i < operators.size()) {
            if (!inPass(pass, operators[i])) {
                ++i;
                continue;
            }
            FoldConstants(TTypeSpace::Types, operators[i], operands[i].Value, operands[i + 1].Value,
                          operands[i + 1].Position);
            operators.erase(operators.begin() + std::ptrdiff_t(i));
            operands.erase(operands.begin() + std::ptrdiff_t(i) + 1);
        }
    }
    if (operands.size() != 1) Error(ceInternalError, "0001B");
    return std::move(operands.front().Value);
}

// StringLiteral -> { String | Char }; adjacent quoted parts are joined with one "'".
std::string TCompilerCore::ReadStringLiteral() {
    std::string text;
    while (Parser.Token == ttString || Parser.Token == ttChar) {
        if (Parser.Token == ttString) {
            text += Dequote(Parser.TokenText);
            Parser.Next();
            if (Parser.Token == ttString) text += '\'';
        } else {
            const std::optional<unsigned char> code = CharCode(Parser.TokenText);
            if (!code) Error(ceCharError);
            text += char(*code);
            Parser.Next();
        }
    }
    return text;
}

} // namespace lumivar::script
