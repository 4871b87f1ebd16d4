// Golden images and debug records of small scripts, byte for byte, derived by hand from the
// image layout (header, types, procedures, variables, code) and the debug record formats;
// and the writer's mapping of the compiler's own type kinds onto image kinds.
#include "CompileHelpers.h"

#include "script/compiler/ScriptCompiler.h"

#include <gtest/gtest.h>

#include <sstream>

namespace lumivar::script::test {
namespace {

// "49 46 'A' ..." -> bytes: two-digit hex numbers, and 'c' for one character.
std::string Bytes(const char* text) {
    std::string out;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        if (word.size() == 3 && word[0] == '\'') {
            out.push_back(word[1]);
        } else {
            out.push_back(static_cast<char>(std::stoi(word, nullptr, 16)));
        }
    }
    return out;
}

struct ImageCase {
    const char* Name;
    const char* Script;
    const char* Image;
    const char* Debug;
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.Name; }

const ImageCase kImageCases[] = {
    {"EmptyProgram", "begin end.",
     // header: magic, version 17, 0 types, 1 procedure, 0 variables, main 0, reserved
     "'I' 'F' 'P' 'S' 11 00 00 00  00 00 00 00  01 00 00 00  00 00 00 00  00 00 00 00  00 00 00 00 "
     // !MAIN: flags 0, code at 37, 1 byte; code: ocReturn
     "00 25 00 00 00 01 00 00 00  09",
     // procedure names (the main block unnamed), variable names
     "00 01 00  01 00"},
    {"OneAssignment", "var X: Byte; begin X := 1; end.",
     "'I' 'F' 'P' 'S' 11 00 00 00  02 00 00 00  01 00 00 00  01 00 00 00  00 00 00 00  00 00 00 00 "
     // types: BYTE (vkU8), then LONGINT (vkS32) for the literal
     "01 06 "
     "00 2C 00 00 00 10 00 00 00 "
     // X: type 0, no export name
     "00 00 00 00 00 "
     // ocAssign G0, constant of type 1 = 1; ocReturn
     "00 00 00 00 00 00 01 01 00 00 00 01 00 00 00  09",
     // position record: proc 0, code 0, source 19; then the name lists
     "04 00 00 00 00 00 00 00 00 13 00 00 00  00 01 00  01 'X' 01 00"},
    {"ProcedureReferencedByAt",
     "procedure P(A: Integer; var S: String); var L: Byte; begin L := 2; end; "
     "var Q: procedure(A: Integer; var S: String); begin Q := @P; end.",
     "'I' 'F' 'P' 'S' 11 00 00 00  04 00 00 00  02 00 00 00  01 00 00 00  00 00 00 00  00 00 00 00 "
     // types: LONGINT, STRING, BYTE, the procedural type (vkU32)
     "06 0A 01 05 "
     // !MAIN at 72, 16 bytes
     "00 48 00 00 00 10 00 00 00 "
     // P: exported with its declaration "-1 @0 !1", code at 88, 21 bytes
     "02 58 00 00 00 15 00 00 00  01 00 00 00 'P'  08 00 00 00 '-' '1' 20 '@' '0' 20 '!' '1' "
     // Q: type 3
     "03 00 00 00 00 "
     // !MAIN: ocAssign G0, constant of type 3 = 1 (procedure P); ocReturn
     "00 00 00 00 00 00 01 03 00 00 00 01 00 00 00  09 "
     // P: ocPushType 2 (L); ocAssign L1, constant of type 0 = 2; ocReturn
     "0B 02 00 00 00  00 00 01 00 00 60 01 00 00 00 00 02 00 00 00  09",
     // P's parameter and local names, P's statement, the main statement, the name lists
     "02 01 00 00 00 'A' 01 'S' 01 00  03 01 00 00 00 'L' 01 00 "
     "04 01 00 00 00 05 00 00 00 3B 00 00 00  04 00 00 00 00 00 00 00 00 7B 00 00 00 "
     "00 01 'P' 01 00  01 'Q' 01 00"},
};

class GoldenImage : public ::testing::TestWithParam<ImageCase> {};

TEST_P(GoldenImage, MatchesByteForByte) {
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile(GetParam().Script)) << MessagesOf(compiler);
    std::string image;
    ASSERT_TRUE(compiler.GetOutput(image));
    EXPECT_EQ(image, Bytes(GetParam().Image));
    EXPECT_EQ(compiler.GetDebugOutput(), Bytes(GetParam().Debug));
}

INSTANTIATE_TEST_SUITE_P(Scripts, GoldenImage, ::testing::ValuesIn(kImageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

// The kind byte each variable's type is written with.
struct KindCase {
    const char* Name;
    const char* Declarations;
    std::uint8_t Kind;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.Name; }

const KindCase kKindCases[] = {
    {"Char", "var V: Char;", 1},
    {"PChar", "var V: PChar;", 14},
    {"Boolean", "var V: Boolean;", 1},
    {"EnumerationOf300", nullptr, 3},
    {"ProceduralType", "var V: procedure;", 5},
    {"Int64", "var V: Int64;", 17},
    {"Extended", "var V: Extended;", 9},
    {"Variant", "var V: Variant;", 16},
    {"Record", "var V: record A: Byte; end;", 11},
    {"Array", "var V: array of Byte;", 12},
};

// An enumeration with n members: "type E = (M0, M1, ...); var V: E;".
std::string EnumerationDecl(int n) {
    std::string text = "type E = (";
    for (int i = 0; i < n; ++i) text += (i ? ", M" : "M") + std::to_string(i);
    return text + "); var V: E;";
}

class ImageKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(ImageKinds, VariableTypeIsWrittenWithTheImageKind) {
    const std::string decl = GetParam().Declarations ? GetParam().Declarations : EnumerationDecl(300);
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile(decl + " begin end.")) << MessagesOf(compiler);
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Vars.size(), 1u);
    EXPECT_EQ(image->Types.at(image->Vars[0].Type).Kind, GetParam().Kind);
}

INSTANTIATE_TEST_SUITE_P(Types, ImageKinds, ::testing::ValuesIn(kKindCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ImageWriter, ElementAndFieldTypesComeBeforeTheirContainers) {
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile("type E = (A, B); R = record F: array of E; G: Byte; end; var V: R; W: R; begin end."));
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    // E, array of E, BYTE, R; the second variable adds nothing.
    ASSERT_EQ(image->Types.size(), 4u);
    EXPECT_EQ(image->Types[1].Kind, 12);
    EXPECT_EQ(image->Types[1].Element, 0u);
    EXPECT_EQ(image->Types[3].Kind, 11);
    EXPECT_EQ(image->Types[3].Fields, (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(image->Vars[0].Type, 3u);
    EXPECT_EQ(image->Vars[1].Type, 3u);
}

// BOOLEAN reaches the image only through an operation whose result is Boolean.
TEST(ImageWriter, BooleanTypeComesOnlyWithABooleanResult) {
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile("var X: Integer; begin X := X * 2 + 1; end."));
    auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Types.size(), 1u); // LONGINT
    ASSERT_TRUE(compiler.Compile("var X: Integer; B: Boolean; begin B := X > 1; end."));
    image = ImageOf(compiler);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Types.size(), 2u); // LONGINT, BOOLEAN
    EXPECT_EQ(image->Types[1].Kind, 1);
}

TEST(ImageWriter, SecondProcedureCodeFollowsTheFirst) {
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile("procedure A; begin end; procedure B; begin end; begin A; B; end."));
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Procs.size(), 3u);
    EXPECT_EQ(image->Procs[2].CodeOffset, image->Procs[1].CodeOffset + image->Procs[1].CodeLength);
    EXPECT_EQ(image->Procs[1].CodeOffset, image->Procs[0].CodeOffset + image->Procs[0].CodeLength);
}

TEST(ImageWriter, TextWithoutMainBlockHasAnEmptyMainProcedure) {
    TScriptCompiler compiler;
    compiler.AllowNoBegin = true;
    ASSERT_TRUE(compiler.Compile("procedure P; begin end; end."));
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    // The main procedure exists but is empty; it is still the main procedure.
    EXPECT_EQ(image->MainProc, 0u);
    EXPECT_EQ(image->Procs[0].CodeLength, 0u);
}

TEST(ImageWriter, ImportedProcedureIsWrittenByName) {
    TScriptCompiler compiler;
    compiler.OnUses = [](TScriptCompiler& c, const std::string&) {
        c.AddFunctionFromDecl("procedure Beep;");
        return true;
    };
    ASSERT_TRUE(compiler.Compile("begin Beep; end."));
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->Procs.size(), 2u);
    EXPECT_EQ(image->Procs[1].Flags, 1);
    EXPECT_EQ(image->Procs[1].Name, "BEEP");
    EXPECT_EQ(compiler.GetDebugOutput().substr(compiler.GetDebugOutput().size() - 10),
              Bytes("00 01 'B' 'E' 'E' 'P' 01 00  01 00"));
}

TEST(ImageWriter, ExportedProcedureCarriesItsNameOnly) {
    TScriptCompiler compiler;
    ASSERT_TRUE(compiler.Compile("procedure P; export; begin end; begin end."));
    const auto image = ImageOf(compiler);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Procs[1].Flags, 2);
    EXPECT_EQ(image->Procs[1].Name, "P");
    EXPECT_EQ(image->Procs[1].Decl, "");
}

} // namespace
} // namespace lumivar::script::test
