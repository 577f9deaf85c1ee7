// Files opened the way the program's mode numbers ask, on Linux.
#include "platform/os_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/file_names.h"
#include "platform/os_directory.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

enum class tShareLock { None, Shared, Exclusive };

tShareLock ShareLockOf(std::uint16_t mode) {
    if (mode == kModeCreate)
        return tShareLock::Exclusive;
    switch ((mode >> 4) & 0x0F) {
    case 0:
    case 1:
        return tShareLock::Exclusive;
    case 2:
        return tShareLock::Shared;
    default:
        return tShareLock::None;
    }
}

int AccessFlagsOf(std::uint16_t mode) {
    if (mode == kModeCreate)
        return O_RDWR;
    switch (mode & 3) {
    case 0:
        return O_RDONLY;
    case 1:
        return O_WRONLY;
    default:
        return O_RDWR;
    }
}

bool Fail(int code) {
    SetLastOsError(code);
    return false;
}

bool TakeShareLock(int handle, tShareLock lock) {
    if (lock == tShareLock::None)
        return true;
    int operation = (lock == tShareLock::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    while (flock(handle, operation) != 0) {
        if (errno == EINTR)
            continue;
        // A file system that cannot lock at all does not make the file unusable.
        if (errno == ENOLCK || errno == EOPNOTSUPP)
            return true;
        return Fail(errno == EWOULDBLOCK ? kErrorSharingViolation : errno);
    }
    return true;
}

// A write lock on the whole file for as long as this open file lives.
bool TakeRangeHold(int handle) {
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    while (fcntl(handle, F_OFD_SETLK, &range) != 0) {
        if (errno == EINTR)
            continue;
        if (errno == ENOLCK || errno == EOPNOTSUPP)
            return true;
        return Fail(errno == EAGAIN || errno == EACCES ? kErrorSharingViolation : errno);
    }
    return true;
}

// Whether the name still leads to the file we hold: a copy that was ending may have
// deleted it between our open and our lock.
bool StillNamesFile(int directory, const char* path, int handle, int followFlag) {
    struct stat byName {
    }, byHandle{};
    if (fstatat(directory, path, &byName, followFlag) != 0 || fstat(handle, &byHandle) != 0)
        return false;
    return byName.st_dev == byHandle.st_dev && byName.st_ino == byHandle.st_ino;
}

// Only a regular file is ever written or locked: a fifo or device planted under the name is
// refused (EINVAL). Opened without blocking so that a fifo cannot hang the open; the handle
// blocks from here on. Closes the handle on a refusal.
int KeepOnlyRegularFile(int handle, int flags) {
    struct stat info {};
    int code = 0;
    if (fstat(handle, &info) != 0)
        code = errno;
    else if (!S_ISREG(info.st_mode))
        code = EINVAL;
    else if (fcntl(handle, F_SETFL, flags & ~(O_NONBLOCK | O_CREAT | O_EXCL)) != 0)
        code = errno;
    if (code != 0)
        ::close(handle);
    return code;
}

// Opens PATH in DIRECTORY with FLAGS, once more without O_DIRECT where the file system
// refuses it at the open (FLAGS then lose it).
int OpenTrying(int directory, const char* path, int& flags) {
    int handle = openat(directory, path, flags, 0666);
    if (handle < 0 && errno == EINVAL && (flags & O_DIRECT)) {
        flags &= ~O_DIRECT;
        handle = openat(directory, path, flags, 0666);
    }
    return handle;
}

} // namespace

tOsFile::~tOsFile() {
    Close();
}

tOsFile::tOsFile(tOsFile&& other) noexcept : m_Handle(other.m_Handle), m_Direct(other.m_Direct) {
    other.m_Handle = -1;
}

tOsFile& tOsFile::operator=(tOsFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_Handle = other.m_Handle;
        m_Direct = other.m_Direct;
        other.m_Handle = -1;
    }
    return *this;
}

bool tOsFile::Open(std::string_view name, std::uint16_t mode, tFileCaching caching) {
    Close();
    std::string path = OsPath(name);
    int flags = AccessFlagsOf(mode) | O_CLOEXEC;
    if (caching == tFileCaching::Direct)
        flags |= O_DIRECT;
    // A file made or emptied is never reached through a link: it could lead anywhere.
    if (mode == kModeCreate)
        return OpenCreate(AT_FDCWD, path.c_str(), flags | O_NOFOLLOW,
                          tCreateLock::ShareThenTruncate);
    int handle = OpenTrying(AT_FDCWD, path.c_str(), flags);
    if (handle < 0)
        return Fail(errno);
    return Adopt(handle, flags, TakeShareLock(handle, ShareLockOf(mode)));
}

bool tOsFile::Adopt(int handle, int flags, bool locked) {
    if (!locked) {
        int code = LastOsError();
        ::close(handle);
        return Fail(code);
    }
    m_Handle = handle;
    m_Direct = (flags & O_DIRECT) != 0;
    return true;
}

int OpenAppendHandle(std::string_view name) {
    return OpenAppendHandleAt(OsPath(name).c_str());
}

int OpenAppendHandleAt(const char* path) {
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    // Made when missing; a name taken meanwhile by another copy is opened as it is.
    for (int attempt = 0; attempt < 3; ++attempt) {
        int handle = open(path, kFlags);
        if (handle < 0 && errno == ENOENT) {
            handle = open(path, kFlags | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
            if (handle < 0 && errno == EEXIST)
                continue;
        }
        if (handle < 0) {
            SetLastOsError(errno);
            return -1;
        }
        if (int code = KeepOnlyRegularFile(handle, kFlags & ~O_NONBLOCK); code != 0) {
            SetLastOsError(code);
            return -1;
        }
        return handle;
    }
    // Still nothing to open where the name is taken: a link that leads nowhere.
    SetLastOsError(ELOOP);
    return -1;
}

bool tOsFile::OpenAppend(std::string_view name, std::uint32_t waitMs) {
    Close();
    int handle = OpenAppendHandle(name);
    if (handle < 0)
        return false;
    std::uint32_t waited = 0;
    while (flock(handle, LOCK_EX | LOCK_NB) != 0) {
        int code = errno;
        if (code == ENOLCK || code == EOPNOTSUPP)
            break;
        if ((code != EWOULDBLOCK && code != EINTR) || waited >= waitMs) {
            ::close(handle);
            return Fail(code == EWOULDBLOCK ? kErrorSharingViolation : code);
        }
        usleep(10'000);
        waited += 10;
    }
    return Adopt(handle, O_WRONLY, true);
}

bool tOsFile::OpenHeld(std::string_view name) {
    Close();
    return OpenCreate(AT_FDCWD, OsPath(name).c_str(), O_RDWR | O_CLOEXEC, tCreateLock::WholeRange);
}

bool tOsFile::OpenAt(const tOsDirectory& directory, std::string_view name, std::uint16_t mode,
                     tFileCaching caching) {
    Close();
    std::string path = OsPath(name);
    int flags = AccessFlagsOf(mode) | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    if (mode == kModeCreate)
        flags |= O_CREAT | O_EXCL;
    if (caching == tFileCaching::Direct)
        flags |= O_DIRECT;
    int handle = OpenTrying(directory.Handle(), path.c_str(), flags);
    if (handle < 0)
        return Fail(errno);
    if (int code = KeepOnlyRegularFile(handle, flags); code != 0)
        return Fail(code);
    return Adopt(handle, flags, TakeShareLock(handle, ShareLockOf(mode)));
}

bool tOsFile::OpenHeldAt(const tOsDirectory& directory, std::string_view name, bool& created) {
    Close();
    created = false;
    return OpenCreate(directory.Handle(), OsPath(name).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW,
                      tCreateLock::WholeRange, &created);
}

bool tOsFile::Id(tFileId& id) const {
    return HandleId(m_Handle, id);
}

// Creating never truncates before the lock is ours, so a file another copy holds is left
// intact; and a file deleted under us while we waited is created again.
bool tOsFile::OpenCreate(int directory, const char* path, int flags, tCreateLock lock,
                         bool* created) {
    // Where links are not followed, neither are they when the name is looked at again.
    int followFlag = (flags & O_NOFOLLOW) ? AT_SYMLINK_NOFOLLOW : 0;
    for (int attempt = 0; attempt < 10; ++attempt) {
        bool made = true;
        int tried = flags | O_CREAT | O_EXCL | O_NONBLOCK;
        int handle = OpenTrying(directory, path, tried);
        if (handle < 0 && errno == EEXIST) {
            made = false;
            tried = flags | O_NONBLOCK;
            handle = OpenTrying(directory, path, tried);
            if (handle < 0 && errno == ENOENT)
                continue;
        }
        flags &= tried | ~O_DIRECT;
        if (handle < 0)
            return Fail(errno);
        if (int code = KeepOnlyRegularFile(handle, flags); code != 0)
            return Fail(code);
        bool locked = lock == tCreateLock::WholeRange
                          ? TakeRangeHold(handle)
                          : TakeShareLock(handle, tShareLock::Exclusive);
        if (!locked) {
            int code = LastOsError();
            ::close(handle);
            return Fail(code);
        }
        if (!StillNamesFile(directory, path, handle, followFlag)) {
            ::close(handle);
            continue;
        }
        if (created)
            *created = made;
        if (lock == tCreateLock::ShareThenTruncate && ftruncate(handle, 0) != 0) {
            int code = errno;
            ::close(handle);
            return Fail(code);
        }
        m_Handle = handle;
        m_Direct = (flags & O_DIRECT) != 0;
        return true;
    }
    return Fail(kErrorSharingViolation);
}

// Some file systems accept O_DIRECT at open and refuse it at the first transfer.
bool tOsFile::RetryWithoutDirect() {
    if (!m_Direct || errno != EINVAL)
        return false;
    int flags = fcntl(m_Handle, F_GETFL);
    if (flags < 0 || fcntl(m_Handle, F_SETFL, flags & ~O_DIRECT) != 0)
        return false;
    m_Direct = false;
    return true;
}

// OFFSET below 0 reads on from the file position.
std::int64_t tOsFile::ReadWhole(void* buffer, std::size_t count, std::int64_t offset) {
    std::size_t done = 0;
    while (done < count) {
        char* at = static_cast<char*>(buffer) + done;
        ssize_t got = offset < 0
                          ? ::read(m_Handle, at, count - done)
                          : ::pread(m_Handle, at, count - done, off_t(offset + std::int64_t(done)));
        if (got < 0) {
            if (errno == EINTR || RetryWithoutDirect())
                continue;
            SetLastOsError(errno);
            return done > 0 ? std::int64_t(done) : -1;
        }
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return std::int64_t(done);
}

std::int64_t tOsFile::ReadAt(void* buffer, std::size_t count, std::int64_t offset) {
    return ReadWhole(buffer, count, offset);
}

std::int64_t tOsFile::Read(void* buffer, std::size_t count) {
    return ReadWhole(buffer, count, -1);
}

std::int64_t tOsFile::Write(const void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t put = ::write(m_Handle, static_cast<const char*>(buffer) + done, count - done);
        if (put < 0) {
            if (errno == EINTR || RetryWithoutDirect())
                continue;
            SetLastOsError(errno);
            return done > 0 ? std::int64_t(done) : -1;
        }
        if (put == 0) {
            SetLastOsError(ENOSPC);
            break;
        }
        done += std::size_t(put);
    }
    return std::int64_t(done);
}

std::int64_t tOsFile::Seek(std::int64_t position) {
    off_t result = lseek(m_Handle, off_t(position), SEEK_SET);
    if (result < 0)
        SetLastOsError(errno);
    return result;
}

std::int64_t tOsFile::Position() const {
    off_t result = lseek(m_Handle, 0, SEEK_CUR);
    if (result < 0)
        SetLastOsError(errno);
    return result;
}

std::int64_t tOsFile::Size() const {
    struct stat info {};
    if (fstat(m_Handle, &info) != 0) {
        SetLastOsError(errno);
        return -1;
    }
    return info.st_size;
}

bool tOsFile::Truncate() {
    std::int64_t position = Position();
    if (position < 0)
        return false;
    if (ftruncate(m_Handle, off_t(position)) != 0)
        return Fail(errno);
    return true;
}

bool tOsFile::Flush() {
    while (fdatasync(m_Handle) != 0) {
        if (errno == EINTR)
            continue;
        // Nothing to force on a file system without a backing store.
        if (errno == EINVAL || errno == EROFS)
            return true;
        return Fail(errno);
    }
    return true;
}

bool tOsFile::DropCache(std::int64_t offset, std::int64_t count) {
    int result = posix_fadvise(m_Handle, offset, count, POSIX_FADV_DONTNEED);
    if (result != 0)
        return Fail(result);
    return true;
}

// Open-file-description locks: they belong to this open file, not to the process, and
// network file systems pass them on to the server.
bool tOsFile::SetRangeLock(short type, std::int64_t offset, std::int64_t count) {
    struct flock range {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = off_t(offset);
    range.l_len = off_t(count);
    while (fcntl(m_Handle, F_OFD_SETLK, &range) != 0) {
        if (errno == EINTR)
            continue;
        bool refused = type != F_UNLCK && (errno == EAGAIN || errno == EACCES);
        return Fail(refused ? kErrorLockViolation : errno);
    }
    return true;
}

bool tOsFile::LockRange(std::int64_t offset, std::int64_t count) {
    return SetRangeLock(F_WRLCK, offset, count);
}

bool tOsFile::UnlockRange(std::int64_t offset, std::int64_t count) {
    return SetRangeLock(F_UNLCK, offset, count);
}

bool tOsFile::Close() {
    if (m_Handle < 0)
        return true;
    int handle = m_Handle;
    m_Handle = -1;
    m_Direct = false;
    // Linux closes the descriptor even when close reports an error: never retry.
    if (::close(handle) != 0 && errno != EINTR)
        return Fail(errno);
    return true;
}

} // namespace zarvo
