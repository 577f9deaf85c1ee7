// The file layer under the program's streams: open modes with their share modes emulated by
// advisory locks, byte-range locks, and the switches that keep the page cache out of a
// network measurement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zarvo {

class tOsDirectory;
struct tFileId;

// A descriptor for appending to NAME (CP866), or -1 with the reason in LastOsError. A link
// to an existing regular file is followed (several working directories may share one
// journal); nothing is ever made through a link, and only a regular file is opened.
int OpenAppendHandle(std::string_view name);
// The same for a name as the system takes it; allocates nothing, for the process's last steps.
int OpenAppendHandleAt(const char* osPath);

// Mode 3C00 hex creates (or replaces) a file for reading and writing with no sharing, never
// through a link (ELOOP). Any
// other mode opens an existing file: bits 0-1 the access (0 read, 1 write, 2 both), bits 4-7
// the sharing (0 or 1 none, 2 others may read, 3 others may write, 4 others may do both).
inline constexpr std::uint16_t kModeCreate = 0x3C00;
inline constexpr std::uint16_t kModeReadWriteDenyWrite = 0x22;

enum class tFileCaching {
    Normal,
    // Bypass the local page cache where the file system allows it (O_DIRECT); buffers and
    // transfer sizes must then be multiples of kDirectIoAlignment.
    Direct,
};

inline constexpr std::size_t kDirectIoAlignment = 4096;

// One open file. Every failure leaves its error number in LastOsError (a refused share lock
// is kErrorSharingViolation, a refused byte-range lock kErrorLockViolation).
class tOsFile {
  public:
    tOsFile() = default;
    ~tOsFile();
    tOsFile(const tOsFile&) = delete;
    tOsFile& operator=(const tOsFile&) = delete;
    tOsFile(tOsFile&& other) noexcept;
    tOsFile& operator=(tOsFile&& other) noexcept;

    // Name is CP866, as the program sees file names.
    bool Open(std::string_view name, std::uint16_t mode,
              tFileCaching caching = tFileCaching::Normal);
    // Opens the file for reading and writing, creating it when missing and never truncating
    // it, and holds a lock on the whole of it until it is closed: an open-file-description
    // lock, which network file systems forward to the server. A lock held elsewhere is
    // kErrorSharingViolation; where the file system cannot lock, the file is held unlocked.
    bool OpenHeld(std::string_view name);
    // Inside a held directory, never through a link (ELOOP) and only a regular file. Mode
    // 3C00 hex makes a new file and fails with EEXIST when the name is taken, so nothing of
    // somebody else's is ever truncated; the other modes open an existing file.
    bool OpenAt(const tOsDirectory& directory, std::string_view name, std::uint16_t mode,
                tFileCaching caching = tFileCaching::Normal);
    // OpenHeld inside a held directory, never through a link; Created tells whether this
    // call made the file.
    bool OpenHeldAt(const tOsDirectory& directory, std::string_view name, bool& created);
    // Which file is open.
    bool Id(tFileId& id) const;
    // Opens a shared journal for appending (OpenAppendHandle), under an exclusive lock
    // waited for at most WAITMS (kErrorSharingViolation after that), so that whole entries
    // of several copies follow one another.
    bool OpenAppend(std::string_view name, std::uint32_t waitMs);
    bool IsOpen() const { return m_Handle >= 0; }
    int Handle() const { return m_Handle; }
    // Whether transfers really bypass the page cache.
    bool DirectIo() const { return m_Direct; }

    // Bytes moved, or -1. A short count is not an error here; the caller decides.
    std::int64_t Read(void* buffer, std::size_t count);
    std::int64_t Write(const void* buffer, std::size_t count);
    // New position, or -1.
    std::int64_t Seek(std::int64_t position);
    std::int64_t Position() const;
    std::int64_t Size() const;
    // Ends the file at the current position.
    bool Truncate();
    // Forces the file's data to the device or server.
    bool Flush();
    // Drops the file's clean cached pages so the next read goes to the server; COUNT 0 means
    // to the end of the file.
    bool DropCache(std::int64_t offset = 0, std::int64_t count = 0);
    // Bytes read at OFFSET without moving the position, or -1.
    std::int64_t ReadAt(void* buffer, std::size_t count, std::int64_t offset);
    // One attempt each; the retry rule belongs to the callers.
    bool LockRange(std::int64_t offset, std::int64_t count);
    bool UnlockRange(std::int64_t offset, std::int64_t count);
    // Closes the file; false when the system reports an error at close (a share may say
    // only there that it lost data).
    bool Close();

  private:
    enum class tCreateLock { ShareThenTruncate, WholeRange };
    // Keeps a handle just opened with FLAGS, once LOCKED (false: it was closed).
    bool Adopt(int handle, int flags, bool locked);
    bool OpenCreate(int directory, const char* path, int flags, tCreateLock lock,
                    bool* created = nullptr);
    bool RetryWithoutDirect();
    std::int64_t ReadWhole(void* buffer, std::size_t count, std::int64_t offset);
    bool SetRangeLock(short type, std::int64_t offset, std::int64_t count);

    int m_Handle = -1;
    bool m_Direct = false;
};

} // namespace zarvo
