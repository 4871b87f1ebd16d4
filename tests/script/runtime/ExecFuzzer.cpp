// libFuzzer entry point for LoadImage + Run (built only with clang: target exec_fuzzer).
#include "ExecFuzz.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumivar::script::testing::RunCandidate(
        std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
