// tResourceStream: a read-only stream over one of the program's embedded resources.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "library/stream.h"
#include "platform/resources.h"

namespace zarvo {

class tResourceStream : public tStream {
  public:
    // Looks Name up upper-cased; when it is missing, Status is -2 and an application error
    // "Ресурс "%s" не найден." names it as the caller wrote it.
    tResourceStream(std::uint16_t resourceType, std::string_view name);

    void Read(void* buffer, std::uint16_t count) override;
    void Seek(std::int64_t pos) override;
    // A resource cannot be changed: Error(-4, 0).
    void Write(const void* buffer, std::uint16_t count) override;
    // Not supported: Error(-1, 0).
    void Truncate() override;

  private:
    std::span<const std::uint8_t> m_Bytes;
};

} // namespace zarvo
