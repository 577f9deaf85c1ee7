// Date-time stamps and elapsed spans.
#include "app/day_time.h"

#include <cstdlib>

#include "library/clocks.h"
#include "library/dates.h"

namespace zarvo {

namespace {
constexpr std::int32_t kMsPerDay = 86'400'000;
}

tDayTime GetDayTime() {
    return tDayTime{Today(), NowMs()};
}

tDaySpan DayTimeDiff(const tDayTime& a, const tDayTime& b) {
    bool bEarlier = b.Day < a.Day || (b.Day == a.Day && b.Ms < a.Ms);
    tDaySpan span;
    span.Ms = bEarlier ? a.Ms - b.Ms : b.Ms - a.Ms;
    span.Days = std::abs(int(a.Day) - int(b.Day));
    if (span.Ms < 0) {
        span.Days -= 1;
        span.Ms += kMsPerDay;
    }
    return span;
}

tDaySpan SpanOfMs(std::int64_t ms) {
    if (ms < 0)
        ms = 0;
    return tDaySpan{std::int32_t(ms / kMsPerDay), std::int32_t(ms % kMsPerDay)};
}

} // namespace zarvo
