// LoadImage: the refusal of every malformed image with its code, every truncation of a valid
// image, the type-nesting limit at N and N+1, and what a successful load builds.
#include "ExecHarness.h"

#include "script/runtime/ImageAssembler.h"
#include "script/runtime/ImageFormat.h"
#include "script/runtime/ImageLayout.h"

#include <gtest/gtest.h>

#include <functional>

namespace lumivar::script::testing {
namespace {

std::string AssembleText(const std::string& text) {
    const TAssembly a = AssembleImage(text);
    EXPECT_TRUE(a) << a.Error << " on line " << a.Line;
    return a.Image;
}

std::string PutU32At(std::string image, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        image[at + i] = static_cast<char>(v >> (8 * i));
    return image;
}

const std::string kSmall = R"(main P0
type S32
var T0
proc
  ocReturn
)"; // header 28, type 28, proc record 29..37, var 38..42, code 43

struct LoadCase {
    const char* name;
    std::function<std::string()> image;
    int code;
    std::string param;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const LoadCase kCases[] = {
    {"Empty", [] { return std::string(); }, 13, ""},
    {"MagicPrefixOnly", [] { return std::string("IFP"); }, 13, ""},
    {"WrongMagic", [] { return "IFPX" + AssembleText(kSmall).substr(4); }, 4, ""},
    {"WrongShortMagic", [] { return std::string("IX"); }, 4, ""},
    {"Version16", [] { return PutU32At(AssembleText(kSmall), 4, 16); }, 14, ""},
    {"KindZero", [] { return AssembleText("type #0\n"); }, 2, ""},
    {"KindEighteen", [] { return AssembleText("type #18\n"); }, 2, ""},
    {"ElementTypeReferringForward", [] { return AssembleText("type Array T1\ntype U8\n"); }, 2, ""},
    {"RecordHoldingItself", [] { return AssembleText("type Record T0\n"); }, 2, ""},
    {"ArrayOfItself", [] { return AssembleText("type Array T0\n"); }, 2, ""},
    {"VariableOfNoType", [] { return AssembleText("type U8\nvar T1\n"); }, 2, ""},
    {"VariableFlagTwo", [] { return AssembleText("type U8\nvar T0\n").replace(33, 1, 1, '\2'); }, 3, ""},
    {"ProcedureFlagsFour", [] { return AssembleText(kSmall).replace(29, 1, 1, '\4'); }, 3, ""},
    {"MainProcedureOutOfRange", [] { return AssembleText("main P1\nproc\n  ocReturn\n"); }, 3, ""},
    {"CodeOutsideTheImage", [] { return PutU32At(AssembleText(kSmall), 34, 2); }, 13, ""},
    {"CodeOffsetFarOutside", [] { return PutU32At(AssembleText(kSmall), 30, 0xFFFFFFF0); }, 13, ""},
    {"HugeTypeCount", [] { return PutU32At(AssembleText(kSmall), 8, 0xFFFFFFFF); }, 13, ""},
    {"HugeFieldCount", [] { return PutU32At(AssembleText("type Record\n"), 29, 0x40000000); }, 13, ""},
    {"HugeNameLength", [] { return PutU32At(AssembleText("type U8 export 'N'\n"), 29, 0xFFFFFFFF); }, 13, ""},
    {"UnknownImport", [] { return AssembleText("import 'NOPE'\n"); }, 1, "NOPE"},
    {"ImportNamesAreCaseSensitive", [] { return AssembleText("import 'strget'\n"); }, 1, "strget"},
};
// clang-format on

class LoaderRefusal : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoaderRefusal, ReportsTheCauseAndStaysUnloaded) {
    const LoadCase& c = GetParam();
    TScriptExec exec;
    RegisterTestRoutines(exec);
    EXPECT_FALSE(exec.LoadImage(c.image()));
    EXPECT_EQ(exec.ErrorCode(), c.code);
    EXPECT_EQ(exec.ErrorParam(), c.param);
    EXPECT_EQ(exec.State(), TExecState::Unloaded);
    EXPECT_TRUE(exec.Globals().empty());
    EXPECT_FALSE(exec.Run());
}

INSTANTIATE_TEST_SUITE_P(Table, LoaderRefusal, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An image with every kind of record: exported types, arrays, records, both import forms,
// an exported procedure, exported and plain variables.
const std::string kRich = R"(main P0
type U8 export 'BYTE'
type Array T0
type Record T0 T1 export 'REC'
type Record
type Variant
var T2 export 'R'
var T4
proc
  ocAssign G1, T0:1
  ocReturn
proc export 'F' '-1 @0'
  ocReturn
import 'STRGET'
import 'FAIL' 'decl'
)";

TEST(Loader, RefusesEveryTruncationOfAValidImage) {
    const std::string image = AssembleText(kRich);
    TScriptExec exec;
    RegisterTestRoutines(exec);
    ASSERT_TRUE(exec.LoadImage(image));
    for (std::size_t n = 0; n < image.size(); ++n) {
        EXPECT_FALSE(exec.LoadImage(image.substr(0, n))) << n;
        EXPECT_EQ(exec.ErrorCode(), 13) << n;
        EXPECT_EQ(exec.State(), TExecState::Unloaded);
    }
    EXPECT_TRUE(exec.LoadImage(image + "trailing bytes"));
    EXPECT_EQ(exec.State(), TExecState::Ready);
}

TEST(Loader, BuildsTheTables) {
    TScriptExec exec;
    RegisterTestRoutines(exec);
    ASSERT_TRUE(exec.LoadImage(AssembleText(kRich)));
    ASSERT_EQ(exec.Types().size(), 5u);
    EXPECT_EQ(exec.Types()[0].ExportName, "BYTE");
    EXPECT_EQ(exec.Types()[1].ElementType, &exec.Types()[0]);
    EXPECT_EQ(exec.Types()[2].FieldTypes.size(), 2u);
    EXPECT_EQ(exec.Types()[2].FieldTypes[1], &exec.Types()[1]);
    ASSERT_EQ(exec.Procs().size(), 4u);
    EXPECT_FALSE(exec.Procs()[0].Imported);
    EXPECT_EQ(exec.Procs()[0].Code.size(), 13u);
    EXPECT_EQ(exec.Procs()[1].ExportName, "F");
    EXPECT_EQ(exec.Procs()[1].ExportDecl, "-1 @0");
    EXPECT_TRUE(exec.Procs()[2].Imported);
    EXPECT_EQ(exec.Procs()[2].Declaration, std::string("\1\1\0", 3)); // from the registration
    EXPECT_EQ(exec.Procs()[3].Declaration, "decl");                   // from the image
    ASSERT_EQ(exec.Globals().size(), 2u);
    EXPECT_EQ(exec.Globals()[0]->Elements.size(), 2u);        // records come with their fields
    EXPECT_EQ(exec.Globals()[1]->Payload.Ref->Type, nullptr); // variants start null
    EXPECT_EQ(exec.MainProc(), 0u);
    EXPECT_EQ(exec.State(), TExecState::Ready);
}

// Records nested kMaxTypeDepth deep load; one level more is refused.
TEST(Loader, TypeNestingLimitAtNAndNPlusOne) {
    for (std::size_t depth : {kMaxTypeDepth, kMaxTypeDepth + 1}) {
        std::string text = "type U8\n";
        for (std::size_t i = 1; i < depth; ++i)
            text += "type Record T" + std::to_string(i - 1) + "\n";
        text += "var T" + std::to_string(depth - 1) + "\n";
        TScriptExec exec;
        EXPECT_EQ(exec.LoadImage(AssembleText(text)), depth == kMaxTypeDepth) << depth;
        EXPECT_EQ(exec.ErrorCode(), depth == kMaxTypeDepth ? 0 : 2);
    }
}

// Procedure records that all claim the whole image as their code: the code is held once, not
// once per procedure, so a small image cannot make the load take memory by the square of its size.
std::string SharedCodeImage(std::uint32_t procs) {
    std::string image = AssembleText("main P0\ntype S32\n");
    image = PutU32At(image, 12, procs);
    const std::size_t size = image.size() + 9 * std::size_t(procs) + 1;
    for (std::uint32_t i = 0; i < procs; ++i) {
        image += '\0';
        image += std::string(8, '\0');
        image = PutU32At(image, image.size() - 4, std::uint32_t(size));
    }
    return image + '\x09'; // the last byte, ocReturn, ends the code of procedure 0 at once
}

TEST(Loader, ProceduresClaimingTheSameBytesShareOneCopyOfThem) {
    TScriptExec exec;
    const std::string image = SharedCodeImage(20000);
    ASSERT_TRUE(exec.LoadImage(image));
    ASSERT_EQ(exec.Procs().size(), 20000u);
    EXPECT_EQ(exec.Procs()[0].Code.size(), image.size());
    EXPECT_EQ(exec.Procs()[0].Code.data(), exec.Procs()[19999].Code.data());
    ASSERT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 5); // the header's first byte, 'I', is no opcode
}

TEST(Loader, GlobalsBeyondThePoolAreOutOfMemory) {
    std::string text = "type S32\ntype Record";
    for (int i = 0; i < 100; ++i)
        text += " T0";
    text += "\n";
    for (int i = 0; i < 100; ++i)
        text += "var T1\n";
    TScriptExec exec;
    exec.Pool().SetValueLimit(5000);
    EXPECT_FALSE(exec.LoadImage(AssembleText(text)));
    EXPECT_EQ(exec.ErrorCode(), 19);
    EXPECT_EQ(exec.Pool().LiveCount(), 0u);
}

TEST(Loader, ImageWithoutMainLoadsAndDoesNotRun) {
    TScriptExec exec;
    ASSERT_TRUE(exec.LoadImage(AssembleText("main none\ntype S32\nvar T0\n")));
    EXPECT_FALSE(exec.Run());
    EXPECT_EQ(exec.State(), TExecState::Ready);
    EXPECT_EQ(exec.ErrorCode(), 0);
}

TEST(Loader, ImportedMainLoadsAndRunReportsSeven) {
    TScriptExec exec;
    RegisterTestRoutines(exec);
    ASSERT_TRUE(exec.LoadImage(AssembleText("main P0\nimport 'FAIL'\n")));
    EXPECT_TRUE(exec.Run());
    EXPECT_EQ(exec.ErrorCode(), 7);
    EXPECT_EQ(exec.ErrorProc(), 0u);
    EXPECT_EQ(exec.State(), TExecState::Ready);
}

TEST(Loader, AFailedLoadReleasesThePreviousImage) {
    TScriptExec exec;
    ASSERT_TRUE(exec.LoadImage(AssembleText(kSmall)));
    EXPECT_EQ(exec.Pool().LiveCount(), 1u);
    EXPECT_FALSE(exec.LoadImage("IFPS"));
    EXPECT_EQ(exec.Pool().LiveCount(), 0u);
    EXPECT_TRUE(exec.Procs().empty());
}

} // namespace
} // namespace lumivar::script::testing
