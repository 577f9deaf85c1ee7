// The handler for the in-page memory error: the program's own code can no longer be read,
// typically because the network share it runs from went away.
#pragma once

#include <string>

namespace zarvo {

inline constexpr int kMemoryErrorExitCode = 233;

// The message shown, CP866 with CR LF line breaks.
std::string MemoryErrorText();

// Installs the SIGBUS handler: it writes the message to standard error once and ends the
// process with exit code 233; a second fault while it runs ends the process at once. False
// when it cannot be installed.
bool InstallMemoryErrorHandler();

} // namespace zarvo
