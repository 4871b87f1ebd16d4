// The compiler tests' shared helpers.
#include "CompileHelpers.h"

#include "script/compiler/Messages.h"
#include "script/host/StandardLibrary.h"

namespace lumivar::script::test {

void UseTestLibrary(TScriptCompiler& compiler) {
    compiler.OnUses = [](TScriptCompiler& c, const std::string& unit) {
        if (unit == "SYSTEM") {
            c.AddFunctionFromDecl("function StrGet(var S: String; I: Longint): Char;");
            c.AddFunctionFromDecl("procedure StrSet(C: Char; I: Longint; var S: String);");
            c.AddFunctionFromDecl("procedure SetArrayLength(var Arr: TVariantArray; Len: Longint);");
        }
        return true;
    };
}

void UseStandardLibrary(TScriptCompiler& compiler) {
    compiler.OnUses = [](TScriptCompiler& c, const std::string& unit) {
        if (unit == "SYSTEM")
            for (const TStandardRoutine& r : StandardRoutines())
                if (r.ScriptVisible()) c.AddFunctionFromDecl(std::string(r.Declaration));
        return true;
    };
}

std::string MessagesOf(const TScriptCompiler& compiler) {
    std::string text;
    for (std::size_t i = 0; i < compiler.MessageCount(); ++i) {
        const TIFPSPascalCompilerMessage& m = *compiler.GetMessage(i);
        if (!text.empty()) text += "; ";
        text += std::to_string(m.Position) + " " + std::to_string(m.Kind) + " " + std::to_string(m.Code);
        if (!m.Param.empty()) text += " " + m.Param;
    }
    return text;
}

std::optional<TListedImage> ImageOf(const TScriptCompiler& compiler) {
    std::string bytes;
    if (!compiler.GetOutput(bytes)) return std::nullopt;
    return ReadImage(bytes);
}

std::string OutcomeOf(const TScriptCompiler& compiler, bool ok) {
    const std::string messages = MessagesOf(compiler);
    return std::string(ok ? "ok" : "failed") + (messages.empty() ? "" : ": " + messages);
}

std::string CompileOutcome(const std::string& script) {
    TScriptCompiler compiler;
    UseTestLibrary(compiler);
    const bool ok = compiler.Compile(script);
    return OutcomeOf(compiler, ok);
}

std::string CompileAndList(const std::string& script, std::size_t procNo) {
    TScriptCompiler compiler;
    UseTestLibrary(compiler);
    if (!compiler.Compile(script)) return "failed: " + MessagesOf(compiler);
    const auto image = ImageOf(compiler);
    if (!image) return "unreadable image";
    return ListCode(*image, procNo);
}

} // namespace lumivar::script::test
