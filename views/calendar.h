// The month calendar: TCalendarView, a month grid with the shown day marked that the mouse
// and the keys move through months and days, and TCalendarWindow, the window that holds it.
#pragma once

#include <cstdint>

#include "views/window.h"

namespace zarvo {

inline constexpr std::uint16_t kCalendarHelpTopic = 1510;

// Monday 0 ... Sunday 6 of a day number.
int WeekdayOfDay(std::uint16_t day);

class TCalendarView : public tView {
  public:
    // Shows today.
    explicit TCalendarView(const tRect& bounds);
    explicit TCalendarView(tStreamLoad);

    std::uint16_t StoreID() const override; // 180
    // Stored as a plain view: a loaded calendar shows today.
    void Load(tStream& s) override;
    void Draw() override;
    void HandleEvent(TEventRec& event) override;

    // -1, or a day number that names no valid date, shows today; redraws.
    void SetDate(std::int32_t day);
    std::uint16_t Date() const { return m_Date; }
    int Day() const;
    int Month() const;
    int Year() const;

  private:
    // The same day (cut to the month's length) DELTA months on; false when out of range.
    bool MoveMonths(int delta);
    // DELTA days on by day numbers; false when out of range.
    bool MoveDays(int delta);
    bool HandleMouse(tPoint where);
    bool HandleKey(std::uint16_t keyCode);

    std::uint16_t m_Date = 0;
};

class TCalendarWindow : public tWindow {
  public:
    // The whole calendar, 22 x 10, centred in the group it is put into, showing today.
    TCalendarWindow();
    explicit TCalendarWindow(tStreamLoad);

    std::uint16_t StoreID() const override; // 181
    void HandleEvent(TEventRec& event) override;

    // The calendar view among the subviews, or null.
    TCalendarView* CalendarView() const;
};

} // namespace zarvo
