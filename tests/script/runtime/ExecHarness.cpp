// Executor test support: assemble, load, run, collect.
#include "ExecHarness.h"

#include "script/host/StandardLibrary.h"
#include "script/runtime/Disassembler.h"
#include "script/runtime/ImageAssembler.h"
#include "script/runtime/ValueText.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace lumivar::script::testing {

void RegisterTestRoutines(TScriptExec& exec) {
    RegisterStandardRoutines(exec);
    exec.RegisterProc(
        "FAIL",
        [](TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList&) { return false; },
        std::string(1, '\0'));
    exec.RegisterProc(
        "THROW",
        [](TScriptExec&, const TIFProcEntry&, TIFValueList&, TIFValueList&) -> bool {
            throw std::runtime_error("routine failed");
        },
        std::string(1, '\0'));
    exec.RegisterProc(
        "PUSHER",
        [](TScriptExec& e, const TIFProcEntry&, TIFValueList&, TIFValueList& stack) {
            stack.push_back(CreateValue(e.Pool(), &e.Types()[0]));
            return true;
        },
        std::string(1, '\0'));
}

std::string Assemble(std::string_view body) {
    const std::string text = std::string(kPrelude) + std::string(body);
    const TAssembly a = AssembleImage(text);
    if (!a) ADD_FAILURE() << "assembly error on line " << a.Line << ": " << a.Error << "\n" << text;
    return a.Image;
}

TOutcome RunImage(TScriptExec& exec, std::string_view image) {
    TOutcome out;
    out.Listing = DisassembleImage(image).Text;
    out.Loaded = exec.LoadImage(image);
    if (out.Loaded) out.RunResult = exec.Run();
    out.Code = exec.ErrorCode();
    out.Proc = std::int32_t(exec.ErrorProc());
    out.Position = std::int32_t(exec.ErrorPosition());
    out.Param = exec.ErrorParam();
    for (const TIFValue* g : exec.Globals())
        out.Globals.push_back(ValueText(*g));
    return out;
}

TOutcome RunBody(std::string_view body) {
    TScriptExec exec;
    RegisterTestRoutines(exec);
    return RunImage(exec, Assemble(body));
}

} // namespace lumivar::script::testing
