// tDosStream: a status-based stream over a disk file, used for the test file and the
// protocol file; tTempStream and the network test build on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "library/stream.h"
#include "platform/os_file.h"

namespace zarvo {

// Messages show at most this many trailing characters of a file name, after "...".
inline constexpr std::size_t kShownFileNameLength = 70;

class tDosStream : public tStream {
  public:
    // Mode as the file layer reads it (15360 creates; 34 opens for reading and writing while
    // others may read). With tFileCaching::Direct, Read and Write hand the caller's buffers
    // to the system as they are, so they must be aligned to kDirectIoAlignment.
    tDosStream(std::string_view fileName, std::uint16_t mode,
               tFileCaching caching = tFileCaching::Normal);
    tDosStream(std::string_view fileName, std::uint16_t elementSize, std::uint16_t mode,
               tFileCaching caching = tFileCaching::Normal);
    // Over a file the caller opened (on a thread of its own, relative to a directory, ...);
    // one that is not open is the open's failure, with the system's reason in LastOsError.
    tDosStream(tOsFile&& file, std::string_view fileName, std::uint16_t mode);
    // Closes the file; a failure there is lost, so callers that care use Close first.
    ~tDosStream() override;

    bool Valid(std::uint16_t command) override;
    std::int64_t GetSize() override;
    void Flush() override;
    void Read(void* buffer, std::uint16_t count) override;
    void Reset() override;
    void Seek(std::int64_t pos) override;
    void Truncate() override;
    void Write(const void* buffer, std::uint16_t count) override;
    // Byte ranges; while another process holds the range the lock is tried again every
    // 50 ms until 250 ms have passed.
    bool LockRange(std::int64_t offset, std::int64_t count) override;
    bool UnlockRange(std::int64_t offset, std::int64_t count) override;

    // A transfer in two halves, for a caller that moves the bytes on a thread of its own:
    // MoveBytes touches only the file (from one thread at a time, with no error posted; the
    // system's reason stays in that thread's LastOsError); AccountBytes, back on the stream's
    // own thread, does with the outcome what Read or Write does.
    enum class tTransferKind { Read, Write };
    std::int64_t MoveBytes(tTransferKind kind, void* buffer, std::uint16_t count);
    void AccountBytes(tTransferKind kind, std::uint16_t count, std::int64_t moved, int osError);

    // Closes the file now; a close the system reports as failed is Error(-4, its code).
    bool Close();
    // Drops the file's cached pages so the next read comes from the server.
    bool DropCache() { return m_File.IsOpen() && m_File.DropCache(); }
    // COUNT bytes at OFFSET as the server has them now (the range's cached pages dropped
    // first), the stream's position untouched; bytes read or -1, touching only the file as
    // MoveBytes does.
    std::int64_t RereadAt(std::int64_t offset, void* buffer, std::size_t count) {
        if (!m_File.IsOpen() || !m_File.DropCache(offset, std::int64_t(count)))
            return -1;
        return m_File.ReadAt(buffer, count, offset);
    }
    // Whether transfers really bypass the page cache.
    bool DirectIo() const { return m_File.DirectIo(); }
    bool IsOpen() const { return m_File.IsOpen(); }

    const std::string& FileName() const { return m_FileName; }
    std::uint16_t Mode() const { return m_Mode; }
    // Which file is open.
    bool FileId(tFileId& id) const { return m_File.Id(id); }

  protected:
    std::string ErrorText(std::int16_t code, std::int32_t info) override;
    // Opens nothing: for descendants that choose the file themselves.
    explicit tDosStream(std::uint16_t elementSize);
    tOsFile& File() { return m_File; }
    void SetFileName(std::string_view fileName) { m_FileName = fileName.substr(0, 255); }
    // Sets the name for messages when a descendant opens the file itself.
    void Open(std::string_view fileName, std::uint16_t mode, tFileCaching caching);

  private:
    bool TakeFileSize(std::int64_t& elements);

    tOsFile m_File;
    std::string m_FileName;
    std::uint16_t m_Mode = 0;
};

// A file name as messages show it: names longer than 70 characters become "..." and their
// last 70 characters.
std::string ShownFileName(std::string_view fileName);

} // namespace zarvo
