// Declaration strings: the one text form in which procedure signatures travel through the
// compiler ("R @NAME T !NAME T ...": the result type or -1, then per parameter the mode
// character joined to the upper-case name, and the type). TDecl is its parsed form; the
// readable and the exported forms are made from it.
#pragma once

#include "script/compiler/CompilerModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace lumivar::script {

inline constexpr char kModeValue = '@'; // by value (CONST parameters too)
inline constexpr char kModeVar = '!';   // VAR

struct TDeclParam {
    char Mode = kModeValue;
    std::string Name;
    TTypeNo Type = kNoType;
};

struct TDecl {
    TTypeNo Result = kNoType; // -1: a procedure without result
    std::vector<TDeclParam> Params;

    bool IsFunction() const { return Result != kNoType; }
};

// Words that are not numbers read as -1; a parameter without its type word gets -1.
TDecl ParseDecl(std::string_view decl);
std::string FormatDecl(const TDecl& decl);
// The first word of a declaration string as a type number (-1 for "-1" or garbage).
TTypeNo DeclResult(std::string_view decl);
// Without parameter names, each mode joined to its type: "1 @6 !10".
std::string ExportDeclText(const TDecl& decl);

} // namespace lumivar::script
