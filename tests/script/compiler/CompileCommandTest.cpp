// lumivar-script compile: message lines, exit codes, the image and debug files, --bare.
#include "script/cli/Commands.h"
#include "script/compiler/ScriptCompiler.h"
#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

using namespace lumivar::script::cli;

namespace {

namespace fs = std::filesystem;

// Names carry the process id: ctest runs the tests of this file in parallel processes.
fs::path TempFile(const std::string& name) {
    return fs::path(testing::TempDir()) / (std::to_string(::getpid()) + "-" + name);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct CommandRun {
    int ExitCode;
    std::string Out;
};

// Writes the script and runs the command with extra arguments around the file name.
CommandRun CompileScript(const std::string& script, Args before = {}, const Args& after = {}) {
    const fs::path source = TempFile("compile-input.pas");
    std::ofstream(source, std::ios::binary) << script;
    before.push_back(source.string());
    before.insert(before.end(), after.begin(), after.end());
    testing::internal::CaptureStdout();
    const int rc = RunCompile(before);
    CommandRun r{rc, testing::internal::GetCapturedStdout()};
    fs::remove(source);
    return r;
}

TEST(CompileCommand, PrintsMessagesInUtf8) {
    const CommandRun r = CompileScript("var X: Integer; begin Y := 1; end.");
    EXPECT_EQ(r.ExitCode, kExitCompileFailed);
    EXPECT_EQ(r.Out, "22\t1\t0\t[Error] : Неизвестный идентификатор 'Y'\n");
}

TEST(CompileCommand, HintsOfASuccessfulCompile) {
    const CommandRun r = CompileScript("var X: Integer; begin end.");
    EXPECT_EQ(r.ExitCode, kExitOk);
    EXPECT_EQ(r.Out, "14\t2\t0\t[Hint] : Variable 'X' never used\n");
}

TEST(CompileCommand, WritesTheImageAndTheDebugRecords) {
    const std::string script = "var S: String; begin S := Copy('abc', 1, 2); end.";
    const fs::path image = TempFile("compile-output.img");
    const fs::path debug = TempFile("compile-output.dbg");
    const CommandRun r = CompileScript(script, {}, {"-o", image.string(), "--debug", debug.string()});
    ASSERT_EQ(r.ExitCode, kExitOk) << r.Out;
    EXPECT_EQ(r.Out, "");
    lumivar::script::TScriptCompiler compiler;
    compiler.OnUses = [](lumivar::script::TScriptCompiler& c, const std::string&) {
        c.AddFunctionFromDecl("function Copy(S: String; Index, Count: Longint): String;");
        return true;
    };
    ASSERT_TRUE(compiler.Compile(script));
    std::string expected;
    compiler.GetOutput(expected);
    EXPECT_EQ(ReadAll(image), expected);
    EXPECT_EQ(ReadAll(debug), compiler.GetDebugOutput());
    fs::remove(image);
    fs::remove(debug);
}

TEST(CompileCommand, BareRegistersNothing) {
    const CommandRun r = CompileScript("var S: String; begin S := Copy('abc', 1, 2); end.", {"--bare"});
    EXPECT_EQ(r.ExitCode, kExitCompileFailed);
    EXPECT_EQ(r.Out, "26\t1\t0\t[Error] : Неизвестный идентификатор 'Copy'\n");
}

TEST(CompileCommand, NoImageIsWrittenForAFailedCompile) {
    const fs::path image = TempFile("compile-failed.img");
    fs::remove(image);
    const CommandRun r = CompileScript("begin", {}, {"-o", image.string()});
    EXPECT_EQ(r.ExitCode, kExitCompileFailed);
    EXPECT_FALSE(fs::exists(image));
}

TEST(CompileCommand, UsageAndUnreadableFile) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunCompile({}), kExitUsage);
    EXPECT_EQ(RunCompile({"a.pas", "b.pas"}), kExitUsage);
    EXPECT_EQ(RunCompile({"a.pas", "-o"}), kExitUsage);
    EXPECT_EQ(RunCompile({"--fast", "a.pas"}), kExitUsage);
    EXPECT_EQ(RunCompile({"/nonexistent/dir/file.pas"}), kExitCompileFailed);
    testing::internal::GetCapturedStderr();
}

} // namespace
