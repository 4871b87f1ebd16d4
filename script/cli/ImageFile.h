// Reading a compiled image (or any file) whole, for the commands that take an image path.
#pragma once

#include <optional>
#include <string>

namespace lumivar::script::cli {

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

} // namespace lumivar::script::cli
