// Reading and interpreting the kernel's mount table.
#include "platform/mounts.h"

#include <array>

#include "platform/whole_file.h"

namespace zarvo {

namespace {

constexpr std::array<std::string_view, 15> kNetworkFileSystems = {
    "cifs",      "smb3",        "smbfs",     "nfs",        "nfs4",
    "9p",        "ceph",        "glusterfs", "fuse.sshfs", "fuse.glusterfs",
    "fuse.ceph", "fuse.cephfs", "afs",       "ncpfs",      "lustre",
};

constexpr std::array<std::string_view, 3> kRemovableRoots = {"/media/", "/run/media/", "/mnt/"};

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes space, tab, newline and backslash in names as \ooo.
std::string DecodeField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                        (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        std::size_t end = pos;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > pos)
            fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

bool IsUnder(std::string_view path, std::string_view mountPoint) {
    if (mountPoint == "/")
        return !path.empty() && path.front() == '/';
    if (!path.starts_with(mountPoint))
        return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

bool IsRemovableMountPoint(std::string_view mountPoint) {
    for (std::string_view root : kRemovableRoots)
        if (mountPoint.starts_with(root) && mountPoint.size() > root.size())
            return true;
    return false;
}

} // namespace

std::vector<tMountEntry> ParseMountTable(std::string_view text) {
    std::vector<tMountEntry> mounts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::vector<std::string_view> fields = SplitFields(text.substr(pos, end - pos));
        if (fields.size() >= 3 && fields[1].front() == '/')
            mounts.push_back(
                {DecodeField(fields[0]), DecodeField(fields[1]), DecodeField(fields[2])});
        pos = end + 1;
    }
    return mounts;
}

std::string ReadMountTableText() {
    return ReadWholeFile("/proc/self/mounts").Text;
}

std::vector<tMountEntry> ReadMountTable() {
    return ParseMountTable(ReadMountTableText());
}

bool IsNetworkFileSystem(std::string_view fsType) {
    for (std::string_view known : kNetworkFileSystems)
        if (fsType == known)
            return true;
    return false;
}

const tMountEntry* FindMount(const std::vector<tMountEntry>& mounts, std::string_view path) {
    const tMountEntry* best = nullptr;
    for (const tMountEntry& mount : mounts)
        if (IsUnder(path, mount.MountPoint) &&
            (!best || mount.MountPoint.size() >= best->MountPoint.size()))
            best = &mount;
    return best;
}

std::string UniversalName(std::string_view path, const std::vector<tMountEntry>& mounts) {
    const tMountEntry* mount = FindMount(mounts, path);
    if (!mount || !IsNetworkFileSystem(mount->FsType))
        return std::string(path);
    std::string_view rest = path.substr(mount->MountPoint == "/" ? 0 : mount->MountPoint.size());
    std::string result = mount->Source;
    // "host:" names the remote home directory, so the rest continues relative to it;
    // a source ending in "/" already carries the separator.
    if (!rest.empty() && (result.ends_with(':') || result.ends_with('/')))
        rest.remove_prefix(1);
    result += rest;
    return result;
}

std::vector<std::string> DriveMountPoints(const std::vector<tMountEntry>& mounts) {
    std::vector<std::string> drives{"/"};
    for (const tMountEntry& mount : mounts) {
        if (!IsNetworkFileSystem(mount.FsType) && !IsRemovableMountPoint(mount.MountPoint))
            continue;
        bool known = false;
        for (const std::string& drive : drives)
            known = known || drive == mount.MountPoint;
        if (!known)
            drives.push_back(mount.MountPoint);
    }
    return drives;
}

} // namespace zarvo
