// The 6-byte real: byte 0 the exponent with bias 129 (0: the value 0), bytes 1 to 5 the
// 39-bit fraction lowest byte first, the top bit of byte 5 the sign. It has no infinities,
// no NaNs and no denormals; its range is about 2.9e-39 to 1.7e38.
#pragma once

#include <cstdint>

namespace zarvo {

inline constexpr int kReal48Size = 6;

// The value of six stored bytes; exact (40 significant bits fit a double).
double UnpackReal48(const std::uint8_t* bytes);
// Six bytes for VALUE rounded to 40 significant bits, to the nearest with ties to even.
// Magnitudes below the smallest normal value go to the nearer of 0 and that value (a tie to
// 0). False, and nothing written, for an infinity, a NaN or a value that rounds past the
// largest.
bool PackReal48(long double value, std::uint8_t* bytes);

// The largest and the smallest positive values.
double Real48Max();
double Real48MinPositive();

} // namespace zarvo
