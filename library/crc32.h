// The reflected CRC-32 (polynomial EDB88320 hex) as the network test chains it: running
// value FFFFFFFF hex at the start and no final complement.
#pragma once

#include <array>
#include <cstdint>

namespace zarvo {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t value = n;
        for (int step = 0; step < 8; ++step)
            value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        table[n] = value;
    }
    return table;
}

// Made by the compiler: constant data, never built while the program runs.
inline constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

inline void CrcInit(std::uint32_t& crc) {
    crc = 0xFFFFFFFFu;
}

// The running value after Length bytes of Buffer. Longer buffers take several calls, each
// passing the running value on.
std::uint32_t CrcUpdate(const void* buffer, std::uint16_t length, std::uint32_t crc);

// The running value after four more bytes holding Value little-endian: the test's 32-byte
// blocks end with the previous chain value, while their first 28 bytes stay the same for a
// whole pass, so the running value after them is computed once.
inline std::uint32_t CrcUpdate32Tail(std::uint32_t crcAfter28, std::uint32_t value) {
    std::uint32_t crc = crcAfter28 ^ value;
    for (int step = 0; step < 4; ++step)
        crc = (crc >> 8) ^ kCrcTable[crc & 0xFFu];
    return crc;
}

} // namespace zarvo
