// tMemoryStream over a byte vector.
#include "library/object_stream_buffer.h"

#include <cstring>

namespace zarvo {

tMemoryStream::tMemoryStream(std::span<const std::uint8_t> bytes)
    : m_Bytes(bytes.begin(), bytes.end()) {
    Size = std::int64_t(m_Bytes.size());
}

void tMemoryStream::Read(void* buffer, std::uint16_t count) {
    if (Status != stOk)
        return;
    if (Position < 0 || Position + count > Size) {
        Error(stReadError, 0);
        return;
    }
    if (count > 0)
        std::memcpy(buffer, m_Bytes.data() + Position, count);
    Position += count;
}

void tMemoryStream::Write(const void* buffer, std::uint16_t count) {
    if (Status != stOk)
        return;
    if (count == 0)
        return;
    std::size_t end = std::size_t(Position) + count;
    if (end > m_Bytes.size())
        m_Bytes.resize(end);
    std::memcpy(m_Bytes.data() + Position, buffer, count);
    Position += count;
    Size = std::int64_t(m_Bytes.size());
}

void tMemoryStream::Truncate() {
    if (Status != stOk)
        return;
    m_Bytes.resize(std::size_t(Position));
    Size = Position;
}

} // namespace zarvo
