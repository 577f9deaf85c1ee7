// The test block's chain against the CRC routine applied to the whole 32-byte block.
#include "app/chain_block.h"

#include <gtest/gtest.h>

#include <vector>

#include "library/crc32.h"

using namespace zarvo;

namespace {

std::uint32_t CrcOfBlock(const std::array<std::uint8_t, 32>& bytes) {
    std::uint32_t crc;
    CrcInit(crc);
    return CrcUpdate(bytes.data(), 32, crc);
}

} // namespace

// Catches a folded chain that differs from the CRC of the real block bytes.
TEST(TestBlock, EachValueIsTheCrcOfTheBlockHoldingThePreviousValue) {
    std::mt19937 generator(12345);
    tTestBlock block;
    block.Randomize(generator);
    block.SetChain(0);
    for (int k = 0; k < 1000; ++k) {
        std::array<std::uint8_t, 32> before = block.Bytes();
        ASSERT_EQ(before[0], 27) << "the length byte stays 27";
        std::uint32_t value = block.NextValue();
        ASSERT_EQ(value, CrcOfBlock(before)) << "value " << k + 1;
        ASSERT_EQ(block.Chain(), value) << "the value becomes the chain";
    }
}

// Catches a two-value step that drifts from the one-value chain.
TEST(TestBlock, TwoValuesAtOnceMatchTheChain) {
    std::mt19937 generator(99);
    tTestBlock single, paired;
    single.Randomize(generator);
    paired = single;
    for (int k = 0; k < 1000; ++k) {
        std::uint32_t first, second;
        paired.NextTwoValues(first, second);
        ASSERT_EQ(first, single.NextValue()) << "pair " << k;
        ASSERT_EQ(second, single.NextValue()) << "pair " << k;
        ASSERT_EQ(paired.Chain(), single.Chain());
    }
}

// Catches lanes that drift from the one-value chain at a lane, buffer or call boundary.
TEST(TestBlock, ValuesAtLaneSpeedMatchTheChain) {
    for (std::size_t count : {1u, 2u, 3u, 4u, 5u, 8191u, 8192u, 8193u, 1'000'000u}) {
        std::mt19937 generator{std::uint32_t(count)};
        tTestBlock single, lanes;
        single.Randomize(generator);
        single.SetChain(std::uint32_t(generator()));
        lanes = single;
        std::vector<std::uint32_t> values(count);
        // In two calls, so that a call starting in the middle of the chain is covered too.
        std::size_t half = count / 2;
        lanes.FillValues(values.data(), half);
        lanes.FillValues(values.data() + half, count - half);
        for (std::size_t k = 0; k < count; ++k)
            ASSERT_EQ(values[k], single.NextValue()) << "value " << k << " of " << count;
        EXPECT_EQ(lanes.Chain(), single.Chain()) << count << " values";
    }
}

// Catches a read pass that could not reproduce the write pass's sequence.
TEST(TestBlock, RestartingFromZeroReproducesTheSequence) {
    std::mt19937 generator(7);
    tTestBlock block;
    block.Randomize(generator);
    std::vector<std::uint32_t> first, second;
    block.SetChain(0);
    for (int k = 0; k < 100; ++k)
        first.push_back(block.NextValue());
    block.SetChain(0);
    for (int k = 0; k < 100; ++k)
        second.push_back(block.NextValue());
    EXPECT_EQ(first, second);
}

// Catches random bytes that leak into the length byte or stay zero.
TEST(TestBlock, FreshBlockHasZeroRandomPartAndRandomizeKeepsLength) {
    tTestBlock block;
    auto bytes = block.Bytes();
    EXPECT_EQ(bytes[0], 27);
    for (std::size_t i = 1; i < 32; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;
    std::mt19937 generator(1);
    block.Randomize(generator);
    bytes = block.Bytes();
    EXPECT_EQ(bytes[0], 27);
    int nonZero = 0;
    for (std::size_t i = 1; i < 28; ++i)
        nonZero += bytes[i] != 0;
    EXPECT_GT(nonZero, 10) << "27 random bytes are mostly non-zero";
}
