// The pieces the log's records share: an address as "$" and hexadecimal digits, a frame as
// module, procedure, source file and line, and the dump of a call stack.
#pragma once

#include <string>
#include <vector>

#include "diagnostics/call_stack.h"

namespace zarvo {

// "$" and the address in upper-case hexadecimal, zero-filled to the pointer's width.
std::string FrameAddress(const void* address);

// "module, procedure, file, line".
std::string FrameDetails(const tStackFrame& frame);

// "  Дамп стека:", then "\r\n    $address, module, procedure, file, line" per frame, then
// a line break.
std::string CallStackText(const std::vector<tStackFrame>& frames);

} // namespace zarvo
