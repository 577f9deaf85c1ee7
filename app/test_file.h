// The test file on the server, opened so that the transfers reach the server rather than
// the local page cache. Every failure becomes the pending error, naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os_file.h"

namespace zarvo {

class tTestFile {
  public:
    // False (with the error pending) when the file cannot be opened or created.
    bool Open(std::string_view name, std::uint16_t mode);
    bool Write(const void* buffer, std::size_t count);
    bool Read(void* buffer, std::size_t count);
    // Forces written data to the server when the page cache was in the way.
    bool Sync();
    // Makes the next read go to the server when the page cache is in the way.
    bool DropCache();
    bool Close();
    bool DirectIo() const { return m_File.DirectIo(); }

  private:
    void Fail(std::int16_t status, int osError);

    tOsFile m_File;
    std::string m_Name;
};

} // namespace zarvo
