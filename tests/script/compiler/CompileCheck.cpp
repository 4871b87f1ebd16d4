// CheckCompile: one text through the compiler (with and without the standard routines), and
// a successful image through the listing and the executor's loader and a bounded run.
#include "CompileCheck.h"

#include "CompileHelpers.h"

#include "script/compiler/Messages.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/host/StandardLibrary.h"
#include "script/runtime/Exec.h"

namespace lumivar::script::test {
namespace {

// An executor that ends a run after a fixed number of instructions, so that a generated
// endless loop cannot hang the check.
class TBoundedExec : public TScriptExec {
protected:
    void StepHook() override {
        if (++Steps > kMaxSteps) Stop(TExecError::CustomText);
    }

private:
    static constexpr int kMaxSteps = 20000;
    int Steps = 0;
};

std::string CheckImage(const std::string& image) {
    const auto listed = ReadImage(image);
    if (!listed) return "the image cannot be read";
    for (std::size_t p = 0; p < listed->Procs.size(); ++p) {
        if (listed->Procs[p].Flags & 1) continue;
        const std::string code = ListCode(*listed, p);
        if (code.find(" ?\n") != std::string::npos) return "undecodable code in procedure " + std::to_string(p);
    }
    TBoundedExec exec;
    RegisterStandardRoutines(exec);
    if (!exec.LoadImage(image)) return "the executor refuses the image: " + std::to_string(exec.ErrorCode());
    exec.Run();
    return {};
}

std::string CheckOne(std::string_view text, bool withLibrary) {
    TScriptCompiler compiler;
    if (withLibrary) UseStandardLibrary(compiler);
    const bool ok = compiler.Compile(std::string(text));
    std::string image;
    const bool haveImage = compiler.GetOutput(image);
    const std::size_t n = compiler.MessageCount();
    bool anyError = false;
    for (std::size_t i = 0; i < n; ++i) {
        const TIFPSPascalCompilerMessage& m = *compiler.GetMessage(i);
        anyError |= m.Kind == mkError;
        // Temporaries have no names: a hint without one is a temporary left behind.
        if (m.Kind == mkHint && m.Param.empty()) return "a hint names no variable: " + MessagesOf(compiler);
    }
    if (!ok) {
        if (haveImage) return "a failed compile left an image";
        if (n == 0 || compiler.GetMessage(n - 1)->Kind != mkError) return "a failed compile does not end with an error";
        return {};
    }
    if (!haveImage) return "a successful compile has no image";
    if (anyError) return "a successful compile recorded an error: " + MessagesOf(compiler);
    return CheckImage(image);
}

} // namespace

std::string CheckCompile(std::string_view text) {
    for (const bool withLibrary : {false, true})
        if (std::string problem = CheckOne(text, withLibrary); !problem.empty()) return problem;
    return {};
}

} // namespace lumivar::script::test
