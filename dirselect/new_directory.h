// Making a new directory from the directory dialog: the small dialog that asks for the name,
// the checks of the name, and the directory made exactly as typed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

class TDirectoryDialog;

// Why NAME (CP866, as typed) cannot be a new directory in PARENTPATH (CP866, ending with "/"):
// empty when it can. Refused: an empty name, "." and "..", "/" or NUL in it, a name longer
// than a file system allows, and a path longer than kMaxDirectoryPath.
std::string NewDirectoryNameError(std::string_view parentPath, std::string_view name);

// Makes NAME in the directory PARENTOSPATH (real bytes, ending with "/"); empty when made,
// else the reason (CP866).
std::string MakeNewDirectory(const std::string& parentOsPath, std::string_view name,
                             std::uint32_t timeoutMs);

// Asks for a name and makes the directory inside the dialog's focused one until it is made
// or the operator cancels; the new directory is then focused.
void RunNewDirectoryDialog(TDirectoryDialog& dialog);

} // namespace zarvo
