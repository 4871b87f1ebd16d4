// lumivar-script tokens: not available yet.
#include "Commands.h"

#include <cstdio>

namespace lumivar::script::cli {

int RunTokens(const Args&) {
    std::fputs("lumivar-script: tokens is not available yet\n", stderr);
    return kExitUsage;
}

} // namespace lumivar::script::cli
