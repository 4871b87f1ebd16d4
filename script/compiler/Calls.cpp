// The calling sequence for script procedures, imported procedures and procedural variables,
// and procedure lookup. The callee finds, below its frame base, the reference to its result
// at base - 1 and parameter k at base - 2 - k (base - 1 - k in a procedure): arguments are
// pushed from the last to the first, then the result reference.
#include "script/compiler/CompilerCore.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/Names.h"

namespace lumivar::script {

void TCompilerCore::EmitCall(std::uint8_t flags, std::uint32_t procNo, std::vector<TArgument>& args, TExprNode* dest) {
    EmitCallSequence(flags, DeclResult(Lists->Procs[procNo].Decl()), args, dest, nullptr, procNo);
}

void TCompilerCore::EmitProcVarCall(std::uint8_t flags, TExprNode& procVar, std::vector<TArgument>& args,
                                    TExprNode* dest) {
    const TIFPSType* type = UsedType(TypeOfNode(procVar));
    const TTypeNo result = type && type->ProcType ? DeclResult(type->ProcType->Decl) : kNoType;
    EmitCallSequence(flags & static_cast<std::uint8_t>(~nfExplicitType), result, args, dest, &procVar, 0);
}

void TCompilerCore::EmitCallSequence(std::uint8_t flags, TTypeNo resultType, std::vector<TArgument>& args,
                                     TExprNode* dest, TExprNode* procVar, std::uint32_t procNo) {
    // Where the result goes: the destination itself when it has the result's type (or the
    // call is explicitly typed), else a temporary that is converted or dropped afterwards.
    const bool hasResult = resultType != kNoType || (flags & nfExplicitType);
    TExprNode* target = nullptr;
    TNodePtr resultTemp;
    if (flags & nfExplicitType) {
        if (!dest) Error(ceNoResult);
        target = dest;
    } else if (resultType == kNoType) {
        if (dest) Error(ceNoResult);
    } else if (dest && TypeOfNode(*dest) == resultType) {
        target = dest;
    } else {
        resultTemp = AllocTemp(resultType);
        target = resultTemp.get();
    }
    // Operands whose preparation pushes a pointer temporary are prepared before the first
    // argument, so that nothing but arguments lies between the frame and its parameters.
    std::vector<TExprNode*> early;
    auto prepareEarly = [&](TExprNode& node) {
        PrepareOperand(node, kNoType);
        early.push_back(&node);
    };
    if (procVar) prepareEarly(*procVar);
    if (target == dest && dest && NeedsPathPreparation(*dest)) prepareEarly(*dest);
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        if (it->Node->Kind == nkVarRef && NeedsPathPreparation(*it->Node)) prepareEarly(*it->Node);

    std::vector<TNodePtr> slots;
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        TExprNode& arg = *it->Node;
        const TTypeNo type = it->DeclaredType != kNoType ? it->DeclaredType : TypeOfNode(arg);
        if (arg.Kind == nkVarRef) {
            slots.push_back(AllocTempSilent(type));
            Emit8(ocPushRef);
            WriteOperandOr(arg, false, "00015");
        } else {
            slots.push_back(AllocTemp(type));
            CompileInto(arg, *slots.back());
        }
    }
    if (hasResult) {
        Emit8(ocPushRef);
        WriteOperandOr(*target, false, "00015");
    }
    if (procVar) {
        Emit8(ocCallVar);
        WriteOperandOr(*procVar, true, "00015");
    } else {
        Emit8(ocCall);
        Emit32(procNo);
    }
    if (hasResult) Emit8(ocPop);
    for (auto it = slots.rbegin(); it != slots.rend(); ++it) FreeTemp(**it);
    for (auto it = early.rbegin(); it != early.rend(); ++it) ReleaseOperand(**it);
    if (resultTemp) {
        if (dest) CompileInto(*resultTemp, *dest);
        FreeTemp(*resultTemp);
    }
}

// A script or imported procedure by upper-case name; a registered one is imported on first
// use, its declaration turned into type numbers.
std::int32_t TCompilerCore::FindProc(const std::string& name) {
    const std::uint32_t hash = MakeHash(name);
    auto& procs = Lists->Procs;
    for (std::size_t i = 0; i < procs.size(); ++i)
        if (procs[i].NameHash() == hash && procs[i].Name() == name) return static_cast<std::int32_t>(i);
    for (const auto& reg : Lists->RegProcs) {
        if (reg->NameHash != hash || reg->Name != name) continue;
        TDecl decl = ParseDecl(reg->Decl);
        decl.Result = UseType(decl.Result);
        for (TDeclParam& p : decl.Params) p.Type = UseType(p.Type);
        reg->Decl = FormatDecl(decl);
        procs.push_back({nullptr, reg.get()});
        return static_cast<std::int32_t>(procs.size() - 1);
    }
    return -1;
}

} // namespace lumivar::script
