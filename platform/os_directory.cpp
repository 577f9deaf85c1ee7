// Directory descriptors on Linux: openat, mkdirat, unlinkat and fstatat, never following a
// link inside the held directory.
#include "platform/os_directory.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <string>

#include "platform/file_names.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

bool Fail(int code) {
    SetLastOsError(code);
    return false;
}

int OpenDirectoryAt(int parent, const std::string& path, int extraFlags) {
    int handle;
    do {
        handle = openat(parent, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
    } while (handle < 0 && errno == EINTR);
    return handle;
}

} // namespace

tOsDirectory::~tOsDirectory() {
    Close();
}

tOsDirectory::tOsDirectory(tOsDirectory&& other) noexcept : m_Handle(other.m_Handle) {
    other.m_Handle = -1;
}

tOsDirectory& tOsDirectory::operator=(tOsDirectory&& other) noexcept {
    if (this != &other) {
        Close();
        m_Handle = other.m_Handle;
        other.m_Handle = -1;
    }
    return *this;
}

bool tOsDirectory::Open(std::string_view name) {
    Close();
    std::string path = OsPath(name);
    int handle = OpenDirectoryAt(AT_FDCWD, path.empty() ? std::string(".") : path, 0);
    if (handle < 0)
        return Fail(errno);
    m_Handle = handle;
    return true;
}

bool tOsDirectory::OpenChild(const tOsDirectory& parent, std::string_view name) {
    Close();
    int handle = OpenDirectoryAt(parent.m_Handle, OsPath(name), O_NOFOLLOW);
    if (handle < 0)
        return Fail(errno);
    m_Handle = handle;
    return true;
}

void tOsDirectory::Close() {
    if (m_Handle < 0)
        return;
    ::close(m_Handle);
    m_Handle = -1;
}

bool tOsDirectory::MakeChild(std::string_view name) const {
    if (mkdirat(m_Handle, OsPath(name).c_str(), 0777) != 0)
        return Fail(errno);
    return true;
}

bool tOsDirectory::RemoveChild(std::string_view name) const {
    if (unlinkat(m_Handle, OsPath(name).c_str(), AT_REMOVEDIR) != 0)
        return Fail(errno);
    return true;
}

bool tOsDirectory::DeleteChild(std::string_view name) const {
    if (unlinkat(m_Handle, OsPath(name).c_str(), 0) != 0)
        return Fail(errno);
    return true;
}

bool tOsDirectory::ChildId(std::string_view name, tFileId& id) const {
    struct stat info {};
    if (fstatat(m_Handle, OsPath(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return Fail(errno);
    id = {info.st_dev, info.st_ino, mode_t(info.st_mode & S_IFMT)};
    return true;
}

bool tOsDirectory::HasChild(std::string_view name) const {
    tFileId id;
    return ChildId(name, id);
}

bool tOsDirectory::Id(tFileId& id) const {
    return HandleId(m_Handle, id);
}

bool HandleId(int handle, tFileId& id) {
    struct stat info {};
    if (fstat(handle, &info) != 0)
        return Fail(errno);
    id = {info.st_dev, info.st_ino, mode_t(info.st_mode & S_IFMT)};
    return true;
}

std::int64_t tOsDirectory::FreeSpace() const {
    struct statvfs info {};
    if (fstatvfs(m_Handle, &info) != 0) {
        SetLastOsError(errno);
        return -1;
    }
    return std::int64_t(info.f_bavail) * std::int64_t(info.f_frsize);
}

} // namespace zarvo
