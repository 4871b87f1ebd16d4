// One fuzz candidate for the executor: an arbitrary byte string is loaded and, when it loads,
// run under small bounds (steps, time, stack, values), so that a loop over mutated images and a
// libFuzzer entry point exercise LoadImage and Run the same way.
#pragma once

#include <string_view>

namespace lumivar::script::testing {

void RunCandidate(std::string_view image);

} // namespace lumivar::script::testing
