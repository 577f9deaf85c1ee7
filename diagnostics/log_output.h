// The way into the execution log for every part of the program: a hook the log fills while
// it is open, so that writing to it needs nothing of the log itself.
#pragma once

#include <string_view>

namespace zarvo {

using tLogOutputHook = void (*)(std::string_view text);

// Points at the log writer while the log is open; null otherwise.
extern tLogOutputHook gLogOutputHook;

// Text is CP866; nothing happens while no log is open.
void WriteLog(std::string_view text);
// The text and a carriage return with a line feed.
void WriteLogLine(std::string_view text);

} // namespace zarvo
