// The protocol file "protocol.doc": one dated entry appended per test.
#pragma once

#include <string_view>

#include "app/statistics.h"

namespace zarvo {

inline constexpr std::string_view kProtocolFileName = "protocol.doc";

// Appends the entry in the working directory. An error that ended the test is given as
// `errorMessage` and recorded as one more line. Failures to open are silent.
void AppendProtocol(const tTestStatistics& statistics, std::string_view errorMessage = {});

// The entry's text, from its leading empty line to its final CR LF.
std::string ProtocolEntry(const tTestStatistics& statistics, std::string_view errorMessage);

} // namespace zarvo
