// The subcommands of lumivar-script; each takes the arguments after its name and returns the
// process exit code.
#pragma once

#include <string>
#include <vector>

namespace lumivar::script::cli {

using Args = std::vector<std::string>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitCompileFailed = 1;
inline constexpr int kExitRunError = 2;
inline constexpr int kExitLoadRefused = 3;
inline constexpr int kExitUsage = 64;

int RunTokens(const Args& args);
int RunCompile(const Args& args);
int RunDisasm(const Args& args);
int RunExec(const Args& args);

} // namespace lumivar::script::cli
