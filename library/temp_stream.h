// tTempStream: a scratch file with a unique name, emptied and deleted when the stream goes.
#pragma once

#include <cstdint>
#include <string_view>

#include "library/dos_stream.h"

namespace zarvo {

class tTempStream : public tDosStream {
  public:
    // Directory: where the file is made; the program's scratch directory when empty.
    explicit tTempStream(std::string_view directory = {}, std::uint16_t elementSize = 1);
    ~tTempStream() override;

  private:
    bool m_Made = false; // a file was made under FileName and must go
};

} // namespace zarvo
