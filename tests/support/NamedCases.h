// Table-driven tests whose cases carry a `name`: CaseName gives each instantiated test that
// name, and PrintTo makes GoogleTest show it instead of the case's raw bytes, in the test list
// (and so in the CI log) and in failure messages. A test file brings PrintTo into the
// namespace of its cases with `using test::PrintTo;`, where argument lookup finds it.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace lumivar::test {

template <typename Case>
concept NamedCase = requires(const Case& c) { std::string(c.name); };

template <NamedCase Case>
void PrintTo(const Case& c, std::ostream* os) {
    *os << std::string(c.name);
}

inline constexpr auto CaseName = [](const auto& info) { return std::string(info.param.name); };

} // namespace lumivar::test
