// The stored forms of the 6-byte and the 80-bit reals, byte by byte, at their edges.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "records/extended.h"
#include "records/real48.h"

namespace zarvo {
namespace {

using tReal48Bytes = std::array<std::uint8_t, 6>;
using tExtendedBytes = std::array<std::uint8_t, 10>;

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
    std::string text;
    char piece[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(piece, sizeof piece, "%02X ", bytes[i]);
        text += piece;
    }
    return text;
}

// Catches a wrong bias, fraction order, sign place or rounding rule in the 6-byte real.
TEST(Real48Test, PacksToItsBitLayout) {
    struct tCase {
        const char* What;
        long double Value;
        tReal48Bytes Bytes;
    };
    const long double ulp = std::ldexp(1.0L, -39); // of 1.0
    const tCase cases[] = {
        {"zero", 0.0L, {0, 0, 0, 0, 0, 0}},
        {"negative zero", -0.0L, {0, 0, 0, 0, 0, 0}},
        {"one", 1.0L, {0x81, 0, 0, 0, 0, 0}},
        {"minus one", -1.0L, {0x81, 0, 0, 0, 0, 0x80}},
        {"one half", 0.5L, {0x80, 0, 0, 0, 0, 0}},
        {"minus 1.5", -1.5L, {0x81, 0, 0, 0, 0, 0xC0}},
        {"one tenth, rounded up", 0.1L, {0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}},
        {"largest", (2.0L - ulp) * std::ldexp(1.0L, 126), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        {"smallest", std::ldexp(1.0L, -128), {0x01, 0, 0, 0, 0, 0}},
        {"tie rounds to the even fraction 0", 1.0L + ulp / 2, {0x81, 0, 0, 0, 0, 0}},
        {"tie rounds to the even fraction 2", 1.0L + ulp + ulp / 2, {0x81, 2, 0, 0, 0, 0}},
        {"above the tie rounds up", 1.0L + ulp / 2 + ulp / 4, {0x81, 1, 0, 0, 0, 0}},
        {"rounding carries into the exponent", 2.0L - ulp / 4, {0x82, 0, 0, 0, 0, 0}},
        {"half the smallest goes to zero", std::ldexp(1.0L, -129), {0, 0, 0, 0, 0, 0}},
        {"above half the smallest goes up", std::ldexp(1.5L, -129), {0x01, 0, 0, 0, 0, 0}},
        {"far below the smallest", -std::ldexp(1.0L, -200), {0, 0, 0, 0, 0, 0}},
    };
    for (const tCase& c : cases) {
        tReal48Bytes bytes{};
        ASSERT_TRUE(PackReal48(c.Value, bytes.data())) << c.What;
        EXPECT_EQ(Hex(bytes.data(), 6), Hex(c.Bytes.data(), 6)) << c.What;
    }
}

// Catches values the format cannot hold being written as something else.
TEST(Real48Test, RefusesWhatItCannotHold) {
    const long double refused[] = {
        std::ldexp(1.0L, 127),
        -std::ldexp(1.0L, 127),
        // The largest plus half its last unit: the tie goes up, past the largest.
        (2.0L - std::ldexp(1.0L, -40)) * std::ldexp(1.0L, 126),
        std::numeric_limits<long double>::infinity(),
        std::numeric_limits<long double>::quiet_NaN(),
    };
    for (long double value : refused) {
        tReal48Bytes bytes{7, 7, 7, 7, 7, 7};
        EXPECT_FALSE(PackReal48(value, bytes.data())) << double(value);
        EXPECT_EQ(bytes, (tReal48Bytes{7, 7, 7, 7, 7, 7})) << "expected nothing written";
    }
}

// Catches unpacking that loses fraction bits or ignores the exponent-0 rule.
TEST(Real48Test, UnpacksExactly) {
    struct tCase {
        tReal48Bytes Bytes;
        double Value;
    };
    const tCase cases[] = {
        {{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0.0}, // exponent 0 is zero whatever follows
        {{0x81, 0, 0, 0, 0, 0x80}, -1.0},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, Real48Max()},
        {{0x01, 0, 0, 0, 0, 0}, Real48MinPositive()},
        {{0x81, 1, 0, 0, 0, 0}, 1.0 + std::ldexp(1.0, -39)},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(UnpackReal48(c.Bytes.data()), c.Value) << Hex(c.Bytes.data(), 6);
    EXPECT_DOUBLE_EQ(Real48Max(), 1.7014118346031449e38);
}

// Catches a wrong significand order, bias, denormal shift or special encoding in the
// extended real.
TEST(ExtendedTest, PacksToItsBitLayout) {
    struct tCase {
        const char* What;
        long double Value;
        tExtendedBytes Bytes;
    };
    const tCase cases[] = {
        {"zero", 0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"negative zero", -0.0L, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}},
        {"one", 1.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
        {"minus two", -2.0L, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
        {"one tenth", 0.1L, {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},
        {"largest",
         std::numeric_limits<long double>::max(),
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F}},
        {"smallest normal",
         std::numeric_limits<long double>::min(),
         {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0}},
        {"smallest denormal",
         std::numeric_limits<long double>::denorm_min(),
         {1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"minus infinity",
         -std::numeric_limits<long double>::infinity(),
         {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF}},
        {"NaN",
         std::numeric_limits<long double>::quiet_NaN(),
         {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}},
    };
    for (const tCase& c : cases) {
        tExtendedBytes bytes{};
        PackExtended(c.Value, bytes.data());
        EXPECT_EQ(Hex(bytes.data(), 10), Hex(c.Bytes.data(), 10)) << c.What;
        if (!std::isnan(c.Value)) {
            long double back = UnpackExtended(c.Bytes.data());
            EXPECT_TRUE(back == c.Value && std::signbit(back) == std::signbit(c.Value))
                << c.What << ": expected the bytes to read back as the value";
        }
    }
}

// Catches the software form drifting from the host's own 80-bit long double.
TEST(ExtendedTest, AgreesWithTheHostFormat) {
    const long double values[] = {
        3.14159265358979323846L, -1e4000L, 1e-4940L, 65535.0L, -0.000123L, 1.0L / 3.0L};
    for (long double value : values) {
        tExtendedBytes packed{}, host{};
        PackExtended(value, packed.data());
        std::memcpy(host.data(), &value, 10);
        EXPECT_EQ(Hex(packed.data(), 10), Hex(host.data(), 10)) << double(value);
        EXPECT_EQ(UnpackExtended(packed.data()), value);
    }
}

// Catches encodings the processor refuses (damaged bytes) read as ordinary numbers.
TEST(ExtendedTest, InvalidEncodingsReadAsNaN) {
    const tExtendedBytes invalid[] = {
        {0, 0, 0, 0, 0, 0, 0, 0x40, 0x01, 0},    // exponent without the integer bit
        {0, 0, 0, 0, 0, 0, 0, 0x00, 0xFF, 0x7F}, // top exponent without the integer bit
    };
    for (const tExtendedBytes& bytes : invalid)
        EXPECT_TRUE(std::isnan(UnpackExtended(bytes.data()))) << Hex(bytes.data(), 10);
}

} // namespace
} // namespace zarvo
