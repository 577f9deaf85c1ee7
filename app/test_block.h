// The 32-byte block whose CRC-32 makes each value of the test file: a length byte 27, 27
// random bytes fixed for one iteration, and the previous value of the chain.
#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace zarvo {

class tTestBlock {
  public:
    static constexpr std::size_t kSize = 32;
    static constexpr std::uint8_t kRandomLength = 27;

    tTestBlock();

    // Fresh random bytes for the next iteration; the length byte stays.
    void Randomize(std::mt19937& generator);
    void SetChain(std::uint32_t value);
    std::uint32_t Chain() const { return m_Chain; }
    // The CRC register after the whole block, from the initial value; it becomes the chain.
    std::uint32_t NextValue() {
        m_Chain = CrcOfChain(m_Chain);
        return m_Chain;
    }
    std::array<std::uint8_t, kSize> Bytes() const;

  private:
    // The first 28 bytes do not change within an iteration, so their register is kept and
    // only the chain's four bytes are folded in per value, four table lookups at once.
    std::uint32_t CrcOfChain(std::uint32_t chain) const {
        std::uint32_t x = m_PrefixCrc ^ chain;
        return kSlices[3][x & 0xFF] ^ kSlices[2][(x >> 8) & 0xFF] ^ kSlices[1][(x >> 16) & 0xFF] ^
               kSlices[0][x >> 24];
    }

    static const std::array<std::array<std::uint32_t, 256>, 4> kSlices;

    std::array<std::uint8_t, kSize - 4> m_Prefix{};
    std::uint32_t m_PrefixCrc = 0;
    std::uint32_t m_Chain = 0;
};

} // namespace zarvo
