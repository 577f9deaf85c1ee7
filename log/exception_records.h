// Records of raised exceptions: every C++ exception thrown in the program leaves a line in
// the execution log naming the place it was thrown from.
#pragma once

#include <string>

#include "diagnostics/call_stack.h"

namespace zarvo {

// Makes sure the throw hook is part of the program; the log calls it when it opens.
void InstallExceptionRecords();

// "\r\n  Исключение по адресу $... (module, procedure, file, line)".
std::string ExceptionRecordText(const tStackFrame& frame);

} // namespace zarvo
