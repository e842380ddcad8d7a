// MulDiv: a scaled integer, rounded the way the platform rounds it.

#include <cstdint>
#include <limits>

#include "platform/gdi.h"

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) {
        return -1;
    }
    // The product of two ints always fits in 64 bits; so do quotient and rest.
    int64_t product = static_cast<int64_t>(number) * numerator;
    int64_t quotient = product / denominator;
    int64_t remainder = product % denominator;
    int64_t magnitude = remainder < 0 ? -remainder : remainder;
    int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
    if (2 * magnitude >= divisor) {
        // Away from zero: the sign of the exact quotient.
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    }
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min()) {
        return -1;
    }
    return static_cast<int>(quotient);
}
