// Case-insensitive comparison by the locale's upper-casing.
#include "app/util/NumTools.h"

#include <QLocale>

namespace lumivar {

bool SameTextNoCase(const QString& a, const QString& b) {
    const QLocale locale;
    return locale.toUpper(a) == locale.toUpper(b);
}

} // namespace lumivar
