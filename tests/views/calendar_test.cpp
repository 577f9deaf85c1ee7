// The calendar: weekdays of real dates, the month grid, moving through months and days by
// keys and the mouse, and how Esc and Enter end the calendar window's run.
#include "views/calendar.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/clocks.h"
#include "library/dates.h"
#include "tests/views/input_test_support.h"

namespace zarvo {
namespace {

using namespace testing_input;

// Catches a weekday off by one, before or after the 29 February 1900 the day numbers count.
TEST(CalendarWeekday, RealDates) {
    struct tCase {
        int Day, Month, Year;
        int Weekday; // Monday 0
    } cases[] = {
        {1, 1, 1872, 0}, {31, 12, 1899, 6}, {28, 2, 1900, 2}, {1, 3, 1900, 3},
        {1, 1, 2000, 5}, {29, 2, 2024, 3},  {1, 12, 2024, 6}, {31, 12, 2050, 5},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(WeekdayOfDay(EncodeDate(c.Day, c.Month, c.Year)), c.Weekday)
            << c.Day << "." << c.Month << "." << c.Year;
}

// A calendar window in the middle of the 80 x 25 screen, fed back what it posts; its view's
// cells start at (30, 8).
class CalendarTest : public tScriptedScreen {
  protected:
    CalendarTest() : tScriptedScreen(true) {}
    void SetUp() override {
        tScriptedScreen::SetUp();
        Window = new TCalendarWindow();
        Root->InsertView(Window);
        View = Window->CalendarView();
        ASSERT_NE(View, nullptr);
    }
    void Show(int day, int month, int year) { View->SetDate(EncodeDate(day, month, year)); }
    std::uint16_t Date(int day, int month, int year) { return EncodeDate(day, month, year); }
    std::vector<std::string> Grid() { return Block(30, 8, 20, 8); }
    std::uint8_t WindowColor(int entry) {
        return ApplicationPalette()[Window->GetPalette()[entry]];
    }

    TCalendarWindow* Window = nullptr;
    TCalendarView* View = nullptr;
};

// Catches a wrong first column for a month starting on Sunday, wrong titles, arrows or
// weekday names, or the shown day not marked.
TEST_F(CalendarTest, MonthStartingOnSunday) {
    Show(1, 12, 2024);
    const std::vector<std::string> expected = {
        "Декабрь   2024 ▲  ▼ ", //
        "Пн Вт Ср Чт Пт Сб Вс", //
        "                   1", // six blank cells, 1 in the last
        " 2  3  4  5  6  7  8", //
        " 9 10 11 12 13 14 15", //
        "16 17 18 19 20 21 22", //
        "23 24 25 26 27 28 29", //
        "30 31               ", //
    };
    EXPECT_EQ(Grid(), expected);
    EXPECT_EQ(AttrAt(49, 10), WindowColor(7)) << "the shown day in colour 7";
    EXPECT_EQ(AttrAt(48, 10), WindowColor(7));
    EXPECT_EQ(AttrAt(31, 11), WindowColor(6)) << "other days in colour 6";
    EXPECT_EQ(AttrAt(30, 8), WindowColor(6));
    EXPECT_EQ(View->Day(), 1);
    EXPECT_EQ(View->Month(), 12);
    EXPECT_EQ(View->Year(), 2024);
}

// Catches a leap day missing from February 2024, or the wrong cell marked.
TEST_F(CalendarTest, LeapFebruary) {
    Show(29, 2, 2024);
    const std::vector<std::string> expected = {
        "Февраль   2024 ▲  ▼ ", //
        "Пн Вт Ср Чт Пт Сб Вс", //
        "          1  2  3  4", //
        " 5  6  7  8  9 10 11", //
        "12 13 14 15 16 17 18", //
        "19 20 21 22 23 24 25", //
        "26 27 28 29         ", //
        "                    ", //
    };
    EXPECT_EQ(Grid(), expected);
    EXPECT_EQ(AttrAt(39, 14), WindowColor(7));
    EXPECT_EQ(AttrAt(36, 14), WindowColor(6));
}

// Catches months or days moved the wrong way or by the wrong amount, a day not cut to the
// new month, or a move past the range of day numbers taken.
TEST_F(CalendarTest, KeysMoveThroughMonthsAndDays) {
    struct tCase {
        const char* Name;
        std::uint16_t From;
        std::uint16_t Key;
        std::uint16_t To;
    } cases[] = {
        {"+ cuts 31 Jan", Date(31, 1, 2024), '+', Date(29, 2, 2024)},
        {"PgUp over the year", Date(15, 12, 2024), kKeyPgUp, Date(15, 1, 2025)},
        {"- over the year", Date(15, 1, 2025), '-', Date(15, 12, 2024)},
        {"PgDn cuts 31 Mar", Date(31, 3, 2023), kKeyPgDn, Date(28, 2, 2023)},
        {"Up", Date(5, 3, 2024), kKeyUp, Date(27, 2, 2024)},
        {"Down", Date(27, 2, 2024), kKeyDown, Date(5, 3, 2024)},
        {"Left", Date(1, 1, 2025), kKeyLeft, Date(31, 12, 2024)},
        {"Right", Date(28, 2, 2023), kKeyRight, Date(1, 3, 2023)},
        {"Left over 1900's missing leap day", Date(1, 3, 1900), kKeyLeft, Date(28, 2, 1900)},
        {"Right over it", Date(28, 2, 1900), kKeyRight, Date(1, 3, 1900)},
        {"Right past 2050", Date(31, 12, 2050), kKeyRight, Date(31, 12, 2050)},
        {"+ past 2050", Date(15, 12, 2050), '+', Date(15, 12, 2050)},
        {"Left before 1872", Date(1, 1, 1872), kKeyLeft, Date(1, 1, 1872)},
        {"Up before 1872", Date(3, 1, 1872), kKeyUp, Date(3, 1, 1872)},
        {"- before 1872", Date(3, 1, 1872), '-', Date(3, 1, 1872)},
    };
    for (const tCase& c : cases) {
        View->SetDate(c.From);
        TEventRec key = Key(c.Key);
        View->HandleEvent(key);
        EXPECT_EQ(View->Date(), c.To) << c.Name;
        EXPECT_EQ(key.what, evtNothing) << c.Name << ": consumed";
    }
    TEventRec other = Char('x');
    View->HandleEvent(other);
    EXPECT_EQ(other.what, evtKeyDown) << "other keys are left for the window";

    View->SetDate(-1);
    EXPECT_EQ(View->Date(), Today());
    View->SetDate(kInvalidDate);
    EXPECT_EQ(View->Date(), Today()) << "a number that names no date shows today";
}

// Catches clicks on the arrows or the day cells read at the wrong place, or blank cells
// choosing a day of another month.
TEST_F(CalendarTest, MouseOnArrowsAndCells) {
    Show(31, 1, 2024);
    TEventRec next = Mouse(evtMouseDown, 45, 8);
    Root->HandleEvent(next);
    EXPECT_EQ(View->Date(), Date(29, 2, 2024)) << "the up triangle: next month, day cut";
    TEventRec previous = Mouse(evtMouseRepeat, 48, 8);
    Root->HandleEvent(previous);
    EXPECT_EQ(View->Date(), Date(29, 1, 2024)) << "the down triangle, held: previous month";

    Show(1, 12, 2024);
    struct tCase {
        int X, Y;
        int Day;
    } cells[] = {
        {48, 10, 1}, {49, 10, 1},  {30, 11, 2}, {32, 11, 2},
        {33, 11, 3}, {34, 15, 31}, {30, 10, 1}, // blank: stays
        {38, 15, 1},                            // past the 31st: stays
    };
    for (const tCase& c : cells) {
        Show(1, 12, 2024);
        TEventRec click = Mouse(evtMouseDown, c.X, c.Y);
        Root->HandleEvent(click);
        EXPECT_EQ(View->Day(), c.Day) << "click at " << c.X << ", " << c.Y;
        EXPECT_EQ(View->Month(), 12);
    }
}

// Catches a view that moves while not selected.
TEST_F(CalendarTest, OnlyWhileSelected) {
    Show(1, 12, 2024);
    View->ChangeState(ViewState::Selected, false);
    TEventRec key = Key(kKeyRight);
    View->HandleEvent(key);
    EXPECT_EQ(View->Date(), Date(1, 12, 2024));
    EXPECT_EQ(key.what, evtKeyDown);
}

// Catches Esc or Enter not ending the run with the right command, the shown day lost, or
// an Enter that nothing answers.
TEST_F(CalendarTest, EscAndEnterEndTheRun) {
    Root->RemoveView(Window);
    Show(1, 12, 2024);
    Root->Script = {Key(kKeyRight), Key(kKeyDown), Key(kKeyEnter)};
    EXPECT_EQ(Root->RunView(Window), cmdOk);
    EXPECT_EQ(View->Date(), Date(9, 12, 2024));
    Root->Script = {Key(kKeyEsc)};
    EXPECT_EQ(Root->RunView(Window), cmdCancel);
    Root->Script = {Message(evtCommand, cmdNo)};
    EXPECT_EQ(Root->RunView(Window), cmdNo);
    EXPECT_EQ(Window->HelpTopic, kCalendarHelpTopic);
    FreeObject(Window);
}

} // namespace
} // namespace zarvo
