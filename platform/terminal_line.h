// Line input from a file descriptor, read byte by byte so that several readers of the same
// terminal never steal each other's buffered input.
#pragma once

#include <string>

namespace zarvo {

enum class tLineResult { Line, EndOfInput, Interrupted };

// Reads one line without its line end, converted from UTF-8 to CP866.
tLineResult ReadTerminalLine(int fd, std::string& line);
// Writes CP866 text as UTF-8, CR becoming a line break; false when the write fails.
bool WriteTerminalText(int fd, std::string_view text);

} // namespace zarvo
