// Directory listings and directory making on worker threads with a time limit. A call into a
// network file system whose server is gone can block for good; the worker is then left to
// itself (detached) and the tree goes on without its answer.
#include "dirselect/directory_scan.h"

#include "library/bounded_call.h"

#include <dirent.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <chrono>

namespace zarvo {

namespace {

// Paths with a worker out; a second worker on a path that hangs would only hang as well.
struct tPendingPaths {
    std::mutex Lock;
    std::multiset<std::string> Paths;
};

tPendingPaths& Pending() {
    static tPendingPaths pending;
    return pending;
}

// Runs WORK on its own thread under KEY; true when it ended within TIMEOUTMS. False at once
// when another work on KEY is still out.
bool RunBoundedOnce(const std::string& key, std::function<void()> work, std::uint32_t timeoutMs) {
    {
        std::lock_guard lock(Pending().Lock);
        if (Pending().Paths.contains(key))
            return false;
        Pending().Paths.insert(key);
    }
    // The key is let go when the work ends, however late: only then is the path free again.
    tBoundedEnd end = RunBounded(
        [key, work = std::move(work)] {
            work();
            std::lock_guard lock(Pending().Lock);
            Pending().Paths.erase(Pending().Paths.find(key));
        },
        timeoutMs);
    if (end == tBoundedEnd::NotStarted) {
        std::lock_guard lock(Pending().Lock);
        Pending().Paths.erase(Pending().Paths.find(key));
    }
    return end == tBoundedEnd::Done;
}

std::string WithoutSlash(const std::string& path) {
    return path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
}

// Whether the entry NAME of DIR (at DIRPATH, ending with "/") is a directory. A mount point is
// taken as one without a look at it: a stat would reach into the mounted file system.
bool IsDirectoryEntry(DIR* dir, const dirent* entry, const std::string& dirPath,
                      const std::set<std::string>& mountPoints) {
    if (entry->d_type == DT_DIR)
        return true;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return false;
    if (mountPoints.contains(dirPath + entry->d_name))
        return true;
    struct stat st {};
    return fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool IsHidden(const char* name) {
    return name[0] == '.';
}

tSubdirs ProbeSubdirs(const std::string& path, const std::set<std::string>& mountPoints) {
    if (mountPoints.contains(WithoutSlash(path)))
        return tSubdirs::Unknown;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr)
        return tSubdirs::Unknown;
    tSubdirs found = tSubdirs::No;
    while (const dirent* entry = readdir(dir)) {
        if (!IsHidden(entry->d_name) && IsDirectoryEntry(dir, entry, path, mountPoints)) {
            found = tSubdirs::Yes;
            break;
        }
    }
    closedir(dir);
    return found;
}

} // namespace

void ScanFileSystem(const std::string& osPath, bool probeChildren,
                    const std::set<std::string>& mountPoints, tScanState& state) {
    DIR* dir = opendir(osPath.c_str());
    if (dir == nullptr) {
        int error = errno;
        std::lock_guard lock(state.Lock);
        state.Listed = true;
        state.Result.Status = tScanStatus::Unreadable;
        state.Result.Error = error;
        return;
    }
    std::vector<tScannedDir> dirs;
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
        if (!IsHidden(entry->d_name) && IsDirectoryEntry(dir, entry, osPath, mountPoints))
            dirs.push_back({entry->d_name, tSubdirs::Unknown});
        errno = 0;
    }
    int readError = errno;
    closedir(dir);
    {
        std::lock_guard lock(state.Lock);
        state.Listed = true;
        state.Result.Status = readError == 0 ? tScanStatus::Read : tScanStatus::Unreadable;
        state.Result.Error = readError;
        state.Result.Dirs = dirs;
    }
    if (!probeChildren)
        return;
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        tSubdirs subdirs = ProbeSubdirs(osPath + dirs[i].OsName + "/", mountPoints);
        std::lock_guard lock(state.Lock);
        state.Result.Dirs[i].Subdirs = subdirs;
    }
}

tDirectoryScan ScanDirectory(const tDirectoryScanner& scanner, const std::string& osPath,
                             bool probeChildren, const std::set<std::string>& mountPoints,
                             std::uint32_t timeoutMs) {
    auto state = std::make_shared<tScanState>();
    RunBoundedOnce(
        osPath,
        [scanner, osPath, probeChildren, mountPoints, state] {
            scanner(osPath, probeChildren, mountPoints, *state);
        },
        timeoutMs);
    std::lock_guard lock(state->Lock);
    if (!state->Listed)
        return tDirectoryScan{};
    return state->Result;
}

int MakeDirectoryBounded(const std::string& osPath, std::uint32_t timeoutMs) {
    auto result = std::make_shared<std::atomic<int>>(ETIMEDOUT);
    bool ended = RunBoundedOnce(
        osPath, [osPath, result] { *result = mkdir(osPath.c_str(), 0777) == 0 ? 0 : errno; },
        timeoutMs);
    return ended ? result->load() : ETIMEDOUT;
}

std::size_t PendingDirectoryWorks() {
    std::lock_guard lock(Pending().Lock);
    return Pending().Paths.size();
}

} // namespace zarvo
