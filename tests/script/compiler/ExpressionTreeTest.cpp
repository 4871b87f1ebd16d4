// Expression trees before code generation: precedence, folding, prefixes, literals, selector
// paths, built-in functions and calls. Each row declares variables and parses one expression;
// the tree is printed compactly (G/L/P addresses as in the listings, #type:value constants).
#include "CoreFixture.h"

#include "script/compiler/ConstValues.h"
#include "script/compiler/ExprNode.h"

#include <gtest/gtest.h>

namespace lumivar::script::test {
namespace {

const char* const kOperatorText[] = {"+", "-", "*", "/", "mod", "shl", "shr", "and", "or", "xor",
                                     ">=", "<=", ">", "<", "<>", "="};

std::string Address(std::uint32_t a) {
    if (a < 0x40000000) return "G" + std::to_string(a);
    if (a >= 0x60000000) return "L" + std::to_string(a - 0x60000000);
    return "P" + std::to_string(0x60000000 - a);
}

std::string Tree(TCompilerCore& core, const TExprNode& n) {
    std::string prefix;
    if (n.Flags & nfNot) prefix += "not ";
    if (n.Flags & nfNegate) prefix += "-";
    switch (n.Kind) {
    case nkVariable:
    case nkVarRef: {
        std::string text = (n.Kind == nkVarRef ? "&" : "") + Address(n.Address);
        for (const TSelector& s : n.Path)
            text += s.Kind == pkField ? "." + std::to_string(s.Value)
                    : s.Kind == pkConstIndex ? "[" + std::to_string(s.Value) + "]"
                                             : "[" + Tree(core, *s.Index) + "]";
        return prefix + text;
    }
    case nkConstant: {
        const std::uint8_t kind = core.KindOf(n.Value.VType);
        std::string value;
        if (kind == btString) {
            value = "'" + n.Value.Data + "'";
        } else if (kind == btEnum) {
            value = std::to_string(ReadRawInteger(n.Value.Data, 4, false));
        } else if (IntegerKindWidth(kind)) {
            value = std::to_string(ReadRawInteger(n.Value.Data, IntegerKindWidth(kind), IsSignedIntegerKind(kind)));
        } else {
            for (const unsigned char c : n.Value.Data) value += std::to_string(c) + ".";
        }
        return prefix + "#" + std::to_string(n.Value.VType) + ":" + value;
    }
    case nkCall: {
        std::string text = prefix + "call" + std::to_string(n.ProcNo) + "(";
        for (std::size_t i = 0; i < n.Args.size(); ++i) text += (i ? ", " : "") + Tree(core, *n.Args[i].Node);
        return text + ")";
    }
    case nkCalc:
        return prefix + "(" + Tree(core, *n.Left) + " " + kOperatorText[n.Op] + " " + Tree(core, *n.Right) + "):" +
               std::to_string(n.ResultType);
    case nkCast: return prefix + "cast" + std::to_string(n.ResultType) + "(" + Tree(core, *n.Inner) + ")";
    case nkArrayCtor: {
        std::string text = "[";
        for (std::size_t i = 0; i < n.Elements.size(); ++i) text += (i ? ", " : "") + Tree(core, *n.Elements[i]);
        return text + "]";
    }
    case nkProcRef: return "@" + std::to_string(n.ProcNo);
    case nkNil: return "nil";
    default: return "?";
    }
}

struct TreeCase {
    const char* Name;
    const char* Declarations; // a VAR/TYPE text read before the expression
    const char* Expression;
    const char* Tree;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.Name; }

// Declarations used by most rows: A, B, C LONGINT (type 0), X, Y, Z BOOLEAN (type 1). The
// standard routine StrGet is registered.
constexpr const char* kVars = "var A, B, C: Integer; X, Y, Z: Boolean;";

const TreeCase kTreeCases[] = {
    {"MultiplicationBindsTighter", kVars, "A + B * C", "(G0 + (G1 * G2):0):0"},
    {"ConstantsFold", kVars, "2 + 3 * 4", "#0:14"},
    {"ComparisonBindsLoosest", kVars, "A < B + 1", "(G0 < (G1 + #0:1):0):1"},
    {"ComparisonsAssociateLeft", kVars, "X = Y = Z", "((G3 = G4):1 = G5):1"},
    {"AndBindsLikeMultiplication", kVars, "X and Y = Z", "((G3 and G4):1 = G5):1"},
    {"NegatedVariable", kVars, "-A", "-G0"},
    {"NegativeConstantFolds", kVars, "-5", "#0:-5"},
    {"DoubleNotCancels", kVars, "not (not X)", "G3"},
    {"NotOfAComparison", kVars, "not (A > B)", "not (G0 > G1):1"},
    {"DoubledQuote", kVars, "'ab''cd'", "#2:'ab'cd'"},
    {"CharacterCodesJoin", kVars, "'a'#66'c'", "#2:'aBc'"},
    {"CharacterCodesAlone", kVars, "#65#66", "#2:'AB'"},
    {"LiteralAbove2To31IsANegativeLongint", kVars, "3000000000", "#0:-1294967296"},
    {"LiteralFrom2To32IsAnInt64", kVars, "4294967296", "#2:4294967296"},
    {"HexLiteral", kVars, "$FF", "#0:255"},
    {"DivAndSlashAreOneOperator", kVars, "A div B / C", "((G0 / G1):0 / G2):0"},
    {"SelectorsAreKeptApart",
     "type TI = record B: array of record C: Integer; end; end; TR = record Q: Byte; A: TI; end; var R: TR; I: Integer;",
     "R.A.B[I].C", "G0.1.0[G1].0"},
    {"ConstantIndex", "var S: array of Integer;", "S[2]", "G0[2]"},
    {"StringElementIsACall", "var S: String; I: Integer;", "S[I + 1]", "call1(&G0, (G1 + #1:1):1)"},
    {"NotAssigned", "var S: String;", "not Assigned(S)", "not call1(G0)"},
    {"LowAndHighOfAnEnumeration", "type T = (P, Q, R);", "High(T)", "#0:2"},
    {"LowOfAVariable", "type T = (P, Q, R); var V: T;", "Low(V)", "#0:0"},
    {"OrdOfACharacterConstant", "var I: Integer;", "Ord('A')", "cast3(#2:65.)"},
    {"ChrOfAnInteger", "var I: Integer;", "Chr(I + 1)", "cast1((G0 + #0:1):0)"},
    {"ArrayConstructor", kVars, "[A, 1, B + C]", "[G0, #0:1, (G1 + G2):0]"},
    {"NilLiteral", kVars, "nil", "nil"},
    {"CastToAType", kVars, "Byte(A)", "cast2(G0)"},
    {"EnumerationConstantIsTyped", "type T = (P, Q, R); var V: T;", "V = Q", "(G0 = #0:1):1"},
};

class ExpressionTree : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ExpressionTree, IsBuiltAsExpected) {
    CoreFixture f;
    std::string tree;
    const bool ok = f.Run([&](TCompilerCore& core) {
        core.AddFunctionFromDecl("function StrGet(var S: String; I: Longint): Char;");
        core.Parser.SetText(GetParam().Declarations);
        while (core.Parser.Token == ttVar || core.Parser.Token == ttType) {
            if (core.Parser.Token == ttVar)
                core.ReadVarSection(nullptr, 0);
            else
                core.ReadTypeSection();
        }
        core.BeginProc(core.NewProc("!MAIN"), static_cast<std::uint32_t>(core.Lists->Procs.size() - 1));
        core.Parser.SetText(std::string(GetParam().Expression) + ";");
        const TNodePtr node = core.ParseExpression(ttSemicolon);
        tree = Tree(core, *node);
    });
    ASSERT_TRUE(ok) << f.Core.Messages.size();
    EXPECT_EQ(tree, GetParam().Tree) << GetParam().Expression;
}

INSTANTIATE_TEST_SUITE_P(Expressions, ExpressionTree, ::testing::ValuesIn(kTreeCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ExpressionTree, OrdOfALargeEnumerationIsAWord) {
    std::string decl = "type E = (";
    for (int i = 0; i < 300; ++i) decl += (i ? ", M" : "M") + std::to_string(i);
    decl += "); var V: E;";
    CoreFixture f;
    std::uint8_t kind = 0;
    ASSERT_TRUE(f.Run([&](TCompilerCore& core) {
        core.Parser.SetText(decl);
        core.ReadTypeSection();
        core.ReadVarSection(nullptr, 0);
        core.BeginProc(core.NewProc("!MAIN"), 0);
        core.Parser.SetText("Ord(V);");
        kind = core.KindOf(core.TypeOfNode(*core.ParseExpression(ttSemicolon)));
    }));
    EXPECT_EQ(kind, btU16);
}

} // namespace
} // namespace lumivar::script::test
