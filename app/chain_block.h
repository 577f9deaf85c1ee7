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
        m_Chain = m_OneStep ^ Fold(kSlices, m_Chain);
        return m_Chain;
    }
    // The next two values at once: the second is computed from the current chain through
    // the squared map, so the two lookups run side by side instead of one after the other.
    void NextTwoValues(std::uint32_t& first, std::uint32_t& second) {
        std::uint32_t chain = m_Chain;
        first = m_OneStep ^ Fold(kSlices, chain);
        second = m_TwoSteps ^ Fold(kSquared, chain);
        m_Chain = second;
    }
    // The next Count values of the chain into Values, exactly as NextValue would make them one
    // by one. After the first four, value k + 4 = c4 ^ F^4(value k): four lanes whose lookups
    // do not wait for each other.
    void FillValues(std::uint32_t* values, std::size_t count);
    std::array<std::uint8_t, kSize> Bytes() const;

  private:
    using tSlices = std::array<std::array<std::uint32_t, 256>, 4>;

    // The register after four more bytes x, from a register of zero: four lookups at once.
    static std::uint32_t Fold(const tSlices& slices, std::uint32_t x) {
        return slices[3][x & 0xFF] ^ slices[2][(x >> 8) & 0xFF] ^ slices[1][(x >> 16) & 0xFF] ^
               slices[0][x >> 24];
    }
    void UpdatePrefix();

    // The first 28 bytes do not change within an iteration, and folding is linear over
    // GF(2), so value = Fold(prefix register) ^ Fold(chain). kSquared folds twice, kFourth
    // four times.
    static const tSlices kSlices;
    static const tSlices kSquared;
    static const tSlices kFourth;

    std::array<std::uint8_t, kSize - 4> m_Prefix{};
    std::uint32_t m_PrefixCrc = 0;
    std::uint32_t m_Chain = 0;
    std::uint32_t m_OneStep = 0;   // Fold(prefix register)
    std::uint32_t m_TwoSteps = 0;  // m_OneStep ^ Fold(m_OneStep)
    std::uint32_t m_FourSteps = 0; // m_TwoSteps ^ Fold(Fold(m_TwoSteps))
};

} // namespace zarvo
