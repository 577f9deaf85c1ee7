// The CRC-32 the test file's chain is made of: table, check value, chaining and the fast tail.
#include "library/crc32.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace zarvo {
namespace {

// Catches a wrong polynomial or table generation.
TEST(Crc32, TableHasThePublishedEntries) {
    EXPECT_EQ(kCrcTable[0], 0u) << "entry 0 must be 0";
    EXPECT_EQ(kCrcTable[1], 0x77073096u) << "entry 1 of the reflected CRC-32 table";
    EXPECT_EQ(kCrcTable[128], 0xEDB88320u) << "entry 128 is the polynomial itself";
    EXPECT_EQ(kCrcTable[255], 0x2D02EF8Du) << "entry 255 of the reflected CRC-32 table";
}

// Catches a final complement, a wrong start value or a wrong update step.
TEST(Crc32, CheckValueIsUncomplemented) {
    std::uint32_t crc = 0;
    CrcInit(crc);
    EXPECT_EQ(crc, 0xFFFFFFFFu) << "CrcInit starts at FFFFFFFF hex";
    EXPECT_EQ(CrcUpdate("123456789", 9, crc), 0x340BC6D9u)
        << "expected the complement of the conventional check value CBF43926";
}

// Catches a routine that touches the value when given no bytes.
TEST(Crc32, EmptyUpdateKeepsTheValue) {
    EXPECT_EQ(CrcUpdate(nullptr, 0, 0x12345678u), 0x12345678u) << "length 0 returns Crc unchanged";
}

// Catches state kept between calls or a reset inside the update.
TEST(Crc32, SplitUpdatesChain) {
    std::uint32_t whole = CrcUpdate("123456789", 9, 0xFFFFFFFFu);
    std::uint32_t split = CrcUpdate("56789", 5, CrcUpdate("1234", 4, 0xFFFFFFFFu));
    EXPECT_EQ(split, whole) << "updating over 1234 then 56789 must equal one update";
}

// Catches a fast tail that disagrees with the plain update over a whole 32-byte block.
TEST(Crc32, TailOfBlockMatchesPlainUpdate) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::array<std::uint8_t, 32> block{};
        block[0] = 27;
        for (int i = 1; i < 28; ++i)
            block[i] = std::uint8_t(random());
        std::uint32_t chain = random();
        for (int i = 0; i < 4; ++i)
            block[28 + i] = std::uint8_t(chain >> (8 * i));
        std::uint32_t head = CrcUpdate(block.data(), 28, 0xFFFFFFFFu);
        ASSERT_EQ(CrcUpdate32Tail(head, chain), CrcUpdate(block.data(), 32, 0xFFFFFFFFu))
            << "tail of round " << round << " must equal CrcUpdate over the whole block";
    }
}

} // namespace
} // namespace zarvo
