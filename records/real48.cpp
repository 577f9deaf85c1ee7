// Packing and unpacking of the 6-byte real in software, by its bit layout: the host has no
// such format.
#include "records/real48.h"

#include <cmath>
#include <cstring>

namespace zarvo {

namespace {

constexpr int kBias = 129;
constexpr int kFractionBits = 39;
constexpr std::uint64_t kHiddenBit = std::uint64_t(1) << kFractionBits;

// Round-to-nearest, ties to even, of MANTISSA shifted right by SHIFT bits (SHIFT > 0).
std::uint64_t ShiftRounded(std::uint64_t mantissa, int shift) {
    if (shift >= 64)
        return 0;
    std::uint64_t kept = mantissa >> shift;
    std::uint64_t rest = mantissa & ((std::uint64_t(1) << shift) - 1);
    std::uint64_t half = std::uint64_t(1) << (shift - 1);
    if (rest > half || (rest == half && (kept & 1) != 0))
        ++kept;
    return kept;
}

void Write(std::uint8_t* bytes, int exponent, std::uint64_t fraction, bool negative) {
    bytes[0] = std::uint8_t(exponent);
    for (int i = 1; i <= 5; ++i)
        bytes[i] = std::uint8_t(fraction >> (8 * (i - 1)));
    if (negative)
        bytes[5] |= 0x80;
}

} // namespace

double UnpackReal48(const std::uint8_t* bytes) {
    if (bytes[0] == 0)
        return 0.0;
    std::uint64_t fraction = 0;
    for (int i = 5; i >= 1; --i)
        fraction = (fraction << 8) | bytes[i];
    bool negative = (fraction & (std::uint64_t(1) << kFractionBits)) != 0;
    fraction &= kHiddenBit - 1;
    double value = std::ldexp(double(kHiddenBit | fraction), bytes[0] - kBias - kFractionBits);
    return negative ? -value : value;
}

bool PackReal48(long double value, std::uint8_t* bytes) {
    if (!std::isfinite(value))
        return false;
    bool negative = std::signbit(value);
    if (value == 0) {
        Write(bytes, 0, 0, false);
        return true;
    }
    int exponent = 0;
    long double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    // All of the long double's significant bits, as an integer with its top bit at 63.
    auto mantissa = std::uint64_t(std::ldexp(fraction, 64));
    int biased = exponent - 1 + kBias;
    if (biased < 1) {
        // Below the smallest normal value 2^-128: only 0 or that value can be written.
        long double smallest = std::ldexp(1.0L, 1 - kBias);
        bool up = std::fabs(value) > smallest / 2;
        Write(bytes, up ? 1 : 0, 0, up && negative);
        return true;
    }
    std::uint64_t rounded = ShiftRounded(mantissa, 64 - (kFractionBits + 1));
    if (rounded == kHiddenBit << 1) {
        rounded >>= 1;
        ++biased;
    }
    if (biased > 255)
        return false;
    Write(bytes, biased, rounded & (kHiddenBit - 1), negative);
    return true;
}

double Real48Max() {
    return std::ldexp(double((kHiddenBit << 1) - 1), 255 - kBias - kFractionBits);
}

double Real48MinPositive() {
    return std::ldexp(1.0, 1 - kBias);
}

} // namespace zarvo
