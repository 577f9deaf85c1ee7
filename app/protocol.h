// The protocol file "protocol.doc": one dated entry appended per test.
#pragma once

#include <string>
#include <string_view>

#include "app/statistics.h"

namespace zarvo {

inline constexpr std::string_view kProtocolFileName = "protocol.doc";

// Appends the entry in the working directory in one write, under a lock, so that copies
// sharing the file never mix their entries. An error that ended the test is given as
// `errorMessage` and recorded as one more line. A failure answers false with the system's
// reason in LastOsError: nothing or part of the entry was written.
// ENTRY, when given, receives the text written.
bool AppendProtocol(const tTestStatistics& statistics, std::string_view errorMessage = {},
                    std::string* entry = nullptr);

// What the operator is told when the entry could not be written (the system's reason follows).
std::string ProtocolFailureText(int osError);

// A message with centring marks and line breaks as one line.
std::string OneLine(std::string_view message);

// The entry's text, from its leading empty line to its final CR LF.
std::string ProtocolEntry(const tTestStatistics& statistics, std::string_view errorMessage);

} // namespace zarvo
