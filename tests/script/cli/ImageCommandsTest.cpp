// lumivar-script exec and disasm run as the program itself on image files: their output lines
// and exit codes, as tables of (image text, arguments, expected output, exit code).
#include "script/runtime/ImageAssembler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace lumivar::script {
namespace {

struct CommandResult {
    std::string Output;
    int Exit = -1;
};

// Runs lumivar-script with the arguments (the image path replaces "IMAGE"); stdout only.
CommandResult RunTool(const std::string& image, std::string arguments) {
    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) /
                                       ("image-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(file, std::ios::binary) << image;
    if (const auto at = arguments.find("IMAGE"); at != std::string::npos)
        arguments.replace(at, 5, file.string());
    const std::string command = std::string(LUMIVAR_SCRIPT_TOOL) + " " + arguments + " 2>/dev/null";
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        result.Output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::filesystem::remove(file);
    return result;
}

std::string Build(const std::string& text) {
    const TAssembly a = AssembleImage(text);
    EXPECT_TRUE(a) << a.Error << " on line " << a.Line;
    return a.Image;
}

constexpr const char* kTypes = R"(
type U8
type S8
type S32
type Double
type String
type Array T2
type Record T2 T4
type Pointer
type Variant
type S64
type ResourcePointer
type Single
type Extended
type U32
type PChar
)"; // T0..T14

struct CommandCase {
    const char* name;
    std::string image; // image text after kTypes, or raw bytes when it does not start with "main"
    const char* arguments;
    std::string output;
    int exit;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

// clang-format off
const CommandCase kCases[] = {
    {"DumpOfEveryKind", R"(main P0
var T0
var T1
var T2
var T3
var T4
var T5
var T6
var T7
var T8
var T9
var T10
var T11
var T12
var T8
var T13
var T14
proc
  ocAssign G0, T0:200
  ocAssign G1, T1:-5
  ocAssign G2, T2:-70000
  ocAssign G3, T3:0.1
  ocAssign G4, T4:'it''s'#10#200'x'
  ocAssign G6[0], T2:7
  ocAssign G6[1], T4:''
  ocSetPointer G7, G2
  ocAssign G8, T3:2.5
  ocAssign G9, T9:-9000000000
  ocAssign G11, T3:0.1
  ocAssign G12, T3:0.1
  ocAssign G14, T13:4294967295
  ocAssign G15, T0:65
  ocReturn
)", "exec IMAGE --dump", R"(G0 = 200
G1 = -5
G2 = -70000
G3 = 0.1
G4 = 'it''s'#10#200'x'
G5 = []
G6 = (7, '')
G7 = ^-70000
G8 = 2.5
G9 = -9000000000
G10 = resource(0)
G11 = 0.1
G12 = 0.10000000000000000555
G13 = Null
G14 = 4294967295
G15 = 'A'
)", 0},
    {"ErrorLineBeforeTheDump", R"(main P0
var T2
proc
  ocAssign G0, T2:3
  ocCall P1
  ocReturn
proc
  ocCalc 3, G0, T2:0
  ocReturn
)", "exec --dump IMAGE", "error 15 1 16\nG0 = 3\n", 2},
    {"ErrorWithoutDump", R"(main P0
proc
  ocCall P1
  ocReturn
import 'STRGET'
)", "exec IMAGE", "error 17 0 5\n", 2},
    {"ImportedMainProcedure", R"(main P0
import 'STRGET'
)", "exec IMAGE --dump", "error 7 0 0\n", 2},
    {"TryInsideAnExceptBlockKeepsTheErrorHandled", R"(main P0
var T2
var T2
proc
  ocTryBegin none, @except, none, @end
  ocCalc 3, G0, T2:0
  ocTryEnd 0
@except:
  ocTryBegin @finally, none, none, @innerEnd
  ocTryEnd 0
@finally:
  ocAssign G0, T2:1
  ocTryEnd 1
@innerEnd:
  ocTryEnd 2
@end:
  ocAssign G1, T2:2
  ocReturn
)", "exec IMAGE --dump", "G0 = 1\nG1 = 2\n", 0},
    {"ErrorHandledInAFinallyBlockStillEndsTheRun", R"(main P0
var T2
proc
  ocTryBegin @finally, none, none, @end
  ocCalc 3, G0, T2:0
  ocTryEnd 0
@finally:
  ocTryBegin none, @except, none, @innerEnd
  ocPop
  ocTryEnd 0
@except:
  ocTryEnd 2
@innerEnd:
  ocTryEnd 1
@end:
  ocAssign G0, T2:2
  ocReturn
)", "exec IMAGE --dump", "error 15 0 33\nG0 = 0\n", 2},
    {"NoMainProcedure", R"(main none
var T2
)", "exec IMAGE --dump", "G0 = 0\n", 0},
    {"RefusedLoadWithTheImportName", R"(main P0
import 'NOPE'
)", "exec IMAGE", "load 1 NOPE\n", 3},
    {"RefusedLoadWithoutParameter", "IFPX", "exec IMAGE", "load 4\n", 3},
    {"RunsQuietlyWithoutDump", R"(main P0
var T2
proc
  ocReturn
)", "exec IMAGE", "", 0},
    {"ExecWithoutImage", "", "exec", "", 64},
    {"ExecWithUnknownOption", "", "exec IMAGE --all", "", 64},
    {"DisasmListsTheImage", R"(main P0
proc
  ocReturn
)", "disasm IMAGE", R"(; compiled image, 69 bytes
version 17
main P0
type U8                                 ; T0
type S8                                 ; T1
type S32                                ; T2
type Double                             ; T3
type String                             ; T4
type Array T2                           ; T5
type Record T2 T4                       ; T6
type Pointer                            ; T7
type Variant                            ; T8
type S64                                ; T9
type ResourcePointer                    ; T10
type Single                             ; T11
type Extended                           ; T12
type U32                                ; T13
type PChar                              ; T14
proc                                    ; P0, code at 68, 1 bytes
  0000: ocReturn
)", 0},
    {"DisasmOfAMalformedImage", std::string("IFPS\x11\0\0", 7), "disasm IMAGE",
     "; compiled image, 7 bytes\n; error 13 at offset 4: \xD0\x9D\xD0\xB5\xD0\xBE\xD0\xB6\xD0\xB8\xD0\xB4\xD0\xB0"
     "\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB9 \xD0\xBA\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x86 \xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB\xD0\xB0\n",
     3},
    {"DisasmWithoutImage", "", "disasm", "", 64},
};
// clang-format on

class ImageCommands : public ::testing::TestWithParam<CommandCase> {};

TEST_P(ImageCommands, PrintAndExit) {
    const CommandCase& c = GetParam();
    const std::string image = c.image.starts_with("main")
                                  ? Build(c.image.substr(0, c.image.find('\n') + 1) + kTypes +
                                          c.image.substr(c.image.find('\n') + 1))
                                  : c.image;
    const CommandResult r = RunTool(image, c.arguments);
    EXPECT_EQ(r.Output, c.output);
    EXPECT_EQ(r.Exit, c.exit);
}

INSTANTIATE_TEST_SUITE_P(Table, ImageCommands, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace lumivar::script
