// The tick, the local clock and the delay routine.
#include "library/clocks.h"

#include <chrono>
#include <gtest/gtest.h>

#include "library/dates.h"

namespace zarvo {
namespace {

using tSteady = std::chrono::steady_clock;

long long ElapsedMs(tSteady::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(tSteady::now() - since).count();
}

// Catches a delay that returns early, in either of its two ways of waiting.
TEST(Delay, WaitsAtLeastTheTimeAsked) {
    for (int ms : {50, 350}) {
        auto start = tSteady::now();
        Delay(ms);
        EXPECT_GE(ElapsedMs(start), ms) << "Delay(" << ms << ") must wait at least that long";
    }
    auto start = tSteady::now();
    Delay(-5);
    EXPECT_LT(ElapsedMs(start), 50) << "a negative delay returns at once";
}

// Catches a tick that does not follow the monotonic clock in milliseconds.
TEST(Tick, CountsMilliseconds) {
    std::uint32_t first = GetTickCount32();
    auto start = tSteady::now();
    Delay(120);
    std::uint32_t passed = GetTickCount32() - first;
    EXPECT_GE(passed, 119u) << "the tick counts milliseconds";
    EXPECT_LE(passed, std::uint32_t(ElapsedMs(start) + 2)) << "the tick runs no faster than time";
}

// Catches local time values outside a day or a millisecond clock on another base.
TEST(LocalClock, NowAndNowMsAgree) {
    std::int32_t seconds = Now();
    std::int32_t ms = NowMs();
    EXPECT_GE(seconds, 0) << "seconds since midnight are not negative";
    EXPECT_LT(seconds, 86400) << "seconds since midnight stay within a day";
    EXPECT_GE(ms, 0) << "milliseconds since midnight are not negative";
    EXPECT_LT(ms, 86400000) << "milliseconds since midnight stay within a day";
    // Unless midnight passed between the two readings, they are within a second.
    if (ms / 1000 >= seconds) {
        EXPECT_LE(ms / 1000 - seconds, 1) << "NowMs / 1000 is Now";
    }
}

} // namespace
} // namespace zarvo
