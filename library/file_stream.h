// tFileStream: the exception-raising file stream the execution log writes through. Unlike
// the status-based streams, a failure here is raised as EStreamError and its descendants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/os_file.h"

namespace zarvo {

// Texts are CP866.
class EStreamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
class EFCreateError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// Besides the modes of the file layer, bits 8-9 ask to create the file when it is missing
// (keeping an existing one): the log opens with 833 (write, full sharing, open or create).
inline constexpr std::uint16_t kModeOpenOrCreate = 0x0300;
inline constexpr std::uint16_t kModeLogAppend = 833;

enum class tSeekOrigin { Begin, Current, End };

class tFileStream {
  public:
    // Raises EFCreateError or EFOpenError when the file cannot be made or opened.
    tFileStream(std::string_view fileName, std::uint16_t mode);
    tFileStream(const tFileStream&) = delete;
    tFileStream& operator=(const tFileStream&) = delete;
    ~tFileStream() = default;

    // Bytes moved; fewer than asked at the end of the file. A system error raises.
    std::size_t Read(void* buffer, std::size_t count);
    std::size_t Write(const void* buffer, std::size_t count);
    // Exactly Count bytes or EStreamError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    void WriteText(std::string_view text) { WriteBuffer(text.data(), text.size()); }
    std::int64_t Seek(std::int64_t offset, tSeekOrigin origin);
    std::int64_t Position() const;
    std::int64_t Size() const;
    // Forces the written data to the disk.
    void Flush();
    // Closes now and raises when the system reports the close as failed; the destructor
    // closes quietly.
    void Close();

    const std::string& FileName() const { return m_FileName; }

  private:
    [[noreturn]] void RaiseStreamError(std::string_view what) const;

    tOsFile m_File;
    std::string m_FileName;
};

} // namespace zarvo
