// Running hand-assembled images: one table of cases, each an image body (after the shared
// prelude of types T0..T17), the expected error fields and the expected text of every global.
#include "ExecHarness.h"

#include "script/runtime/Disassembler.h"
#include "script/runtime/ImageAssembler.h"

#include <gtest/gtest.h>

namespace lumivar::script::testing {
namespace {

struct RunCase {
    const char* name;
    const char* body;
    int code;
    std::int64_t proc; // -1 with code 0: the fields were cleared by the run
    std::int64_t position;
    std::vector<std::string> globals;
};

// clang-format off
const RunCase kCases[] = {
    // --- conversions in ocAssign
    {"AssignS32FromOneCharString", R"(var T5
proc
  ocAssign G0, T5:1
  ocAssign G0, T9:'A'
  ocReturn)", 0, -1, -1, {"65"}},
    {"AssignS32FromTwoCharStringFails", R"(var T5
proc
  ocAssign G0, T9:'AB'
  ocReturn)", 12, 0, 17, {"0"}},
    {"AssignStringFromU8", R"(var T9
proc
  ocAssign G0, T0:65
  ocReturn)", 0, -1, -1, {"'A'"}},
    {"AssignNullVariantGivesZeroAndEmpty", R"(var T5
var T10
var T9
proc
  ocAssign G0, T5:7
  ocAssign G0, G1
  ocAssign G2, T9:'x'
  ocAssign G2, G1
  ocReturn)", 0, -1, -1, {"0", "Null", "''"}},
    {"AssignVariantTakesTheSourceType", R"(var T10
var T10
proc
  ocAssign G0, T7:2.5
  ocAssign G1, G0
  ocAssign G0, T9:'s'
  ocReturn)", 0, -1, -1, {"'s'", "2.5"}},
    {"AssignRoundsToSingle", R"(var T6
var T8
var T11
proc
  ocAssign G0, T7:0.1
  ocAssign G1, T5:-3
  ocAssign G2, T4:4294967295
  ocReturn)", 0, -1, -1, {"0.1", "-3", "4294967295"}},
    {"AssignFloatToIntegerFails", R"(var T5
proc
  ocAssign G0, T7:1
  ocReturn)", 12, 0, 19, {"0"}},
    {"AssignArrayIntoRecordCopiesTheElements", R"(var T13
var T14
proc
  ocPushType T5
  ocAssign S+1, T5:2
  ocPushRef G0
  ocCall P1
  ocPop
  ocPop
  ocAssign G0[0], T5:7
  ocAssign G0[1], T5:8
  ocAssign G1, G0
  ocAssign G0[0], T5:1
  ocReturn
import 'SETARRAYLENGTH')", 0, -1, -1, {"[1, 8]", "(7, 8)"}},
    {"EmptyStringConstant", R"(var T9
proc
  ocAssign G0, T9:'x'
  ocAssign G0, T9:''
  ocReturn)", 0, -1, -1, {"''"}},

    // --- arithmetic and shifts by width and signedness
    {"AddWrapsU8AndS8", R"(var T0
var T1
proc
  ocAssign G0, T0:255
  ocCalc 0, G0, T5:1
  ocAssign G1, T1:127
  ocCalc 0, G1, T5:1
  ocReturn)", 0, -1, -1, {"0", "-128"}},
    {"NegateUnsignedWidths", R"(var T2
var T4
var T7
proc
  ocAssign G0, T2:1
  ocNegate G0
  ocAssign G1, T4:1
  ocNegate G1
  ocAssign G2, T7:2.5
  ocNegate G2
  ocReturn)", 0, -1, -1, {"65535", "4294967295", "-2.5"}},
    {"NegateS64Fails", R"(var T11
proc
  ocNegate G0
  ocReturn)", 12, 0, 6, {"0"}},
    {"NotOnS32", R"(var T5
var T5
proc
  ocAssign G0, T5:5
  ocNot G0
  ocNot G1
  ocReturn)", 0, -1, -1, {"0", "1"}},
    {"ShiftRightBySignedness", R"(var T1
var T5
var T0
proc
  ocAssign G0, T1:-128
  ocCalc 6, G0, T5:1
  ocAssign G1, T5:-1
  ocCalc 6, G1, T5:1
  ocAssign G2, T0:129
  ocCalc 5, G2, T5:1
  ocReturn)", 0, -1, -1, {"-64", "2147483647", "2"}},
    {"IntegerDivisionAndModulo", R"(var T5
var T5
var T4
proc
  ocAssign G0, T5:-7
  ocCalc 3, G0, T5:2
  ocAssign G1, T5:-7
  ocCalc 4, G1, T5:2
  ocAssign G2, T4:4294967295
  ocCalc 3, G2, T5:2
  ocReturn)", 0, -1, -1, {"-3", "-1", "2147483647"}},
    {"ExtendedDivision", R"(var T8
proc
  ocAssign G0, T5:3
  ocCalc 3, G0, T5:2
  ocReturn)", 0, -1, -1, {"1.5"}},
    {"DivideS32ByZero", R"(var T5
proc
  ocCalc 3, G0, T5:0
  ocReturn)", 15, 0, 16, {"0"}},
    {"DivideDoubleByZero", R"(var T7
proc
  ocAssign G0, T5:1
  ocCalc 3, G0, T5:0
  ocReturn)", 15, 0, 31, {"1"}},
    {"ModuloOnDouble", R"(var T7
proc
  ocCalc 4, G0, T5:2
  ocReturn)", 12, 0, 16, {"0"}},
    {"FloatOverflow", R"(var T7
proc
  ocAssign G0, T7:1e308
  ocCalc 2, G0, T7:1e308
  ocReturn)", 16, 0, 39, {"1e+308"}},
    {"ConcatenateU8", R"(var T9
proc
  ocAssign G0, T9:'x'
  ocCalc 0, G0, T0:65
  ocReturn)", 0, -1, -1, {"'xA'"}},
    {"AddDoubleToStringFails", R"(var T9
proc
  ocCalc 0, G0, T7:1
  ocReturn)", 12, 0, 20, {"''"}},
    {"UnknownCalcOperation", R"(var T5
proc
  ocCalc 10, G0, T5:1
  ocReturn)", 6, 0, 16, {"0"}},
    {"CalcIntoConstant", R"(proc
  ocCalc 0, T5:1, T5:1
  ocReturn)", 6, 0, 11, {}},

    // --- comparisons
    {"NullVariantsCompareEqual", R"(var T0
var T10
var T10
proc
  ocCompare 5, G0, G1, G2
  ocReturn)", 0, -1, -1, {"1", "Null", "Null"}},
    {"NullAgainstFive", R"(var T0
var T10
var T0
proc
  ocAssign G0, T0:7
  ocCompare 5, G0, G1, T5:5
  ocCompare 3, G2, G1, T5:5
  ocReturn)", 12, 0, 54, {"0", "Null", "0"}},
    {"StringPrefixIsSmaller", R"(var T0
var T5
proc
  ocCompare 3, G0, T9:'ab', T9:'abc'
  ocCompare 2, G1, T9:'b', T9:'abc'
  ocReturn)", 0, -1, -1, {"1", "1"}},
    {"CompareThroughVariantAndPointer", R"(var T0
var T10
var T12
proc
  ocAssign G1, T5:5
  ocSetPointer G2, G1
  ocCompare 5, G0, G2, T5:5
  ocReturn)", 0, -1, -1, {"1", "5", "^5"}},
    {"UnknownComparison", R"(var T0
proc
  ocCompare 6, G0, T5:1, T5:1
  ocReturn)", 6, 0, 25, {"0"}},

    // --- jumps and the condition flag
    {"JumpByZeroContinues", R"(var T5
proc
  ocJump 0
  ocAssign G0, T5:1
  ocReturn)", 0, -1, -1, {"1"}},
    {"CountingLoopJumpsBack", R"(var T5
var T0
proc
@loop:
  ocCalc 0, G0, T5:1
  ocCompare 3, G1, G0, T5:10
  ocJumpTrue @loop, G1
  ocReturn)", 0, -1, -1, {"10", "0"}},
    {"JumpFalseSkips", R"(var T5
var T0
proc
  ocJumpFalse @skip, G1
  ocAssign G0, T5:1
@skip:
  ocCalc 0, G0, T5:2
  ocReturn)", 0, -1, -1, {"2", "0"}},
    {"FlagModes", R"(var T5
var T0
proc
  ocSetFlag G1, 1
  ocJumpFlag @skip
  ocAssign G0, T5:1
@skip:
  ocSetFlag G1, 0
  ocJumpFlag @end
  ocCalc 0, G0, T5:2
@end:
  ocReturn)", 0, -1, -1, {"2", "0"}},
    {"JumpOutsideTheCodeFailsAtTheNextFetch", R"(proc
  ocJump 100
  ocReturn)", 10, 0, 105, {}},
    {"JumpOnStringCondition", R"(var T9
proc
  ocJumpTrue 0, G0
  ocReturn)", 2, 0, 10, {"''"}},
    {"JumpOnConstantCondition", R"(proc
  ocJumpTrue 0, T5:1
  ocReturn)", 6, 0, 14, {}},
    {"SetFlagWithoutMode", R"(var T5
proc
  ocSetFlag G0, 0
  .bytes 11 00 00 00 00 00)", 10, 0, 13, {"0"}},

    // --- calls, parameters and results
    {"FunctionWithParameterAndResult", R"(var T5
proc
  ocPushType T5
  ocAssign S+1, T5:21
  ocPushRef G0
  ocCall P1
  ocPop
  ocPop
  ocReturn
proc
  ocAssign S-1, S-2
  ocCalc 2, S-1, T5:2
  ocReturn)", 0, -1, -1, {"42"}},
    {"RecursiveFactorial", R"(var T5
proc
  ocPushType T5
  ocAssign S+1, T5:10
  ocPushRef G0
  ocCall P1
  ocPop
  ocPop
  ocReturn
proc
  ocPushType T0
  ocCompare 1, S+1, S-2, T5:1
  ocJumpFalse @recurse, S+1
  ocAssign S-1, T5:1
  ocReturn
@recurse:
  ocPushType T5
  ocPushType T5
  ocAssign S+3, S-2
  ocCalc 1, S+3, T5:1
  ocPushRef S+2
  ocCall P1
  ocPop
  ocAssign S-1, S-2
  ocCalc 2, S-1, S+2
  ocReturn)", 0, -1, -1, {"3628800"}},
    {"VarParameterWritesTheVariable", R"(var T5
proc
  ocPushRef G0
  ocCall P1
  ocPop
  ocReturn
proc
  ocAssign S-1, T5:3
  ocReturn)", 0, -1, -1, {"3"}},
    {"PushCopiesAndPushOfVariantTakesTheInnerValue", R"(var T10
var T5
proc
  ocAssign G0, T5:5
  ocPush G0
  ocCalc 0, S+1, T5:1
  ocAssign G1, S+1
  ocPop
  ocReturn)", 0, -1, -1, {"5", "6"}},
    {"PushOfNullVariant", R"(var T10
proc
  ocPush G0
  ocReturn)", 22, 0, 6, {"Null"}},
    {"CallVarCallsByNumber", R"(var T4
var T5
proc
  ocAssign G0, T4:1
  ocCallVar G0
  ocReturn
proc
  ocAssign G1, T5:5
  ocReturn)", 0, -1, -1, {"1", "5"}},
    {"CallVarOfMainProcedure", R"(var T4
proc
  ocCallVar G0
  ocReturn)", 9, 0, 6, {"0"}},
    {"CallVarOfString", R"(var T9
proc
  ocCallVar G0
  ocReturn)", 12, 0, 6, {"''"}},
    {"CallOutOfRange", R"(proc
  ocCall 9
  ocReturn)", 9, 0, 5, {}},
    {"ImportedRoutineFails", R"(proc
  ocCall P1
  ocReturn
import 'FAIL')", 17, 0, 5, {}},
    {"ImportedRoutineThrows", R"(proc
  ocCall P1
  ocReturn
import 'THROW')", 17, 0, 5, {}},
    {"ImportedRoutineBreaksTheStack", R"(proc
  ocCall P1
  ocReturn
import 'PUSHER')", 17, 0, 5, {}},
    {"StrGetAndStrSet", R"(var T9
var T0
proc
  ocAssign G0, T9:'abc'
  ocPushType T5
  ocAssign S+1, T5:2
  ocPushRef G0
  ocPushRef G1
  ocCall P1
  ocPop
  ocPop
  ocPop
  ocPushRef G0
  ocPushType T5
  ocAssign S+2, T5:1
  ocPushType T0
  ocAssign S+3, T0:88
  ocCall P2
  ocPop
  ocPop
  ocPop
  ocReturn
import 'STRGET'
import 'STRSET')", 0, -1, -1, {"'Xbc'", "98"}},
    {"StrGetPastTheEnd", R"(var T9
var T0
proc
  ocAssign G0, T9:'abc'
  ocPushType T5
  ocAssign S+1, T5:4
  ocPushRef G0
  ocPushRef G1
  ocCall P1
  ocReturn
import 'STRGET')", 17, 0, 55, {"'abc'", "0"}},
    {"ErrorInACalledProcedure", R"(var T5
proc
  ocCall P1
  ocReturn
proc
  ocCalc 3, G0, T5:0
  ocReturn)", 15, 1, 16, {"0"}},

    // --- pointers and elements
    {"SetPointerAndAssignThroughIt", R"(var T12
var T5
proc
  ocSetPointer G0, G1
  ocAssign G0, T5:9
  ocReturn)", 0, -1, -1, {"^9", "9"}},
    {"PointerWithoutTarget", R"(var T12
var T5
proc
  ocAssign G1, G0
  ocReturn)", 21, 0, 11, {"nil", "0"}},
    {"SetPointerOnNonPointer", R"(var T5
proc
  ocSetPointer G0, G0
  ocReturn)", 6, 0, 6, {"0"}},
    {"ElementByVariableIndex", R"(var T14
var T5
proc
  ocAssign G1, T5:1
  ocAssign G0[G1], T9:'x'
  ocAssign G0[0], T5:4
  ocReturn)", 0, -1, -1, {"(4, 'x')", "1"}},
    {"NegativeIndexIsOutOfRange", R"(var T14
var T5
proc
  ocAssign G1, T5:-1
  ocAssign G0[G1], T5:1
  ocReturn)", 18, 0, 25, {"(0, '')", "-1"}},
    {"ElementNumberOutOfRange", R"(var T14
proc
  ocAssign G0[5], T5:1
  ocReturn)", 18, 0, 10, {"(0, '')"}},
    {"ElementOfAScalar", R"(var T5
proc
  ocAssign G0[0], T5:1
  ocReturn)", 2, 0, 10, {"0"}},
    {"IndexVariableOfWrongKind", R"(var T14
var T9
proc
  ocAssign G0[G1], T5:1
  ocReturn)", 12, 0, 10, {"(0, '')", "''"}},

    // --- try blocks
    {"TryExceptCatchesADivision", R"(var T5
var T5
proc
  ocTryBegin none, @except, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@except:
  ocAssign G1, T5:1
  ocTryEnd 2
@end:
  ocAssign G0, T5:7
  ocReturn)", 0, -1, -1, {"7", "1"}},
    {"TryFinallyReportsTheErrorAgain", R"(var T5
var T5
proc
  ocTryBegin @finally, none, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@finally:
  ocAssign G1, T5:1
  ocTryEnd 1
@end:
  ocAssign G0, T5:7
  ocReturn)", 15, 0, 33, {"0", "1"}},
    {"TryFinallyWithoutError", R"(var T5
var T5
proc
  ocTryBegin @finally, none, none, @end
  ocAssign G0, T5:3
  ocTryEnd 0
@finally:
  ocAssign G1, T5:1
  ocTryEnd 1
@end:
  ocCalc 0, G0, T5:7
  ocReturn)", 0, -1, -1, {"10", "1"}},
    {"TryExceptFinally", R"(var T5
var T5
var T5
proc
  ocTryBegin none, @except, @finally2, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@except:
  ocAssign G1, T5:1
  ocTryEnd 2
@finally2:
  ocAssign G2, T5:1
  ocTryEnd 3
@end:
  ocAssign G0, T5:7
  ocReturn)", 0, -1, -1, {"7", "1", "1"}},
    {"TryExceptFinallyWithoutError", R"(var T5
var T5
var T5
proc
  ocTryBegin none, @except, @finally2, @end
  ocAssign G0, T5:3
  ocTryEnd 0
@except:
  ocAssign G1, T5:1
  ocTryEnd 2
@finally2:
  ocAssign G2, T5:1
  ocTryEnd 3
@end:
  ocCalc 0, G0, T5:7
  ocReturn)", 0, -1, -1, {"10", "0", "1"}},
    {"TryFinallyExcept", R"(var T5
var T5
var T5
proc
  ocTryBegin @finally, @except, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@finally:
  ocAssign G1, T5:1
  ocTryEnd 1
@except:
  ocAssign G2, T5:1
  ocTryEnd 2
@end:
  ocAssign G0, T5:7
  ocReturn)", 0, -1, -1, {"7", "1", "1"}},
    {"TryFinallyExceptWithoutError", R"(var T5
var T5
var T5
proc
  ocTryBegin @finally, @except, none, @end
  ocAssign G0, T5:3
  ocTryEnd 0
@finally:
  ocAssign G1, T5:1
  ocTryEnd 1
@except:
  ocAssign G2, T5:1
  ocTryEnd 2
@end:
  ocCalc 0, G0, T5:7
  ocReturn)", 0, -1, -1, {"10", "1", "0"}},
    {"ErrorInACalledProcedureUnwindsToTheCallersHandler", R"(var T5
var T5
var T5
proc
  ocPushType T5
  ocAssign S+1, T5:5
  ocTryBegin none, @except, none, @end
  ocPushType T5
  ocAssign S+2, T5:9
  ocCall P1
  ocTryEnd 0
@except:
  ocAssign G1, T5:1
  ocPushType T5
  ocAssign G2, S+2
  ocTryEnd 2
@end:
  ocAssign G0, S+1
  ocReturn
proc
  ocPushType T5
  ocPushType T5
  ocCalc 3, S+1, T5:0
  ocReturn)", 0, -1, -1, {"5", "1", "0"}},
    {"ReturnRunsTheFinallyBlock", R"(var T5
var T5
var T5
proc
  ocCall P1
  ocAssign G0, T5:7
  ocReturn
proc
  ocTryBegin @finally, none, none, @end
  ocReturn
  ocTryEnd 0
@finally:
  ocAssign G1, T5:1
  ocTryEnd 1
@end:
  ocAssign G2, T5:1
  ocReturn)", 0, -1, -1, {"7", "1", "0"}},
    {"ReturnInsideTryExceptRemovesTheFrame", R"(var T5
proc
  ocCall P1
  ocCalc 3, G0, T5:0
  ocReturn
proc
  ocTryBegin none, @except, none, @end
  ocReturn
  ocTryEnd 0
@except:
  ocAssign G0, T5:1
  ocTryEnd 2
@end:
  ocReturn)", 15, 0, 21, {"0"}},
    {"ReturnFromAnExceptBlockHandlesTheError", R"(var T5
var T5
proc
  ocCall P1
  ocAssign G0, T5:7
  ocReturn
proc
  ocTryBegin none, @except, none, @end
  ocCalc 3, G1, T5:0
  ocTryEnd 0
@except:
  ocAssign G1, T5:1
  ocReturn
  ocTryEnd 2
@end:
  ocReturn)", 0, -1, -1, {"7", "1"}},
    {"ReturnFromAFinallyBlockRunningForAnErrorLetsItGoOn", R"(var T5
var T5
proc
  ocTryBegin none, @except, none, @end
  ocCall P1
  ocTryEnd 0
@except:
  ocAssign G0, T5:1
  ocTryEnd 2
@end:
  ocReturn
proc
  ocTryBegin @finally, none, none, @end
  ocCalc 3, G1, T5:0
  ocTryEnd 0
@finally:
  ocReturn
  ocTryEnd 1
@end:
  ocReturn)", 0, -1, -1, {"1", "0"}},
    {"ErrorInAnExceptBlockGoesToTheOuterFrame", R"(var T5
var T5
proc
  ocTryBegin none, @outer, none, @end
  ocTryBegin none, @inner, none, @innerEnd
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@inner:
  ocCalc 3, G0, T5:0
  ocTryEnd 2
@innerEnd:
  ocTryEnd 0
@outer:
  ocAssign G1, T5:1
  ocTryEnd 2
@end:
  ocReturn)", 0, -1, -1, {"0", "1"}},
    {"TryInAFinallyBlockOfAReturnKeepsTheReturn", R"(var T5
var T5
var T5
proc
  ocCall P1
  ocAssign G2, T5:9
  ocReturn
proc
  ocTryBegin @finally, none, none, @end
  ocReturn
  ocTryEnd 0
@finally:
  ocTryBegin none, @except, none, @innerEnd
  ocTryEnd 0
@except:
  ocTryEnd 2
@innerEnd:
  ocAssign G0, T5:1
  ocTryEnd 1
@end:
  ocAssign G1, T5:1
  ocReturn)", 0, -1, -1, {"1", "0", "9"}},
    {"ErrorHandledInAFinallyBlockOfAReturnKeepsTheReturn", R"(var T5
var T5
var T5
proc
  ocCall P1
  ocAssign G2, T5:9
  ocReturn
proc
  ocTryBegin @finally, none, none, @end
  ocReturn
  ocTryEnd 0
@finally:
  ocTryBegin none, @except, none, @innerEnd
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@except:
  ocTryEnd 2
@innerEnd:
  ocAssign G0, T5:1
  ocTryEnd 1
@end:
  ocAssign G1, T5:1
  ocReturn)", 0, -1, -1, {"1", "0", "9"}},
    {"TryFinallyInAnExceptBlockLeavesTheHandledErrorAlone", R"(var T5
var T5
var T5
proc
  ocTryBegin none, @except, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@except:
  ocTryBegin @finally, none, none, @innerEnd
  ocTryEnd 0
@finally:
  ocAssign G0, T5:1
  ocTryEnd 1
@innerEnd:
  ocAssign G1, T5:1
  ocTryEnd 2
@end:
  ocAssign G2, T5:1
  ocReturn)", 0, -1, -1, {"1", "1", "1"}},
    {"ErrorHandledInAFinallyBlockKeepsTheFinallysOwnError", R"(var T5
var T5
var T5
proc
  ocTryBegin @finally, none, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@finally:
  ocTryBegin none, @except, none, @innerEnd
  ocPop
  ocTryEnd 0
@except:
  ocAssign G0, T5:1
  ocTryEnd 2
@innerEnd:
  ocAssign G1, T5:1
  ocTryEnd 1
@end:
  ocAssign G2, T5:1
  ocReturn)", 15, 0, 33, {"1", "1", "0"}},
    {"ReturnFromAFinallyBlockRunningForAnErrorEntersItsExcept", R"(var T5
var T5
var T5
proc
  ocTryBegin @finally, @except, none, @end
  ocCalc 3, G0, T5:0
  ocTryEnd 0
@finally:
  ocReturn
  ocTryEnd 1
@except:
  ocAssign G1, T5:1
  ocTryEnd 2
@end:
  ocAssign G2, T5:1
  ocReturn)", 0, -1, -1, {"0", "1", "1"}},
    {"TryEndWithoutFrame", R"(proc
  ocTryEnd 0
  ocReturn)", 10, 0, 2, {}},
    {"TryEndOfUnknownKind", R"(proc
  ocTryBegin none, none, none, none
  ocTryEnd 4
  ocReturn)", 6, 0, 19, {}},
    {"TryOffsetOutsideTheCode", R"(proc
  ocTryBegin 100, none, none, none
  ocReturn)", 10, 0, 17, {}},

    // --- stack, types and code errors
    {"UnknownOpcode", R"(proc
  .bytes 15
  ocReturn)", 5, 0, 1, {}},
    {"GlobalOutOfRange", R"(proc
  ocAssign G5, T5:1
  ocReturn)", 8, 0, 6, {}},
    {"TruncatedOperand", R"(proc
  .bytes 00 00)", 10, 0, 2, {}},
    {"RunningOffTheEndOfTheCode", R"(var T5
proc
  ocAssign G0, T5:1)", 10, 0, 15, {"1"}},
    {"PopOfAnEmptyStack", R"(proc
  ocPop
  ocReturn)", 11, 0, 1, {}},
    {"StackSlotOutOfRange", R"(proc
  ocAssign S+1, T5:1
  ocReturn)", 11, 0, 6, {}},
    {"PushTypeOutOfRange", R"(proc
  ocCall P1
  ocReturn
proc
  ocPushType 99
  ocReturn)", 2, 1, 5, {}},
    {"PushTypeWithoutNumber", R"(proc
  .bytes 0B 00)", 2, 0, 1, {}},
    {"SetStackTypeOnTheReturnAddress", R"(proc
  ocCall P1
  ocReturn
proc
  ocSetStackType T5, 0
  ocReturn)", 2, 1, 9, {}},
    {"SetStackTypeRetypesALocal", R"(var T9
proc
  ocPushType T0
  ocSetStackType T9, 1
  ocAssign S+1, T9:'text'
  ocAssign G0, S+1
  ocReturn)", 0, -1, -1, {"'text'"}},
    {"SetStackTypeSlotNumbersWrapAtThirtyTwoBits", R"(var T5
var T9
proc
  ocPushType T5
  ocCall P1
  ocPop
  ocReturn
proc
  ocSetStackType T9, 4294967295
  ocAssign S-1, T9:'x'
  ocAssign G1, S-1
  ocReturn)", 0, -1, -1, {"0", "'x'"}},
    {"SetStackTypeBelowTheStack", R"(proc
  ocSetStackType T5, 0
  ocReturn)", 11, 0, 9, {}},
    {"ConstantOfARecordType", R"(var T14
proc
  ocAssign G0, T14:
  ocReturn)", 2, 0, 11, {"(0, '')"}},
    {"UnknownOperandKind", R"(var T5
proc
  ocAssign G0, K7:0
  ocReturn)", 6, 0, 11, {"0"}},
    {"PushRefOfAConstant", R"(proc
  ocPushRef T5:1
  ocReturn)", 6, 0, 10, {}},
    {"ReturnAfterItsReturnAddressWasPopped", R"(proc
  ocCall P1
  ocReturn
proc
  ocPop
  ocPushType T5
  ocReturn)", 11, 1, 7, {}},
};
// clang-format on

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << c.name;
}

class ExecTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(ExecTest, Runs) {
    const RunCase& c = GetParam();
    const std::string image = Assemble(c.body);
    EXPECT_EQ(AssembleImage(DisassembleImage(image).Text).Image, image)
        << "the listing does not assemble back";
    TScriptExec exec;
    RegisterTestRoutines(exec);
    const TOutcome out = RunImage(exec, image);
    ASSERT_TRUE(out.Loaded) << "load error " << out.Code << " " << out.Param << "\n" << out.Listing;
    EXPECT_TRUE(out.RunResult);
    EXPECT_EQ(out.Code, c.code) << out.Listing;
    EXPECT_EQ(out.Proc, c.proc);
    EXPECT_EQ(out.Position, c.position) << out.Listing;
    EXPECT_EQ(out.Globals, c.globals);
}

INSTANTIATE_TEST_SUITE_P(Table, ExecTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace lumivar::script::testing
