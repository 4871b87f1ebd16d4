// Name resolution and everything that follows a name: RESULT, parameters, locals, globals,
// type uses (casts, class members), calls with their arguments, constants; then element
// and field selectors, character indexes of strings (STRGET/STRSET), class methods and
// properties, and calls through procedural variables.
#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ConstValues.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/Names.h"

namespace lumivar::script {
namespace {

// Kinds of OnUseVariable.
constexpr std::uint8_t kUseGlobal = 0;
constexpr std::uint8_t kUseParam = 1;
constexpr std::uint8_t kUseLocal = 2;

// The address of a function's result slot.
constexpr std::uint32_t kResultAddress = kStackBaseVar - 1;

// Index of the first record of list whose name matches, or the list's size.
template <class List, class Name>
std::size_t FindNamed(const List& list, const std::string& name, std::uint32_t hash, Name nameOf) {
    std::size_t i = 0;
    while (i < list.size() && !(nameOf(list[i]).first == hash && *nameOf(list[i]).second == name)) ++i;
    return i;
}

} // namespace

// Designator -> Ident {Selector | "." Member | "^" Args}
// The name is looked up as RESULT, a parameter, a local, a global, a type, a procedure, a
// constant, in this order.
TNodePtr TCompilerCore::ResolveIdentifier(TResolveMode mode) {
    if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
    const std::string name = Parser.TokenText;
    const std::uint32_t hash = MakeHash(name);
    const std::uint32_t pos = Parser.TokenPos;
    auto tellUse = [&](std::uint8_t kind, std::size_t index) {
        if (Owner.OnUseVariable)
            Owner.OnUseVariable(Owner, kind, static_cast<std::uint32_t>(index), static_cast<std::int32_t>(CurProcNo), pos);
    };
    auto variable = [&](std::uint32_t address) {
        Parser.Next();
        return ParseDesignatorTail(MakeVariable(address, pos));
    };
    const bool isFunction = CurDecl.IsFunction();
    if (name == "RESULT") {
        if (!isFunction) Error(ceUnknownIdentifier, Parser.OriginalToken);
        CurProc->ResultUsed = 1;
        tellUse(kUseParam, 0);
        return variable(kResultAddress);
    }
    const auto& params = CurDecl.Params;
    for (std::size_t k = 0; k < params.size(); ++k) {
        if (params[k].Name != name) continue;
        tellUse(kUseParam, isFunction ? k + 1 : k);
        return variable(kStackBaseVar - 1 - static_cast<std::uint32_t>(k) - (isFunction ? 1 : 0));
    }
    auto& locals = CurProc->ProcVars;
    const std::size_t local =
        FindNamed(locals, name, hash, [](const TIFPSProcVar& v) { return std::pair(v.NameHash, &v.Name); });
    if (local < locals.size()) {
        locals[local].Used = 1;
        tellUse(kUseLocal, local);
        return variable(kStackBaseVar + 1 + static_cast<std::uint32_t>(local));
    }
    auto& globals = Lists->Vars;
    const std::size_t global =
        FindNamed(globals, name, hash, [](const auto& v) { return std::pair(v->NameHash, &v->Name); });
    if (global < globals.size()) {
        globals[global]->Used = 1;
        tellUse(kUseGlobal, global);
        return variable(static_cast<std::uint32_t>(global));
    }
    if (const TTypeNo type = FindTypeIndex(name); type != kNoType) {
        if (mode == rmVariable) Error(ceVariableExpected);
        Parser.Next();
        return ParseDesignatorTail(ParseTypeUse(type, pos));
    }
    if (const std::int32_t procNo = FindProc(name); procNo >= 0) {
        if (mode == rmVariable) Error(ceVariableExpected);
        Parser.Next();
        return ParseDesignatorTail(ParseCallArgs(static_cast<std::uint32_t>(procNo), nullptr, pos));
    }
    const auto& constants = Lists->Constants;
    const std::size_t c =
        FindNamed(constants, name, hash, [](const auto& k) { return std::pair(k->NameHash, &k->Name); });
    if (c < constants.size()) {
        if (mode != rmAny) Error(ceVariableExpected);
        Parser.Next();
        return MakeConstant(UseType(constants[c]->Value.VType), constants[c]->Value.Data, pos);
    }
    Error(ceUnknownIdentifier, Parser.OriginalToken);
}

// The selector parsers run until none of them changes the node.
TNodePtr TCompilerCore::ParseDesignatorTail(TNodePtr node) {
    for (;;) {
        const std::uint32_t start = Parser.TokenPos;
        const TPasToken startToken = Parser.Token;
        node = ParseSelectors(std::move(node));
        node = ParseClassMember(std::move(node));
        if (Parser.Token == ttDereference) {
            if (KindOf(TypeOfNode(*node)) != btProcPtr) Error(ceTypeMismatch);
            Parser.Next();
            node = ParseProcVarCallArgs(std::move(node));
        }
        if (Parser.TokenPos == start && Parser.Token == startToken) return node;
    }
}

// Selector -> "[" Expr "]" | "." FieldName, on variables of array, record and string types.
TNodePtr TCompilerCore::ParseSelectors(TNodePtr node) {
    if (node->Kind != nkVariable && node->Kind != nkVarRef && node->Kind != nkTemp) return node;
    TTypeNo current = TypeOfNode(*node);
    while (Parser.Token == ttOpenBlock || Parser.Token == ttPeriod) {
        const TIFPSType* type = UsedType(current);
        const std::uint8_t kind = type ? type->BaseType : 0;
        if (kind == btClass) break; // "." on a class is a member, for ParseClassMember
        TSelector sel;
        if (Parser.Token == ttOpenBlock) {
            if (kind == btString && node->Kind == nkVariable) return ParseStringIndex(std::move(node));
            if (kind != btArray) Error(ceSemicolonExpected);
            Parser.Next();
            TNodePtr index = ParseExpression(ttCloseBlock);
            if (!IsIntegerKind(KindOf(TypeOfNode(*index)))) Error(ceTypeMismatch, {}, index->Position);
            if (index->Kind == nkConstant) {
                sel.Kind = pkConstIndex;
                sel.Value = static_cast<std::uint32_t>(ReadRawInteger(index->Value.Data, 4, false));
            } else {
                sel.Kind = pkVarIndex;
                sel.Index = std::move(index);
            }
            sel.Type = type->Ext;
            if (Parser.Token != ttCloseBlock) Error(ceCloseBlockExpected);
            Parser.Next();
        } else {
            if (kind != btRecord) Error(ceSemicolonExpected);
            Parser.Next();
            const std::uint32_t hash = MakeHash(Parser.TokenText);
            const TIFPSRecordType* field = nullptr;
            for (const TIFPSRecordType& f : type->Fields)
                if (f.NameHash == hash && f.FieldName == Parser.TokenText) {
                    field = &f;
                    break;
                }
            if (!field || Parser.Token != ttIdentifier) Error(ceUnknownIdentifier, {});
            sel.Kind = pkField;
            sel.Value = field->Offset;
            sel.Type = field->FieldType;
            Parser.Next();
        }
        current = sel.Type;
        node->Path.push_back(std::move(sel));
    }
    return node;
}

// S[i] := c  -> STRSET(c, i, S);  S[i] -> STRGET(S, i). The string goes by reference.
TNodePtr TCompilerCore::ParseStringIndex(TNodePtr node) {
    node->Kind = nkVarRef;
    Parser.Next();
    TNodePtr index = ParseExpression(ttCloseBlock);
    if (!IsIntegerKind(KindOf(TypeOfNode(*index)))) Error(ceTypeMismatch, {}, index->Position);
    Parser.Next();
    TNodePtr call = MakeNode(nkCall, node->Position);
    if (Parser.Token == ttAssignment) {
        call->ProcNo = RequireProc("STRSET", "StrGet");
        Parser.Next();
        TNodePtr value = ParseExpression(ttSemicolon);
        RetypeOneCharString(*value);
        if (KindOf(TypeOfNode(*value)) != btChar) Error(ceTypeMismatch, {}, value->Position);
        AddArgument(*call, std::move(value), kNoType);
        AddArgument(*call, std::move(index), kNoType);
        AddArgument(*call, std::move(node), kNoType);
    } else {
        call->ProcNo = RequireProc("STRGET", "StrGet");
        AddArgument(*call, std::move(node), kNoType);
        AddArgument(*call, std::move(index), kNoType);
    }
    return call;
}

// Member -> "." Ident: a method call (the object is the first argument) or a property.
TNodePtr TCompilerCore::ParseClassMember(TNodePtr node) {
    while (Parser.Token == ttPeriod) {
        TIFPSClassType* cls = ClassOf(TypeOfNode(*node));
        if (!cls) break;
        Parser.Next();
        if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
        const std::string name = Parser.TokenText;
        const std::string written = Parser.OriginalToken;
        const std::uint32_t pos = Parser.TokenPos;
        std::uint32_t index = 0;
        std::uint32_t procNo = 0;
        if (cls->FindMethod(name, index)) {
            if (!cls->MethodProc(index, procNo) || procNo >= Lists->Procs.size()) Error(ceUnknownIdentifier, written);
            Parser.Next();
            node = ParseCallArgs(procNo, std::move(node), pos);
        } else if (cls->FindProperty(name, index)) {
            Parser.Next();
            node = ParseProperty(std::move(node), *cls, index);
        } else {
            Error(ceUnknownIdentifier, written);
        }
    }
    return node;
}

// Property -> ["[" Expr {"," Expr} "]"] [":=" Expr]: a call of the read or write procedure.
TNodePtr TCompilerCore::ParseProperty(TNodePtr object, TIFPSClassType& cls, std::uint32_t index) {
    std::string declText;
    cls.PropertyDecl(index, declText);
    const TDecl decl = ParseDecl(declText);
    TNodePtr call = MakeNode(nkCall, object->Position);
    AddArgument(*call, std::move(object), kNoType);
    if (!decl.Params.empty()) {
        if (Parser.Token != ttOpenBlock) Error(ceOpenBlockExpected);
        Parser.Next();
        for (std::size_t i = 0; i < decl.Params.size(); ++i) {
            if (i > 0) {
                if (Parser.Token != ttComma) Error(ceCommaExpected);
                Parser.Next();
            }
            AddArgument(*call, ParseExpression(ttCloseBlock), decl.Params[i].Type);
        }
        if (Parser.Token != ttCloseBlock) Error(ceCloseBlockExpected);
        Parser.Next();
    }
    std::uint32_t procNo = 0;
    if (Parser.Token == ttAssignment) {
        Parser.Next();
        AddArgument(*call, ParseExpression(ttSemicolon), decl.Result);
        if (!cls.PropertyWriteProc(index, procNo)) Error(ceReadOnlyProperty);
    } else if (!cls.PropertyReadProc(index, procNo)) {
        Error(ceWriteOnlyProperty);
    }
    if (procNo >= Lists->Procs.size()) Error(ceUnknownIdentifier, {});
    call->ProcNo = procNo;
    return call;
}

// TypeName "(" Expr ")" (a cast) | TypeName "." Member (a class member, e.g. a constructor).
// The named type gets its number once what it needs is known: after a cast's argument, which
// may bring types of its own, and before a class member's call.
TNodePtr TCompilerCore::ParseTypeUse(TTypeNo typesIndex, std::uint32_t position) {
    TTypeNo named = kNoType;
    std::uint32_t procNo = 0;
    auto typeConstant = [&] {
        return MakeConstant(GetTypeForBase(btU32), IntToRaw4(static_cast<std::uint32_t>(named)), position);
    };
    if (Parser.Token == ttOpenRound) {
        Parser.Next();
        TNodePtr arg = ParseExpression(ttCloseRound);
        if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
        Parser.Next();
        named = UseType(typesIndex);
        const TTypeNo argType = TypeOfNode(*arg);
        if (KindOf(named) == btClass && KindOf(argType) == btClass && named != argType) {
            if (!ClassOf(named)->CastProc(argType, named, procNo) || procNo >= Lists->Procs.size())
                Error(ceTypeMismatch, {}, arg->Position);
            TNodePtr call = MakeNode(nkCall, position);
            call->ProcNo = procNo;
            AddArgument(*call, std::move(arg), kNoType);
            AddArgument(*call, typeConstant(), kNoType);
            call->Flags |= nfExplicitType;
            call->ExplicitType = named;
            return call;
        }
        if (!IsCompatible(named, argType)) Error(ceTypeMismatch, {}, arg->Position);
        TNodePtr cast = MakeNode(nkCast, position);
        cast->ResultType = named;
        cast->Inner = std::move(arg);
        return cast;
    }
    if (Parser.Token != ttPeriod) Error(cePeriodExpected);
    named = UseType(typesIndex);
    TIFPSClassType* cls = ClassOf(named);
    if (!cls) Error(ceClassTypeExpected);
    Parser.Next();
    std::uint32_t index = 0;
    if (Parser.Token != ttIdentifier || !cls->FindClassMember(Parser.TokenText, index) ||
        !cls->ClassMemberProc(index, procNo) || procNo >= Lists->Procs.size())
        Error(ceUnknownIdentifier, Parser.OriginalToken);
    Parser.Next();
    TNodePtr call = ParseCallArgs(procNo, typeConstant(), position);
    call->Flags |= nfExplicitType;
    call->ExplicitType = named;
    return call;
}

TNodePtr TCompilerCore::ParseCallArgs(std::uint32_t procNo, TNodePtr first, std::uint32_t position) {
    TNodePtr call = MakeNode(nkCall, position);
    call->ProcNo = procNo;
    if (first) AddArgument(*call, std::move(first), kNoType);
    ParseArgList(ParseDecl(Lists->Procs[procNo].Decl()), call->Args);
    return call;
}

TNodePtr TCompilerCore::ParseProcVarCallArgs(TNodePtr procVar) {
    const TIFPSType* type = UsedType(TypeOfNode(*procVar));
    TNodePtr call = MakeNode(nkProcVarCall, procVar->Position);
    // A procedural type registered without a signature (AddType) takes no arguments.
    ParseArgList(type->ProcType ? ParseDecl(type->ProcType->Decl) : TDecl{}, call->Args);
    call->Inner = std::move(procVar);
    return call;
}

// Args -> ["(" ")"] without parameters; "(" Arg {"," Arg} ")" with them. A VAR argument is a
// variable of the parameter's type (alias-resolved), or any array.
void TCompilerCore::ParseArgList(const TDecl& decl, std::vector<TArgument>& args) {
    if (decl.Params.empty()) {
        if (Parser.Token == ttOpenRound) {
            Parser.Next();
            if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
            Parser.Next();
        }
        return;
    }
    if (Parser.Token != ttOpenRound) Error(ceOpenRoundExpected);
    Parser.Next();
    for (std::size_t i = 0; i < decl.Params.size(); ++i) {
        if (i > 0) {
            if (Parser.Token != ttComma) Error(ceCommaExpected);
            Parser.Next();
        }
        const TDeclParam& param = decl.Params[i];
        const std::uint32_t pos = Parser.TokenPos;
        TNodePtr arg;
        if (param.Mode == kModeVar) {
            if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
            arg = ResolveIdentifier(rmVariable);
            if (arg->Kind != nkVariable) Error(ceVariableExpected, {}, pos);
            arg->Kind = nkVarRef;
            const TTypeNo type = TypeOfNode(*arg);
            if (param.Type != kNoType && KindOf(type) != btArray && type != param.Type)
                Error(ceTypeMismatch, {}, arg->Position);
        } else {
            arg = ParseExpression(ttCloseRound);
        }
        args.push_back({std::move(arg), param.Type, pos});
    }
    if (Parser.Token != ttCloseRound) Error(ceCloseRoundExpected);
    Parser.Next();
}

} // namespace lumivar::script
