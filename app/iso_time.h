// The wall-clock moment in ISO 8601 with the local offset, for records read by scripts and by
// people in other time zones.
#pragma once

#include <ctime>
#include <string>

namespace zarvo {

// Such as 2026-12-11T03:04:05+03:00.
std::string IsoLocalTime(std::time_t moment);
std::string IsoLocalTimeNow();

} // namespace zarvo
