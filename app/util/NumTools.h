// Case-insensitive text comparison by the locale's case rules (Cyrillic letters included).
#pragma once

#include <QString>

namespace lumivar {

bool SameTextNoCase(const QString& a, const QString& b);

} // namespace lumivar
