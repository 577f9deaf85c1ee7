// tMemoryStream: a growable byte stream in memory, where the resource tool builds resources
// and tests write object records and read them back.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "library/stream.h"

namespace zarvo {

class tMemoryStream : public tStream {
  public:
    tMemoryStream() = default;
    // A stream holding a copy of BYTES, positioned at the start.
    explicit tMemoryStream(std::span<const std::uint8_t> bytes);

    // Reading past the end is Error(-3, 0).
    void Read(void* buffer, std::uint16_t count) override;
    // Writing past the end extends the stream (a gap reads as zeros).
    void Write(const void* buffer, std::uint16_t count) override;
    // The end moves to the position.
    void Truncate() override;

    const std::vector<std::uint8_t>& Bytes() const { return m_Bytes; }

  private:
    std::vector<std::uint8_t> m_Bytes;
};

} // namespace zarvo
