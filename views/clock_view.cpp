// The application's clock view: idle ticks throttled by the monotonic tick, the text from the
// local time of day.
#include "views/clock_view.h"

#include <algorithm>
#include <cstdlib>

#include "library/clocks.h"
#include "library/dates.h"
#include "library/scope.h"
#include "views/status_line.h"

namespace zarvo {

namespace {

constexpr std::size_t kMaxClockText = 10;

tClockTickSource gTickSource = &GetTickCount32;
tClockTimeSource gTimeSource = &Now;

} // namespace

void SetClockSources(tClockTickSource tick, tClockTimeSource time) {
    gTickSource = tick != nullptr ? tick : &GetTickCount32;
    gTimeSource = time != nullptr ? time : &Now;
}

tClockView::tClockView(const tRect& bounds) : tView(bounds) {
    GrowFlags = GrowFlag::GrowLeft | GrowFlag::GrowRight;
    zarvo::Subscribe(evnNotifyIdle, BindHandler<&tClockView::OnIdle>(this));
}

tClockView::~tClockView() {
    zarvo::Unsubscribe(evnNotifyIdle, BindHandler<&tClockView::OnIdle>(this));
}

void tClockView::Draw() {
    tCell line[MaxLineCells];
    int width = std::min<int>(Width, MaxLineCells);
    // No palette of its own: colour 2 is the application's, the menu bar's normal text.
    std::uint8_t color = MapColor(2);
    FillCells(line, ' ', color, width);
    CopyCharsToCells(line, Text.data(), color, std::min<int>(int(Text.size()), width));
    PutSegment(0, 0, width, line);
}

bool tClockView::Tick() {
    if (Ticking)
        return false;
    tTemporaryChange ticking(Ticking, true);
    std::uint32_t tick = gTickSource();
    if (Polled && tick - LastPoll < kClockPollMs)
        return false;
    Polled = true;
    LastPoll = tick;
    std::int32_t now = gTimeSource();
    // Any difference counts, backwards too: midnight or a clock set by hand.
    if (LastTime >= 0 && std::abs(now - LastTime) < Interval)
        return false;
    LastTime = now;
    Text = FormatTime("hh:mm:ss", now).substr(0, kMaxClockText);
    Repaint();
    return true;
}

void tClockView::OnIdle(EventFrame& frame) {
    if (Tick())
        *static_cast<bool*>(frame.Argument) = true;
}

} // namespace zarvo
