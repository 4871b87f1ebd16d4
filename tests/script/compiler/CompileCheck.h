// The properties every compile must have, whatever the text: it returns (never crashes or
// throws), a failed compile ends with an error and leaves no image, a successful one has no
// error, no hint is about a nameless variable (a temporary left behind), and an image is one
// the listing reads to the end and the executor loads. The fuzz loop of the tests and the
// optional libFuzzer entry both run it.
#pragma once

#include <string>
#include <string_view>

namespace lumivar::script::test {

// Empty when every property holds, else what went wrong.
std::string CheckCompile(std::string_view text);

} // namespace lumivar::script::test
