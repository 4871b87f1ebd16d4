// lumivar-script exec IMAGE [--dump]: loads an image into an executor with the standard
// routines and runs it. Output: "load CODE PARAM" for a refused load (exit 3); after the run
// "error CODE PROC POS PARAM" when an error ended it (exit 2), then with --dump one line
// "G<i> = <value>" per global variable in the canonical value text.
#include "Commands.h"
#include "ImageFile.h"

#include "script/host/StandardLibrary.h"
#include "script/runtime/Cp1251.h"
#include "script/runtime/Exec.h"
#include "script/runtime/ValueText.h"

#include <cstdio>
#include <string>

namespace lumivar::script::cli {
namespace {

// An error parameter on one output line: code page 1251 shown as UTF-8, control characters
// as "?" so that the line stays one line.
std::string ParamText(const std::string& param) {
    std::string text = Cp1251ToUtf8(param);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = '?';
    return text.empty() ? text : " " + text;
}

} // namespace

int RunExec(const Args& args) {
    std::string path;
    bool dump = false, wrong = false;
    for (const std::string& a : args) {
        if (a == "--dump")
            dump = true;
        else if (path.empty() && !a.starts_with("-"))
            path = a;
        else
            wrong = true;
    }
    if (wrong || path.empty()) {
        std::fputs("usage: lumivar-script exec IMAGE [--dump]\n", stderr);
        return kExitUsage;
    }
    const auto image = ReadFileBytes(path);
    if (!image) {
        std::fprintf(stderr, "lumivar-script: cannot read %s\n", path.c_str());
        return kExitUsage;
    }
    TScriptExec exec;
    RegisterStandardRoutines(exec);
    if (!exec.LoadImage(*image)) {
        std::printf("load %d%s\n", exec.ErrorCode(), ParamText(exec.ErrorParam()).c_str());
        return kExitLoadRefused;
    }
    exec.Run();
    const bool failed = exec.ErrorCode() != 0;
    if (failed)
        std::printf("error %d %d %d%s\n", exec.ErrorCode(),
                    static_cast<int>(std::int32_t(exec.ErrorProc())),
                    static_cast<int>(std::int32_t(exec.ErrorPosition())),
                    ParamText(exec.ErrorParam()).c_str());
    if (dump)
        for (std::size_t i = 0; i < exec.Globals().size(); ++i)
            std::printf("G%zu = %s\n", i, ValueText(*exec.Globals()[i]).c_str());
    return failed ? kExitRunError : kExitOk;
}

} // namespace lumivar::script::cli
