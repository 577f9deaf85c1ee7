// TCalendarView and TCalendarWindow: the month grid, moving through it by mouse and keys,
// and how Esc and Enter end the calendar's run.
#include "views/calendar.h"

#include <algorithm>
#include <string>

#include "console/event_makers.h"
#include "console/key_codes.h"
#include "library/clocks.h"
#include "library/dates.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "views/commands.h"

namespace zarvo {

namespace {

constexpr std::string_view kMonthNames[12] = {
    "Январь"_oem, "Февраль"_oem, "Март"_oem,     "Апрель"_oem,  "Май"_oem,    "Июнь"_oem,
    "Июль"_oem,   "Август"_oem,  "Сентябрь"_oem, "Октябрь"_oem, "Ноябрь"_oem, "Декабрь"_oem};
constexpr std::string_view kWeekdayRow = "Пн Вт Ср Чт Пт Сб Вс"_oem;
// Up and down triangles: next and previous month.
constexpr std::string_view kArrowsText = " \x1E  \x1F";
constexpr int kNextMonthColumn = 15;
constexpr int kPreviousMonthColumn = 18;
constexpr int kFirstWeekRow = 2;
constexpr int kLastWeekRow = 7;
constexpr int kGridColumns = 20;
constexpr std::uint8_t kNormalColor = 6;
constexpr std::uint8_t kShownDayColor = 7;

// The day numbers count 29 February 1900, which never was: the number after 28 February
// names no date, and the days before it are one less than a real count would make them.
std::uint16_t MissingLeapDay() {
    static const std::uint16_t day = std::uint16_t(EncodeDate(28, 2, 1900) + 1);
    return day;
}

bool IsDateNumber(std::int32_t n) {
    if (n < 0 || n >= kInvalidDate)
        return false;
    int d = 0, m = 0, y = 0;
    DecodeDate(std::uint16_t(n), d, m, y);
    return IsValidDate(d, m, y);
}

} // namespace

int WeekdayOfDay(std::uint16_t day) {
    // 1 January 1872, day 0, was a Monday.
    return day < MissingLeapDay() ? day % 7 : (day + 6) % 7;
}

// ---- TCalendarView

TCalendarView::TCalendarView(const tRect& bounds) : tView(bounds) {
    OptionFlags |= ViewOption::Selectable | ViewOption::FirstClick;
    AcceptMask |= evtMouseRepeat;
    m_Date = Today();
}

TCalendarView::TCalendarView(tStreamLoad) : tView(kStreamLoad) {}

std::uint16_t TCalendarView::StoreID() const {
    return 180;
}

void TCalendarView::Load(tStream& s) {
    tView::Load(s);
    m_Date = Today();
}

void TCalendarView::SetDate(std::int32_t day) {
    m_Date = IsDateNumber(day) ? std::uint16_t(day) : Today();
    Repaint();
}

int TCalendarView::Day() const {
    int d = 0, m = 0, y = 0;
    DecodeDate(m_Date, d, m, y);
    return d;
}

int TCalendarView::Month() const {
    int d = 0, m = 0, y = 0;
    DecodeDate(m_Date, d, m, y);
    return m;
}

int TCalendarView::Year() const {
    int d = 0, m = 0, y = 0;
    DecodeDate(m_Date, d, m, y);
    return y;
}

void TCalendarView::Draw() {
    int width = std::min<int>(Width, MaxLineCells);
    if (width <= 0)
        return;
    const std::uint8_t normal = MapColor(kNormalColor);
    const std::uint8_t shown = MapColor(kShownDayColor);
    const int month = std::clamp(Month(), 1, 12), year = Year(), today = Day();
    const int first = WeekdayOfDay(EncodeDate(1, month, year));
    const int length = DaysInMonth(month, year);
    tCell line[MaxLineCells];
    for (int y = 0; y < Height; ++y) {
        FillCells(line, ' ', normal, width);
        std::string text;
        if (y == 0)
            text = PadRight(kMonthNames[month - 1], ' ', 10) +
                   PadLeft(std::to_string(year), ' ', 4) + std::string(kArrowsText);
        else if (y == 1)
            text = kWeekdayRow;
        CopyCharsToCells(line, text.data(), normal, std::min<int>(int(text.size()), width));
        for (int cell = 0; y >= kFirstWeekRow && y <= kLastWeekRow && cell < 7; ++cell) {
            int day = (y - kFirstWeekRow) * 7 + cell + 1 - first;
            if (day < 1 || day > length)
                continue;
            std::string digits = PadLeft(std::to_string(day), ' ', 2);
            for (int i = 0; i < 2 && cell * 3 + i < width; ++i)
                line[cell * 3 + i] =
                    MakeCell(std::uint8_t(digits[std::size_t(i)]), day == today ? shown : normal);
        }
        PutLine(0, y, width, 1, line);
    }
}

bool TCalendarView::MoveMonths(int delta) {
    int month = Month() - 1 + delta;
    int year = Year() + (month < 0 ? -1 : month / 12);
    month = (month + 12) % 12 + 1;
    int day = std::min(Day(), DaysInMonth(month, year));
    if (!IsValidDate(day, month, year))
        return false;
    m_Date = EncodeDate(day, month, year);
    return true;
}

bool TCalendarView::MoveDays(int delta) {
    std::int32_t n = std::int32_t(m_Date) + delta;
    // Stepping by days never stops on the number that names no date.
    if (n == MissingLeapDay())
        n += delta > 0 ? 1 : -1;
    if (!IsDateNumber(n))
        return false;
    m_Date = std::uint16_t(n);
    return true;
}

bool TCalendarView::HandleMouse(tPoint where) {
    tPoint p = ToLocal(where);
    if (p.Y == 0 && p.X == kNextMonthColumn)
        return MoveMonths(1);
    if (p.Y == 0 && p.X == kPreviousMonthColumn)
        return MoveMonths(-1);
    if (p.Y < kFirstWeekRow || p.Y > kLastWeekRow || p.X < 0 || p.X >= kGridColumns)
        return false;
    int cell = p.X / 3 + 7 * p.Y - 13;
    int day = cell - WeekdayOfDay(EncodeDate(1, Month(), Year()));
    if (day < 1 || day > DaysInMonth(Month(), Year()))
        return false;
    m_Date = EncodeDate(day, Month(), Year());
    return true;
}

bool TCalendarView::HandleKey(std::uint16_t keyCode) {
    char ch = char(keyCode & 0xFF);
    if (ch == '+' || keyCode == kKeyPgUp)
        MoveMonths(1);
    else if (ch == '-' || keyCode == kKeyPgDn)
        MoveMonths(-1);
    else if (keyCode == kKeyUp)
        MoveDays(-7);
    else if (keyCode == kKeyDown)
        MoveDays(7);
    else if (keyCode == kKeyLeft)
        MoveDays(-1);
    else if (keyCode == kKeyRight)
        MoveDays(1);
    else
        return false;
    return true;
}

void TCalendarView::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (!HasState(ViewState::Selected))
        return;
    bool handled = false;
    if (event.what == evtMouseDown || event.what == evtMouseRepeat) {
        HandleMouse(event.mouse.where);
        handled = true;
    } else if (event.what == evtKeyDown) {
        handled = HandleKey(event.key.keyCode);
    }
    if (handled) {
        ConsumeEvent(event);
        Repaint();
    }
}

// ---- TCalendarWindow

TCalendarWindow::TCalendarWindow() : tWindow(MakeRect(0, 0, 22, 10), "Календарь"_oem, 0) {
    WindowFlags = WindowFlag::CanMove | WindowFlag::CanClose;
    GrowFlags = 0;
    OptionFlags |= ViewOption::Centered;
    HelpTopic = kCalendarHelpTopic;
    auto* view = new TCalendarView(MakeRect(1, 1, 21, 9));
    tInsert(view);
    view->SelectView();
}

TCalendarWindow::TCalendarWindow(tStreamLoad) : tWindow(kStreamLoad) {}

std::uint16_t TCalendarWindow::StoreID() const {
    return 181;
}

TCalendarView* TCalendarWindow::CalendarView() const {
    return dynamic_cast<TCalendarView*>(const_cast<TCalendarWindow*>(this)->FindView(
        [](tView* v) { return dynamic_cast<TCalendarView*>(v) != nullptr; }));
}

void TCalendarWindow::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown &&
        (event.key.keyCode == kKeyEsc || event.key.keyCode == kKeyEnter)) {
        bool cancel = event.key.keyCode == kKeyEsc;
        PostEvent(cancel ? MessageEvent(evtCommand, cmdCancel)
                         : MessageEvent(evtBroadcast, cmdDefault));
        ConsumeEvent(event);
        return;
    }
    if (event.what == evtCommand && IsAnswer(event.message.command) && HasState(ViewState::Modal)) {
        FinishModal(event.message.command);
        ConsumeEvent(event);
        return;
    }
    tWindow::HandleEvent(event);
    // Enter asks a default button to press itself; with none here to answer, it accepts
    // the shown day.
    if (event.what == evtBroadcast && event.message.command == cmdDefault &&
        HasState(ViewState::Modal)) {
        FinishModal(cmdOk);
        ConsumeEvent(event);
    }
}

} // namespace zarvo
