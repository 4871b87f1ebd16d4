// Interpreter speed: instructions per second on hand-built images, a counting loop with
// arithmetic, a recursive function and a loop making strings. A plain program that prints its
// figures.
#include "script/runtime/Exec.h"
#include "script/runtime/ImageAssembler.h"

#include <chrono>
#include <cstdio>
#include <string>

using namespace lumivar::script;

namespace {

// Counts the instructions a run completes.
class TCountingExec : public TScriptExec {
public:
    long long Steps = 0;

protected:
    void StepHook() override { ++Steps; }
};

// 5,000,000 rounds of: i := i + 1; x := x + i * 3 mod 7 (through a temporary); i < n.
const char* const kLoop = R"(main P0
type S32
type U8
var T0
var T0
var T1
proc
  ocPushType T0
@loop:
  ocCalc 0, G0, T0:1
  ocAssign S+1, G0
  ocCalc 2, S+1, T0:3
  ocCalc 4, S+1, T0:7
  ocCalc 0, G1, S+1
  ocCompare 3, G2, G0, T0:5000000
  ocJumpTrue @loop, G2
  ocPop
  ocReturn
)";

// fib(27) by the naive recursion, calls with a parameter and a result as the compiler emits them.
const char* const kRecursion = R"(main P0
type S32
type U8
var T0
proc
  ocPushType T0
  ocAssign S+1, T0:27
  ocPushRef G0
  ocCall P1
  ocPop
  ocPop
  ocReturn
proc
  ocPushType T1
  ocCompare 3, S+1, S-2, T0:2
  ocJumpFalse @recurse, S+1
  ocAssign S-1, S-2
  ocReturn
@recurse:
  ocAssign S-1, T0:0
  ocPushType T0
  ocPushType T0
  ocAssign S+3, S-2
  ocCalc 1, S+3, T0:1
  ocPushRef S+2
  ocCall P1
  ocPop
  ocCalc 0, S-1, S+2
  ocCalc 1, S+3, T0:1
  ocPushRef S+2
  ocCall P1
  ocPop
  ocCalc 0, S-1, S+2
  ocReturn
)";

// 2,000,000 rounds of: s := 'text'; s := s + 'more' (a new string each, counted against the
// pool's text limit); i := i + 1; i < n.
const char* const kStrings = R"(main P0
type S32
type U8
type String
var T0
var T2
var T1
proc
@loop:
  ocAssign G1, T2:'text'
  ocCalc 0, G1, T2:'more'
  ocCalc 0, G0, T0:1
  ocCompare 3, G2, G0, T0:2000000
  ocJumpTrue @loop, G2
  ocReturn
)";

void Measure(const char* name, const char* text) {
    const TAssembly image = AssembleImage(text);
    if (!image) {
        std::fprintf(stderr, "%s: %s (line %zu)\n", name, image.Error.c_str(), image.Line);
        return;
    }
    TCountingExec exec;
    if (!exec.LoadImage(image.Image)) {
        std::fprintf(stderr, "%s: load error %d\n", name, exec.ErrorCode());
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    exec.Run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-10s %12lld instructions in %7.3f s: %6.1f million instructions per second "
                "(error %d, G0 = %lld)\n",
                name, exec.Steps, seconds, exec.Steps / seconds / 1e6, exec.ErrorCode(),
                static_cast<long long>(GetInteger(*exec.Globals()[0])));
}

} // namespace

int main() {
    Measure("loop", kLoop);
    Measure("recursion", kRecursion);
    Measure("strings", kStrings);
}
