// The messages of whole compiles: errors with their codes, parameters and positions (the
// first error ends the compile), and the hints and warnings recorded before it. Each row is
// a script and the outcome "ok"/"failed" with its messages as "POS KIND CODE [PARAM]".
#include "CompileHelpers.h"

#include <gtest/gtest.h>

namespace lumivar::script::test {
namespace {

struct MessageCase {
    const char* Name;
    const char* Script;
    const char* Outcome;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.Name; }

const MessageCase kMessageCases[] = {
    // Driver and top level
    {"EmptyText", "", "failed: 0 1 6"},
    {"EmptyProgram", "begin end.", "ok"},
    {"KeywordsInAnyCase", "BeGiN eNd.", "ok"},
    {"ProgramHeader", "program P; begin end.", "ok"},
    {"ProgramHeaderWithoutSemicolon", "program P begin end.", "failed: 10 1 7"},
    {"ProgramWithoutName", "program ; begin end.", "failed: 8 1 1"},
    {"UnitNotAllowed", "unit U; end.", "failed: 0 1 8"},
    {"UsesAfterASection", "var X: Integer; uses A; begin X := 1; end.", "failed: 16 1 8"},
    {"UnexpectedTopLevelToken", "X := 1;", "failed: 0 1 8"},
    {"UnusedGlobalHintAtTheSemicolon", "var X: Integer; begin end.", "ok: 14 2 0 X"},
    {"UnresolvedForward", "procedure P; forward; begin end.", "failed: 10 1 39 P"},
    {"MissingFinalPeriod", "begin end", "failed: 9 1 9"},
    {"TextAfterTheFinalPeriodIsIgnored", "begin end. {unclosed", "ok"},
    {"UnclosedStringAfterTheFinalPeriodIsIgnored", "begin end. 'x", "ok"},
    {"ScannerErrorThenTheReadersError", "var x: String; begin x := #65A; end.", "failed: 26 1 4; 26 1 6"},
    {"UnclosedComment", "var x: Integer; begin x := 1; { end.", "failed: 30 1 2; 30 1 6"},
    {"DuplicateUses", "uses A, A; begin end.", "failed: 8 1 10 A"},
    {"UsesNeedsSemicolon", "uses A begin end.", "failed: 7 1 7"},
    // Declarations
    {"DuplicateRecordField", "type R = record A: Byte; A: Byte; end; begin end.", "failed: 25 1 10 A"},
    {"RecordFieldWithoutSemicolon", "type R = record A: Byte end; begin end.", "failed: 24 1 7"},
    {"EmptyRecord", "type R = record end; begin end.", "failed: 16 1 1"},
    {"EmptyEnumeration", "type E = (); begin end.", "failed: 10 1 1"},
    {"EnumerationNotClosed", "type E = (A; begin end.", "failed: 11 1 13"},
    {"UnknownTypeName", "var X: Foo; begin end.", "failed: 7 1 12 Foo"},
    {"UnknownArrayElementAddsError0", "var X: array of Foo; begin end.", "failed: 16 1 12 Foo; 16 1 0"},
    // Each array level whose element fails adds its own error 0.
    {"NestedArrayElementAddsError0PerLevel", "var X: array of array of Foo; begin end.",
     "failed: 25 1 12 Foo; 25 1 0; 25 1 0"},
    {"ProceduralTypeGroupAfterSemicolon", "type P = procedure(A: Integer;); begin end.", "failed: 30 1 1"},
    {"ProceduralTypeEmptyParentheses", "type P = procedure(); var X: P; begin X := X; end.", "ok"},
    {"ArrayWithoutOf", "var X: array Integer; begin end.", "failed: 13 1 24"},
    {"TypeWithoutEqual", "type T Integer; begin end.", "failed: 7 1 23"},
    {"VarGroupWithEmptyName", "var I, : Integer; begin end.", "failed: 7 1 1"},
    {"VarWithoutColon", "var X Integer; begin end.", "failed: 6 1 11"},
    {"DuplicateVariable", "var X, X: Integer; begin end.", "failed: 7 1 10 X"},
    {"VariableNamedResult", "var Result: Integer; begin end.", "failed: 4 1 10 Result"},
    {"VariableNamedLikeAType", "var Byte: Integer; begin end.", "failed: 4 1 10 Byte"},
    {"EnumerationMemberClashesWithVariable", "var A: Integer; type T = (A, B); begin end.", "failed: 26 1 10 A"},
    {"VariableClashesWithEnumerationMember", "type T = (A, B); var A: Integer; begin end.", "failed: 21 1 10 A"},
    {"ConstParameterIsRefused", "procedure P(const A: Integer); begin end; begin end.", "failed: 12 1 1"},
    {"ExternalWithoutHandler", "procedure Q; external 'lib'; begin end.", "failed: 29 1 36"},
    {"ExternalWithoutText", "procedure Q; external; begin end.", "failed: 21 1 27"},
    {"ParameterNamedLikeAGlobal", "var A: Integer; procedure P(A: Integer); begin end; begin A := 1; end.",
     "failed: 28 1 10 A"},
    {"SecondParameterOfAGroupClashesWithEmptyParam", "procedure P(A, A: Integer); begin end; begin end.",
     "failed: 15 1 10"},
    {"LocalMayShadowAGlobal", "var A: Integer; procedure P; var A: Integer; begin A := 1; end; begin A := 1; end.", "ok"},
    {"DuplicateProcedure", "procedure P; begin end; procedure P; begin end; begin end.", "failed: 34 1 10 P"},
    {"ForwardCompletedLater",
     "function F(A: Integer): Integer; forward; var X: Integer; "
     "function F(A: Integer): Integer; begin Result := A; end; begin X := F(1); end.",
     "ok"},
    {"UnusedLocalHint", "procedure P; var L: Integer; begin end; begin end.", "ok: 27 2 0 L"},
    {"FunctionResultNeverSetHint", "function F: Integer; begin end; begin end.", "ok: 9 2 0 RESULT"},
    {"ProcedureBodyWithoutSemicolon", "procedure P; begin end begin end.", "failed: 23 1 7"},
    {"LabelDeclaredTwice", "label L, L; begin end.", "failed: 9 1 10"},
    {"LabelListNeedsComma", "label L M; begin end.", "failed: 8 1 21"},
    {"ResultInAProcedure", "procedure P; begin Result := 1; end; begin end.", "failed: 19 1 0 Result"},
    // Expressions
    {"UnknownIdentifier", "begin X := 1; end.", "failed: 6 1 0 X"},
    {"NegatedIntegerCalculation", "var I: Integer; begin I := -(I + 1); end.", "failed: 29 1 14"},
    {"NegatedRealCalculation", "var X: Double; begin X := -(X + 1.5); end.", "ok"},
    {"NotThenMinus", "var I: Integer; begin I := not -I; end.", "failed: 31 1 5"},
    {"NotOfAReal", "var X: Double; begin X := not 1.5; end.", "failed: 30 1 14"},
    {"MinusOfAString", "var S: String; begin S := -'a'; end.", "failed: 27 1 14"},
    {"IntegerPlusRealConstantsDoNotFold", "var X: Double; begin X := 1 + 2.5; end.", "failed: 30 1 14"},
    {"RealPlusIntegerConstantsFold", "var X: Double; begin X := 2.5 + 1; end.", "ok"},
    {"StringPlusIntegerIsRefused", "var S: String; I: Integer; begin S := S + I; end.", "failed: 42 1 14"},
    {"CharComparedByOrderIsRefused", "var C, D: Char; B: Boolean; begin B := C < D; end.", "failed: 43 1 14"},
    {"WrongStringElementValue", "var S: String; begin S[1] := 'xy'; end.", "failed: 29 1 14"},
    {"StringIndexMustBeAnInteger", "var S: String; C: Char; begin C := S['a']; end.", "failed: 37 1 14"},
    {"VarArgumentOfAnotherType", "var B: Byte; procedure P(var X: Longint); begin end; begin P(B); end.",
     "failed: 61 1 14"},
    {"VarArgumentOfAnAliasType", "var B: Integer; procedure P(var X: Longint); begin end; begin P(B); end.", "ok"},
    {"VarArgumentMustBeAVariable", "procedure P(var X: Longint); begin end; begin P(1); end.", "failed: 48 1 1"},
    {"MissingOpenRound", "procedure P(X: Longint); begin end; begin P; end.", "failed: 43 1 20"},
    {"MissingComma", "procedure P(X, Y: Longint); begin end; begin P(1 2); end.", "failed: 49 1 5"},
    {"TooManyArguments", "procedure P(X: Longint); begin end; begin P(1, 2); end.", "failed: 45 1 13"},
    {"UnknownField", "type R = record A: Integer; end; var X: R; begin X.B := 1; end.", "failed: 51 1 0"},
    {"PeriodOnAnInteger", "var I: Integer; begin I.A := 1; end.", "failed: 23 1 7"},
    {"IndexOnAnInteger", "var I: Integer; begin I[1] := 1; end.", "failed: 23 1 7"},
    {"UnclosedIndex", "var A: array of Integer; begin A[1; end.", "failed: 34 1 25"},
    {"ProcedureUsedAsAValue", "var X: Integer; procedure P; begin end; begin X := P; end.", "failed: 51 1 14"},
    {"NilWithoutAClassType", "var S: String; begin S := nil; end.", "failed: 26 1 14"},
    {"ConstantIsNoVariable", "const C = 1; begin C := 2; end.", "failed: 19 1 26"},
    {"TypeNameAsAStatement", "var X: Integer; begin Integer(X); end.", "failed: 22 1 14"},
    {"NestedArrayConstructor", "var A: array of Integer; begin A := [[1]]; end.", "failed: 36 1 1"},
    {"ProcedureReferenceOfAnotherSignature",
     "type TP = procedure(A: Integer); var P: TP; procedure Q(var A: Integer); begin end; begin P := @Q; end.",
     "failed: 95 1 14"},
    {"LowOfANonEnumeration", "var I: Integer; begin I := Low(I); end.", "failed: 32 1 14"},
    {"OrdOfAnInteger", "var I: Integer; begin I := Ord(I); end.", "failed: 31 1 14"},
    {"ChrOfAString", "var C: Char; begin C := Chr('a'); end.", "failed: 28 1 14"},
    {"AssignedOfAnInteger", "var B: Boolean; I: Integer; begin B := Assigned(I); end.", "failed: 48 1 14"},
    {"StatementStartingWithAProcedureVariableCallOfAnInteger", "var I: Integer; begin I^; end.", "failed: 23 1 14"},
    {"ComparisonIntoAGlobalNonBoolean", "var I, A, C: Integer; begin I := A < C; end.", "failed: 28 1 14"},
    {"SyntaxErrorAfterAnOperand", "var I: Integer; begin I := 1 2; end.", "failed: 29 1 5"},
    {"EndOfTextInAnExpression", "var I: Integer; begin I := 1 +", "failed: 30 1 6"},
    {"DivisionByZeroWhileFolding", "var I: Integer; begin I := 1 div 0; end.", "failed: 33 1 37"},
    {"TrueAndWarnings", "var X: Boolean; begin X := True and X; X := X or True; X := X xor True; end.",
     "ok: 27 0 1 \"True and\"; 49 0 0 True"},
    // Statements
    {"EmptyThenPart", "var A: Boolean; B: Integer; begin if A then; B := 1; end.", "ok"},
    {"TwoValuesInACaseBranch", "var X: Integer; begin case X of 1, 2: X := 0; end; end.", "failed: 33 1 11"},
    {"GotoOutOfAWhileBody", "label L; var X: Integer; begin while X < 1 do goto L; L: X := 1; end.", "failed: 52 1 31"},
    {"GotoIntoAWhileBody", "label L; var X: Integer; begin goto L; while X < 1 do begin L: X := 1; end; end.",
     "failed: 74 1 31"},
    {"GotoInsideOneBody", "label L; var X: Integer; begin while X < 1 do begin goto L; L: X := 1; end; end.", "ok"},
    {"LabelNeverPlaced", "label L; begin end.", "failed: 18 1 29 L"},
    {"GotoUnknownLabel", "begin goto L; end.", "failed: 11 1 0 L"},
    {"BreakOutsideALoop", "begin break; end.", "failed: 6 1 30"},
    {"BreakInACaseInALoop", "var X: Integer; begin while X < 1 do case X of 1: break; end; end.", "ok"},
    {"ElseWithoutIf", "begin else end.", "failed: 6 1 1"},
    {"UntilWithoutRepeat", "begin until end.", "failed: 6 1 1"},
    {"ExceptWithoutTry", "begin except end.", "failed: 6 1 28"},
    {"RepeatClosedByEnd", "begin repeat end.", "failed: 13 1 1"},
    {"TryClosedByEnd", "begin try end.", "failed: 10 1 1"},
    {"ThenExpected", "var B: Boolean; begin if B; end.", "failed: 26 1 17"},
    {"DoExpected", "var B: Boolean; begin while B; end.", "failed: 29 1 18"},
    {"ToExpected", "var I: Integer; begin for I := 1; end.", "failed: 32 1 22"},
    {"OfExpected", "var I: Integer; begin case I; end.", "failed: 28 1 24"},
    {"SecondExceptPart", "var I: Integer; begin try I := 1; except I := 2; except end; end.", "failed: 49 1 28"},
    {"AssignmentExpected", "var I: Integer; begin I = 1; end.", "failed: 24 1 16"},
    // The FOR variable's type is refused at the token after the variable (the ":=").
    {"ForVariableMustBeSmallInteger", "var I: Int64; begin for I := 1 to 2 do; end.", "failed: 26 1 14"},
    {"ForVariableOfAnEnumeration", "var B: Boolean; begin for B := False to True do; end.", "failed: 28 1 14"},
    {"CaseElseNeedsEnd", "var I: Integer; begin case I of 1: I := 2; else I := 3; I := 4; end; end.", "failed: 56 1 28"},
};

class CompileMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(CompileMessages, AreRecordedInOrder) {
    EXPECT_EQ(CompileOutcome(GetParam().Script), GetParam().Outcome) << GetParam().Script;
}

INSTANTIATE_TEST_SUITE_P(Scripts, CompileMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumivar::script::test
