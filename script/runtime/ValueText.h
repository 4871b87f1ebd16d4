// The canonical text of runtime values, as `lumivar-script exec --dump` prints them and the
// listings show constants: integers in decimal, floats as the shortest text that reads back to
// the same value at their precision, strings as Pascal literals, records (a, b), arrays [a, b],
// pointers ^target or nil, resources resource(N), variants their inner value or Null.
#pragma once

#include "script/runtime/Values.h"

#include <string>
#include <string_view>

namespace lumivar::script {

std::string ValueText(const TIFValue& value);

// Runs of bytes 32..126 in quotes (a quote doubled), every other byte as #n; '' when empty.
std::string PascalLiteral(std::string_view bytes);

// The shortest text of a float that reads back to the same value at the kind's precision
// (vkSingle, vkDouble or vkExtended).
std::string FloatText(long double value, std::uint8_t kind);

} // namespace lumivar::script
