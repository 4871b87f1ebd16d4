// Expression parsing: operands with their prefixes, literals, the built-in functions (CHR,
// ORD, LOW, HIGH, ASSIGNED), array constructors and procedure references, operator
// precedence (ReduceExpression), and the typing of nodes (TypeOfNode, CheckAssignable).
// No code is emitted here.
#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ConstValues.h"
#include "script/compiler/Operators.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/ImageFormat.h"


namespace lumivar::script {
namespace {

constexpr std::uint8_t kPrefixFlags = nfNot | nfNegate;

// The enumeration kind's value kind by member count: 1, 3 or 5.
std::uint8_t EnumValueKind(const TIFPSType& t) {
    const std::uint64_t members = static_cast<std::uint64_t>(static_cast<std::uint32_t>(t.Ext)) + 1;
    return members <= 256 ? btU8 : members <= 65536 ? btU16 : btU32;
}

} // namespace

TNodePtr TCompilerCore::MakeVariable(std::uint32_t address, std::uint32_t position) {
    TNodePtr n = MakeNode(nkVariable, position);
    n->Address = address;
    return n;
}

TNodePtr TCompilerCore::MakeConstant(TTypeNo type, std::string data, std::uint32_t position) {
    TNodePtr n = MakeNode(nkConstant, position);
    n->Value.VType = type;
    n->Value.Data = std::move(data);
    return n;
}

bool TCompilerCore::PassesNotTest(TTypeNo typeNo) const { return IsIntegerOrBoolean(typeNo); }

// Expr -> Operand {Operator Operand}, ended by terminator or a general terminator.
TNodePtr TCompilerCore::ParseExpression(TPasToken terminator) {
    TNesting nesting(*this);
    std::vector<TNodePtr> operands;
    std::vector<std::uint8_t> ops;
    for (;;) {
        operands.push_back(ParseOperand());
        const TPasToken t = Parser.Token;
        if (t == terminator || EndsAnyExpression(t)) break;
        if (t == ttEOF) Error(ceUnexpectedEndOfFile);
        const std::optional<TOperator> op = BinaryOperatorOf(t);
        if (!op) Error(ceSyntaxError);
        ops.push_back(*op);
        nesting.Add(1); // each operator may deepen the tree by one
        Parser.Next();
    }
    ReduceExpression(operands, ops);
    return std::move(operands.front());
}

// Operand -> [NOT | "-"] (literal | "(" Expr ")" | "[" ... "]" | "@" Ident | CHR/ORD/LOW/HIGH/
//            ASSIGNED "(" ... ")" | NIL | designator)
TNodePtr TCompilerCore::ParseOperand() {
    std::uint8_t prefix = 0;
    if (Parser.Token == ttNot) {
        prefix = nfNot;
        Parser.Next();
    } else if (Parser.Token == ttMinus) {
        prefix = nfNegate;
        Parser.Next();
    }
    const std::uint32_t pos = Parser.TokenPos;
    TNodePtr node;
    switch (Parser.Token) {
    case ttEOF: Error(ceUnexpectedEndOfFile);
    case ttInteger:
    case ttHexInt:
        node = ParseIntegerLiteral();
        node->Flags |= prefix;
        return node;
    case ttReal:
    {
        if (prefix == nfNot) Error(ceTypeMismatch);
        const std::optional<long double> v = RealLiteralValue(Parser.TokenText);
        if (!v) Error(ceMathError, "Floating point overflow");
        node = MakeConstant(GetTypeForBase(btExtended), WriteRawReal(*v, btExtended), pos);
        node->Flags |= prefix;
        Parser.Next();
        return node;
    }
    case ttString:
    case ttChar:
        if (prefix) Error(ceTypeMismatch);
        {
            const TTypeNo stringType = GetTypeForBase(btString);
            return MakeConstant(stringType, ReadStringLiteral(), pos);
        }
    case ttOpenRound: {
        Parser.Next();
        node = ParseExpression(ttCloseRound);
        if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
        const TTypeNo type = TypeOfNode(*node);
        if (prefix == nfNot && !PassesNotTest(type)) Error(ceTypeMismatch, {}, node->Position);
        if (prefix == nfNegate && !IsRealKind(KindOf(type))) Error(ceTypeMismatch, {}, node->Position);
        node->Flags ^= prefix;
        Parser.Next();
        return node;
    }
    case ttOpenBlock: return ParseArrayCtor(prefix);
    case ttAddressOf:
        if (prefix) Error(ceTypeMismatch);
        return ParseProcRef();
    case ttChr:
    case ttOrd: return ParseBuiltinCall(prefix);
    case ttIdentifier:
        break;
    default: Error(ceSyntaxError);
    }
    const std::string& name = Parser.TokenText;
    if (name == "LOW" || name == "HIGH") {
        node = ParseLowHigh(name == "HIGH");
        node->Flags |= prefix; // folded by ReduceExpression like any prefixed constant
        return node;
    }
    if (name == "ASSIGNED") return ParseAssigned(prefix);
    if (name == "NIL") {
        if (prefix) Error(ceTypeMismatch);
        Parser.Next();
        return MakeNode(nkNil, pos);
    }
    node = ResolveIdentifier(rmAny);
    const TTypeNo type = TypeOfNode(*node);
    if (type == kNoType) Error(ceTypeMismatch, {}, node->Position);
    if (prefix == nfNot && !PassesNotTest(type)) Error(ceTypeMismatch, {}, node->Position);
    if (prefix == nfNegate && !IsNumericKind(KindOf(type))) Error(ceTypeMismatch, {}, node->Position);
    node->Flags |= prefix;
    return node;
}

// A decimal or "$" literal, read as 64 bits (malformed: -1): LONGINT when the upper half is
// zero (2^31..2^32-1 keep their 32-bit pattern), else INT64.
TNodePtr TCompilerCore::ParseIntegerLiteral() {
    const std::uint32_t pos = Parser.TokenPos;
    const auto v = static_cast<std::uint64_t>(StrToInt64Def(Parser.TokenText, -1));
    Parser.Next();
    if ((v >> 32) == 0) return MakeConstant(GetTypeForBase(btS32), WriteRawInteger(v, 4), pos);
    return MakeConstant(GetTypeForBase(btS64), WriteRawInteger(v, 8), pos);
}

// ArrayCtor -> "[" [Expr {"," Expr} [","]] "]"
TNodePtr TCompilerCore::ParseArrayCtor(std::uint8_t prefix) {
    const std::uint32_t pos = Parser.TokenPos;
    if (prefix) Error(ceTypeMismatch);
    TNodePtr node = MakeNode(nkArrayCtor, pos);
    Parser.Next();
    while (Parser.Token != ttCloseBlock) {
        TNodePtr element = ParseExpression(ttCloseBlock);
        if (element->Kind == nkArrayCtor) Error(ceIdentifierExpected, {}, pos);
        node->Elements.push_back(std::move(element));
        if (Parser.Token == ttComma) {
            Parser.Next();
        } else if (Parser.Token != ttCloseBlock) {
            Error(ceCloseBlockExpected);
        }
    }
    Parser.Next();
    return node;
}

// "@" Ident: a procedure's number; the procedure is then exported with its declaration.
TNodePtr TCompilerCore::ParseProcRef() {
    const std::uint32_t pos = Parser.TokenPos;
    Parser.Next();
    if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
    const std::int32_t procNo = FindProc(Parser.TokenText);
    if (procNo < 0) Error(ceUnknownIdentifier, Parser.OriginalToken);
    TProcEntry& entry = Lists->Procs[static_cast<std::size_t>(procNo)];
    if (entry.IsScript()) entry.Script->ExportMode = 2;
    TNodePtr node = MakeNode(nkProcRef, pos);
    node->ProcNo = static_cast<std::uint32_t>(procNo);
    Parser.Next();
    return node;
}

// CHR "(" Expr ")" | ORD "(" Expr ")": conversions between integers and characters.
TNodePtr TCompilerCore::ParseBuiltinCall(std::uint8_t prefix) {
    const bool isChr = Parser.Token == ttChr;
    const std::uint32_t pos = Parser.TokenPos;
    if (isChr && prefix) Error(ceTypeMismatch);
    Parser.Next();
    if (Parser.Token != ttOpenRound) Error(ceOpenRoundExpected);
    Parser.Next();
    TNodePtr arg = ParseExpression(ttCloseRound);
    if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
    TNodePtr cast = MakeNode(nkCast, pos);
    if (isChr) {
        if (!IsIntegerKind(KindOf(TypeOfNode(*arg)))) Error(ceTypeMismatch, {}, arg->Position);
        cast->ResultType = GetTypeForBase(btChar);
    } else {
        RetypeOneCharString(*arg);
        const TIFPSType* t = UsedType(TypeOfNode(*arg));
        if (t && t->BaseType == btChar) {
            cast->ResultType = GetTypeForBase(btU8);
        } else if (t && t->BaseType == btEnum) {
            cast->ResultType = GetTypeForBase(EnumValueKind(*t));
        } else {
            Error(ceTypeMismatch, {}, arg->Position);
        }
        arg->Flags ^= prefix;
    }
    cast->Inner = std::move(arg);
    Parser.Next();
    return cast;
}

// LOW "(" (TypeName | Variable) ")" and HIGH: the bounds of an enumeration, as constants.
TNodePtr TCompilerCore::ParseLowHigh(bool high) {
    const std::uint32_t pos = Parser.TokenPos;
    Parser.Next();
    if (Parser.Token != ttOpenRound) Error(ceOpenRoundExpected);
    Parser.Next();
    TTypeNo type = kNoType;
    const TTypeNo named = Parser.Token == ttIdentifier ? FindTypeIndex(Parser.TokenText) : kNoType;
    if (named != kNoType) {
        type = UseType(named);
        Parser.Next();
    } else {
        type = TypeOfNode(*ResolveIdentifier(rmVariable));
    }
    const TIFPSType* t = UsedType(type);
    if (!t || t->BaseType != btEnum) Error(ceTypeMismatch);
    if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
    Parser.Next();
    return MakeConstant(type, IntToRaw4(high ? static_cast<std::uint32_t>(t->Ext) : 0), pos);
}

// ASSIGNED "(" Expr ")": a call of "!ASSIGNED"; a NOT prefix applies to its result.
TNodePtr TCompilerCore::ParseAssigned(std::uint8_t prefix) {
    const std::uint32_t pos = Parser.TokenPos;
    if (prefix == nfNegate) Error(ceTypeMismatch);
    Parser.Next();
    if (Parser.Token != ttOpenRound) Error(ceOpenRoundExpected);
    Parser.Next();
    TNodePtr arg = ParseExpression(ttCloseRound);
    const std::uint8_t kind = KindOf(TypeOfNode(*arg));
    if (kind != btString && kind != vkPChar && kind != btClass && kind != btProcPtr)
        Error(ceTypeMismatch, {}, arg->Position);
    if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
    Parser.Next();
    TNodePtr call = MakeNode(nkCall, pos);
    call->ProcNo = RequireProc("!ASSIGNED", "Assigned");
    AddArgument(*call, std::move(arg), kNoType);
    call->Flags = prefix;
    return call;
}

// Operator precedence: unary folding of constants, then * / MOD SHL SHR AND, then + - OR XOR,
// then the comparisons, each level left-associative.
void TCompilerCore::ReduceExpression(std::vector<TNodePtr>& operands, std::vector<std::uint8_t>& ops) {
    for (TNodePtr& n : operands) {
        if (n->Kind != nkConstant) continue;
        const std::uint8_t f = n->Flags & kPrefixFlags;
        if (f == nfNot || f == nfNegate) {
            FoldUnary(n->Value, f == nfNot ? TUnaryOp::Not : TUnaryOp::Negate);
            n->Flags &= static_cast<std::uint8_t>(~f);
        }
    }
    auto pass = [&](auto inLevel) {
        for (std::size_t i = 0; i < ops.size();) {
            if (!inLevel(ops[i])) {
                ++i;
                continue;
            }
            operands[i] = Combine(std::move(operands[i]), ops[i], std::move(operands[i + 1]));
            operands.erase(operands.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            ops.erase(ops.begin() + static_cast<std::ptrdiff_t>(i));
        }
    };
    pass([](std::uint8_t op) { return op >= opMul && op <= opAnd; });
    pass([](std::uint8_t op) { return op == opAdd || op == opSub || op == opOr || op == opXor; });
    pass([](std::uint8_t op) { return op >= opGE; });
}

// left op right: folded when both are constants, a class comparison procedure for "=" and
// "<>" on a class type, else a calculation typed by the type rules.
TNodePtr TCompilerCore::Combine(TNodePtr left, std::uint8_t op, TNodePtr right) {
    const auto oper = static_cast<TOperator>(op);
    if (left->Kind == nkConstant && right->Kind == nkConstant) {
        FoldConstants(TTypeSpace::UsedTypes, oper, left->Value, right->Value, right->Position);
        return left;
    }
    const TTypeNo lt = TypeOfNode(*left);
    const TTypeNo rt = TypeOfNode(*right);
    if ((oper == opEQ || oper == opNE) && (KindOf(lt) == btClass || KindOf(rt) == btClass)) {
        if (TIFPSClassType* cls = ClassOf(lt)) {
            std::uint32_t procNo = 0;
            if (!cls->CompareProc(rt, procNo) || procNo >= Lists->Procs.size()) Fail();
            const TDecl decl = ParseDecl(Lists->Procs[procNo].Decl());
            TNodePtr call = MakeNode(nkCall, left->Position);
            call->ProcNo = procNo;
            AddArgument(*call, std::move(left), decl.Params.size() > 0 ? decl.Params[0].Type : kNoType);
            AddArgument(*call, std::move(right), decl.Params.size() > 1 ? decl.Params[1].Type : kNoType);
            if (oper == opNE) call->Flags |= nfNot;
            return call;
        }
    }
    const TOperandInfo l{lt, left->Kind == nkConstant ? &left->Value : nullptr, left->Position};
    const TOperandInfo r{rt, right->Kind == nkConstant ? &right->Value : nullptr, right->Position};
    const TTypeNo result = ResultTypeOf(l, r, oper);
    if (result == kNoType) Error(ceTypeMismatch, {}, right->Position);
    TNodePtr calc = MakeNode(nkCalc, left->Position);
    calc->Op = op;
    calc->ResultType = result;
    calc->Left = std::move(left);
    calc->Right = std::move(right);
    return calc;
}

// An argument typed by its declared parameter (kNoType: typed as itself).
void TCompilerCore::AddArgument(TExprNode& call, TNodePtr arg, TTypeNo declaredType) {
    const std::uint32_t pos = arg->Position;
    const TTypeNo type = declaredType != kNoType ? declaredType : TypeOfNode(*arg);
    call.Args.push_back({std::move(arg), type, pos});
}

std::uint32_t TCompilerCore::RequireProc(const std::string& name, const std::string& errorParam) {
    const std::int32_t procNo = FindProc(name);
    if (procNo < 0) Error(ceUnknownIdentifier, errorParam);
    return static_cast<std::uint32_t>(procNo);
}

TIFPSClassType* TCompilerCore::ClassOf(TTypeNo typeNo) const {
    const TIFPSType* t = UsedType(typeNo);
    return t && t->BaseType == btClass ? t->ClassType.get() : nullptr;
}

// A one-character STRING constant where a CHAR is wanted becomes a CHAR constant.
void TCompilerCore::RetypeOneCharString(TExprNode& node) {
    if (node.Kind == nkConstant && KindOf(node.Value.VType) == btString && node.Value.Data.size() == 1)
        node.Value.VType = GetTypeForBase(btChar);
}

TTypeNo TCompilerCore::TypeOfAddress(std::uint32_t address) {
    if (address < kFirstStackVar) {
        return address < Lists->Vars.size() ? Lists->Vars[address]->VarType : kNoType;
    }
    if (address > kStackBaseVar) {
        const std::size_t i = address - kStackBaseVar - 1;
        return i < CurProc->ProcVars.size() ? CurProc->ProcVars[i].VarType : kNoType;
    }
    if (address == kStackBaseVar) return kNoType;
    // Below the frame base: a function's result, then the parameters.
    std::size_t k = kStackBaseVar - 1 - address;
    if (CurDecl.IsFunction()) {
        if (k == 0) return CurDecl.Result;
        --k;
    }
    return k < CurDecl.Params.size() ? CurDecl.Params[k].Type : kNoType;
}

TTypeNo TCompilerCore::CallResultType(const TExprNode& call) {
    if (call.Kind == nkProcVarCall) {
        const TIFPSType* t = call.Inner ? UsedType(TypeOfNode(*call.Inner)) : nullptr;
        return t && t->ProcType ? DeclResult(t->ProcType->Decl) : kNoType;
    }
    return call.ProcNo < Lists->Procs.size() ? DeclResult(Lists->Procs[call.ProcNo].Decl()) : kNoType;
}

TTypeNo TCompilerCore::TypeOfNode(const TExprNode& node) {
    if (node.Flags & nfExplicitType) return node.ExplicitType;
    switch (node.Kind) {
    case nkVariable:
    case nkVarRef:
    case nkTemp:
    case nkTempResult:
        return node.Path.empty() ? TypeOfAddress(node.Address) : node.Path.back().Type;
    case nkConstant: return node.Value.VType;
    case nkCall:
    case nkProcVarCall: return CallResultType(node);
    case nkCalc:
    case nkCast: return node.ResultType;
    case nkArrayCtor: return UseType(FindTypeIndex("TVARIANTARRAY"));
    default: return kNoType;
    }
}

// May src be stored into dest? (A one-character string constant becomes a CHAR for a CHAR.)
bool TCompilerCore::CheckAssignable(TExprNode& dest, TExprNode& src) {
    if (dest.Flags & nfNoTypeCheck) return true;
    const TTypeNo dt = TypeOfNode(dest);
    if (KindOf(dt) == btChar) RetypeOneCharString(src);
    return IsCompatible(dt, TypeOfNode(src));
}

} // namespace lumivar::script
