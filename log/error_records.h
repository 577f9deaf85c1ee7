// The log's record of every error at the moment it is posted: the time, the message wrapped
// to the log's width and, for an error that found the slot empty, the call stack.
#pragma once

#include <string>

#include "diagnostics/pending_error.h"

namespace zarvo {

// The width the records are wrapped to, less a nested error's indent.
inline constexpr int kLogRecordWidth = 74;

// The record of an error without its call stack, Time being its "hh:nn:ss" stamp.
std::string ErrorRecordText(const ESException& error, std::string_view time);

// The post hook: writes the error's record and, unless it is nested, the call stack of the
// point where it was posted.
void WriteErrorRecord(ESException& error);

// Installs WriteErrorRecord as the post hook.
void InstallErrorRecords();

} // namespace zarvo
