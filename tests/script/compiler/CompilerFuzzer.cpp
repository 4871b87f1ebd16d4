// libFuzzer entry point for the compiler (clang only): every input goes through CheckCompile,
// and a broken property aborts with its description. Run: compiler_fuzzer -max_total_time=60
#include "CompileCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string problem =
        lumivar::script::test::CheckCompile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
