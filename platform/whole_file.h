// Reading a whole file at the OS edge: the settings file and the mount table are small and
// read in one go.
#pragma once

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

} // namespace zarvo
