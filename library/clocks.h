// The clocks: a wrapping millisecond tick for measuring, the local date and time of day for
// showing, and the plain wait.
#pragma once

#include <cstdint>

namespace zarvo {

// The program's one millisecond clock: CLOCK_MONOTONIC, which never jumps with the wall
// clock. The 32-bit count wraps (differences taken modulo 2^32 stay right across a wrap);
// the 64-bit one is for spans that may outlast the wrap (about 49 days).
std::uint32_t GetTickCount32();
std::uint64_t GetTickCount64();
// The same clock in microseconds, for timing single transfers.
std::uint64_t GetTickMicros64();

// Waits Ms milliseconds without processing user-interface events: one sleep up to 300 ms,
// longer waits in 10 ms steps measured on the tick.
void Delay(int ms);

// Today's local date as a day number.
std::uint16_t Today();
// The local time of day in seconds since midnight.
std::int32_t Now();
// The local time of day in milliseconds since midnight.
std::int32_t NowMs();

} // namespace zarvo
