// lumivar-script exec: not available yet.
#include "Commands.h"

#include <cstdio>

namespace lumivar::script::cli {

int RunExec(const Args&) {
    std::fputs("lumivar-script: exec is not available yet\n", stderr);
    return kExitUsage;
}

} // namespace lumivar::script::cli
