// Path and directory operations: CP866 names in, UTF-8 names to the system.
#include "library/paths.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <glob.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

#include "library/startup_facts.h"
#include "platform/file_names.h"
#include "platform/mounts.h"
#include "platform/os_error.h"

namespace zarvo {

namespace {

// The system name of a CP866 path; the empty path is the current directory.
std::string OsName(std::string_view path) {
    return path.empty() ? "." : OsPath(path);
}

bool StatPath(std::string_view path, struct stat& info) {
    if (stat(OsName(path).c_str(), &info) == 0)
        return true;
    SetLastOsError(errno);
    return false;
}

bool HasWildcards(std::string_view path) {
    return path.find_first_of("*?") != std::string_view::npos;
}

std::string CurrentOsDirectory() {
    std::string buffer(PATH_MAX, '\0');
    if (!getcwd(buffer.data(), buffer.size()))
        return "/";
    buffer.resize(buffer.find('\0'));
    return buffer;
}

// An absolute form of a path that need not exist: "." and ".." resolved by their names.
std::string LexicalAbsolute(const std::string& osPath) {
    std::string whole = osPath.starts_with('/') ? osPath : CurrentOsDirectory() + "/" + osPath;
    std::vector<std::string> parts;
    std::istringstream components(whole);
    for (std::string part; std::getline(components, part, '/');) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else {
            parts.push_back(part);
        }
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

} // namespace

std::string AddBackslash(std::string_view path) {
    if (path.empty() || path.back() == '/')
        return std::string(path);
    return std::string(path) + "/";
}

std::string RemoveBackslash(std::string_view path) {
    if (path.empty() || path == "/" || path == "//" || path.back() != '/')
        return std::string(path);
    return std::string(path.substr(0, path.size() - 1));
}

tPathKind PathKind(std::string_view path) {
    if (path.starts_with("//"))
        return pkNetwork;
    if (path.starts_with('/'))
        return pkAbsolute;
    return pkRelative;
}

std::string ExtractFileDir(std::string_view path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

bool DirectoryExists(std::string_view path) {
    struct stat info {};
    return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool ForceDirectories(std::string_view path) {
    if (path.empty() || DirectoryExists(path))
        return true;
    std::string directory = RemoveBackslash(path);
    std::string parent = ExtractFileDir(directory);
    if (parent.size() >= directory.size())
        return false;
    if (!parent.empty() && !ForceDirectories(parent))
        return false;
    if (mkdir(OsPath(directory).c_str(), 0777) == 0)
        return true;
    int error = errno;
    // Someone else may have made it in the meantime; that is just as good.
    if (error == EEXIST && DirectoryExists(directory))
        return true;
    SetLastOsError(error);
    return false;
}

std::int64_t FileSize(std::string_view path) {
    struct stat info {};
    if (!HasWildcards(path))
        return StatPath(path, info) && !S_ISDIR(info.st_mode) ? std::int64_t(info.st_size) : -1;
    glob_t matches{};
    std::int64_t size = -1;
    if (glob(OsPath(path).c_str(), 0, nullptr, &matches) == 0) {
        for (std::size_t i = 0; i < matches.gl_pathc && size < 0; ++i)
            if (stat(matches.gl_pathv[i], &info) == 0 && !S_ISDIR(info.st_mode))
                size = std::int64_t(info.st_size);
    }
    globfree(&matches);
    return size;
}

bool FileExists(std::string_view path) {
    struct stat info {};
    return !path.empty() && StatPath(path, info) && !S_ISDIR(info.st_mode);
}

// The old platform retried after clearing a read-only attribute; here a file's own mode
// never keeps it from being deleted, so one attempt is all there is.
bool DeleteFile(std::string_view path) {
    if (path.empty())
        return false;
    if (unlink(OsPath(path).c_str()) == 0)
        return true;
    SetLastOsError(errno);
    return false;
}

bool RemoveDirectory(std::string_view path) {
    if (path.empty())
        return false;
    if (rmdir(OsPath(path).c_str()) == 0)
        return true;
    SetLastOsError(errno);
    return false;
}

std::int64_t FreeSpace(std::string_view directory) {
    struct statvfs info {};
    if (statvfs(OsName(AddBackslash(directory)).c_str(), &info) != 0) {
        SetLastOsError(errno);
        return -1;
    }
    return std::int64_t(info.f_bavail) * std::int64_t(info.f_frsize);
}

std::string ExpandUNCName(std::string_view path, std::string_view mountTable) {
    std::string osPath = OsName(path);
    std::string full;
    if (char* resolved = realpath(osPath.c_str(), nullptr)) {
        full = resolved;
        std::free(resolved);
    } else {
        full = LexicalAbsolute(osPath);
    }
    full = UniversalName(full, ParseMountTable(mountTable));
    if (path.ends_with('/') && !full.ends_with('/'))
        full += '/';
    return FromOsPath(full);
}

std::string ExpandUNCName(std::string_view path) {
    return ExpandUNCName(path, ReadMountTableText());
}

std::string ScratchDirectory() {
    std::string directory = StartupFacts().InWorkingDirectory("TEMP");
    return ForceDirectories(directory) ? directory : std::string();
}

std::string UniqueTempFile(std::string_view directory, std::string_view prefix) {
    std::string base = directory.empty() ? ScratchDirectory() : std::string(directory);
    std::string pattern = OsPath(AddBackslash(base) + std::string(prefix)) + "XXXXXX";
    int handle = mkstemp(pattern.data());
    if (handle < 0) {
        SetLastOsError(errno);
        return {};
    }
    if (close(handle) != 0) {
        SetLastOsError(errno);
        unlink(pattern.c_str());
        return {};
    }
    return FromOsPath(pattern);
}

} // namespace zarvo
