// The test block and the four-byte slices of the CRC table that fold the chain in.
#include "app/chain_block.h"

#include "library/crc32.h"

namespace zarvo {

namespace {

constexpr std::array<std::array<std::uint32_t, 256>, 4> MakeSlices() {
    std::array<std::array<std::uint32_t, 256>, 4> slices{};
    for (std::size_t n = 0; n < 256; ++n)
        slices[0][n] = kCrcTable[n];
    for (std::size_t k = 1; k < 4; ++k)
        for (std::size_t n = 0; n < 256; ++n)
            slices[k][n] = (slices[k - 1][n] >> 8) ^ slices[0][slices[k - 1][n] & 0xFF];
    return slices;
}

} // namespace

const tTestBlock::tSlices tTestBlock::kSlices = MakeSlices();

const tTestBlock::tSlices tTestBlock::kSquared = [] {
    tSlices squared{};
    for (std::size_t k = 0; k < 4; ++k)
        for (std::uint32_t n = 0; n < 256; ++n)
            squared[3 - k][n] = Fold(kSlices, Fold(kSlices, n << (8 * k)));
    return squared;
}();

const tTestBlock::tSlices tTestBlock::kFourth = [] {
    tSlices fourth{};
    for (std::size_t k = 0; k < 4; ++k)
        for (std::uint32_t n = 0; n < 256; ++n)
            fourth[3 - k][n] = Fold(kSquared, Fold(kSquared, n << (8 * k)));
    return fourth;
}();

void tTestBlock::UpdatePrefix() {
    std::uint32_t crc;
    CrcInit(crc);
    m_PrefixCrc = CrcUpdate(m_Prefix.data(), std::uint16_t(m_Prefix.size()), crc);
    m_OneStep = Fold(kSlices, m_PrefixCrc);
    m_TwoSteps = m_OneStep ^ Fold(kSlices, m_OneStep);
    m_FourSteps = m_TwoSteps ^ Fold(kSquared, m_TwoSteps);
}

void tTestBlock::FillValues(std::uint32_t* values, std::size_t count) {
    std::size_t k = 0;
    for (; k < count && k < 4; ++k)
        values[k] = NextValue();
    for (; k + 4 <= count; k += 4) {
        values[k] = m_FourSteps ^ Fold(kFourth, values[k - 4]);
        values[k + 1] = m_FourSteps ^ Fold(kFourth, values[k - 3]);
        values[k + 2] = m_FourSteps ^ Fold(kFourth, values[k - 2]);
        values[k + 3] = m_FourSteps ^ Fold(kFourth, values[k - 1]);
    }
    for (; k < count; ++k)
        values[k] = m_OneStep ^ Fold(kSlices, values[k - 1]);
    if (count > 0)
        m_Chain = values[count - 1];
}

tTestBlock::tTestBlock() {
    m_Prefix[0] = kRandomLength;
    SetChain(0);
    UpdatePrefix();
}

void tTestBlock::Randomize(std::mt19937& generator) {
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 1; i < m_Prefix.size(); ++i)
        m_Prefix[i] = std::uint8_t(byte(generator));
    UpdatePrefix();
}

void tTestBlock::SetChain(std::uint32_t value) {
    m_Chain = value;
}

std::array<std::uint8_t, tTestBlock::kSize> tTestBlock::Bytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    for (std::size_t i = 0; i < m_Prefix.size(); ++i)
        bytes[i] = m_Prefix[i];
    for (std::size_t i = 0; i < 4; ++i)
        bytes[m_Prefix.size() + i] = std::uint8_t(m_Chain >> (8 * i));
    return bytes;
}

} // namespace zarvo
