// The executor's states and hooks: StepHook and FinishHook, Stop, the stack limit at N and N+1,
// a procedure called from outside (Suspended), repeated runs, and registration.
#include "ExecHarness.h"

#include <gtest/gtest.h>

namespace lumivar::script::testing {
namespace {

// Counts hook calls; stops the run after `stopAfter` steps when set.
class CountingExec : public TScriptExec {
public:
    int Steps = 0;
    int Finishes = 0;
    int StopAfter = -1;

protected:
    void StepHook() override {
        if (++Steps == StopAfter) Stop(TExecError::CustomText, "cancelled");
    }
    void FinishHook() override { ++Finishes; }
};

TEST(StepHook, RunsOnceAtTheStartAndAfterEveryCompletedInstruction) {
    CountingExec exec;
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(var T5
proc
  ocAssign G0, T5:1
  ocCalc 0, G0, T5:1
  ocReturn)")));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.Steps, 4);
    EXPECT_EQ(exec.Finishes, 0); // not enabled
    exec.SetFinishHookEnabled(true);
    exec.Steps = 0;
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.Steps, 4);
    EXPECT_EQ(exec.Finishes, 1);
    EXPECT_EQ(GetInteger(*exec.Globals()[0]), 2); // globals keep their values between runs
}

TEST(StepHook, AFailedInstructionSkipsTheHook) {
    CountingExec exec;
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(var T5
proc
  ocTryBegin none, @except, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@except:
  ocTryEnd 2
@end:
  ocReturn)")));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 0);
    EXPECT_EQ(exec.Steps, 4); // start, ocTryBegin, ocTryEnd 2, ocReturn; not the failed ocCalc
}

TEST(Stop, EndsAnEndlessLoopWhateverTryBlocksAreActive) {
    CountingExec exec;
    exec.StopAfter = 1000;
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(var T5
proc
  ocTryBegin none, @loop, none, @loop
@loop:
  ocCalc 0, G0, T5:1
  ocJump @loop)")));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 23);
    EXPECT_EQ(exec.ErrorParam(), "cancelled");
    EXPECT_EQ(exec.State(), TExecState::Ready);
    EXPECT_TRUE(exec.Stack().empty());
}

const char* const kEndlessRecursion = R"(proc
  ocCall P1
  ocReturn
proc
  ocPushType T5
  ocCall P1
  ocReturn)";

TEST(StackLimit, RecursionPastTheLimitReportsOutOfMemory) {
    for (std::size_t limit : {std::size_t(1000), std::size_t(1001)}) {
        TScriptExec exec;
        exec.SetStackLimit(limit);
        ASSERT_TRUE(exec.LoadImage(Assemble(kEndlessRecursion)));
        ASSERT_TRUE(exec.Run());
        EXPECT_EQ(exec.ErrorCode(), 19);
        EXPECT_EQ(exec.ErrorProc(), 1u);
        // Every level holds a return address and a local: the limit is reached by the push
        // that would be value number limit + 1.
        EXPECT_EQ(exec.ErrorPosition(), limit % 2 == 0 ? 10u : 5u) << limit;
        EXPECT_EQ(exec.Pool().LiveCount(), 0u);
    }
}

TEST(StackLimit, TheDefaultLimitStopsARunawayRecursion) {
    TScriptExec exec;
    ASSERT_TRUE(exec.LoadImage(Assemble(kEndlessRecursion)));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 19);
    EXPECT_EQ(exec.Pool().LiveCount(), 0u);
}

// Every constant makes a new text; kept in the elements of an array they add up until the
// pool's text limit stops the run.
TEST(TextLimit, DistinctTextsPastTheLimitReportOutOfMemory) {
    TScriptExec exec;
    RegisterTestRoutines(exec);
    exec.Pool().SetTextLimit(1000);
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(type Array T9 ; T18
var T18
var T5
var T0
proc
  ocPushType T5
  ocAssign S+1, T5:1000
  ocPushRef G0
  ocCall P1
  ocPop
  ocPop
@loop:
  ocAssign G0[G1], T9:'0123456789'
  ocCalc 0, G1, T5:1
  ocCompare 3, G2, G1, T5:1000
  ocJumpTrue @loop, G2
  ocReturn
import 'SETARRAYLENGTH')")));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 19);
    EXPECT_EQ(GetInteger(*exec.Globals()[1]), 100);
    EXPECT_EQ(exec.Pool().TextBytes(), 1000u);
    EXPECT_FALSE(exec.LoadImage(""));
    EXPECT_EQ(exec.Pool().TextBytes(), 0u);
}

TEST(RunProcedure, ACallFromOutsideEndsSuspendedWithTheResultOnTheStack) {
    TScriptExec exec;
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(var T5
proc
  ocReturn
proc
  ocAssign S-1, S-2
  ocCalc 2, S-1, T5:3
  ocReturn)")));
    const TIFTypeRec& s32 = exec.Types()[5];
    TIFValue* argument = CreateValue(exec.Pool(), &s32);
    SetInteger(*argument, 14);
    exec.Stack().push_back(argument);
    exec.Stack().push_back(CreateValue(exec.Pool(), &s32)); // the result slot
    ASSERT_TRUE(exec.RunProcedure(1));
    EXPECT_EQ(exec.State(), TExecState::Suspended);
    ASSERT_EQ(exec.Stack().size(), 2u);
    EXPECT_EQ(GetInteger(*exec.Stack().back()), 42);
    EXPECT_FALSE(exec.Run()); // nothing to resume
    exec.ReleaseStack();
    EXPECT_EQ(exec.State(), TExecState::Ready);
    EXPECT_TRUE(exec.Run());
    EXPECT_FALSE(exec.RunProcedure(7));
    EXPECT_EQ(exec.Pool().LiveCount(), 1u); // the global
}

TEST(RunProcedure, AnErrorEndsTheCallReady) {
    TScriptExec exec;
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(proc
  ocReturn
proc
  ocPop
  ocPop
  ocReturn)")));
    ASSERT_TRUE(exec.RunProcedure(1));
    EXPECT_EQ(exec.ErrorCode(), 11);
    EXPECT_EQ(exec.State(), TExecState::Ready);
    EXPECT_TRUE(exec.Stack().empty());
}

TEST(Run, RefusesToStartWhileRunningOrUnloaded) {
    TScriptExec exec;
    EXPECT_FALSE(exec.Run());
    bool innerRun = true;
    exec.RegisterProc(
        "REENTER",
        [&innerRun](TScriptExec& e, const TIFProcEntry&, TIFValueList&, TIFValueList&) {
            innerRun = e.Run() || e.LoadImage("");
            return true;
        },
        std::string(1, '\0'));
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(proc
  ocTryBegin none, none, none, none
  ocCall P1
  ocTryEnd 4
import 'REENTER')")));
    ASSERT_TRUE(exec.Run());
    EXPECT_FALSE(innerRun);
    EXPECT_EQ(exec.ErrorCode(), 6); // the outer run went on with its try frame intact
}

TEST(Registration, KeepsTheFirstOfTwoAndCutsNamesTo255) {
    TScriptExec exec;
    EXPECT_TRUE(exec.RegisterProc("X", {}, "first"));
    EXPECT_FALSE(exec.RegisterProc("X", {}, "second"));
    EXPECT_TRUE(exec.RegisterProc("x", {}, "lower"));
    EXPECT_EQ(exec.FindRegisteredProc("X")->Declaration, "first");
    const std::string longName(300, 'N');
    EXPECT_TRUE(exec.RegisterProc(longName, {}, ""));
    EXPECT_EQ(exec.FindRegisteredProc(std::string(255, 'N'))->Name.size(), 255u);
    EXPECT_EQ(exec.FindRegisteredProc("X")->NameHash, 88u);
}

TEST(Registration, AnImportWithoutHandlerFailsItsCalls) {
    TScriptExec exec;
    exec.RegisterProc("EMPTY", {}, "");
    ASSERT_TRUE(exec.LoadImage(Assemble(R"(proc
  ocCall P1
  ocReturn
import 'EMPTY')")));
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 17);
}

} // namespace
} // namespace lumivar::script::testing
