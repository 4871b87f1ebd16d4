// lumivar-script tokens: the printed listing for a file of raw bytes, usage and read errors.
#include "script/cli/Commands.h"
#include "script/runtime/Cp1251.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

using namespace lumivar::script::cli;

namespace {

struct Listing {
    int exitCode;
    std::string out;
};

Listing RunOn(const std::string& bytes) {
    const std::filesystem::path path =
        std::filesystem::path(testing::TempDir()) /
        ("tokens-input-" + std::to_string(::getpid()) + ".pas");
    std::ofstream(path, std::ios::binary) << bytes;
    testing::internal::CaptureStdout();
    const int rc = RunTokens({path.string()});
    Listing r{rc, testing::internal::GetCapturedStdout()};
    std::filesystem::remove(path);
    return r;
}

TEST(TokensCommand, ListsTokensWithUtf8Text) {
    const Listing r = RunOn(lumivar::script::Utf8ToCp1251("a:= 'Привет'#13;\n"));
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out, "0 3 A\n1 12\n4 25 'Привет'\n12 26 #13\n15 4\n17 0\n");
}

TEST(TokensCommand, Cp1251BytesPrintedAsUtf8) {
    const Listing r = RunOn("'\xCF\xF0\xE8'");
    EXPECT_EQ(r.out, "0 25 'При'\n5 0\n");
}

TEST(TokensCommand, ScannerErrorIsTheLastLine) {
    const Listing r = RunOn("x { open");
    EXPECT_EQ(r.exitCode, kExitCompileFailed);
    EXPECT_EQ(r.out, "0 3 X\nerror 1 at 2\n");
}

TEST(TokensCommand, EmptyFile) {
    const Listing r = RunOn("");
    EXPECT_EQ(r.exitCode, kExitOk);
    EXPECT_EQ(r.out, "0 0\n");
}

TEST(TokensCommand, UsageAndUnreadableFile) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunTokens({}), kExitUsage);
    EXPECT_EQ(RunTokens({"a", "b"}), kExitUsage);
    EXPECT_EQ(RunTokens({"/nonexistent/dir/file.pas"}), kExitCompileFailed);
    testing::internal::GetCapturedStderr();
}

} // namespace
