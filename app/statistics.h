// What the network test counts: kept by the test cycle, read by the result text and the
// protocol entry.
#pragma once

#include <cstdint>
#include <string>

#include "app/day_time.h"
#include "library/clocks.h"

namespace zarvo {

inline constexpr std::int64_t kMegabyte = 1'048'576;

// The transfer times of one direction. A time counts only together with its bytes, so every
// rate is one the transfers really allowed. A pass's time is at least 1 ms, which keeps the
// mean between the minimum and the maximum.
struct tPassTimes {
    std::int64_t Minimum = 0; // complete passes only
    std::int64_t Maximum = 0;
    std::int64_t Total = 0;
    std::int64_t Bytes = 0;
    std::int64_t PartialBytes = 0; // the pass under way: transfers that succeeded
    std::int64_t PartialTime = 0;

    void AddTransfer(std::int64_t bytes, std::int64_t milliseconds) {
        PartialBytes += bytes;
        PartialTime += milliseconds;
    }
    // The pass under way is complete: it counts whole from now on.
    void CompletePass(bool firstIteration) {
        std::int64_t passTime = PartialTime < 1 ? 1 : PartialTime;
        if (firstIteration) {
            Minimum = Maximum = passTime;
        } else {
            Minimum = passTime < Minimum ? passTime : Minimum;
            Maximum = passTime > Maximum ? passTime : Maximum;
        }
        Total += passTime;
        Bytes += PartialBytes;
        PartialBytes = PartialTime = 0;
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
    // Its universal name, taken while the server answered: the entry needs it even when the
    // server no longer does.
    std::string UniversalDirectory;
    // The longest single call on the share: a server that stopped answering for a while.
    std::int64_t LongestCallMs = 0;

    void Start() {
        StartStamp = GetDayTime();
        StartMonotonicMs = GetTickCount64();
        FirstIteration = true;
    }
    tDaySpan Elapsed() const { return SpanOfMs(GetTickCount64() - StartMonotonicMs); }
};

} // namespace zarvo
