// Local date-time stamps of the test, and elapsed times measured on a clock that does not
// jump when the wall clock does (midnight, daylight saving, a clock set by hand).
#pragma once

#include <cstdint>

namespace zarvo {

struct tDayTime {
    std::uint16_t Day = 0; // day number of the date routines
    std::int32_t Ms = 0;   // milliseconds since local midnight
};

struct tDaySpan {
    std::int32_t Days = 0;
    std::int32_t Ms = 0;
};

tDayTime GetDayTime();
// Elapsed time from a to b; the order of the stamps does not matter.
tDaySpan DayTimeDiff(const tDayTime& a, const tDayTime& b);

tDaySpan SpanOfMs(std::int64_t ms);

} // namespace zarvo
