// What the network test counts: kept by the test cycle, read by the result text and the
// protocol entry.
#pragma once

#include <cstdint>
#include <string>

#include "app/day_time.h"

namespace zarvo {

inline constexpr std::int64_t kMegabyte = 1'048'576;

struct tPassTimes {
    std::int64_t Minimum = 0;
    std::int64_t Maximum = 0;
    std::int64_t Total = 0;

    void Add(std::int64_t passTime, bool firstIteration) {
        if (firstIteration) {
            Minimum = Maximum = passTime;
        } else {
            Minimum = passTime < Minimum ? passTime : Minimum;
            Maximum = passTime > Maximum ? passTime : Maximum;
        }
        Total += passTime;
    }
};

struct tTestStatistics {
    tDayTime StartStamp;
    std::int64_t StartMonotonicMs = 0;
    std::int64_t BytesWritten = 0;
    std::int64_t BytesRead = 0;
    std::int64_t ErrorBytes = 0;
    tPassTimes WriteTimes;
    tPassTimes ReadTimes;
    bool FirstIteration = true;
    std::int64_t SizeInBytes = 0;
    std::string ScratchDirectory;

    void Start() {
        StartStamp = GetDayTime();
        StartMonotonicMs = MonotonicMs();
        FirstIteration = true;
    }
    tDaySpan Elapsed() const { return SpanOfMs(MonotonicMs() - StartMonotonicMs); }
};

} // namespace zarvo
