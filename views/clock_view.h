// tClockView, the time of day in the top-right corner of the application: "hh:mm:ss",
// redrawn from the idle notification when the second changes.
#pragma once

#include <cstdint>
#include <string>

#include "views/view.h"

namespace zarvo {

// Where the clock reads its time: a millisecond tick that never jumps (how often it looks)
// and the local time of day in seconds (what it shows). Tests put fixed ones in; null
// restores the program's clocks.
using tClockTickSource = std::uint32_t (*)();
using tClockTimeSource = std::int32_t (*)();
void SetClockSources(tClockTickSource tick, tClockTimeSource time);

// The local time is looked at no more often than this.
inline constexpr std::uint32_t kClockPollMs = 100;

class tClockView : public tView {
  public:
    explicit tClockView(const tRect& bounds);
    ~tClockView() override;

    void Draw() override;

    // The idle tick: true when the shown time changed (and was redrawn).
    bool Tick();

    // ---- fields
    bool Ticking = false;
    std::int32_t Interval = 1;  // seconds between updates
    std::int32_t LastTime = -1; // seconds since midnight; -1: never shown
    std::uint32_t LastPoll = 0; // tick of the last look at the time
    bool Polled = false;
    std::string Text; // at most 10 characters

  private:
    void OnIdle(EventFrame& frame);
};

} // namespace zarvo
