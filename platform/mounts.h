// The mount table read from /proc/self/mounts: which mount holds a path, which mounts are
// network shares, and a path's universal (share) form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarvo {

// One line of the mount table, with the kernel's octal escapes decoded (UTF-8).
struct tMountEntry {
    std::string Source;     // "//server/share", "server:/export", "user@host:/dir", ...
    std::string MountPoint; // "/mnt/share"
    std::string FsType;     // "cifs", "nfs4", "fuse.sshfs", ...
};

// Parses the text of /proc/self/mounts; malformed lines are skipped.
std::vector<tMountEntry> ParseMountTable(std::string_view text);

// The text of /proc/self/mounts; empty when it cannot be read.
std::string ReadMountTableText();
// The current mount table; empty when it cannot be read.
std::vector<tMountEntry> ReadMountTable();

bool IsNetworkFileSystem(std::string_view fsType);

// The mount holding an absolute path: the longest mount point that prefixes it at a
// component boundary; of equal ones the last, which hides those mounted before it.
// Null when none matches.
const tMountEntry* FindMount(const std::vector<tMountEntry>& mounts, std::string_view path);

// The share's universal form of an absolute path on a network mount (mount source plus the
// rest of the path); the path unchanged when it lies on no network mount.
std::string UniversalName(std::string_view path, const std::vector<tMountEntry>& mounts);

// The mount points the directory chooser offers as drives: "/" first, then every network
// share and every removable medium (under /media, /run/media or /mnt), in mount order,
// each once.
std::vector<std::string> DriveMountPoints(const std::vector<tMountEntry>& mounts);

} // namespace zarvo
