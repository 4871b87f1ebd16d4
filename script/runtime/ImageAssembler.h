// Builds a compiled image from its text form, the listing syntax of Disassembler.h, so that
// tests, fuzz seeds and benchmarks write images as readable text. A malformed line is an error
// with its line number, never a crash.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumivar::script {

struct TAssembly {
    std::string Image;
    std::string Error; // empty on success
    std::size_t Line = 0;
    explicit operator bool() const { return Error.empty(); }
};

// Besides the listing's lines: labels ("@name:" on a line of its own, "@name" in a jump or try
// field), raw variable numbers ("V<n>"), a type kind by number ("type #20") and, in every u32
// field, a decimal number taken as it is.
TAssembly AssembleImage(std::string_view text);

} // namespace lumivar::script
