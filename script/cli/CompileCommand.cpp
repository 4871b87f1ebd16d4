// lumivar-script compile [--bare] FILE [-o IMAGE] [--debug DEBUGFILE]: compiles FILE (raw
// bytes), prints every message as "POSITION<TAB>KIND<TAB>CODE<TAB>TEXT" (TEXT in UTF-8),
// and writes the image and the debug records when asked. Without --bare the standard native
// routines are registered from OnUses("SYSTEM"). No compiler flag is set.
#include "Commands.h"
#include "ImageFile.h"

#include "script/compiler/Messages.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/host/StandardLibrary.h"
#include "script/runtime/Cp1251.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

namespace lumivar::script::cli {
namespace {

struct TCompileArgs {
    bool Bare = false;
    std::string Source;
    std::string ImagePath;
    std::string DebugPath;
};

std::optional<TCompileArgs> ParseArgs(const Args& args) {
    TCompileArgs parsed;
    bool haveSource = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--bare") {
            parsed.Bare = true;
        } else if (a == "-o" || a == "--debug") {
            if (i + 1 >= args.size()) return std::nullopt;
            (a == "-o" ? parsed.ImagePath : parsed.DebugPath) = args[++i];
        } else if (a.starts_with('-') || haveSource) {
            return std::nullopt;
        } else {
            parsed.Source = a;
            haveSource = true;
        }
    }
    if (!haveSource) return std::nullopt;
    return parsed;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// Every unit is accepted; "SYSTEM" brings the standard routines.
bool RegisterStandardLibrary(TScriptCompiler& compiler, const std::string& unitName) {
    if (unitName == "SYSTEM")
        for (const TStandardRoutine& r : StandardRoutines())
            if (r.ScriptVisible()) compiler.AddFunctionFromDecl(std::string(r.Declaration));
    return true;
}

} // namespace

int RunCompile(const Args& args) {
    const std::optional<TCompileArgs> parsed = ParseArgs(args);
    if (!parsed) {
        std::fputs("usage: lumivar-script compile [--bare] FILE [-o IMAGE] [--debug DEBUGFILE]\n", stderr);
        return kExitUsage;
    }
    const std::optional<std::string> text = ReadFileBytes(parsed->Source);
    if (!text) {
        std::fprintf(stderr, "lumivar-script: cannot read %s\n", parsed->Source.c_str());
        return kExitCompileFailed;
    }
    TScriptCompiler compiler;
    if (!parsed->Bare) compiler.OnUses = RegisterStandardLibrary;
    const bool ok = compiler.Compile(*text);
    for (std::size_t i = 0; i < compiler.MessageCount(); ++i) {
        const TIFPSPascalCompilerMessage& m = *compiler.GetMessage(i);
        std::printf("%u\t%u\t%u\t%s\n", unsigned(m.Position), unsigned(m.Kind), unsigned(m.Code),
                    Cp1251ToUtf8(MessageToText(m)).c_str());
    }
    if (!ok) return kExitCompileFailed;
    std::string image;
    compiler.GetOutput(image);
    const std::pair<const std::string*, const std::string*> outputs[] = {
        {&parsed->ImagePath, &image},
        {&parsed->DebugPath, &compiler.GetDebugOutput()},
    };
    for (const auto& [path, bytes] : outputs) {
        if (path->empty() || WriteFileBytes(*path, *bytes)) continue;
        std::fprintf(stderr, "lumivar-script: cannot write %s\n", path->c_str());
        return kExitCompileFailed;
    }
    return kExitOk;
}

} // namespace lumivar::script::cli
