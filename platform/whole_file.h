// Reading a whole file at the OS edge: the settings file and the mount table are small and
// read in one go.
#pragma once

#include <cstddef>
#include <string>

namespace zarvo {

struct tWholeFile {
    std::string Text;
    int OpenError = 0; // errno of a failed open
    int ReadError = 0; // errno of a failed read (Text then holds what came before it)
    bool Ok() const { return OpenError == 0 && ReadError == 0; }
};

// OsPath is a name as the OS takes it (UTF-8).
tWholeFile ReadWholeFile(const std::string& osPath);

// The same for a file anyone may have put there: only a regular file is read (a fifo would
// block, a device never end: EINVAL at the open), and only up to LIMIT bytes (EFBIG beyond).
tWholeFile ReadRegularFile(const std::string& osPath, std::size_t limit);

} // namespace zarvo
