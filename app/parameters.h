// The four values the operator gives before the test starts.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

// True when the operator accepted values whose directory exists; false when they gave up.
bool GetTestParams(std::string& directory, std::int32_t& fileSize, std::int32_t& workTime,
                   std::int32_t& period);

// Parses "hh:mm:ss" (each part one or two digits) into seconds; -1 when it is not a time
// of day from 00:00:00 to 23:59:59.
std::int32_t ParseTimeOfDay(std::string_view text);
// Parses a file size of 0 to 65535 megabytes; -1 otherwise.
std::int32_t ParseFileSize(std::string_view text);

} // namespace zarvo
