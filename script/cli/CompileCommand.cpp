// lumivar-script compile: not available yet.
#include "Commands.h"

#include <cstdio>

namespace lumivar::script::cli {

int RunCompile(const Args&) {
    std::fputs("lumivar-script: compile is not available yet\n", stderr);
    return kExitUsage;
}

} // namespace lumivar::script::cli
