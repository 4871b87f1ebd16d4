// The image writer: the export check, then one forward pass that writes the header, the
// type, procedure and variable tables and the code area, back-patching each script
// procedure's code offset and length; and the name lists that close the debug records.
#include "script/compiler/ByteString.h"
#include "script/compiler/ClassType.h"
#include "script/compiler/CompilerCore.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/ImageLayout.h"

namespace lumivar::script {

// A type nests at most kMaxNesting levels deep in a script, and the loader accepts deeper ones:
// every image written here loads.
static_assert(TCompilerCore::kMaxNesting < kMaxTypeDepth);

namespace {

constexpr std::uint8_t kDebugProcNames = 0;
constexpr std::uint8_t kDebugVarNames = 1;
constexpr char kDebugNameEnd = 1;
constexpr char kDebugListEnd = 0;

// Offsets inside a script procedure's record: flags, code offset, code length.
constexpr std::size_t kCodeOffsetField = 1;
constexpr std::size_t kCodeLengthField = 5;

// The image's value kind of a compiler type (class types are resolved by the caller).
std::uint8_t ImageKind(const TIFPSType& t) {
    switch (t.BaseType) {
    case btChar: return vkU8;
    case btString: return t.Ext == 1 ? vkPChar : vkString;
    case btEnum: {
        const std::uint64_t members = static_cast<std::uint64_t>(static_cast<std::uint32_t>(t.Ext)) + 1;
        return members <= 256 ? vkU8 : members <= 65536 ? vkU16 : vkU32;
    }
    case btProcPtr: return vkU32; // procedure numbers at run time
    case btClass: return vkResourcePointer;
    default: return t.BaseType;
    }
}

// A short text: a length byte (the length modulo 256) and that many bytes.
void AppendShortText(std::string& out, const std::string& text) {
    const std::size_t n = text.size() % 256;
    AppendU8(out, static_cast<std::uint8_t>(n));
    out.append(text, 0, n);
}

} // namespace

std::int32_t TCompilerCore::FindMainProc() const {
    const auto& procs = Lists->Procs;
    for (std::size_t i = 0; i < procs.size(); ++i)
        if (procs[i].IsScript() && procs[i].Script->Name == "!MAIN") return static_cast<std::int32_t>(i);
    return -1;
}

// "BOOLEAN @LONGINT !STRING": type names for numbers, "0" for no result, no parameter names.
std::string TCompilerCore::ReadableDecl(const std::string& declText) const {
    const TDecl decl = ParseDecl(declText);
    auto typeName = [&](TTypeNo t) {
        const TIFPSType* type = UsedType(t);
        return type ? type->Name : std::string();
    };
    std::string text = decl.IsFunction() ? typeName(decl.Result) : "0";
    for (const TDeclParam& p : decl.Params) {
        text += ' ';
        text += p.Mode;
        text += typeName(p.Type);
    }
    return text;
}

void TCompilerCore::CheckExports() {
    if (!Owner.OnExportCheck) return;
    for (const TProcEntry& e : Lists->Procs)
        if (e.IsScript() && !Owner.OnExportCheck(Owner, *e.Script, ReadableDecl(e.Script->Decl))) Fail();
}

void TCompilerCore::WriteDebugNames() {
    AppendU8(DebugOutput, kDebugProcNames);
    for (const TProcEntry& e : Lists->Procs) {
        if (!(e.IsScript() && e.Script->Name == "!MAIN")) DebugOutput.append(e.Name());
        DebugOutput.push_back(kDebugNameEnd);
    }
    DebugOutput.push_back(kDebugListEnd);
    AppendU8(DebugOutput, kDebugVarNames);
    for (const auto& v : Lists->Vars) DebugOutput.append(v->Name).push_back(kDebugNameEnd);
    DebugOutput.push_back(kDebugListEnd);
}

// A class type is written as the type its object names, under the class type's own name.
void TCompilerCore::WriteTypeRecord(const TIFPSType& type) {
    const TIFPSType* shown = &type;
    if (type.BaseType == btClass && type.ClassType) {
        if (const TIFPSType* runtime = TypeAt(type.ClassType->RuntimeTypeOf()))
            shown = runtime->BaseType == btAlias && runtime->AliasOf ? runtime->AliasOf : runtime;
    }
    const bool exportName = type.ExportName && !type.Name.empty();
    AppendU8(Output, static_cast<std::uint8_t>(ImageKind(*shown) | (exportName ? kTypeHasExportName : 0)));
    if (shown->BaseType == btArray) AppendU32(Output, static_cast<std::uint32_t>(shown->Ext));
    if (shown->BaseType == btRecord) {
        AppendU32(Output, static_cast<std::uint32_t>(shown->Fields.size()));
        for (const TIFPSRecordType& f : shown->Fields) AppendU32(Output, static_cast<std::uint32_t>(f.FieldType));
    }
    if (exportName) AppendLongText(Output, type.Name);
}

void TCompilerCore::WriteImage() {
    WriteDebugNames();
    const TCompileLists& l = *Lists;
    Output.assign(kImageMagic);
    AppendU32(Output, kImageVersion);
    AppendU32(Output, static_cast<std::uint32_t>(l.UsedTypes.size()));
    AppendU32(Output, static_cast<std::uint32_t>(l.Procs.size()));
    AppendU32(Output, static_cast<std::uint32_t>(l.Vars.size()));
    AppendU32(Output, static_cast<std::uint32_t>(FindMainProc())); // -1 is kNoMainProc
    AppendU32(Output, 0);
    for (const TIFPSType* t : l.UsedTypes) WriteTypeRecord(*t);
    for (const TProcEntry& e : l.Procs) {
        if (e.IsScript()) {
            TIFPSProcedure& p = *e.Script;
            p.OutputPos = static_cast<std::uint32_t>(Output.size());
            AppendU8(Output, p.ExportMode ? kProcHasExtra : 0);
            AppendU32(Output, 0);
            AppendU32(Output, 0);
            if (p.ExportMode) {
                AppendLongText(Output, p.Name);
                AppendLongText(Output, p.ExportMode == 2 ? ExportDeclText(ParseDecl(p.Decl)) : std::string());
            }
        } else if (!e.Import->ExportDecl.empty()) {
            AppendU8(Output, kProcImported | kProcHasExtra);
            AppendShortText(Output, e.Import->ExportName ? e.Import->Name : std::string());
            AppendLongText(Output, e.Import->ExportDecl);
        } else {
            AppendU8(Output, kProcImported);
            AppendShortText(Output, e.Import->Name);
        }
    }
    for (const auto& v : l.Vars) {
        AppendU32(Output, static_cast<std::uint32_t>(v->VarType));
        AppendU8(Output, v->ExportName.empty() ? 0 : 1);
        if (!v->ExportName.empty()) AppendLongText(Output, v->ExportName);
    }
    for (const TProcEntry& e : l.Procs) {
        if (!e.IsScript()) continue;
        const TIFPSProcedure& p = *e.Script;
        PatchU32(Output, p.OutputPos + kCodeOffsetField, static_cast<std::uint32_t>(Output.size()));
        Output += p.Code;
        PatchU32(Output, p.OutputPos + kCodeLengthField, static_cast<std::uint32_t>(p.Code.size()));
    }
}

} // namespace lumivar::script
