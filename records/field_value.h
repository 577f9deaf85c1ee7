// Field values as numbers: the stored bytes of the numeric, date and time types read and
// written little-endian, and the ranges the types can hold.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

// Codes 9 to 13 and 16.
bool IsIntegerType(int type);
// Codes 14, 15, 17 and 18.
bool IsRealType(int type);

// The value of an integer-like field (the integers, and codes 4, 7, 8 and 20).
std::int64_t IntegerFromBytes(int type, const std::uint8_t* bytes);
// Writes VALUE (cut to the type's width) as the type's stored bytes.
void IntegerToBytes(int type, std::int64_t value, std::uint8_t* bytes);
// What an integer field accepts when it has no limits of its own: the type's range, kept
// symmetric where the type has one more negative value.
void IntegerTypeRange(int type, std::int64_t& minimum, std::int64_t& maximum);

long double RealFromBytes(int type, const std::uint8_t* bytes);
// False, and nothing written, when VALUE does not fit the type (infinities, NaNs, too large).
bool RealToBytes(int type, long double value, std::uint8_t* bytes);

// Fixed notation with DECIMALS (0 to 255) digits after the point; never "-0".
std::string FixedText(long double value, int decimals);

} // namespace zarvo
