// The bounded executor of fuzz runs.
#include "ExecFuzz.h"

#include "ExecHarness.h"

#include "script/runtime/Disassembler.h"

#include <chrono>

namespace lumivar::script::testing {
namespace {

// Bounds of one candidate run: an image may loop forever or build large values; these keep
// each candidate short without hiding faults in what it does reach.
constexpr int kMaxSteps = 20000;
constexpr std::size_t kMaxStack = 10000;
constexpr std::size_t kMaxValues = 100000;
constexpr auto kMaxTime = std::chrono::milliseconds(200);

class TBoundedExec : public TScriptExec {
public:
    TBoundedExec() : Start_(std::chrono::steady_clock::now()) {
        SetStackLimit(kMaxStack);
        Pool().SetValueLimit(kMaxValues);
    }

protected:
    void StepHook() override {
        ++Steps_;
        if (Steps_ >= kMaxSteps ||
            (Steps_ % 256 == 0 && std::chrono::steady_clock::now() - Start_ > kMaxTime))
            Stop(TExecError::CustomText, "fuzz budget");
    }

private:
    int Steps_ = 0;
    std::chrono::steady_clock::time_point Start_;
};

} // namespace

void RunCandidate(std::string_view image) {
    (void)DisassembleImage(image);
    TBoundedExec exec;
    RegisterTestRoutines(exec);
    if (!exec.LoadImage(image)) return;
    exec.Run();
    exec.Run(); // a second run starts again on the globals the first one left
}

} // namespace lumivar::script::testing
