// Monotonic tick, local clock and the delay routine.
#include "library/clocks.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "library/dates.h"

namespace zarvo {

namespace {

constexpr int kSingleSleepLimitMs = 300;
constexpr int kDelayStepMs = 10;

struct tLocalClock {
    std::tm Fields{};
    int Milliseconds = 0;
};

tLocalClock ReadLocalClock() {
    tLocalClock clock;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    time_t seconds = now.tv_sec;
    localtime_r(&seconds, &clock.Fields);
    clock.Milliseconds = int(now.tv_nsec / 1000000);
    return clock;
}

// A leap second (tm_sec 60) would wrap to midnight; it is kept within its minute.
std::int32_t SecondsOfDay(const std::tm& fields) {
    return EncodeTime(fields.tm_hour, fields.tm_min, std::min(fields.tm_sec, 59));
}

void SleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

std::uint64_t GetTickCount64() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u;
}

std::uint64_t GetTickMicros64() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000u + std::uint64_t(now.tv_nsec) / 1000u;
}

std::uint32_t GetTickCount32() {
    return std::uint32_t(GetTickCount64());
}

void Delay(int ms) {
    if (ms <= 0)
        return;
    if (ms <= kSingleSleepLimitMs) {
        SleepMs(ms);
        return;
    }
    // The tick is truncated to whole milliseconds, so the first reading may already be up to
    // a millisecond late: one tick more guarantees the whole wait.
    const std::uint32_t start = GetTickCount32();
    while (GetTickCount32() - start <= std::uint32_t(ms))
        SleepMs(kDelayStepMs);
}

std::uint16_t Today() {
    tLocalClock clock = ReadLocalClock();
    return EncodeDate(clock.Fields.tm_mday, clock.Fields.tm_mon + 1, clock.Fields.tm_year + 1900);
}

std::int32_t Now() {
    return SecondsOfDay(ReadLocalClock().Fields);
}

std::int32_t NowMs() {
    tLocalClock clock = ReadLocalClock();
    return SecondsOfDay(clock.Fields) * 1000 + clock.Milliseconds;
}

} // namespace zarvo
