// The 80-bit extended real as records store it: 8 bytes of significand with an explicit
// integer bit, lowest byte first, then 2 bytes of sign (top bit) and exponent with bias
// 16383. The host's long double must hold every such value: checked while compiling.
#pragma once

#include <cstdint>
#include <limits>

namespace zarvo {

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "stored extended reals need the 80-bit long double (64-bit significand)");

inline constexpr int kExtendedSize = 10;

// The value of ten stored bytes. Encodings the processor refuses as operands (an exponent
// without the integer bit, or the top exponent without it) read as a NaN.
long double UnpackExtended(const std::uint8_t* bytes);
// Ten bytes for VALUE, exactly (zero, denormals, infinities and NaNs included).
void PackExtended(long double value, std::uint8_t* bytes);

} // namespace zarvo
