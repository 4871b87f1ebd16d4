// Golden listings of the code the compiler emits for statements, expressions and calls.
// Each row is a script and the listing of one of its procedures (ImageListing.h: G global,
// L local or temporary above the frame base, P slot below it, #type:value constants).
#include "CompileHelpers.h"

#include <gtest/gtest.h>

namespace lumivar::script::test {
namespace {

struct CodeCase {
    const char* Name;
    const char* Script;
    std::size_t Proc;
    const char* Listing;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << c.Name; }

const CodeCase kCodeCases[] = {
    {"IfElse", "var A, B: Integer; begin if A > 0 then B := 1 else B := 2; end.", 0,
     R"(0 ocPushType 1
5 ocCompare 2, L1, G0, #0:0
26 ocSetFlag L1, 1
33 ocPop
34 ocJumpFlag ->59
39 ocAssign G1, #0:1
54 ocJump ->74
59 ocAssign G1, #0:2
74 ocReturn
)"},
    {"IfExitDoesNotEndThenPart", "var X: Integer; begin if X = 1 then exit; X := 2; end.", 0,
     R"(0 ocPushType 1
5 ocCompare 5, L1, G0, #0:1
26 ocSetFlag L1, 1
33 ocPop
34 ocJumpFlag ->40
39 ocReturn
40 ocAssign G0, #0:2
55 ocReturn
)"},
    {"WhileWithBreakAndContinue",
     "var X: Integer; begin while X < 10 do begin if X = 5 then break; X := X + 1; continue; end; end.", 0,
     R"(0 ocPushType 1
5 ocCompare 3, L1, G0, #0:10
26 ocJumpFalse ->134, L1
36 ocPushType 1
41 ocCompare 5, L2, G0, #0:5
62 ocSetFlag L2, 1
69 ocPop
70 ocJumpFlag ->80
75 ocJump ->134
80 ocPushType 0
85 ocAssign L2, G0
96 ocCalc 0, L2, #0:1
112 ocAssign G0, L2
123 ocPop
124 ocJump ->5
129 ocJump ->5
134 ocPop
135 ocReturn
)"},
    {"WhileFalseIsStillCompiled", "var X: Integer; begin while False do X := 1; end.", 0,
     R"(0 ocPushType 1
5 ocAssign L1, #1:0
17 ocJumpFalse ->47, L1
27 ocAssign G0, #0:1
42 ocJump ->5
47 ocPop
48 ocReturn
)"},
    {"RepeatContinueSkipsTheTest",
     "var X: Integer; begin repeat X := X + 1; if X = 3 then continue; until X > 5; end.", 0,
     R"(0 ocPushType 1
5 ocPushType 0
10 ocAssign L2, G0
21 ocCalc 0, L2, #0:1
37 ocAssign G0, L2
48 ocPop
49 ocPushType 1
54 ocCompare 5, L2, G0, #0:3
75 ocSetFlag L2, 1
82 ocPop
83 ocJumpFlag ->93
88 ocJump ->5
93 ocCompare 2, L1, G0, #0:5
114 ocJumpFalse ->5, L1
124 ocPop
125 ocReturn
)"},
    {"ForDowntoByteStepsWithAByteConstant",
     "var I, J: Byte; begin for I := 10 downto 1 do begin J := I; if J = 2 then break; end; end.", 0,
     R"(0 ocAssign G0, #1:10
15 ocPushType 2
20 ocCompare 0, L1, G0, #1:1
41 ocJumpFalse ->124, L1
51 ocAssign G1, G0
62 ocPushType 2
67 ocCompare 5, L2, G1, #1:2
88 ocSetFlag L2, 1
95 ocPop
96 ocJumpFlag ->106
101 ocJump ->124
106 ocCalc 1, G0, #0:1
119 ocJump ->20
124 ocPop
125 ocReturn
)"},
    {"CaseWithElse", "var X, Y: Integer; begin case X + 1 of 1: Y := 1; 2: begin Y := 2; end; else Y := 0; end; end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, G0
16 ocCalc 0, L1, #0:1
32 ocPushType 1
37 ocCompare 5, L2, #0:1, L1
58 ocJumpFalse ->88, L2
68 ocAssign G1, #0:1
83 ocJump ->154
88 ocCompare 5, L2, #0:2, L1
109 ocJumpFalse ->139, L2
119 ocAssign G1, #0:2
134 ocJump ->154
139 ocAssign G1, #0:0
154 ocPop
155 ocPop
156 ocReturn
)"},
    {"TryVariants",
     "var X: Integer; begin try X := 1; finally X := 2; end; try X := 1; except X := 2; finally X := 3; end; "
     "try X := 1; finally X := 2; except X := 3; end; end.",
     0,
     R"(0 ocTryBegin ->34, -, -, ->51
17 ocAssign G0, #0:1
32 ocTryEnd 0
34 ocAssign G0, #0:2
49 ocTryEnd 1
51 ocTryBegin -, ->85, ->102, ->119
68 ocAssign G0, #0:1
83 ocTryEnd 0
85 ocAssign G0, #0:2
100 ocTryEnd 2
102 ocAssign G0, #0:3
117 ocTryEnd 3
119 ocTryBegin ->153, ->170, -, ->187
136 ocAssign G0, #0:1
151 ocTryEnd 0
153 ocAssign G0, #0:2
168 ocTryEnd 1
170 ocAssign G0, #0:3
185 ocTryEnd 2
187 ocReturn
)"},
    {"TryExcept", "var X: Integer; begin try X := 1; except X := 2; end; end.", 0,
     R"(0 ocTryBegin -, ->34, -, ->51
17 ocAssign G0, #0:1
32 ocTryEnd 0
34 ocAssign G0, #0:2
49 ocTryEnd 2
51 ocReturn
)"},
    {"GotoForward", "label L1; var X: Integer; begin goto L1; X := 1; L1: X := 2; end.", 0,
     R"(0 ocJump ->20
5 ocAssign G0, #0:1
20 ocAssign G0, #0:2
35 ocReturn
)"},
    {"AssignmentThatReadsItsDestinationUsesATemporary", "var X: Integer; begin X := X + 1; end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, G0
16 ocCalc 0, L1, #0:1
32 ocAssign G0, L1
43 ocPop
44 ocReturn
)"},
    {"AssignmentIntoAnotherVariableNeedsNone", "var X, Y: Integer; begin Y := X + 1; end.", 0,
     R"(0 ocAssign G1, G0
11 ocCalc 0, G1, #0:1
27 ocReturn
)"},
    {"IndexThatReadsTheDestinationUsesATemporary", "var A: array of Integer; I: Integer; begin I := 1 + A[I]; end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, #0:1
20 ocCalc 0, L1, G0[G1]
36 ocAssign G1, L1
47 ocPop
48 ocReturn
)"},
    {"Precedence", "var A, B, C, D: Integer; begin D := A + B * C; D := (A + B) * C; end.", 0,
     R"(0 ocAssign G3, G0
11 ocPushType 0
16 ocAssign L1, G1
27 ocCalc 2, L1, G2
39 ocCalc 0, G3, L1
51 ocPop
52 ocAssign G3, G0
63 ocCalc 0, G3, G1
75 ocCalc 2, G3, G2
87 ocReturn
)"},
    {"ComparisonIntoBoolean", "var A, C: Integer; B: Boolean; begin B := A < C; end.", 0,
     R"(0 ocCompare 3, G2, G0, G1
17 ocReturn
)"},
    {"ComparisonIntoALocalRetypesItsSlot", "procedure P; var I, A, C: Integer; begin I := A < C; end; begin end.", 1,
     R"(0 ocPushType 0
5 ocPushType 0
10 ocPushType 0
15 ocPushType 1
20 ocCompare 3, L4, L2, L3
37 ocSetStackType 0, 1
46 ocAssign L1, L4
57 ocPop
58 ocReturn
)"},
    {"BooleanOperandsOfAnd", "var A, B: Integer; X: Boolean; begin X := (A > 1) and (B < 2); end.", 0,
     R"(0 ocCompare 2, G2, G0, #0:1
21 ocPushType 1
26 ocCompare 3, L1, G1, #0:2
47 ocCalc 7, G2, L1
59 ocPop
60 ocReturn
)"},
    {"NotOfAVariableWorksOnACopy", "var B, C: Boolean; begin B := not C; end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, G1
16 ocNot L1
22 ocAssign G0, L1
33 ocPop
34 ocReturn
)"},
    {"NegatedElementGoesThroughAPointer", "var A: array of Integer; X, I: Integer; begin X := -A[I + 1]; end.", 0,
     R"(0 ocPushType 2
5 ocPushType 3
10 ocAssign L2, G2
21 ocCalc 0, L2, #0:1
37 ocSetPointer L1, G0[L2]
52 ocPop
53 ocPushType 0
58 ocAssign L2, L1
69 ocNegate L2
75 ocAssign G1, L2
86 ocPop
87 ocPop
88 ocReturn
)"},
    {"NestedRecordFieldsAreWalkedByTwoPointers",
     "type TI = record A, B: Integer; end; TR = record X: TI; Y: Integer; end; var R: TR; Z: Integer; "
     "begin Z := R.X.B; R.X.A := Z; R.Y := 1; end.",
     0,
     R"(0 ocPushType 3
5 ocPushType 3
10 ocSetPointer L1, G0[0]
25 ocSetPointer L2, L1[1]
40 ocAssign G1, L2
51 ocPop
52 ocPop
53 ocPushType 3
58 ocPushType 3
63 ocSetPointer L1, G0[0]
78 ocSetPointer L2, L1[0]
93 ocAssign L2, G1
104 ocPop
105 ocPop
106 ocAssign G0[1], #0:1
125 ocReturn
)"},
    {"FunctionCallsIntoTheResultTypeAndIntoAnother",
     "var B: Byte; X: Integer; function F(A, C: Integer): Integer; begin Result := A; end; "
     "begin X := F(1, 2); B := F(3, 4); F(5, 6); end.",
     0,
     R"(0 ocPushType 1
5 ocAssign L1, #1:2
20 ocPushType 1
25 ocAssign L2, #1:1
40 ocPushRef G1
46 ocCall 1
51 ocPop
52 ocPop
53 ocPop
54 ocPushType 1
59 ocPushType 1
64 ocAssign L2, #1:4
79 ocPushType 1
84 ocAssign L3, #1:3
99 ocPushRef L1
105 ocCall 1
110 ocPop
111 ocPop
112 ocPop
113 ocAssign G0, L1
124 ocPop
125 ocPushType 1
130 ocPushType 1
135 ocAssign L2, #1:6
150 ocPushType 1
155 ocAssign L3, #1:5
170 ocPushRef L1
176 ocCall 1
181 ocPop
182 ocPop
183 ocPop
184 ocPop
185 ocReturn
)"},
    {"FunctionBodyAddressesResultAndParameters", "function F(A: Integer): Integer; begin Result := A + 1; end; begin end.", 1,
     R"(0 ocAssign P1, P2
11 ocCalc 0, P1, #0:1
27 ocReturn
)"},
    {"VarArgumentsArePushedByReference",
     "var S: String; A: array of Integer; procedure P(var X: String; var Y: TVariantArray; Z: Byte); begin end; "
     "begin P(S, A, 7); end.",
     0,
     R"(0 ocPushType 5
5 ocAssign L1, #1:7
20 ocPushRef G1
26 ocPushRef G0
32 ocCall 1
37 ocPop
38 ocPop
39 ocPop
40 ocReturn
)"},
    {"VarArgumentWithAPathKeepsItsPointerBelowTheArguments",
     "type TR = record S: String; end; var A: array of TR; I: Integer; procedure P(var X: String); begin end; "
     "begin P(A[I].S); end.",
     0,
     R"(0 ocPushType 4
5 ocPushType 4
10 ocPushType 5
15 ocAssign L3, G1
26 ocSetPointer L1, G0[L3]
41 ocPop
42 ocSetPointer L2, L1[0]
57 ocPushRef L2
63 ocCall 1
68 ocPop
69 ocPop
70 ocPop
71 ocReturn
)"},
    {"StringElementReadAndWrite", "var S: String; C: Char; begin C := S[2]; S[1] := 'x'; end.", 0,
     R"(0 ocPushType 2
5 ocAssign L1, #2:2
20 ocPushRef G0
26 ocPushRef G1
32 ocCall 1
37 ocPop
38 ocPop
39 ocPop
40 ocPushRef G0
46 ocPushType 2
51 ocAssign L2, #2:1
66 ocPushType 1
71 ocAssign L3, #1:120
83 ocCall 2
88 ocPop
89 ocPop
90 ocPop
91 ocReturn
)"},
    // An element selected by a variable index is never the same variable as another such
    // element (the index expressions are parsed apart): the negation goes through a copy.
    {"NegatedElementByIndexIntoItself", "var A: array of Integer; I: Integer; begin A[I] := -A[I]; end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, G0[G1]
20 ocNegate L1
26 ocAssign G0[G1], L1
41 ocPop
42 ocReturn
)"},
    {"NegatedElementByConstantIntoItself", "var A: array of Integer; begin A[1] := -A[1]; end.", 0,
     R"(0 ocNegate G0[1]
10 ocReturn
)"},
    // A cast's type is numbered after the types its argument brings (LONGINT 1, BYTE 2).
    {"CastTypeNumberedAfterItsArgument", "var V: Variant; begin V := Byte(300); end.", 0,
     R"(0 ocPushType 2
5 ocAssign L1, #1:300
20 ocAssign G0, L1
31 ocPop
32 ocReturn
)"},
    {"ArrayConstructor", "var A: array of Integer; begin A := [1, 2, 3]; end.", 0,
     R"(0 ocPushType 1
5 ocPushType 0
10 ocAssign L2, #0:3
25 ocPushRef L1
31 ocCall 1
36 ocPop
37 ocPop
38 ocAssign L1[0], #0:1
57 ocAssign L1[1], #0:2
76 ocAssign L1[2], #0:3
95 ocAssign G0, L1
106 ocPop
107 ocReturn
)"},
    {"ProcedureReference",
     "type TP = procedure(A: Integer; var S: String); var P: TP; procedure Q(A: Integer; var S: String); begin end; "
     "begin P := @Q; end.",
     0,
     R"(0 ocAssign G0, #2:1
15 ocReturn
)"},
    {"CallThroughAProceduralVariable",
     "type TF = function(A: Integer): Integer; var P: TF; X: Integer; function G(A: Integer): Integer; "
     "begin Result := A; end; begin P := @G; X := P^(5); end.",
     0,
     R"(0 ocAssign G0, #1:1
15 ocPushType 0
20 ocAssign L1, #0:5
35 ocPushRef G1
41 ocCallVar G0
47 ocPop
48 ocPop
49 ocReturn
)"},
    {"NotAssigned", "var S: String; B: Boolean; begin B := not Assigned(S); end.", 0,
     R"(0 ocPushType 0
5 ocAssign L1, G0
16 ocPushRef G1
22 ocCall 1
27 ocPop
28 ocPop
29 ocNot G1
35 ocReturn
)"},
    {"OrdAndChr", "var C: Char; I: Integer; begin I := Ord(C); C := Chr(I); if Ord(C) = 65 then I := 0; end.", 0,
     R"(0 ocPushType 2
5 ocAssign L1, G0
16 ocAssign G1, L1
27 ocPop
28 ocAssign G0, G1
39 ocPushType 3
44 ocPushType 2
49 ocAssign L2, G0
60 ocCompare 5, L1, L2, #1:65
81 ocPop
82 ocSetFlag L1, 1
89 ocPop
90 ocJumpFlag ->110
95 ocAssign G1, #1:0
110 ocReturn
)"},
    {"RealArithmetic", "var R: Double; I: Integer; begin R := I + 1.5; R := -R; end.", 0,
     R"(0 ocAssign G0, G1
11 ocCalc 0, G0, #2:1.5
33 ocNegate G0
39 ocReturn
)"},
    {"ProcedureLocalsArePushedFirst", "procedure P(A: Integer; var T: String); var L: Integer; begin L := A * 2; T := T + 'x'; end; begin end.", 1,
     R"(0 ocPushType 0
5 ocAssign L1, P1
16 ocCalc 2, L1, #0:2
32 ocPushType 1
37 ocAssign L2, P2
48 ocCalc 0, L2, #1:'x'
65 ocAssign P2, L2
76 ocPop
77 ocReturn
)"},
};

class CodeGen : public ::testing::TestWithParam<CodeCase> {};

TEST_P(CodeGen, EmitsTheListing) {
    EXPECT_EQ(CompileAndList(GetParam().Script, GetParam().Proc), GetParam().Listing) << GetParam().Script;
}

INSTANTIATE_TEST_SUITE_P(Scripts, CodeGen, ::testing::ValuesIn(kCodeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lumivar::script::test
