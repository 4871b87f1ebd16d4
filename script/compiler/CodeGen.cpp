// Expression code generation: compiler temporaries on the value stack, operand encoding,
// the preparation of operands that need code of their own (calculations, calls, casts, NIL,
// array constructors, multi-selector paths through a pointer temporary), and CompileInto,
// which stores the value of a tree into a destination.
#include "script/compiler/ByteString.h"
#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/Names.h"

namespace lumivar::script {
namespace {

constexpr std::uint8_t kPrefixFlags = nfNot | nfNegate;

bool IsCallKind(TNodeKind k) { return k == nkCall || k == nkProcVarCall; }

// Internal error parameters of a comparison: result register, left, right, final assignment.
struct TCompareCodes {
    const char* Result;
    const char* Left;
    const char* Right;
    const char* Assign;
};
constexpr TCompareCodes kCompareCalc{"00007", "00008", "00009", "0000A"};
constexpr TCompareCodes kCompareCall{"0000B", "0000C", "0000D", "0000E"};
constexpr TCompareCodes kCompareOther{"0000F", "00010", "00011", "00012"};

} // namespace

void TCompilerCore::Emit8(std::uint8_t v) { AppendU8(CurProc->Code, v); }
void TCompilerCore::Emit32(std::uint32_t v) { AppendU32(CurProc->Code, v); }
std::uint32_t TCompilerCore::CodePos() const { return static_cast<std::uint32_t>(CurProc->Code.size()); }

// ---- Temporaries: extra ProcVars entries, strictly last in, first out ----

TNodePtr TCompilerCore::AllocTempSilent(TTypeNo type) {
    auto& vars = CurProc->ProcVars;
    vars.push_back({MakeHash(""), {}, type, 0, 0, static_cast<std::int32_t>(Parser.TokenPos)});
    TNodePtr temp = MakeNode(nkTemp, Parser.TokenPos);
    temp->Address = kStackBaseVar + static_cast<std::uint32_t>(vars.size());
    return temp;
}

TNodePtr TCompilerCore::AllocTemp(TTypeNo type) {
    TNodePtr temp = AllocTempSilent(type);
    Emit8(ocPushType);
    Emit32(static_cast<std::uint32_t>(type));
    return temp;
}

void TCompilerCore::FreeTemp(const TExprNode&) {
    CurProc->ProcVars.pop_back();
    Emit8(ocPop);
}

// ---- Operands ----

bool TCompilerCore::WriteOperand(const TExprNode& node, bool constantsAllowed) {
    if (node.IsVariableLike()) {
        if (node.Path.empty()) {
            Emit8(okVariable);
            Emit32(node.Address);
            return true;
        }
        const TSelector& sel = node.Path.front();
        switch (sel.Kind) {
        case pkField:
        case pkConstIndex:
            Emit8(okElement);
            Emit32(node.Address);
            Emit32(sel.Value);
            return true;
        case pkVarIndex:
            if (!sel.Index || sel.Index->Kind != nkVariable || !sel.Index->Path.empty() || sel.Index->Flags) return false;
            Emit8(okElementByVar);
            Emit32(node.Address);
            Emit32(sel.Index->Address);
            return true;
        case pkPointerTemp:
            Emit8(okVariable);
            Emit32(sel.Value);
            return true;
        default: return false;
        }
    }
    if (node.Kind == nkConstant && constantsAllowed) {
        Emit8(okConstant);
        WriteConstant(node.Value);
        return true;
    }
    return false;
}

void TCompilerCore::WriteOperandOr(const TExprNode& node, bool constantsAllowed, const char* internalCode) {
    if (!WriteOperand(node, constantsAllowed)) Error(ceInternalError, internalCode);
}

// Type number, then the literal: strings with a u32 length, enumerations in the width of
// their image kind, everything else as stored.
void TCompilerCore::WriteConstant(const TIfRVariant& value) {
    Emit32(static_cast<std::uint32_t>(value.VType));
    const TIFPSType* type = UsedType(value.VType);
    std::string& code = CurProc->Code;
    if (type && type->BaseType == btString) {
        AppendLongText(code, value.Data);
    } else if (type && type->BaseType == btEnum) {
        const std::uint64_t members = static_cast<std::uint64_t>(static_cast<std::uint32_t>(type->Ext)) + 1;
        std::string data = value.Data;
        data.resize(members <= 256 ? 1 : members <= 65536 ? 2 : 4, '\0');
        code += data;
    } else {
        code += value.Data;
    }
}

// A path that WriteOperand cannot encode by itself: more than one selector, or an index
// that is not a plain variable.
bool TCompilerCore::NeedsPathPreparation(const TExprNode& node) const {
    if (!node.IsVariableLike() || node.Path.empty()) return false;
    if (node.Path.size() > 1) return true;
    const TSelector& sel = node.Path.front();
    if (sel.Kind != pkVarIndex) return false;
    return sel.Index->Kind != nkVariable || !sel.Index->Path.empty() || sel.Index->Flags;
}

// The node's value is computed into a new temporary; the node becomes that temporary and
// remembers what it replaced.
void TCompilerCore::PrepareIntoTemp(TExprNode& node, TTypeNo type) {
    TNodePtr temp = AllocTemp(type);
    CompileInto(node, *temp);
    auto replaced = std::make_unique<TExprNode>(std::move(node));
    node = std::move(*temp);
    node.Kind = nkPrepared;
    node.Inner = std::move(replaced);
}

void TCompilerCore::PrepareOperand(TExprNode& node, TTypeNo target) {
    switch (node.Kind) {
    case nkNil: {
        std::uint32_t procNo = 0;
        TIFPSClassType* cls = ClassOf(target);
        if (!cls || !cls->NilProc(procNo) || procNo >= Lists->Procs.size()) Error(ceTypeMismatch, {}, node.Position);
        TNodePtr temp = AllocTemp(target);
        std::vector<TArgument> args;
        TNodePtr ref = MakeNode(nkVarRef, node.Position);
        ref->Address = temp->Address;
        args.push_back({std::move(ref), target, node.Position});
        EmitCall(0, procNo, args, nullptr);
        node = std::move(*temp);
        node.Kind = nkTempResult;
        return;
    }
    case nkArrayCtor: {
        if (target == kNoType) Error(ceTypeMismatch, {}, node.Position);
        TNodePtr array = AllocTemp(target);
        const TTypeNo longint = GetTypeForBase(btS32);
        TNodePtr count = AllocTemp(longint);
        Emit8(ocAssign);
        WriteOperandOr(*count, false, "00013");
        Emit8(okConstant);
        WriteConstant({longint, IntToRaw4(static_cast<std::uint32_t>(node.Elements.size()))});
        Emit8(ocPushRef);
        WriteOperandOr(*array, false, "00013");
        Emit8(ocCall);
        Emit32(static_cast<std::uint32_t>(FindProc("SETARRAYLENGTH"))); // absent: 0xFFFFFFFF, refused at run time
        Emit8(ocPop);
        FreeTemp(*count);
        const TIFPSType* arrayType = UsedType(target);
        const TTypeNo elementType = arrayType && arrayType->BaseType == btArray ? arrayType->Ext : kNoType;
        for (std::size_t i = 0; i < node.Elements.size(); ++i) {
            TExprNode element;
            element.Kind = nkTemp;
            element.Address = array->Address;
            element.Path.push_back({pkConstIndex, elementType, static_cast<std::uint32_t>(i), nullptr});
            CompileInto(*node.Elements[i], element);
        }
        node = std::move(*array);
        node.Kind = nkTempResult;
        return;
    }
    case nkCalc:
    case nkCast: PrepareIntoTemp(node, node.ResultType); return;
    case nkCall:
    case nkProcVarCall: PrepareIntoTemp(node, CallResultType(node)); return;
    default: break;
    }
    if (!node.IsVariableLike()) return;
    if (NeedsPathPreparation(node)) {
        // The path is walked with pointer temporaries, one selector per ocSetPointer. ocSetPointer
        // lets go of its destination's target before it reads its source, so a pointer never
        // steps from its own target: two pointers take turns, the first starting at the base.
        const std::size_t count = node.Path.size() > 1 ? 2 : 1;
        TNodePtr pointers[2];
        for (std::size_t i = 0; i < count; ++i) pointers[i] = AllocTemp(GetTypeForBase(btPointer));
        std::uint32_t container = node.Address;
        for (std::size_t i = 0; i < node.Path.size(); ++i) {
            const TSelector& sel = node.Path[i];
            const TExprNode& pointer = *pointers[i % count];
            if (sel.Kind == pkVarIndex) {
                TNodePtr index = AllocTemp(GetTypeForBase(btU32));
                CompileInto(*sel.Index, *index);
                Emit8(ocSetPointer);
                WriteOperandOr(pointer, false, "00013");
                Emit8(okElementByVar);
                Emit32(container);
                Emit32(index->Address);
                FreeTemp(*index);
            } else {
                Emit8(ocSetPointer);
                WriteOperandOr(pointer, false, "00013");
                Emit8(okElement);
                Emit32(container);
                Emit32(sel.Value);
            }
            container = pointer.Address;
        }
        const TTypeNo type = node.Path.back().Type;
        node.SavedPath = std::move(node.Path);
        node.Path.clear();
        node.Path.push_back({pkPointerTemp, type, container, nullptr});
    }
    if (node.Kind == nkVariable && (node.Flags & kPrefixFlags)) {
        TNodePtr temp = AllocTemp(TypeOfNode(node));
        Emit8(ocAssign);
        WriteOperandOr(*temp, false, "00013");
        WriteOperandOr(node, false, "00014");
        const std::uint8_t flags = node.Flags & kPrefixFlags;
        ApplyFlags(*temp, flags);
        auto replaced = std::make_unique<TExprNode>(std::move(node));
        node = std::move(*temp);
        node.Kind = nkPrepared;
        node.Inner = std::move(replaced);
    }
}

// Undoes PrepareOperand, newest temporary first.
void TCompilerCore::ReleaseOperand(TExprNode& node) {
    if (node.Kind == nkTempResult) {
        FreeTemp(node);
        return;
    }
    if (node.Kind == nkPrepared) {
        FreeTemp(node);
        TNodePtr replaced = std::move(node.Inner);
        node = std::move(*replaced);
        ReleaseOperand(node);
        return;
    }
    if (node.IsVariableLike() && !node.SavedPath.empty()) {
        for (std::size_t i = node.SavedPath.size() > 1 ? 2 : 1; i > 0; --i) FreeTemp(node);
        node.Path = std::move(node.SavedPath);
        node.SavedPath.clear();
    }
}

void TCompilerCore::ApplyFlags(TExprNode& dest, std::uint8_t flags) {
    for (const std::uint8_t flag : {std::uint8_t(nfNot), std::uint8_t(nfNegate)}) {
        if (!(flags & flag)) continue;
        PrepareOperand(dest, kNoType);
        Emit8(flag == nfNot ? ocNot : ocNegate);
        WriteOperandOr(dest, false, "00013");
        ReleaseOperand(dest);
    }
}

// ---- CompileInto: dest := value of src ----

void TCompilerCore::CompileInto(TExprNode& src, TExprNode& dest) {
    switch (src.Kind) {
    case nkCast: {
        const TTypeNo target = src.ResultType;
        if (TypeOfNode(dest) == target) {
            const std::uint8_t saved = dest.Flags;
            dest.Flags |= nfNoTypeCheck;
            CompileInto(*src.Inner, dest);
            dest.Flags = saved;
        } else {
            TNodePtr temp = AllocTemp(target);
            temp->Position = src.Position;
            temp->Flags |= nfNoTypeCheck;
            CompileInto(*src.Inner, *temp);
            CompileInto(*temp, dest);
            FreeTemp(*temp);
        }
        ApplyFlags(dest, src.Flags & kPrefixFlags);
        return;
    }
    case nkProcRef: CompileProcRef(src, dest); return;
    case nkCall:
    case nkProcVarCall:
        if (!(src.Flags & nfExplicitType) && CallResultType(src) == kNoType) Error(ceNoResult, {}, src.Position);
        if (!CheckAssignable(dest, src)) Error(ceTypeMismatch, {}, src.Position);
        if (src.Kind == nkCall)
            EmitCall(src.Flags, src.ProcNo, src.Args, &dest);
        else
            EmitProcVarCall(src.Flags, *src.Inner, src.Args, &dest);
        ApplyFlags(dest, src.Flags & kPrefixFlags);
        return;
    case nkCalc: CompileCalc(src, dest); return;
    default: break;
    }
    if (SameVar(src, dest)) {
        ApplyFlags(dest, src.Flags & kPrefixFlags);
        src.Flags &= static_cast<std::uint8_t>(~kPrefixFlags);
        return;
    }
    if (src.Kind != nkNil && !CheckAssignable(dest, src)) Error(ceTypeMismatch, {}, src.Position);
    PrepareOperand(src, TypeOfNode(dest));
    PrepareOperand(dest, kNoType);
    Emit8(ocAssign);
    WriteOperandOr(dest, false, "00013");
    WriteOperandOr(src, true, "00014");
    ReleaseOperand(dest);
    ReleaseOperand(src);
}

// dest := @Proc: the procedure must match dest's procedural type exactly.
void TCompilerCore::CompileProcRef(TExprNode& src, TExprNode& dest) {
    const TTypeNo type = TypeOfNode(dest);
    const TIFPSType* t = UsedType(type);
    if (!t || !t->ProcType || !ProcTypeMatches(type, src.ProcNo) ||
        ParseDecl(t->ProcType->Decl).Params.size() != ParseDecl(Lists->Procs[src.ProcNo].Decl()).Params.size())
        Error(ceTypeMismatch, {}, src.Position);
    PrepareOperand(dest, kNoType);
    Emit8(ocAssign);
    WriteOperandOr(dest, false, "00013");
    Emit8(okConstant);
    WriteConstant({type, IntToRaw4(src.ProcNo)});
    ReleaseOperand(dest);
}

// Left op Right into dest. The accumulated value lives in dest, so a tree that reads dest
// (or may read it, through an index) is computed in a temporary first.
void TCompilerCore::CompileCalc(TExprNode& src, TExprNode& dest) {
    if (MentionsVar(src, dest)) {
        TNodePtr temp = AllocTemp(TypeOfNode(dest));
        CompileInto(src, *temp);
        CompileInto(*temp, dest);
        FreeTemp(*temp);
        return;
    }
    if (src.Op >= kFirstCompareOp) {
        CompileCompare(src, dest);
    } else {
        CompileInto(*src.Left, dest);
        TExprNode& right = *src.Right;
        if (right.Kind == nkCalc || IsCallKind(right.Kind) || right.Kind == nkCast) {
            const bool calc = right.Kind == nkCalc;
            TNodePtr temp = AllocTemp(TypeOfNode(dest));
            CompileInto(right, *temp);
            PrepareOperand(dest, kNoType);
            Emit8(ocCalc);
            Emit8(src.Op);
            WriteOperandOr(dest, false, calc ? "00001" : "00005");
            WriteOperandOr(*temp, true, calc ? "00002" : "00006");
            ReleaseOperand(dest);
            FreeTemp(*temp);
        } else {
            PrepareOperand(dest, kNoType);
            PrepareOperand(right, TypeOfNode(dest));
            Emit8(ocCalc);
            Emit8(src.Op);
            WriteOperandOr(dest, false, "00005");
            WriteOperandOr(right, true, "00006");
            ReleaseOperand(right);
            ReleaseOperand(dest);
        }
    }
    ApplyFlags(dest, src.Flags & kPrefixFlags);
}

// A comparison goes into dest when dest is Boolean; otherwise into a Boolean temporary
// that is then assigned to dest, a local whose slot is re-typed LONGINT for it.
void TCompilerCore::CompileCompare(TExprNode& src, TExprNode& dest) {
    TExprNode& left = *src.Left;
    TExprNode& right = *src.Right;
    const TTypeNo destType = TypeOfNode(dest);
    const bool direct = UsedType(destType) && UsedType(destType) == TypeAt(BooleanType);
    TNodePtr result = direct ? nullptr : AllocTemp(BooleanTypeNo());
    TExprNode& reg = direct ? dest : *result;
    TNodePtr temp;
    TCompareCodes codes = kCompareOther;
    if (right.Kind == nkCalc) {
        codes = kCompareCalc;
        temp = AllocTemp(right.ResultType);
        CompileInto(right, *temp);
    } else if (IsCallKind(right.Kind)) {
        codes = kCompareCall;
        temp = AllocTemp(CallResultType(right));
        CompileInto(right, *temp);
    } else {
        PrepareOperand(right, destType);
    }
    PrepareOperand(dest, kNoType);
    PrepareOperand(left, kNoType);
    Emit8(ocCompare);
    Emit8(static_cast<std::uint8_t>(src.Op - kFirstCompareOp));
    WriteOperandOr(reg, false, codes.Result);
    WriteOperandOr(left, true, codes.Left);
    WriteOperandOr(temp ? *temp : right, true, codes.Right);
    ReleaseOperand(left);
    ReleaseOperand(dest);
    if (temp)
        FreeTemp(*temp);
    else
        ReleaseOperand(right);
    if (direct) return;
    if (!dest.IsVariableLike() || dest.Address <= kStackBaseVar || !dest.Path.empty())
        Error(ceTypeMismatch, {}, dest.Position);
    const TTypeNo longint = GetTypeForBase(btS32);
    CurProc->ProcVars[dest.Address - kStackBaseVar - 1].VarType = longint;
    Emit8(ocSetStackType);
    Emit32(static_cast<std::uint32_t>(longint));
    Emit32(dest.Address - kStackBaseVar);
    Emit8(ocAssign);
    WriteOperandOr(dest, false, codes.Assign);
    WriteOperandOr(*result, false, codes.Assign);
    FreeTemp(*result);
}

// ---- Variables ----

bool TCompilerCore::SameVar(const TExprNode& a, const TExprNode& b) const {
    const bool kindOk = a.Kind == nkVariable || a.Kind == nkVarRef || a.Kind == nkTemp || a.Kind == nkPrepared;
    if (!kindOk || a.Kind != b.Kind || a.Address != b.Address || a.Path.size() != b.Path.size()) return false;
    for (std::size_t i = 0; i < a.Path.size(); ++i) {
        const TSelector& x = a.Path[i];
        const TSelector& y = b.Path[i];
        if (x.Kind != y.Kind) return false;
        // The value of an index selector is its index expression itself: two expressions
        // parsed apart never agree, even when they read alike.
        if (x.Kind == pkVarIndex ? x.Index != y.Index : x.Value != y.Value) return false;
    }
    return true;
}

// Could reading some operand of tree see a value that storing into var changes? The same
// base variable with paths that are not provably apart (an index variable may hold any
// number, and a shorter path contains the longer one).
bool TCompilerCore::MentionsVar(const TExprNode& tree, const TExprNode& var) const {
    if ((tree.Kind == nkVariable || tree.Kind == nkVarRef || tree.Kind == nkTemp) && tree.Address == var.Address) {
        bool apart = false;
        for (std::size_t i = 0; i < tree.Path.size() && i < var.Path.size() && !apart; ++i) {
            const TSelector& x = tree.Path[i];
            const TSelector& y = var.Path[i];
            apart = x.Kind != pkVarIndex && y.Kind != pkVarIndex && x.Value != y.Value;
        }
        if (!apart) return true;
    }
    for (const TSelector& sel : tree.Path)
        if (sel.Index && MentionsVar(*sel.Index, var)) return true;
    if (tree.Left && MentionsVar(*tree.Left, var)) return true;
    if (tree.Right && MentionsVar(*tree.Right, var)) return true;
    if (tree.Inner && MentionsVar(*tree.Inner, var)) return true;
    for (const TArgument& a : tree.Args)
        if (a.Node && MentionsVar(*a.Node, var)) return true;
    for (const TNodePtr& e : tree.Elements)
        if (MentionsVar(*e, var)) return true;
    return false;
}

} // namespace lumivar::script
