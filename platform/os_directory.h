// A directory held by its descriptor: everything made, opened or deleted inside it is reached
// relative to it, never through a symbolic link, so another user of a shared directory cannot
// redirect the program's files to somewhere else by planting or swapping a link.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string_view>

namespace zarvo {

// Which file a name led to; two names lead to the same file when these agree. The type
// tells a link that took over a freed inode number from the file that had it.
struct tFileId {
    dev_t Device = 0;
    ino_t Inode = 0;
    mode_t Type = 0;
    bool operator==(const tFileId&) const = default;
};

// Which file an open handle is.
bool HandleId(int handle, tFileId& id);

// Every failure leaves its error number in LastOsError.
class tOsDirectory {
  public:
    tOsDirectory() = default;
    ~tOsDirectory();
    tOsDirectory(const tOsDirectory&) = delete;
    tOsDirectory& operator=(const tOsDirectory&) = delete;
    tOsDirectory(tOsDirectory&& other) noexcept;
    tOsDirectory& operator=(tOsDirectory&& other) noexcept;

    // The directory NAME (CP866) as the operator named it: links on the way are his own.
    bool Open(std::string_view name);
    // The entry NAME of PARENT, which must itself be a directory: a link is refused (ELOOP),
    // as is anything that is not a directory (ENOTDIR).
    bool OpenChild(const tOsDirectory& parent, std::string_view name);
    bool IsOpen() const { return m_Handle >= 0; }
    int Handle() const { return m_Handle; }
    void Close();

    // Makes the directory NAME inside this one; EEXIST when anything of that name is there.
    bool MakeChild(std::string_view name) const;
    // Removes the empty directory NAME inside this one (never through a link).
    bool RemoveChild(std::string_view name) const;
    // Deletes the entry NAME inside this one; a link is deleted, not what it points to.
    bool DeleteChild(std::string_view name) const;
    // Which file the entry NAME is, without following a link; false when there is none.
    bool ChildId(std::string_view name, tFileId& id) const;
    // Whether the entry NAME exists (a dangling link counts).
    bool HasChild(std::string_view name) const;
    bool Id(tFileId& id) const;
    // Bytes the caller may still write on the directory's file system, -1 when unknown.
    std::int64_t FreeSpace() const;

  private:
    int m_Handle = -1;
};

} // namespace zarvo
