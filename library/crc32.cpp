// The byte-at-a-time CRC-32 update.
#include "library/crc32.h"

namespace zarvo {

std::uint32_t CrcUpdate(const void* buffer, std::uint16_t length, std::uint32_t crc) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    for (std::uint16_t i = 0; i < length; ++i)
        crc = (crc >> 8) ^ kCrcTable[(crc ^ bytes[i]) & 0xFFu];
    return crc;
}

} // namespace zarvo
