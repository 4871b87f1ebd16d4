// lumivar-script: the script engine's command-line tool.
#include "Commands.h"

#include <cstdio>
#include <string_view>

using namespace lumivar::script::cli;

namespace {

struct Command {
    std::string_view name;
    int (*run)(const Args&);
    std::string_view usage;
};

constexpr Command kCommands[] = {
    {"tokens", RunTokens, "tokens FILE"},
    {"compile", RunCompile, "compile [--bare] FILE [-o IMAGE] [--debug DEBUGFILE]"},
    {"disasm", RunDisasm, "disasm IMAGE"},
    {"exec", RunExec, "exec IMAGE [--dump]"},
};

int Usage() {
    std::fputs("usage:\n", stderr);
    for (const Command& c : kCommands) std::fprintf(stderr, "  lumivar-script %.*s\n", int(c.usage.size()), c.usage.data());
    return kExitUsage;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return Usage();
    const std::string_view name = argv[1];
    for (const Command& c : kCommands)
        if (c.name == name) return c.run(Args(argv + 2, argv + argc));
    return Usage();
}
