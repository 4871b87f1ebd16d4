// 10-byte x87 extended float <-> long double.
#include "Extended.h"

#include <cstring>
#include <limits>

namespace lumivar::script {

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  sizeof(long double) >= kExtendedSize,
              "long double must be the x87 80-bit extended format");

long double ReadExtended(const unsigned char* bytes) {
    long double value = 0;
    std::memcpy(&value, bytes, kExtendedSize);
    return value;
}

void WriteExtended(unsigned char* bytes, long double value) {
    std::memcpy(bytes, &value, kExtendedSize);
}

} // namespace lumivar::script
