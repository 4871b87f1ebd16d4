// The call declaration of a routine (byte 0 nonzero for a function, then one byte per
// parameter, nonzero for a var parameter) read off its header in script syntax, so that a host
// registers a routine with the same header text it gives the compiler.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumivar::script {

// Header -> (PROCEDURE | FUNCTION) Name [ "(" [ Group { ";" Group } ] ")" ] [ ":" TypeName ] ...
// Group  -> [ CONST | VAR ] Name { "," Name } ":" TypeName
// Keywords in any case; whatever follows the header is ignored. Nothing when the text is not
// such a header (a FUNCTION needs its result type).
std::optional<std::string> CallDeclarationFromHeader(std::string_view header);

} // namespace lumivar::script
