// File names cross between the program's CP866 and the UTF-8 names on disk only here, so
// every file and directory call converts the same way.
#pragma once

#include <string>
#include <string_view>

namespace zarvo {

// The UTF-8 name the operating system expects for a CP866 name.
std::string OsPath(std::string_view cp866);

// The CP866 form of a name read from the operating system; characters CP866 lacks
// become '?'.
std::string FromOsPath(std::string_view utf8);

// Whether a name read from the operating system survives the trip to CP866 and back;
// a name that does not must never be written back under its changed form.
bool OsNameIsRepresentable(std::string_view utf8);

// A directory the operator chose whose real name CP866 cannot hold: answers its CP866 form
// (with '?'), under which it and everything inside it are reached from now on. The form
// alone could name another directory, or none. A representable name needs no alias.
std::string AliasOsDirectory(std::string_view utf8);
// For tests.
void ForgetOsDirectoryAliases();

// A name as shown on a screen, in a message or in the protocol: control characters (below
// 0x20, and 0x7F) become '?', so that a name cannot move the cursor, colour a terminal or
// start a line of its own.
std::string PrintableName(std::string_view cp866);

} // namespace zarvo
