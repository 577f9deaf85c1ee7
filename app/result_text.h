// The test's result as a short text: running time, megabytes read, error bytes and the
// read and write rates.
#pragma once

#include <cstdint>
#include <string>

#include "app/day_time.h"
#include "app/statistics.h"

namespace zarvo {

// At most 255 characters; lines separated by a single carriage return.
std::string ResultText(const tTestStatistics& statistics);
std::string ResultText(const tTestStatistics& statistics, const tDaySpan& elapsed);
// Megabytes per second with one decimal, padded with blanks to at least 15 characters.
std::string RateText(std::int64_t bytes, std::int64_t milliseconds);
// The rate itself, in megabytes per second; a time under 1 ms counts as 1 ms.
double RateOf(std::int64_t bytes, std::int64_t milliseconds);
// The time of day at which the next iteration starts, "hh:mm:ss".
std::string NextStartText(const tDayTime& stamp, std::int32_t period);

} // namespace zarvo
