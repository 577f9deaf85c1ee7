// Packing and unpacking of the extended real by its bit layout, with arithmetic only, so
// that nothing depends on how the host lays out its own long double in memory.
#include "records/extended.h"

#include <cmath>

namespace zarvo {

namespace {

constexpr int kBias = 16383;
constexpr int kTopExponent = 0x7FFF;
constexpr std::uint64_t kIntegerBit = std::uint64_t(1) << 63;

void Write(std::uint8_t* bytes, std::uint64_t significand, int exponent, bool negative) {
    for (int i = 0; i < 8; ++i)
        bytes[i] = std::uint8_t(significand >> (8 * i));
    auto top = std::uint16_t(exponent | (negative ? 0x8000 : 0));
    bytes[8] = std::uint8_t(top);
    bytes[9] = std::uint8_t(top >> 8);
}

} // namespace

long double UnpackExtended(const std::uint8_t* bytes) {
    std::uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    int top = bytes[8] | (bytes[9] << 8);
    bool negative = (top & 0x8000) != 0;
    int exponent = top & kTopExponent;
    long double value;
    if (exponent == kTopExponent) {
        if ((significand & kIntegerBit) == 0 || (significand & ~kIntegerBit) != 0)
            value = std::numeric_limits<long double>::quiet_NaN();
        else
            value = std::numeric_limits<long double>::infinity();
    } else if (exponent != 0 && (significand & kIntegerBit) == 0) {
        value = std::numeric_limits<long double>::quiet_NaN();
    } else {
        // Exponent 0 (denormals) counts as 1, as the processor reads it.
        int scale = (exponent == 0 ? 1 : exponent) - kBias - 63;
        value = std::ldexp((long double)significand, scale);
    }
    return negative ? -value : value;
}

void PackExtended(long double value, std::uint8_t* bytes) {
    bool negative = std::signbit(value);
    if (std::isnan(value)) {
        Write(bytes, kIntegerBit | (kIntegerBit >> 1), kTopExponent, negative);
        return;
    }
    if (std::isinf(value)) {
        Write(bytes, kIntegerBit, kTopExponent, negative);
        return;
    }
    if (value == 0) {
        Write(bytes, 0, 0, negative);
        return;
    }
    int exponent = 0;
    long double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    auto significand = std::uint64_t(std::ldexp(fraction, 64));     // exact: 64 bits
    int biased = exponent - 1 + kBias;
    if (biased < 1) {
        // A denormal: the same bits, shifted to the fixed smallest exponent.
        significand >>= (1 - biased);
        biased = 0;
    }
    Write(bytes, significand, biased, negative);
}

} // namespace zarvo
