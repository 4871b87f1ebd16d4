// Parsing and formatting of declaration strings.
#include "script/compiler/DeclString.h"

#include <charconv>

namespace lumivar::script {
namespace {

TTypeNo ReadNumber(std::string_view word) {
    TTypeNo value = kNoType;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() ? value : kNoType;
}

// The next blank-separated word of s from pos on; pos moves past it.
std::string_view NextWord(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
    const std::size_t start = pos;
    while (pos < s.size() && s[pos] != ' ') ++pos;
    return s.substr(start, pos - start);
}

} // namespace

TDecl ParseDecl(std::string_view decl) {
    TDecl result;
    std::size_t pos = 0;
    result.Result = ReadNumber(NextWord(decl, pos));
    for (;;) {
        const std::string_view word = NextWord(decl, pos);
        if (word.empty()) break;
        TDeclParam param;
        param.Mode = word[0];
        param.Name = std::string(word.substr(1));
        param.Type = ReadNumber(NextWord(decl, pos));
        result.Params.push_back(std::move(param));
    }
    return result;
}

std::string FormatDecl(const TDecl& decl) {
    std::string text = std::to_string(decl.Result);
    for (const TDeclParam& p : decl.Params) {
        text += ' ';
        text += p.Mode;
        text += p.Name;
        text += ' ';
        text += std::to_string(p.Type);
    }
    return text;
}

TTypeNo DeclResult(std::string_view decl) {
    std::size_t pos = 0;
    return ReadNumber(NextWord(decl, pos));
}

std::string ExportDeclText(const TDecl& decl) {
    std::string text = std::to_string(decl.Result);
    for (const TDeclParam& p : decl.Params) {
        text += ' ';
        text += p.Mode;
        text += std::to_string(p.Type);
    }
    return text;
}

} // namespace lumivar::script
