// CallDeclarationFromHeader: result flag and var flags read off routine headers.
#include "script/runtime/CallDeclaration.h"

#include <gtest/gtest.h>

namespace lumivar::script {
namespace {

struct HeaderCase {
    const char* header;
    std::optional<std::string> expected;
};

// clang-format off
const HeaderCase kCases[] = {
    {"procedure P;", std::string("\0", 1)},
    {"procedure P", std::string("\0", 1)},
    {"procedure P();", std::string("\0", 1)},
    {"function F: Longint;", std::string("\1", 1)},
    {"FUNCTION StrGet(var S: String; I: Longint): Char;", std::string("\1\1\0", 3)},
    {"procedure StrSet(C: Char; I: Longint; var S: String);", std::string("\0\0\0\1", 4)},
    {"function Copy(S: String; Index, Count: Longint): String;", std::string("\1\0\0\0", 4)},
    {"procedure Q(const A, B: Longint; VAR C, D: Byte)", std::string("\0\0\0\1\1", 5)},
    {"  Procedure  x_1 ( Var s : string ) ; ignored tail", std::string("\0\1", 2)},
    {"function F;", std::nullopt},
    {"function F(A: Longint);", std::nullopt},
    {"procedure (A: Longint);", std::nullopt},
    {"procedure P(A Longint);", std::nullopt},
    {"procedure P(A: Longint", std::nullopt},
    {"procedure P(: Longint);", std::nullopt},
    {"type T = Longint;", std::nullopt},
    {"", std::nullopt},
};
// clang-format on

TEST(CallDeclarationFromHeader, Table) {
    for (const HeaderCase& c : kCases)
        EXPECT_EQ(CallDeclarationFromHeader(c.header), c.expected) << c.header;
}

} // namespace
} // namespace lumivar::script
