// Compiled scripts run on the executor: each row is a script and the values of its global
// variables after the run (in declaration order), so that the emitted calling sequences,
// temporaries, jumps and try blocks are checked against what the executor does with them.
#include "CompileHelpers.h"

#include "script/compiler/ScriptCompiler.h"
#include "script/host/StandardLibrary.h"
#include "script/runtime/Exec.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace lumivar::script::test {
namespace {

std::string ValueText(const TIFValue& v) {
    switch (KindOf(v)) {
    case vkU8: case vkS8: case vkU16: case vkS16: case vkU32: case vkS32: case vkS64:
        return std::to_string(GetInteger(v));
    case vkSingle: case vkDouble: case vkExtended: {
        char text[64];
        std::snprintf(text, sizeof text, "%Lg", GetFloat(v));
        return text;
    }
    case vkString: case vkPChar: return "'" + std::string(GetString(v)) + "'";
    case vkRecord: case vkArray: {
        std::string text = "[";
        for (std::size_t i = 0; i < v.Elements.size(); ++i) text += (i ? "," : "") + ValueText(*v.Elements[i]);
        return text + "]";
    }
    case vkVariant: return v.Payload.Ref ? ValueText(*v.Payload.Ref) : "null";
    case kNoKind: return "null";
    default: return "?";
    }
}

// "globals" after a successful run, "error N" after a runtime error, or the compile messages.
std::string RunScript(const std::string& script) {
    TScriptCompiler compiler;
    UseStandardLibrary(compiler);
    if (!compiler.Compile(script)) return "compile failed: " + MessagesOf(compiler);
    std::string image;
    compiler.GetOutput(image);
    TScriptExec exec;
    RegisterStandardRoutines(exec);
    if (!exec.LoadImage(image)) return "load failed: " + std::to_string(exec.ErrorCode()) + " " + exec.ErrorParam();
    if (!exec.Run()) return "run refused";
    if (exec.ErrorCode() != 0) return "error " + std::to_string(exec.ErrorCode());
    std::string text;
    for (const TIFValue* g : exec.Globals()) text += (text.empty() ? "" : " ") + ValueText(*g);
    return text;
}

struct RunCase {
    const char* Name;
    const char* Script;
    const char* Globals;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.Name; }

const RunCase kRunCases[] = {
    {"Arithmetic", "var A, B, C: Integer; begin A := 7; B := A * 3 - 1; C := (A + B) div 4 mod 3; end.", "7 20 0"},
    {"AssignmentReadingItsDestination", "var X: Integer; begin X := 5; X := X * X + X; end.", "30"},
    {"ByteWraps", "var B: Byte; begin B := 255; B := B + 1; end.", "0"},
    {"RealArithmetic", "var R: Double; I: Integer; begin I := 3; R := I / 2.0; R := -R + 0.25; end.", "-1.25 3"},
    {"ForUpLeavesTheValueBeyond", "var I, S: Integer; begin for I := 1 to 4 do S := S + I; end.", "5 10"},
    {"ForDownto", "var I, S: Integer; begin S := 1; for I := 3 downto 1 do S := S * 10 + I; end.", "0 1321"},
    {"ForEmptyRange", "var I, S: Integer; begin for I := 1 to 0 do S := 99; end.", "1 0"},
    {"WhileWithBreakAndContinue",
     "var I, S: Integer; begin while I < 10 do begin I := I + 1; if I = 3 then continue; if I = 6 then break; S := S + I; end; end.",
     "6 12"},
    {"RepeatUntil", "var I: Integer; begin repeat I := I + 2; until I >= 7; end.", "8"},
    {"LastStatementsBeforeUntilExceptFinallyNeedNoSemicolon",
     "var I, Y: Integer; begin repeat I := I + 2 until I >= 7; try Y := I div (I - I) except Y := 1 end; "
     "try Y := Y + 1 finally Y := Y * 10 end; end.",
     "8 20"},
    {"CaseWithElse",
     "var X, Y, Z: Integer; begin X := 2; case X of 1: Y := 10; 2: Y := 20; else Y := 30; end; "
     "case X + 5 of 1: Z := 1; else Z := 2; end; end.",
     "2 20 2"},
    {"IfElseChains", "var A, B: Integer; begin A := 5; if A > 3 then if A > 4 then B := 2 else B := 1 else B := 0; end.", "5 2"},
    {"BooleanLogic", "var A, B: Boolean; C: Integer; begin A := True; B := not A or (C = 0); if A and B then C := 1; end.",
     "1 1 1"},
    {"ComparisonIntoALocal",
     "var R: Integer; procedure P; var I: Integer; begin I := R < 2; R := I + 1; end; begin P; end.", "2"},
    {"ProceduresWithVarParameters",
     "var X, Y: Integer; procedure Swap(var A, B: Integer); var T: Integer; begin T := A; A := B; B := T; end; "
     "begin X := 1; Y := 2; Swap(X, Y); end.",
     "2 1"},
    {"RecursiveFunction",
     "var F: Integer; function Fact(N: Integer): Integer; begin if N <= 1 then Result := 1 else Result := N * Fact(N - 1); end; "
     "begin F := Fact(6); end.",
     "720"},
    {"FunctionResultIntoAnotherType",
     "var B: Byte; function F(A: Integer): Integer; begin Result := A + 1; end; begin B := F(41); end.", "42"},
    {"StringElements", "var S: String; C: Char; begin S := 'abc'; C := S[2]; S[1] := 'x'; S[3] := C; end.", "'xbb' 98"},
    {"StringRoutines", "var S: String; N: Integer; begin S := Copy('hello', 2, 3); N := Length(S) + Pos('l', S); end.",
     "'ell' 5"},
    {"ArrayConstructorAndIndexes",
     "var A: array of Integer; I, S: Integer; begin A := [4, 5, 6]; for I := 0 to 2 do S := S + A[I]; A[1] := S; end.",
     "[4,15,6] 3 15"},
    {"NegatedElement", "var A: array of Integer; I, X: Integer; begin A := [1, 2, 3]; I := 1; X := -A[I + 1]; end.",
     "[1,2,3] 1 -3"},
    {"NestedRecords",
     "type TI = record A, B: Integer; end; TR = record X: TI; Y: Integer; end; var R: TR; Z: Integer; "
     "begin R.X.A := 1; R.X.B := 2; R.Y := 3; Z := R.X.B * 10 + R.X.A; R.X.B := R.X.B + 5; end.",
     "[[1,7],3] 21"},
    {"ArrayOfRecordsThroughAVarParameter",
     "type TR = record S: String; end; var A: array of TR; N: Integer; procedure Put(var X: String); begin X := 'set'; end; "
     "begin SetArrayLength(A, 2); N := 1; Put(A[N].S); end.",
     "[[''],['set']] 1"},
    {"ProceduralVariable",
     "type TF = function(A: Integer): Integer; var P: TF; X: Integer; function Twice(A: Integer): Integer; "
     "begin Result := A * 2; end; begin P := @Twice; X := P^(21); end.",
     "1 42"},
    {"OrdAndChr", "var C: Char; I: Integer; begin C := Chr(66); I := Ord(C) + 1; if Ord(C) = 66 then I := I * 2; end.",
     "66 134"},
    {"EnumerationsAndHigh", "type T = (A, B, C); var X: T; I: Integer; begin X := High(T); I := Ord(X) + Ord(B); end.",
     "2 3"},
    {"TryExceptCatchesARuntimeError",
     "var X, Y, Z: Integer; begin try X := 1; Y := X div Z; X := 2; except X := 3; end; end.", "3 1 0"},
    {"TryFinallyRuns", "var X: Integer; begin try X := 1; finally X := X + 10; end; end.", "11"},
    {"ExitRunsTheFinallyPart",
     "var X: Integer; procedure P; begin try exit; finally X := 5; end; X := 6; end; begin P; end.", "5"},
    {"Goto", "label L; var X: Integer; begin goto L; X := 1; L: X := X + 2; end.", "2"},
    {"UncaughtRuntimeError", "var X, Z: Integer; begin X := 1 div Z; end.", "error 15"},
    {"ConstantsAndFolding", "const N = 2 + 3 * 4; S = 'a' + 'b'; var X: Integer; T: String; begin X := N; T := S; end.",
     "14 'ab'"},
    {"StringConcatenation", "var S, T: String; begin T := 'b'; S := 'a' + T + #67 + 'd''e'; end.", "'abCd'e' 'b'"},
    {"ForLimitIsEvaluatedAtEveryTest", "var I, N, S: Integer; begin N := 3; for I := 1 to N do begin S := S + 1; N := 5; end; end.",
     "6 5 5"},
    {"StringElementOfAVarParameter",
     "var T: String; procedure Up(var S: String); begin S[1] := 'X'; end; begin T := 'abc'; Up(T); end.", "'Xbc'"},
    {"RecordCopiesAreDeep",
     "type TR = record A: Integer; end; var R, Q: TR; begin R.A := 1; Q := R; R.A := 2; end.", "[2] [1]"},
    {"LocalsOfNestedCalls",
     "var R: Integer; function Add(A, B: Integer): Integer; var T: Integer; begin T := A + B; Result := T; end; "
     "begin R := Add(Add(1, 2), Add(3, 4)); end.",
     "10"},
};

class RunScripts : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunScripts, LeaveTheGlobalsAsExpected) {
    EXPECT_EQ(RunScript(GetParam().Script), GetParam().Globals) << GetParam().Script;
}

INSTANTIATE_TEST_SUITE_P(Scripts, RunScripts, ::testing::ValuesIn(kRunCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumivar::script::test
