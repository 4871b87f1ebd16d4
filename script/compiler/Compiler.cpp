// The compiler driver: Compile's steps (standard types, host registration, the top-level
// loop, the final checks, the image), the registration operations, the message makers and
// TScriptCompiler's forwarding to its core.
#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/compiler/StringTools.h"
#include "script/runtime/Names.h"

#include <exception>

namespace lumivar::script {
namespace {

// Indices in Types of the standard types that are declared in a fixed order.
enum : TTypeNo {
    kTypeLongint = 6,
    kTypeLongword = 8,
    kTypeVariant = 15,
};

// Releases the compile lists whichever way Compile leaves.
class TCompileScope {
public:
    explicit TCompileScope(TCompilerCore& core) : Core(core) {
        Core.Lists = std::make_unique<TCompileLists>();
    }
    ~TCompileScope() {
        Core.Lists.reset();
        Core.CurProc = nullptr;
        Core.BreakList = Core.ContinueList = nullptr;
    }
    TCompileScope(const TCompileScope&) = delete;
    TCompileScope& operator=(const TCompileScope&) = delete;

private:
    TCompilerCore& Core;
};

} // namespace

TIFPSType::TIFPSType() = default;
TIFPSType::~TIFPSType() = default;

TCompilerCore::TCompilerCore(TScriptCompiler& owner) : Owner(owner) {
    // Scanner kinds 1..4 become errors 2..5 at the position the scanner gives.
    Parser.OnParserError = [this](TIfPascalParser&, TParserError kind, std::uint32_t position) {
        MakeError(static_cast<std::uint8_t>(kind + 1), {}).Position = position;
        ScannerFailed = true;
    };
}

// ---- Messages ----

TIFPSPascalCompilerMessage& TCompilerCore::MakeError(std::uint8_t code, const std::string& param) {
    Messages.push_back({{}, param, Parser.TokenPos, mkError, code});
    return Messages.back();
}

TIFPSPascalCompilerMessage& TCompilerCore::MakeWarning(std::uint8_t code, const std::string& param) {
    Messages.push_back({{}, param, Parser.TokenPos, mkWarning, code});
    return Messages.back();
}

TIFPSPascalCompilerMessage& TCompilerCore::MakeHint(std::uint8_t code, const std::string& param) {
    Messages.push_back({{}, param, Parser.TokenPos, mkHint, code});
    return Messages.back();
}

void TCompilerCore::Error(std::uint8_t code, const std::string& param) {
    MakeError(code, param);
    throw TCompileFailure{};
}

void TCompilerCore::Error(std::uint8_t code, const std::string& param, std::uint32_t position) {
    MakeError(code, param).Position = position;
    throw TCompileFailure{};
}

void TCompilerCore::ErrorOn(const TIfPascalParser& scanner, std::uint8_t code, const std::string& param) {
    if (&scanner == &Parser) Error(code, param);
    throw TCompileFailure{};
}

void TCompilerCore::Fail() { throw TCompileFailure{}; }

void TCompilerCore::Clear() {
    Messages.clear();
    Output.clear();
    DebugOutput.clear();
}

// ---- Compile ----

bool TCompilerCore::Compile(const std::string& text) {
    // A callback that starts a compile of its own would pull the lists from under this one.
    if (Lists) return false;
    IsUnit = false;
    ScannerFailed = false;
    Nesting = 0;
    Clear();
    Parser.SetText(text);
    TCompileScope scope(*this);
    try {
        DeclareStandardTypes();
        if (Owner.OnUses) CallOnUses("SYSTEM");
        NewProc("!MAIN");
        ReadTopLevel();
        ResolveGotos(*Lists->Procs[static_cast<std::size_t>(FindMainProc())].Script);
        CheckForwards();
        CheckExports();
        HintUnusedGlobals();
        WriteImage();
        return true;
    } catch (const TCompileFailure&) {
        Output.clear();
        return false;
    }
}

void TCompilerCore::DeclareStandardTypes() {
    AddType("BYTE", btU8);
    AddTypeFromDecl("BOOLEAN", "(False, True)");
    AddType("CHAR", btChar);
    AddType("SHORTINT", btS8);
    AddType("WORD", btU16);
    AddType("SMALLINT", btS16);
    AddType("LONGINT", btS32);
    AddType("INTEGER", btAlias)->AliasOf = TypeAt(kTypeLongint);
    AddType("LONGWORD", btU32);
    AddType("CARDINAL", btAlias)->AliasOf = TypeAt(kTypeLongword);
    AddType("STRING", btString);
    AddType("PCHAR", btString)->Ext = 1;
    AddType("SINGLE", btSingle);
    AddType("DOUBLE", btDouble);
    AddType("EXTENDED", btExtended);
    AddType("VARIANT", btVariant);
    AddType("TVARIANTARRAY", btArray)->Ext = kTypeVariant;
    AddType("INT64", btS64);
    BooleanType = 1;
    // Scripts reach this procedure only through the predefined Assigned (a name no
    // identifier can spell).
    TIFPSRegProc* assigned = AddFunctionFromDecl("function Assigned(I: Longint): Boolean;");
    assigned->Name = "!ASSIGNED";
    assigned->NameHash = MakeHash(assigned->Name);
}

// OnUses: false stops without a message, a std::exception becomes error 36 with its text.
void TCompilerCore::CallOnUses(const std::string& unitName) {
    bool goOn = false;
    try {
        goOn = Owner.OnUses(Owner, unitName);
    } catch (const TCompileFailure&) {
        throw;
    } catch (const std::exception& e) {
        Error(ceCustomError, e.what());
    }
    if (!goOn) Fail();
}

// Program -> [PROGRAM Ident ";" | UNIT Ident ";"] {USES | PROCEDURE | FUNCTION | LABEL | VAR
//            | CONST | TYPE section} (BEGIN block "." | END "." when allowed | end of text when allowed)
void TCompilerCore::ReadTopLevel() {
    int state = 0; // 0 nothing read, 1 after a header, 2 after any section
    for (;;) {
        switch (Parser.Token) {
        case ttEOF:
            if (!Owner.AllowNoEnd) Error(ceUnexpectedEndOfFile);
            // A scanner error turned the rest of the text into this end: not a success.
            if (ScannerFailed) Fail();
            return;
        case ttProgram:
        case ttUnit:
            if (state != 0 || (Parser.Token == ttUnit && !Owner.AllowUnit)) Error(ceBeginExpected);
            IsUnit = Parser.Token == ttUnit;
            state = 1;
            ReadProgramHeader();
            break;
        case ttUses:
            if (state == 2) Error(ceBeginExpected);
            state = 2;
            ReadUses();
            break;
        case ttProcedure:
        case ttFunction:
            state = 2;
            ReadProcDecl();
            break;
        case ttLabel: {
            state = 2;
            const std::int32_t mainNo = FindMainProc();
            ReadLabelSection(*Lists->Procs[static_cast<std::size_t>(mainNo)].Script,
                             static_cast<std::uint32_t>(mainNo));
            break;
        }
        case ttVar:
            state = 2;
            ReadVarSection(nullptr, 0);
            break;
        case ttConst:
            state = 2;
            ReadConstSection();
            break;
        case ttType:
            state = 2;
            ReadTypeSection();
            break;
        case ttBegin: {
            const std::int32_t mainNo = FindMainProc();
            BeginProc(*Lists->Procs[static_cast<std::size_t>(mainNo)].Script, static_cast<std::uint32_t>(mainNo));
            CompileBlock(bkMain);
            return;
        }
        case ttEnd:
            if (!Owner.AllowNoBegin && !IsUnit) Error(ceBeginExpected);
            Parser.Next();
            // Nothing after the final "." is scanned: trailing text is ignored.
            if (Parser.Token != ttPeriod) Error(cePeriodExpected);
            return;
        default:
            Error(ceBeginExpected);
        }
    }
}

// After PROGRAM or UNIT: a name and ";".
void TCompilerCore::ReadProgramHeader() {
    Parser.Next();
    if (Parser.Token != ttIdentifier) Error(ceIdentifierExpected);
    Parser.Next();
    if (Parser.Token != ttSemicolon) Error(ceSemicolonExpected);
    Parser.Next();
}

void TCompilerCore::CheckForwards() {
    for (const TProcEntry& e : Lists->Procs)
        if (e.IsScript() && e.Script->Forwarded)
            Error(ceUnresolvedForward, e.Script->Name, static_cast<std::uint32_t>(e.Script->DeclarePos));
}

void TCompilerCore::HintUnusedGlobals() {
    for (const auto& v : Lists->Vars)
        if (!v->Used) MakeHint(chVariableNeverUsed, v->Name).Position = static_cast<std::uint32_t>(v->DeclarePos);
}

// ---- Registration ----

TIFPSType* TCompilerCore::AddType(const std::string& name, std::uint8_t baseType) {
    if (!Lists) return nullptr;
    auto type = std::make_unique<TIFPSType>();
    type->Name = FastUpperCase(name);
    type->NameHash = MakeHash(type->Name);
    type->BaseType = baseType;
    return Lists->Types[static_cast<std::size_t>(AppendType(std::move(type)))].get();
}

TIFPSType* TCompilerCore::AddTypeFromDecl(const std::string& name, const std::string& decl) {
    if (!Lists) return nullptr;
    TIfPascalParser scanner;
    scanner.SetText(decl);
    try {
        return TypeAt(ReadType(FastUpperCase(name), scanner));
    } catch (const TCompileFailure&) {
        return nullptr;
    }
}

// Header -> (PROCEDURE | FUNCTION) Ident Signature ...   (whatever follows is ignored)
TIFPSRegProc* TCompilerCore::AddFunctionFromDecl(const std::string& decl) {
    if (!Lists) return nullptr;
    TIfPascalParser p;
    p.SetText(decl);
    if (p.Token != ttProcedure && p.Token != ttFunction) return nullptr;
    const bool isFunction = p.Token == ttFunction;
    p.Next();
    if (p.Token != ttIdentifier) return nullptr;
    auto proc = std::make_unique<TIFPSRegProc>();
    proc->Name = p.TokenText;
    proc->NameHash = MakeHash(proc->Name);
    proc->ExportName = 1;
    p.Next();
    try {
        proc->Decl = FormatDecl(ReadSignature(p, isFunction));
    } catch (const TCompileFailure&) {
        return nullptr;
    }
    Lists->RegProcs.push_back(std::move(proc));
    return Lists->RegProcs.back().get();
}

TIFPSConstant* TCompilerCore::AddConstant(const std::string& name, TTypeNo typesIndex) {
    if (!Lists || !TypeAt(typesIndex)) return nullptr;
    auto c = std::make_unique<TIFPSConstant>();
    c->Name = FastUpperCase(name);
    c->NameHash = MakeHash(c->Name);
    c->Value.VType = typesIndex;
    Lists->Constants.push_back(std::move(c));
    return Lists->Constants.back().get();
}

// ---- TScriptCompiler ----

TScriptCompiler::TScriptCompiler() : Core(std::make_unique<TCompilerCore>(*this)) {}
TScriptCompiler::~TScriptCompiler() = default;

bool TScriptCompiler::Compile(const std::string& text) { return Core->Compile(text); }

bool TScriptCompiler::GetOutput(std::string& image) const {
    if (Core->Output.empty()) return false;
    image = Core->Output;
    return true;
}

std::size_t TScriptCompiler::MessageCount() const { return Core->Messages.size(); }

const TIFPSPascalCompilerMessage* TScriptCompiler::GetMessage(std::size_t index) const {
    return index < Core->Messages.size() ? &Core->Messages[index] : nullptr;
}

const std::string& TScriptCompiler::GetDebugOutput() const { return Core->DebugOutput; }
bool TScriptCompiler::IsUnit() const { return Core->IsUnit; }

TIFPSType* TScriptCompiler::AddType(const std::string& name, std::uint8_t baseType) {
    return Core->AddType(name, baseType);
}

TIFPSType* TScriptCompiler::AddTypeFromDecl(const std::string& name, const std::string& decl) {
    return Core->AddTypeFromDecl(name, decl);
}

TIFPSRegProc* TScriptCompiler::AddFunctionFromDecl(const std::string& decl) {
    return Core->AddFunctionFromDecl(decl);
}

TTypeNo TScriptCompiler::FindType(const std::string& name) const {
    return Core->Lists ? Core->FindTypeIndex(FastUpperCase(name)) : kNoType;
}

TIFPSConstant* TScriptCompiler::AddConstant(const std::string& name, TTypeNo type) {
    return Core->AddConstant(name, type);
}

TIFPSType* TScriptCompiler::AddClassType(const std::string& name, std::unique_ptr<TIFPSClassType> object) {
    TIFPSType* type = object ? Core->AddType(name, btClass) : nullptr;
    if (type) type->ClassType = std::move(object);
    return type;
}

std::int32_t TScriptCompiler::FindProc(const std::string& name) {
    return Core->Lists ? Core->FindProc(FastUpperCase(name)) : -1;
}

TTypeNo TScriptCompiler::UseType(TTypeNo typesIndex) {
    return Core->Lists && Core->TypeAt(typesIndex) ? Core->UseType(typesIndex) : kNoType;
}

} // namespace lumivar::script
