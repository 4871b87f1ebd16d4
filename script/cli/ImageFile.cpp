// Whole-file reading for the image commands.
#include "ImageFile.h"

#include <fstream>
#include <iterator>

namespace lumivar::script::cli {

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

} // namespace lumivar::script::cli
