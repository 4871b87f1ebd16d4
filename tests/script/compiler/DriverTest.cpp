// The compiler's front door: host registration from OnUses, the callbacks, the flags, and
// the outcome operations (GetOutput, MessageCount, GetMessage).
#include "CompileHelpers.h"

#include "script/compiler/CompilerModel.h"
#include "script/compiler/Messages.h"
#include "script/compiler/ScriptCompiler.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace lumivar::script::test {
namespace {

TEST(Registration, FunctionFromDeclaration) {
    TScriptCompiler compiler;
    std::string twice;
    bool unknownRefused = false;
    compiler.OnUses = [&](TScriptCompiler& c, const std::string&) {
        const TIFPSRegProc* p = c.AddFunctionFromDecl("function Twice(A: Longint): Longint;");
        if (p) twice = p->Name + " " + p->Decl;
        unknownRefused = c.AddFunctionFromDecl("procedure Q(var S: UnknownType);") == nullptr;
        return true;
    };
    ASSERT_TRUE(compiler.Compile("begin end."));
    EXPECT_EQ(twice, "TWICE 6 @A 6");
    EXPECT_TRUE(unknownRefused);
    EXPECT_EQ(compiler.MessageCount(), 0u);
}

// Declarations AddFunctionFromDecl accepts, with the declaration string they register.
TEST(Registration, HeaderGrammar) {
    const std::pair<const char*, const char*> cases[] = {
        {"procedure P;", "P -1"},
        {"PROCEDURE p()", "P -1"},
        {"procedure P(const A, B: Byte; var C: Integer);", "P -1 @A 0 @B 0 !C 7"},
        {"function F: String", "F 10"},
        {"function F(A: TVariantArray): Variant;", "F 15 @A 16"},
        {"function F(A: Byte)", ""},
        {"procedure P(A Byte);", ""},
        {"procedure P(A: Byte; B: Byte", ""},
        {"procedure P(A: Byte;)", ""},
        {"var X: Integer;", ""},
        {"procedure 1;", ""},
    };
    for (const auto& [decl, expected] : cases) {
        TScriptCompiler compiler;
        std::string got;
        compiler.OnUses = [&](TScriptCompiler& c, const std::string&) {
            if (const TIFPSRegProc* p = c.AddFunctionFromDecl(decl)) got = p->Name + " " + p->Decl;
            return true;
        };
        ASSERT_TRUE(compiler.Compile("begin end."));
        EXPECT_EQ(got, expected) << decl;
    }
}

TEST(Registration, OnlyWhileCompiling) {
    TScriptCompiler compiler;
    EXPECT_EQ(compiler.AddType("T", 1), nullptr);
    EXPECT_EQ(compiler.AddTypeFromDecl("T", "Integer"), nullptr);
    EXPECT_EQ(compiler.AddFunctionFromDecl("procedure P;"), nullptr);
    EXPECT_EQ(compiler.FindType("BYTE"), -1);
    EXPECT_EQ(compiler.AddConstant("C", 0), nullptr);
    EXPECT_EQ(compiler.FindProc("P"), -1);
    EXPECT_EQ(compiler.UseType(0), -1);
}

TEST(Registration, TypesAndConstantsOfTheHost) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) {
        EXPECT_EQ(c.FindType("integer"), 7);
        EXPECT_EQ(c.FindType("TVariantArray"), 16);
        EXPECT_EQ(c.AddConstant("Nothing", -1), nullptr);
        EXPECT_EQ(c.AddTypeFromDecl("Bad", "array Byte"), nullptr);
        const TIFPSType* list = c.AddTypeFromDecl("TList", "array of Integer");
        EXPECT_TRUE(list && list->Name == "TLIST" && list->BaseType == btArray);
        TIFPSConstant* answer = c.AddConstant("Answer", c.FindType("LONGINT"));
        answer->Value.Data = std::string("\x2A\0\0\0", 4);
        return true;
    };
    ASSERT_TRUE(compiler.Compile("var L: TList; begin L := [Answer]; end."));
    EXPECT_EQ(compiler.MessageCount(), 0u);
}

// A procedural type that the host adds by kind alone has no signature: calls through it take
// no arguments and give no result.
TEST(Registration, ProceduralTypeWithoutSignature) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) {
        c.AddType("TBare", btProcPtr);
        return true;
    };
    EXPECT_TRUE(compiler.Compile("var P: TBare; begin P^; P^(); end.")) << MessagesOf(compiler);
    EXPECT_FALSE(compiler.Compile("var P: TBare; begin P^(1); end."));
    EXPECT_EQ(MessagesOf(compiler), "23 1 13");
    EXPECT_FALSE(compiler.Compile("var P: TBare; I: Integer; begin I := P^; end."));
    EXPECT_EQ(MessagesOf(compiler), "37 1 14");
}

TEST(Registration, UncalledRegisteredProcedureDoesNotClash) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) {
        c.AddFunctionFromDecl("procedure P;");
        return true;
    };
    EXPECT_TRUE(compiler.Compile("var P: Integer; begin P := 1; end.")) << MessagesOf(compiler);
    EXPECT_FALSE(compiler.Compile("procedure Q; begin P; end; var P: Integer; begin end."));
    EXPECT_EQ(MessagesOf(compiler), "31 1 10 P");
}

TEST(OnUses, CalledForSystemAndEveryUnit) {
    TScriptCompiler compiler;
    std::vector<std::string> units;
    compiler.OnUses = [&](TScriptCompiler&, const std::string& unit) {
        units.push_back(unit);
        return true;
    };
    ASSERT_TRUE(compiler.Compile("uses Forms, System; begin end."));
    EXPECT_EQ(units, (std::vector<std::string>{"SYSTEM", "FORMS", "SYSTEM"}));
}

TEST(OnUses, FalseStopsWithoutAMessage) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler&, const std::string& unit) { return unit != "BAD"; };
    EXPECT_FALSE(compiler.Compile("uses Bad; begin end."));
    EXPECT_EQ(compiler.MessageCount(), 0u);
}

TEST(OnUses, ExceptionBecomesError36WithItsText) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler&, const std::string& unit) -> bool {
        if (unit == "SYSTEM") return true;
        throw std::runtime_error("no unit " + unit);
    };
    EXPECT_FALSE(compiler.Compile("uses Bad; begin end."));
    EXPECT_EQ(MessagesOf(compiler), "5 1 36 no unit BAD");
    EXPECT_EQ(MessageToText(*compiler.GetMessage(0)), "[Error] : no unit BAD");
}

TEST(OnUses, OtherExceptionsPassThroughAndLeaveTheCompilerUsable) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) -> bool {
        c.AddType("T", 1);
        throw 42;
    };
    EXPECT_THROW(compiler.Compile("begin end."), int);
    compiler.OnUses = nullptr;
    EXPECT_EQ(compiler.AddType("T", 1), nullptr); // no compile under way any more
    EXPECT_TRUE(compiler.Compile("begin end."));
}

TEST(OnUses, ACompileFromInsideACompileIsRefused) {
    TScriptCompiler compiler;
    bool inner = true;
    compiler.OnUses = [&](TScriptCompiler& c, const std::string&) {
        inner = c.Compile("begin end.");
        return true;
    };
    EXPECT_TRUE(compiler.Compile("var X: Integer; begin X := 1; end."));
    EXPECT_FALSE(inner);
    EXPECT_EQ(compiler.MessageCount(), 0u);
}

TEST(Outcome, GetOutputAndMessages) {
    TScriptCompiler compiler;
    std::string image = "unchanged";
    EXPECT_FALSE(compiler.GetOutput(image));
    ASSERT_TRUE(compiler.Compile("var X: Integer; begin end."));
    EXPECT_TRUE(compiler.GetOutput(image));
    EXPECT_EQ(image.substr(0, 4), "IFPS");
    ASSERT_EQ(compiler.MessageCount(), 1u);
    EXPECT_EQ(compiler.GetMessage(0)->Kind, mkHint);
    EXPECT_EQ(compiler.GetMessage(1), nullptr);
    EXPECT_FALSE(compiler.Compile("begin X; end."));
    std::string after = "unchanged";
    EXPECT_FALSE(compiler.GetOutput(after));
    EXPECT_EQ(after, "unchanged");
    EXPECT_EQ(MessagesOf(compiler), "6 1 0 X");
}

// The flags: each row is a text, the flags set, and the outcome.
struct FlagCase {
    const char* Text;
    bool NoBegin, NoEnd, Unit;
    const char* Outcome;
    bool IsUnit;
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.Text; }

const FlagCase kFlagCases[] = {
    {"", false, true, false, "ok", false},
    {"var X: Integer;", false, true, false, "ok: 14 2 0 X", false},
    {"var X: Integer; {", false, true, false, "failed: 16 1 2", false},
    {"unit U; end.", false, false, false, "failed: 0 1 8", false},
    {"unit U; end.", false, false, true, "ok", true},
    {"unit U; var X: Integer; end", false, false, true, "failed: 27 1 9", true},
    {"end.", false, false, false, "failed: 0 1 8", false},
    {"end.", true, false, false, "ok", false},
    {"procedure P; begin end; end. garbage {", true, false, false, "ok", false},
    {"program P; unit U; end.", true, false, true, "failed: 11 1 8", false},
};

class Flags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(Flags, DecideTheEndOfTheText) {
    const FlagCase& c = GetParam();
    TScriptCompiler compiler;
    compiler.AllowNoBegin = c.NoBegin;
    compiler.AllowNoEnd = c.NoEnd;
    compiler.AllowUnit = c.Unit;
    const bool ok = compiler.Compile(c.Text);
    EXPECT_EQ(OutcomeOf(compiler, ok), c.Outcome) << c.Text;
    EXPECT_EQ(compiler.IsUnit(), c.IsUnit);
}

INSTANTIATE_TEST_SUITE_P(Texts, Flags, ::testing::ValuesIn(kFlagCases));

TEST(OnExportCheck, SeesEveryScriptProcedureWithItsReadableDeclaration) {
    TScriptCompiler compiler;
    std::vector<std::string> seen;
    compiler.OnExportCheck = [&](TScriptCompiler&, const TIFPSProcedure& p, const std::string& decl) {
        seen.push_back(p.Name + " " + decl);
        return true;
    };
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) {
        c.AddFunctionFromDecl("procedure Native;");
        return true;
    };
    ASSERT_TRUE(compiler.Compile("function F(A: Integer; var S: String): Boolean; begin Result := True; end; "
                                 "procedure P; begin end; begin Native; end."));
    EXPECT_EQ(seen, (std::vector<std::string>{"!MAIN 0", "F BOOLEAN @LONGINT !STRING", "P 0"}));
}

TEST(OnExportCheck, FalseFailsWithoutAMessage) {
    TScriptCompiler compiler;
    compiler.OnExportCheck = [](TScriptCompiler&, const TIFPSProcedure& p, const std::string&) { return p.Name != "P"; };
    EXPECT_FALSE(compiler.Compile("var X: Integer; procedure P; begin end; begin end."));
    EXPECT_EQ(compiler.MessageCount(), 0u); // the export check comes before the hints
}

TEST(OnExternalProc, ResolvesExternalDeclarations) {
    TScriptCompiler compiler;
    std::string asked;
    compiler.OnExternalProc = [&](TScriptCompiler&, const std::string& name, const std::string& decl,
                                  const std::string& text) {
        asked = name + "|" + decl + "|" + text;
        auto reg = std::make_unique<TIFPSRegProc>();
        reg->Name = name;
        reg->Decl = decl;
        reg->ExportName = 1;
        reg->ExportDecl = "dll:" + text;
        return reg;
    };
    ASSERT_TRUE(compiler.Compile("function Beep(A: Integer): Integer; external 'sound.dll'; "
                                 "var X: Integer; begin X := Beep(1); end."))
        << MessagesOf(compiler);
    EXPECT_EQ(asked, "BEEP|0 @A 0|sound.dll");
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Procs[1].Flags, 3);
    EXPECT_EQ(image->Procs[1].Name, "BEEP");
    EXPECT_EQ(image->Procs[1].Decl, "dll:sound.dll");
}

TEST(OnExternalProc, NullIsError36) {
    TScriptCompiler compiler;
    compiler.OnExternalProc = [](TScriptCompiler&, const std::string&, const std::string&, const std::string&) {
        return std::unique_ptr<TIFPSRegProc>();
    };
    EXPECT_FALSE(compiler.Compile("procedure Q; external 'lib'; begin end."));
    EXPECT_EQ(MessagesOf(compiler), "29 1 36");
    EXPECT_EQ(MessageToText(*compiler.GetMessage(0)), "[Error] : ");
}

TEST(OnUseVariable, ToldAtDeclarationsAndUses) {
    TScriptCompiler compiler;
    std::vector<std::tuple<int, unsigned, int, unsigned>> told;
    compiler.OnUseVariable = [&](TScriptCompiler&, std::uint8_t kind, std::uint32_t index, std::int32_t proc,
                                 std::uint32_t pos) { told.emplace_back(kind, index, proc, pos); };
    const char* script = "var G, H: Integer; function F(A, B: Integer): Integer; var L: Integer; "
                         "begin L := A; Result := B; end; begin G := H; end.";
    ASSERT_TRUE(compiler.Compile(script)) << MessagesOf(compiler);
    const std::vector<std::tuple<int, unsigned, int, unsigned>> expected = {
        {0, 0, -1, 4},  {0, 1, -1, 7},  // G, H declared
        {1, 1, 1, 30},  {1, 2, 1, 33},  // A, B: parameters of function 1 count from 1
        {2, 0, 1, 59},                  // L declared
        {2, 0, 1, 77},  {1, 1, 1, 82},  // L := A
        {1, 0, 1, 85},  {1, 2, 1, 95},  // Result := B
        {0, 0, 0, 109}, {0, 1, 0, 114}, // G := H in the main block
    };
    EXPECT_EQ(told, expected);
}

TEST(OnWriteLine, CanLeaveOutPositionRecords) {
    TScriptCompiler compiler;
    std::vector<std::uint32_t> asked;
    compiler.OnWriteLine = [&](TScriptCompiler&, std::uint32_t pos) {
        asked.push_back(pos);
        return pos != 22;
    };
    ASSERT_TRUE(compiler.Compile("var X: Integer; begin X := 1; X := 2; end."));
    EXPECT_EQ(asked, (std::vector<std::uint32_t>{22, 30}));
    // One position record (13 bytes) for the statement at 30, then the name lists.
    const std::string& debug = compiler.GetDebugOutput();
    ASSERT_EQ(debug.size(), 13u + 3u + 4u);
    EXPECT_EQ(debug[0], 4);
    EXPECT_EQ(static_cast<unsigned char>(debug[9]), 30);
}

} // namespace
} // namespace lumivar::script::test
