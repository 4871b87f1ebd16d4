// Type rules and folding as a whole compile reports them: the messages (position, kind, code,
// parameter) of small scripts whose expressions are folded or typed by those rules.
#include "script/compiler/Messages.h"
#include "script/compiler/ScriptCompiler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace lumivar::script;

namespace {

struct CompileCase {
    const char* name;
    std::string script;
    bool ok;
    std::vector<std::string> messages; // "POS KIND CODE PARAM"
};

void PrintTo(const CompileCase& c, std::ostream* os) { *os << c.name; }

std::vector<std::string> Messages(const TScriptCompiler& c) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < c.MessageCount(); ++i) {
        const TIFPSPascalCompilerMessage* m = c.GetMessage(i);
        out.push_back(std::to_string(m->Position) + ' ' + std::to_string(m->Kind) + ' ' +
                      std::to_string(m->Code) + ' ' + m->Param);
    }
    return out;
}

class FoldingCompile : public testing::TestWithParam<CompileCase> {};

TEST_P(FoldingCompile, Messages) {
    const CompileCase& c = GetParam();
    TScriptCompiler compiler;
    EXPECT_EQ(compiler.Compile(c.script), c.ok);
    EXPECT_EQ(Messages(compiler), c.messages);
}

const CompileCase kCases[] = {
    {"TrueAndVariable",
     "var b: Boolean; begin b := True and b; end.",
     true,
     {"27 0 1 \"True and\""}},
    {"VariableOrTrue", "var b: Boolean; begin b := b or True; end.", true, {"32 0 0 True"}},
    {"FalseAndVariable", "var b: Boolean; begin b := False and b; end.", true, {"27 0 0 False"}},
    {"VariableAndFalse", "var b: Boolean; begin b := b and False; end.", true, {"33 0 0 False"}},
    {"VariableXorTrue", "var b: Boolean; begin b := b xor True; end.", true, {}},
    {"IntegerDivByZero", "var i: Longint; begin i := 1 div 0; end.", false, {"33 1 37 "}},
    {"IntegerPlusReal", "var i: Longint; begin i := 1 + 2.5; end.", false, {"31 1 14 "}},
    {"RealPlusInteger", "var d: Double; begin d := 2.5 + 1; end.", true, {}},
    {"FoldedComparison", "var b: Boolean; begin b := 'abc' = 'abc'; end.", true, {}},
    {"CharLessChar", "var c, d: Char; b: Boolean; begin b := c < d; end.", false, {"43 1 14 "}},
    {"CharEqualsChar", "var c, d: Char; b: Boolean; begin b := c = d; end.", true, {}},
    {"IntegerToReal", "var d: Extended; i: Smallint; begin d := i; end.", true, {}},
    {"RealToInteger", "var d: Double; i: Longint; begin i := d; end.", false, {"38 1 14 "}},
    {"StringPlusByte", "var s: string; x: Byte; begin s := s + x; end.", true, {}},
    {"NegatedInt64Literal", "var i: Int64; begin i := -5000000000; end.", true, {}},
    {"ConstantInCode", "const C = 6 * 7; var i: Longint; begin i := C div 2; end.", true, {}},
};

INSTANTIATE_TEST_SUITE_P(TypeRules, FoldingCompile, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CompileCase>& info) {
                             return info.param.name;
                         });

} // namespace
