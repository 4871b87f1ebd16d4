// Declaration processing: the USES clause, TYPE sections and the type reader, VAR and LABEL
// sections, and procedure declarations with their FORWARD, EXTERNAL and EXPORT forms. Every
// reader starts at its keyword and leaves the token after what it read.
#include "script/compiler/ByteString.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/Names.h"

#include <algorithm>
#include <functional>

namespace lumivar::script {
namespace {

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A new type record with its name (upper case already), kind and declaration position.
std::unique_ptr<TIFPSType> MakeType(const std::string& name, std::uint8_t kind, std::uint32_t declarePos) {
    auto type = std::make_unique<TIFPSType>();
    type->Name = name;
    type->NameHash = MakeHash(name);
    type->BaseType = kind;
    type->DeclarePos = static_cast<std::int32_t>(declarePos);
    return type;
}

// Debug record types written here.
constexpr std::uint8_t kDebugParams = 2;
constexpr std::uint8_t kDebugLocals = 3;
constexpr char kDebugNameEnd = 1;
constexpr char kDebugListEnd = 0;

} // namespace

TIFPSProcedure& TCompilerCore::NewProc(const std::string& name) {
    auto proc = std::make_unique<TIFPSProcedure>();
    proc->Name = name;
    proc->NameHash = MakeHash(name);
    proc->DeclarePos = static_cast<std::int32_t>(Parser.TokenPos);
    TIFPSProcedure& ref = *proc;
    Lists->Procs.push_back({std::move(proc), nullptr});
    return ref;
}

bool TCompilerCore::IsLocalNameUsed(const TIFPSProcedure& proc, const std::string& name, std::uint32_t hash) const {
    return std::any_of(proc.ProcVars.begin(), proc.ProcVars.end(),
                       [&](const TIFPSProcVar& v) { return v.NameHash == hash && v.Name == name; });
}

bool TCompilerCore::IsLabelNameUsed(const TIFPSProcedure& proc, const std::string& name, std::uint32_t hash) const {
    return std::any_of(proc.Labels.begin(), proc.Labels.end(),
                       [&](const TLabelEntry& l) { return l.NameHash == hash && l.Name == name; });
}

bool TCompilerCore::IsParamNameUsed(const TIFPSProcedure& proc, const std::string& name) const {
    const TDecl decl = ParseDecl(proc.Decl);
    return std::any_of(decl.Params.begin(), decl.Params.end(), [&](const TDeclParam& p) { return p.Name == name; });
}

// IdentList -> Ident {"," Ident} ";": take runs at each identifier (the current token); after
// one, anything but "," and ";" is error separatorError.
void TCompilerCore::ReadIdentList(std::uint8_t separatorError, const std::function<void()>& take) {
    Parser.Next();
    for (;;) {
        if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
        take();
        Parser.Next();
        if (Parser.Token == ttSemicolon) break;
        if (Parser.Token != ttComma) Error(separatorError);
        Parser.Next();
    }
    Parser.Next();
}

// Uses -> USES IdentList
void TCompilerCore::ReadUses() {
    std::vector<std::string> listed;
    ReadIdentList(ceSemicolonExpected, [&] {
        if (Contains(listed, Parser.TokenText)) Error(ceDuplicateIdentifier, Parser.TokenText);
        listed.push_back(Parser.TokenText);
        if (Owner.OnUses) CallOnUses(Parser.TokenText);
    });
}

// TypeSection -> TYPE Ident "=" Type ";" {Ident "=" Type ";"}
void TCompilerCore::ReadTypeSection() {
    Parser.Next();
    do {
        if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
        if (IsGlobalNameUsed(Parser.TokenText)) Error(ceDuplicateIdentifier, Parser.OriginalToken);
        const std::string name = Parser.TokenText;
        Parser.Next();
        if (Parser.Token != ttEqual) Error(ceEqualExpected);
        Parser.Next();
        ReadType(name, Parser);
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        Parser.Next();
    } while (Parser.Token == ttIdentifier);
}

// Type -> "(" Ident {"," Ident} ")" | ARRAY OF Type | (PROCEDURE | FUNCTION) ... | RECORD ... END
//       | TypeName
TTypeNo TCompilerCore::ReadType(const std::string& name, TIfPascalParser& p) {
    TNesting nesting(*this, p);
    switch (p.Token) {
    case ttOpenRound: return ReadEnumType(name, p);
    case ttArray: return ReadArrayType(name, p);
    case ttProcedure:
    case ttFunction: return ReadProcType(name, p);
    case ttRecord: return ReadRecordType(name, p);
    case ttIdentifier: return ReadTypeName(name, p);
    default: ErrorOn(p, ceIdentifierExpected);
    }
}

// The type is declared at once, so its members (and a failure part-way) find it there.
TTypeNo TCompilerCore::ReadEnumType(const std::string& name, TIfPascalParser& p) {
    p.Next();
    auto type = MakeType(name, btEnum, p.TokenPos);
    TIFPSType& enumType = *type;
    const TTypeNo index = AppendType(std::move(type));
    for (std::uint32_t i = 0;; ++i) {
        if (p.Token != ttIdentifier) ErrorOn(p, ceIdentifierExpected);
        if (IsGlobalNameUsed(p.TokenText)) ErrorOn(p, ceDuplicateIdentifier, p.TokenText);
        AddConstant(p.TokenText, index)->Value.Data = IntToRaw4(i);
        p.Next();
        if (p.Token == ttCloseRound) {
            enumType.Ext = static_cast<std::int32_t>(i);
            p.Next();
            return index;
        }
        if (p.Token != ttComma) ErrorOn(p, ceCloseRoundExpected);
        p.Next();
    }
}

// An anonymous array reuses an existing array type of the same element type.
TTypeNo TCompilerCore::ReadArrayType(const std::string& name, TIfPascalParser& p) {
    p.Next();
    if (p.Token != ttOf) ErrorOn(p, ceOfExpected);
    p.Next();
    TTypeNo element = kNoType;
    try {
        element = ReadType({}, p);
    } catch (const TCompileFailure&) {
        // Every array level whose element fails adds an error 0 after the element's own error.
        if (&p == &Parser) MakeError(ceUnknownIdentifier, {});
        throw;
    }
    if (name.empty()) {
        const TIFPSType* elementType = TypeAt(element);
        if (elementType->Used) {
            const TTypeNo usedElement = UseType(element);
            for (const TIFPSType* t : Lists->UsedTypes)
                if (t->BaseType == btArray && t->Ext == usedElement) {
                    const TTypeNo found = IndexInTypes(t);
                    if (found == kNoType) ErrorOn(p, ceInternalError, "0001C");
                    return found;
                }
        }
        const auto& types = Lists->Types;
        for (std::size_t i = 0; i < types.size(); ++i)
            if (types[i]->BaseType == btArray && !types[i]->Used && types[i]->Ext == element) return static_cast<TTypeNo>(i);
    }
    auto type = MakeType(name, btArray, p.TokenPos);
    type->Ext = element;
    return AppendType(std::move(type));
}

// Record -> RECORD Ident {"," Ident} ":" Type ";" {Ident {"," Ident} ":" Type ";"} END
// Each field is one cell of its own record: Offset is its index, Size the field count.
TTypeNo TCompilerCore::ReadRecordType(const std::string& name, TIfPascalParser& p) {
    p.Next();
    std::vector<TIFPSRecordType> fields;
    for (;;) {
        std::vector<std::string> group;
        for (;;) {
            if (p.Token != ttIdentifier) ErrorOn(p, ceIdentifierExpected);
            const std::uint32_t hash = MakeHash(p.TokenText);
            if (std::any_of(fields.begin(), fields.end(),
                            [&](const TIFPSRecordType& f) { return f.NameHash == hash && f.FieldName == p.TokenText; }))
                ErrorOn(p, ceDuplicateIdentifier, p.TokenText);
            group.push_back(p.TokenText);
            p.Next();
            if (p.Token == ttColon) break;
            if (p.Token != ttComma) ErrorOn(p, ceColonExpected);
            p.Next();
        }
        p.Next();
        // An anonymous type read never is an alias: a type name comes back resolved.
        const TTypeNo fieldType = ReadType({}, p);
        if (p.Token != ttSemicolon) ErrorOn(p, ceSemicolonExpected);
        p.Next();
        for (std::string& n : group) {
            TIFPSRecordType f;
            f.NameHash = MakeHash(n);
            f.FieldName = std::move(n);
            f.FieldType = fieldType;
            f.Offset = static_cast<std::uint32_t>(fields.size());
            fields.push_back(std::move(f));
        }
        if (p.Token == ttEnd) break;
    }
    p.Next();
    auto type = MakeType(name, btRecord, p.TokenPos);
    type->Size = static_cast<std::uint32_t>(fields.size());
    type->Fields = std::move(fields);
    return AppendType(std::move(type));
}

// ProcType -> (PROCEDURE | FUNCTION) Signature
TTypeNo TCompilerCore::ReadProcType(const std::string& name, TIfPascalParser& p) {
    const bool isFunction = p.Token == ttFunction;
    p.Next();
    const TDecl signature = ReadSignature(p, isFunction);
    auto type = MakeType(name, btProcPtr, p.TokenPos);
    type->ProcType = std::make_unique<TIFPSProceduralType>();
    type->ProcType->Decl = FormatDecl(signature);
    return AppendType(std::move(type));
}

// Signature -> ["(" [Group {";" Group}] ")"] [":" TypeName]   (the result for a function only)
// Group     -> [CONST | VAR] Ident {"," Ident} ":" TypeName
// Type names are Types indices as found, aliases included.
TDecl TCompilerCore::ReadSignature(TIfPascalParser& p, bool isFunction) {
    // A type name (identifier required, error 1; unknown, error 0 with the written name).
    auto readTypeName = [&]() {
        if (p.Token != ttIdentifier) ErrorOn(p, ceIdentifierExpected);
        const TTypeNo t = FindTypeIndex(p.TokenText);
        if (t == kNoType) ErrorOn(p, ceUnknownIdentifier, p.OriginalToken);
        p.Next();
        return t;
    };
    TDecl signature;
    if (p.Token == ttOpenRound) {
        p.Next();
        // "()" has no groups; after a ";" another group must follow.
        bool groupNext = p.Token != ttCloseRound;
        while (groupNext) {
            char mode = kModeValue;
            if (p.Token == ttConst) {
                p.Next();
            } else if (p.Token == ttVar) {
                mode = kModeVar;
                p.Next();
            }
            std::vector<std::string> names;
            for (;;) {
                if (p.Token != ttIdentifier) ErrorOn(p, ceIdentifierExpected);
                names.push_back(p.TokenText);
                p.Next();
                if (p.Token != ttComma) break;
                p.Next();
            }
            if (p.Token != ttColon) ErrorOn(p, ceColonExpected);
            p.Next();
            const TTypeNo t = readTypeName();
            for (std::string& n : names) signature.Params.push_back({mode, std::move(n), t});
            groupNext = p.Token == ttSemicolon;
            if (groupNext) {
                p.Next();
            } else if (p.Token != ttCloseRound) {
                ErrorOn(p, ceSemicolonExpected);
            }
        }
        p.Next();
    }
    if (isFunction) {
        if (p.Token != ttColon) ErrorOn(p, ceColonExpected);
        p.Next();
        signature.Result = readTypeName();
    }
    return signature;
}

// A type name; with a name being declared ("type X = Y") a new alias of Y's target.
TTypeNo TCompilerCore::ReadTypeName(const std::string& name, TIfPascalParser& p) {
    TTypeNo found = FindTypeIndex(p.TokenText);
    if (found == kNoType) ErrorOn(p, ceUnknownType, p.OriginalToken);
    p.Next();
    TIFPSType* target = TypeAt(found);
    if (target->BaseType == btAlias && target->AliasOf) {
        target = target->AliasOf;
        found = IndexInTypes(target);
    }
    if (name.empty()) return found;
    auto alias = MakeType(name, btAlias, p.TokenPos);
    alias->Size = 0;
    alias->AliasOf = target;
    return AppendType(std::move(alias));
}

// VarSection -> VAR Ident {"," Ident} ":" Type ";" {Ident {"," Ident} ":" Type ";"}
void TCompilerCore::ReadVarSection(TIFPSProcedure* proc, std::uint32_t procNo) {
    Parser.Next();
    do {
        std::vector<std::string> pending;
        const TTypeNo type = ReadNameGroup(pending, [&](const std::string& name) {
            const std::uint32_t hash = MakeHash(name);
            const bool clash =
                Contains(pending, name) ||
                (proc ? name == "RESULT" || FindTypeIndex(name) != kNoType ||
                            std::any_of(Lists->Procs.begin(), Lists->Procs.end(),
                                        [&](const TProcEntry& e) { return e.NameHash() == hash && e.Name() == name; }) ||
                            IsLocalNameUsed(*proc, name, hash) ||
                            std::any_of(Lists->Constants.begin(), Lists->Constants.end(),
                                        [&](const auto& c) { return c->NameHash == hash && c->Name == name; })
                      : IsGlobalNameUsed(name));
            if (clash) Error(ceDuplicateIdentifier, Parser.OriginalToken);
            if (!Owner.OnUseVariable) return;
            if (proc)
                Owner.OnUseVariable(Owner, 2, static_cast<std::uint32_t>(proc->ProcVars.size() + pending.size()),
                                    static_cast<std::int32_t>(procNo), Parser.TokenPos);
            else
                Owner.OnUseVariable(Owner, 0, static_cast<std::uint32_t>(Lists->Vars.size() + pending.size()), -1,
                                    Parser.TokenPos);
        });
        const auto declarePos = static_cast<std::int32_t>(Parser.TokenPos);
        for (std::string& name : pending) {
            const std::uint32_t hash = MakeHash(name);
            if (proc) {
                proc->ProcVars.push_back({hash, std::move(name), type, 0, 0, declarePos});
            } else {
                auto v = std::make_unique<TIFPSVar>();
                v->NameHash = hash;
                v->Name = std::move(name);
                v->VarType = type;
                v->DeclarePos = declarePos;
                Lists->Vars.push_back(std::move(v));
            }
        }
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        Parser.Next();
    } while (Parser.Token == ttIdentifier);
}

// NameGroup -> Ident {"," Ident} ":" Type. Each name passes check at its own token before it
// joins names; the result is the type's number.
TTypeNo TCompilerCore::ReadNameGroup(std::vector<std::string>& names, const std::function<void(const std::string&)>& check) {
    for (;;) {
        if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
        check(Parser.TokenText);
        names.push_back(Parser.TokenText);
        Parser.Next();
        if (Parser.Token != ttComma) break;
        Parser.Next();
    }
    if (Parser.Token != ttColon) Error(ceColonExpected);
    Parser.Next();
    return UseType(ReadType({}, Parser));
}

// LabelSection -> LABEL IdentList
void TCompilerCore::ReadLabelSection(TIFPSProcedure& proc, std::uint32_t) {
    ReadIdentList(ceCommaExpected, [&] {
        const std::string& name = Parser.TokenText;
        const std::uint32_t hash = MakeHash(name);
        if (IsGlobalNameUsed(name) || (proc.NameHash == hash && proc.Name == name) || IsParamNameUsed(proc, name) ||
            IsLocalNameUsed(proc, name, hash) || IsLabelNameUsed(proc, name, hash))
            Error(ceDuplicateIdentifier, {});
        proc.Labels.push_back({kLabelNotPlaced, hash, name});
    });
}

// ProcDecl -> (PROCEDURE | FUNCTION) Ident [Params] [":" Type] ";"
//             ( EXTERNAL String ";" | FORWARD ";" | [EXPORT ";"] {VarSection | LabelSection} Block ";" )
// Params   -> "(" [[VAR] Ident {"," Ident} ":" Type {";" [VAR] Ident {"," Ident} ":" Type}] ")"
void TCompilerCore::ReadProcDecl() {
    const bool isFunction = Parser.Token == ttFunction;
    Parser.Next();
    if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
    const std::string name = Parser.TokenText;
    const std::uint32_t hash = MakeHash(name);
    const auto declarePos = static_cast<std::int32_t>(Parser.TokenPos);
    TIFPSProcedure* forwarded = nullptr;
    std::uint32_t procNo = static_cast<std::uint32_t>(Lists->Procs.size());
    for (std::size_t i = 0; i < Lists->Procs.size(); ++i) {
        TIFPSProcedure* s = Lists->Procs[i].Script.get();
        if (s && s->Forwarded && s->NameHash == hash && s->Name == name) {
            forwarded = s;
            procNo = static_cast<std::uint32_t>(i);
            break;
        }
    }
    if (!forwarded && IsGlobalNameUsed(name)) Error(ceDuplicateIdentifier, name);
    Parser.Next();

    const TDecl signature = ReadProcHeader(name, isFunction, forwarded, procNo);
    if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
    Parser.Next();

    if (!forwarded && Parser.Token == ttExternal) {
        Parser.Next();
        if (Parser.Token != ttString) Error(ceStringExpected);
        const std::string text = Dequote(Parser.TokenText);
        Parser.Next();
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        Parser.Next();
        std::unique_ptr<TIFPSRegProc> reg;
        if (Owner.OnExternalProc) reg = Owner.OnExternalProc(Owner, name, FormatDecl(signature), text);
        if (!reg) Error(ceCustomError, {});
        reg->NameHash = MakeHash(reg->Name); // lookups compare the hash first
        Lists->RegProcs.push_back(std::move(reg));
        Lists->Procs.push_back({nullptr, Lists->RegProcs.back().get()});
        return;
    }
    if (!forwarded && Parser.Token == ttForward) {
        Parser.Next();
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        Parser.Next();
        TIFPSProcedure& proc = NewProc(name);
        proc.Decl = FormatDecl(signature);
        proc.Forwarded = 1;
        proc.DeclarePos = declarePos;
        return;
    }
    TIFPSProcedure* proc = forwarded;
    if (proc) {
        proc->Forwarded = 0;
    } else {
        proc = &NewProc(name);
        proc->Decl = FormatDecl(signature);
        proc->DeclarePos = declarePos;
    }
    if (Parser.Token == ttExport) {
        Parser.Next();
        if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
        Parser.Next();
        proc->ExportMode = 1;
    }
    for (;;) {
        if (Parser.Token == ttVar) {
            ReadVarSection(proc, procNo);
        } else if (Parser.Token == ttLabel) {
            ReadLabelSection(*proc, procNo);
        } else if (Parser.Token == ttBegin) {
            break;
        } else {
            Error(ceBeginExpected);
        }
    }
    CompileProcBody(*proc, procNo);
}

// Params -> "(" [[VAR] NameGroup {";" [VAR] NameGroup}] ")", then ":" Type for a function.
// Parameter names clash with globals, the procedure's own name, earlier parameters and, when
// a FORWARD declaration is completed, its locals and labels.
TDecl TCompilerCore::ReadProcHeader(const std::string& name, bool isFunction, const TIFPSProcedure* forwarded,
                                    std::uint32_t procNo) {
    TDecl signature;
    if (Parser.Token == ttOpenRound) {
        Parser.Next();
        if (Parser.Token == ttCloseRound) {
            Parser.Next();
        } else {
            for (;;) {
                char mode = kModeValue;
                if (Parser.Token == ttVar) {
                    mode = kModeVar;
                    Parser.Next();
                }
                std::vector<std::string> group;
                const TTypeNo type = ReadNameGroup(group, [&](const std::string& pname) {
                    const std::uint32_t phash = MakeHash(pname);
                    const bool clash =
                        pname == name || IsGlobalNameUsed(pname) || Contains(group, pname) ||
                        std::any_of(signature.Params.begin(), signature.Params.end(),
                                    [&](const TDeclParam& q) { return q.Name == pname; }) ||
                        (forwarded && (IsLocalNameUsed(*forwarded, pname, phash) || IsLabelNameUsed(*forwarded, pname, phash)));
                    if (clash) Error(ceDuplicateIdentifier, group.empty() ? Parser.OriginalToken : std::string());
                    if (Owner.OnUseVariable)
                        Owner.OnUseVariable(Owner, 1,
                                            static_cast<std::uint32_t>(signature.Params.size() + group.size() + (isFunction ? 1 : 0)),
                                            static_cast<std::int32_t>(procNo), Parser.TokenPos);
                });
                for (std::string& n : group) signature.Params.push_back({mode, std::move(n), type});
                if (Parser.Token == ttCloseRound) break;
                if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
                Parser.Next();
            }
            Parser.Next();
        }
    }
    if (isFunction) {
        if (Parser.Token != ttColon) Error(ceColonExpected);
        Parser.Next();
        signature.Result = UseType(ReadType({}, Parser));
    }
    return signature;
}

void TCompilerCore::CompileProcBody(TIFPSProcedure& proc, std::uint32_t procNo) {
    const TDecl decl = ParseDecl(proc.Decl);
    AppendU8(DebugOutput, kDebugParams);
    AppendU32(DebugOutput, procNo);
    if (decl.IsFunction()) DebugOutput.append("RESULT").push_back(kDebugNameEnd);
    for (const TDeclParam& p : decl.Params) DebugOutput.append(p.Name).push_back(kDebugNameEnd);
    DebugOutput.push_back(kDebugListEnd);
    AppendU8(DebugOutput, kDebugLocals);
    AppendU32(DebugOutput, procNo);
    for (const TIFPSProcVar& v : proc.ProcVars) DebugOutput.append(v.Name).push_back(kDebugNameEnd);
    DebugOutput.push_back(kDebugListEnd);
    for (const TIFPSProcVar& v : proc.ProcVars) {
        AppendU8(proc.Code, ocPushType);
        AppendU32(proc.Code, static_cast<std::uint32_t>(v.VarType));
    }
    BeginProc(proc, procNo);
    CompileBlock(bkProcBody);
    for (const TIFPSProcVar& v : proc.ProcVars)
        if (!v.Used) MakeHint(chVariableNeverUsed, v.Name).Position = static_cast<std::uint32_t>(v.DeclarePos);
    if (decl.IsFunction() && !proc.ResultUsed)
        MakeHint(chVariableNeverUsed, "RESULT").Position = static_cast<std::uint32_t>(proc.DeclarePos);
    ResolveGotos(proc);
}

// Makes proc the procedure that statements and expressions compile into.
void TCompilerCore::BeginProc(TIFPSProcedure& proc, std::uint32_t procNo) {
    CurProc = &proc;
    CurProcNo = procNo;
    CurDecl = ParseDecl(proc.Decl);
}

} // namespace lumivar::script
