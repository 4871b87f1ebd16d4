// lumivar-script disasm: not available yet.
#include "Commands.h"

#include <cstdio>

namespace lumivar::script::cli {

int RunDisasm(const Args&) {
    std::fputs("lumivar-script: disasm is not available yet\n", stderr);
    return kExitUsage;
}

} // namespace lumivar::script::cli
