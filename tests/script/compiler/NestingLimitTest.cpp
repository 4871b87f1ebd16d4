// The nesting limit at N and N+1: parentheses, operators of one expression, nested blocks and
// nested types each reach kMaxNesting and one more fails with internal error "0001D" (never
// a crash). Texts at the limit also go through code generation and the image, and the image
// loads into the executor.
#include "CompileHelpers.h"

#include "script/compiler/CompilerCore.h"
#include "script/runtime/Exec.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumivar::script::test {
namespace {

constexpr int kLimit = static_cast<int>(TCompilerCore::kMaxNesting);

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct NestingCase {
    const char* Name;
    // The text with n nested levels of its construct.
    std::function<std::string(int)> Text;
    // Levels the rest of the text opens around the construct.
    int Around;
};

void PrintTo(const NestingCase& c, std::ostream* os) { *os << c.Name; }

const NestingCase kNestingCases[] = {
    // The main block and the expression are open around the parentheses.
    {"Parentheses", [](int n) { return "var X: Integer; begin X := " + Repeat("(", n) + "1" + Repeat(")", n) + "; end."; }, 2},
    {"OperatorsOfOneExpression",
     [](int n) { return "var X, A: Integer; begin X := A" + Repeat(" + A", n) + "; end."; }, 2},
    {"NestedBlocks", [](int n) { return "begin " + Repeat("begin ", n) + Repeat("end; ", n) + "end."; }, 1},
    {"NestedIfs", [](int n) { return "var X: Integer; begin " + Repeat("if X = 1 then ", n) + "X := 2; end."; }, 2},
    {"NestedArrayTypes", [](int n) { return "var X: " + Repeat("array of ", n) + "Integer; begin end."; }, 1},
    {"ConstantParentheses", [](int n) { return "const C = " + Repeat("(", n) + "1" + Repeat(")", n) + "; begin end."; }, 1},
    {"NestedCalls",
     [](int n) {
         return "function F(A: Integer): Integer; begin Result := A; end; var X: Integer; begin X := " + Repeat("F(", n) +
                "1" + Repeat(")", n) + "; end.";
     },
     2},
};

class NestingLimit : public ::testing::TestWithParam<NestingCase> {};

TEST_P(NestingLimit, HoldsAtTheLimitAndFailsOneBeyond) {
    const NestingCase& c = GetParam();
    const int n = kLimit - c.Around;
    TScriptCompiler compiler;
    EXPECT_TRUE(compiler.Compile(c.Text(n))) << MessagesOf(compiler);
    EXPECT_TRUE(ImageOf(compiler));
    // Whatever the compiler accepts, the executor loads.
    std::string image;
    ASSERT_TRUE(compiler.GetOutput(image));
    TScriptExec exec;
    EXPECT_TRUE(exec.LoadImage(image)) << int(exec.ErrorCode());
    EXPECT_FALSE(compiler.Compile(c.Text(n + 1)));
    ASSERT_GT(compiler.MessageCount(), 0u);
    EXPECT_EQ(MessagesOf(compiler).substr(MessagesOf(compiler).find(' ') + 1, 10), "1 15 0001D") << MessagesOf(compiler);
}

INSTANTIATE_TEST_SUITE_P(Constructs, NestingLimit, ::testing::ValuesIn(kNestingCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(NestingLimit, FarBeyondTheLimitIsStillAnError) {
    TScriptCompiler compiler;
    EXPECT_FALSE(compiler.Compile("var X: Integer; begin X := " + Repeat("(", 200000) + "1; end."));
    EXPECT_FALSE(compiler.Compile("begin " + Repeat("while True do ", 200000) + "; end."));
    EXPECT_EQ(compiler.MessageCount(), 1u);
}

TEST(NestingLimit, RegisteredTypeTextsFailSilently) {
    TScriptCompiler compiler;
    bool refused = false;
    compiler.OnUses = [&](TScriptCompiler& c, const std::string&) {
        refused = c.AddTypeFromDecl("Deep", Repeat("array of ", 5000) + "Byte") == nullptr;
        // Nothing of the refused text stays open: a deep but allowed text is still accepted.
        refused = refused && c.AddTypeFromDecl("Fine", Repeat("array of ", kLimit - 1) + "Byte") != nullptr;
        return true;
    };
    EXPECT_TRUE(compiler.Compile("begin end."));
    EXPECT_TRUE(refused);
    EXPECT_EQ(compiler.MessageCount(), 0u);
}

} // namespace
} // namespace lumivar::script::test
