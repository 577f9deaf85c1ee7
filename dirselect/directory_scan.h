// The directory tree's only contact with the file systems: reading a directory's
// subdirectories and making a directory, each on a thread of its own with a time limit, so an
// unreadable directory, a vanished mount or a network share that no longer answers marks a
// node instead of stopping the dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace zarvo {

enum class tScanStatus {
    Read,        // the listing is complete
    Unreadable,  // the directory could not be opened or read (Error holds errno)
    NotAnswering // no answer within the time limit
};

// Whether a directory has subdirectories of its own.
enum class tSubdirs { No, Yes, Unknown };

struct tScannedDir {
    std::string OsName; // the name's real bytes (UTF-8 or whatever the disk holds)
    tSubdirs Subdirs = tSubdirs::Unknown;
};

struct tDirectoryScan {
    tScanStatus Status = tScanStatus::NotAnswering;
    int Error = 0;
    // Subdirectories whose names do not begin with ".", in the order the system gave them.
    std::vector<tScannedDir> Dirs;
};

// What a scan on its worker thread fills in, under Lock; the caller reads what is there once
// the scan ended or the time ran out.
struct tScanState {
    std::mutex Lock;
    bool Listed = false;
    tDirectoryScan Result;
};

// Fills STATE for the directory OSPATH (ending with "/"); with PROBECHILDREN also whether each
// subdirectory has subdirectories. Paths in MOUNTPOINTS (without a final "/") are taken as
// directories that may have subdirectories without touching them.
using tDirectoryScanner =
    std::function<void(const std::string& osPath, bool probeChildren,
                       const std::set<std::string>& mountPoints, tScanState& state)>;

// The scanner that reads the real file system.
void ScanFileSystem(const std::string& osPath, bool probeChildren,
                    const std::set<std::string>& mountPoints, tScanState& state);

// Runs SCANNER on a thread of its own and waits at most TIMEOUTMS. While an earlier scan of
// the same path has not come back, no other is started: the path counts as not answering.
tDirectoryScan ScanDirectory(const tDirectoryScanner& scanner, const std::string& osPath,
                             bool probeChildren, const std::set<std::string>& mountPoints,
                             std::uint32_t timeoutMs);

// mkdir of OSPATH with the same time limit: 0 when made, else errno (ETIMEDOUT when no answer
// came in time).
int MakeDirectoryBounded(const std::string& osPath, std::uint32_t timeoutMs);

// Paths whose scans or makes have not come back yet.
std::size_t PendingDirectoryWorks();

} // namespace zarvo
