// Reading and writing the stored bytes of numeric fields. Stored bytes are little-endian,
// and so is every host this builds for.
#include "records/field_value.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "records/extended.h"
#include "records/field_types.h"
#include "records/real48.h"

namespace zarvo {

static_assert(std::endian::native == std::endian::little, "stored fields are little-endian");
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "stored single and double reals are IEEE 754");

namespace {

template <class T> T Load(const std::uint8_t* bytes) {
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <class T> void Keep(T value, std::uint8_t* bytes) {
    std::memcpy(bytes, &value, sizeof(T));
}

// Whether VALUE rounds to a finite T: below the largest T plus half its last unit (the tie
// goes to the infinity, the largest value's significand being odd).
template <class T> bool Fits(long double value) {
    constexpr int kDigits = std::numeric_limits<T>::digits;
    constexpr int kTop = std::numeric_limits<T>::max_exponent;
    long double limit =
        (long double)std::numeric_limits<T>::max() + std::ldexp(1.0L, kTop - kDigits - 1);
    return std::fabs(value) < limit;
}

} // namespace

bool IsIntegerType(int type) {
    return (type >= ftShortInt && type <= ftLongInt) || type == ftComp;
}

bool IsRealType(int type) {
    return type == ftSingle || type == ftReal || type == ftDouble || type == ftExtended;
}

std::int64_t IntegerFromBytes(int type, const std::uint8_t* bytes) {
    switch (type) {
    case ftShortInt:
        return Load<std::int8_t>(bytes);
    case ftByte:
        return Load<std::uint8_t>(bytes);
    case ftInteger:
        return Load<std::int16_t>(bytes);
    case ftWord:
    case ftDate:
    case ftHidden:
    case ftPeriod:
        return Load<std::uint16_t>(bytes);
    case ftLongInt:
    case ftTime:
        return Load<std::int32_t>(bytes);
    case ftComp:
        return Load<std::int64_t>(bytes);
    default:
        return 0;
    }
}

void IntegerToBytes(int type, std::int64_t value, std::uint8_t* bytes) {
    switch (type) {
    case ftShortInt:
    case ftByte:
        Keep(std::uint8_t(value), bytes);
        break;
    case ftInteger:
    case ftWord:
    case ftDate:
    case ftHidden:
    case ftPeriod:
        Keep(std::uint16_t(value), bytes);
        break;
    case ftLongInt:
    case ftTime:
        Keep(std::uint32_t(value), bytes);
        break;
    case ftComp:
        Keep(value, bytes);
        break;
    default:
        break;
    }
}

void IntegerTypeRange(int type, std::int64_t& minimum, std::int64_t& maximum) {
    switch (type) {
    case ftShortInt:
        minimum = -128, maximum = 127;
        break;
    case ftByte:
        minimum = 0, maximum = 255;
        break;
    case ftInteger:
        minimum = -32767, maximum = 32767;
        break;
    case ftWord:
        minimum = 0, maximum = 65535;
        break;
    case ftLongInt:
        minimum = -2147483647, maximum = 2147483647;
        break;
    default:
        maximum = std::numeric_limits<std::int64_t>::max();
        minimum = -maximum;
        break;
    }
}

long double RealFromBytes(int type, const std::uint8_t* bytes) {
    switch (type) {
    case ftSingle:
        return Load<float>(bytes);
    case ftReal:
        return UnpackReal48(bytes);
    case ftDouble:
        return Load<double>(bytes);
    case ftExtended:
        return UnpackExtended(bytes);
    default:
        return 0;
    }
}

// The conversions to float and double round to the nearest, ties to even (the default
// floating-point environment).
bool RealToBytes(int type, long double value, std::uint8_t* bytes) {
    if (type == ftExtended) {
        PackExtended(value, bytes);
        return true;
    }
    if (!std::isfinite(value))
        return false;
    switch (type) {
    case ftSingle:
        if (!Fits<float>(value))
            return false;
        Keep(float(value), bytes);
        return true;
    case ftReal:
        return PackReal48(value, bytes);
    case ftDouble:
        if (!Fits<double>(value))
            return false;
        Keep(double(value), bytes);
        return true;
    default:
        return false;
    }
}

std::string FixedText(long double value, int decimals) {
    if (value == 0)
        value = 0;
    decimals = std::clamp(decimals, 0, 255);
    // The widest fixed form: the extended range's 4933 integer digits, sign, point, decimals.
    std::vector<char> buffer(4933 + 2 + 256);
    auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

} // namespace zarvo
