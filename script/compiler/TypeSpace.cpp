// The two numberings of types: Types (everything the compile knows) and UsedTypes (what
// reaches the image, in order of first use, which is also the image's type numbering), and
// the name lookups over the compile lists.
#include "script/compiler/CompilerCore.h"
#include "script/runtime/Names.h"

#include <algorithm>

namespace lumivar::script {

TTypeNo TCompilerCore::AppendType(std::unique_ptr<TIFPSType> type) {
    Lists->Types.push_back(std::move(type));
    return static_cast<TTypeNo>(Lists->Types.size() - 1);
}

TIFPSType* TCompilerCore::TypeAt(TTypeNo typesIndex) const {
    if (!Lists || typesIndex < 0 || static_cast<std::size_t>(typesIndex) >= Lists->Types.size()) return nullptr;
    return Lists->Types[static_cast<std::size_t>(typesIndex)].get();
}

TTypeNo TCompilerCore::IndexInTypes(const TIFPSType* type) const {
    const auto& types = Lists->Types;
    const auto it = std::find_if(types.begin(), types.end(), [&](const auto& t) { return t.get() == type; });
    return it == types.end() ? kNoType : static_cast<TTypeNo>(it - types.begin());
}

TIFPSType* TCompilerCore::UsedType(TTypeNo typeNo) const {
    if (!Lists || typeNo < 0 || static_cast<std::size_t>(typeNo) >= Lists->UsedTypes.size()) return nullptr;
    return Lists->UsedTypes[static_cast<std::size_t>(typeNo)];
}

std::uint8_t TCompilerCore::KindOf(TTypeNo typeNo) const {
    const TIFPSType* t = UsedType(typeNo);
    return t ? t->BaseType : 0;
}

bool TCompilerCore::IsIntegerOrBoolean(TTypeNo typeNo) const {
    const TIFPSType* t = UsedType(typeNo);
    return t && (t == TypeAt(BooleanType) || IsIntegerKind(t->BaseType));
}

// UseType: an alias stands for its (non-alias) target; what a type refers to is used first,
// so element, field and parameter types always have smaller numbers than their containers.
TTypeNo TCompilerCore::UseType(TTypeNo typesIndex) {
    TIFPSType* type = TypeAt(typesIndex);
    if (!type) return kNoType;
    if (type->BaseType == btAlias && type->AliasOf) type = type->AliasOf;
    auto& used = Lists->UsedTypes;
    if (type->Used) return static_cast<TTypeNo>(std::find(used.begin(), used.end(), type) - used.begin());
    if (type->ProcType) {
        TDecl decl = ParseDecl(type->ProcType->Decl);
        decl.Result = UseType(decl.Result);
        for (TDeclParam& p : decl.Params) p.Type = UseType(p.Type);
        type->ProcType->Decl = FormatDecl(decl);
    }
    for (TIFPSRecordType& f : type->Fields) f.FieldType = UseType(f.FieldType);
    if (type->BaseType == btArray && type->Ext != kNoType) type->Ext = UseType(type->Ext);
    type->Used = 1;
    used.push_back(type);
    return static_cast<TTypeNo>(used.size() - 1);
}

TTypeNo TCompilerCore::GetTypeForBase(std::uint8_t kind) {
    auto& used = Lists->UsedTypes;
    for (std::size_t i = 0; i < used.size(); ++i)
        if (used[i]->BaseType == kind && used[i]->HasEmptyExt()) return static_cast<TTypeNo>(i);
    for (const auto& t : Lists->Types)
        if (t->BaseType == kind && t->HasEmptyExt() && !t->Used) {
            t->Used = 1;
            used.push_back(t.get());
            return static_cast<TTypeNo>(used.size() - 1);
        }
    auto type = std::make_unique<TIFPSType>();
    type->NameHash = MakeHash("");
    type->BaseType = kind;
    type->Used = 1;
    used.push_back(type.get());
    AppendType(std::move(type));
    return static_cast<TTypeNo>(used.size() - 1);
}

TTypeNo TCompilerCore::FindTypeIndex(const std::string& upperName) const {
    const std::uint32_t hash = MakeHash(upperName);
    const auto& types = Lists->Types;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (types[i]->NameHash == hash && types[i]->Name == upperName) return static_cast<TTypeNo>(i);
    return kNoType;
}

bool TCompilerCore::ProcTypeMatches(TTypeNo typeNo, std::uint32_t procNo) const {
    const TIFPSType* type = UsedType(typeNo);
    if (!type || type->BaseType != btProcPtr || !type->ProcType || procNo >= Lists->Procs.size()) return false;
    const TDecl want = ParseDecl(type->ProcType->Decl);
    const TDecl have = ParseDecl(Lists->Procs[procNo].Decl());
    if (want.Result != have.Result || have.Params.size() < want.Params.size()) return false;
    for (std::size_t i = 0; i < want.Params.size(); ++i)
        if (want.Params[i].Mode != have.Params[i].Mode || want.Params[i].Type != have.Params[i].Type) return false;
    return true;
}

bool TCompilerCore::IsGlobalNameUsed(const std::string& upperName) const {
    if (upperName == "RESULT") return true;
    const std::uint32_t hash = MakeHash(upperName);
    auto named = [&](const auto& record) { return record->NameHash == hash && record->Name == upperName; };
    const TCompileLists& l = *Lists;
    return std::any_of(l.Types.begin(), l.Types.end(), named) ||
           std::any_of(l.Procs.begin(), l.Procs.end(),
                       [&](const TProcEntry& e) { return e.NameHash() == hash && e.Name() == upperName; }) ||
           std::any_of(l.Vars.begin(), l.Vars.end(), named) ||
           std::any_of(l.Constants.begin(), l.Constants.end(), named);
}

} // namespace lumivar::script
