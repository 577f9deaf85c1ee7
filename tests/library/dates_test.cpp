// Day numbers, times of day, the century pivot and the date and time templates.
#include "library/dates.h"

#include <gtest/gtest.h>

#include "library/clocks.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

// Restores the pivot whatever a test sets.
class PivotGuard {
  public:
    PivotGuard() : m_Saved(CenturyPivot()) {}
    ~PivotGuard() { SetCenturyPivot(m_Saved); }

  private:
    int m_Saved;
};

struct tDateCase {
    int Day, Month, Year;
    std::uint16_t Number;
};

// Catches errors in the day-number formula, the 1872 special cases or the range limits.
TEST(DayNumbers, EncodeKnownDates) {
    const tDateCase cases[] = {
        {1, 1, 1872, 0},
        {31, 1, 1872, 30},
        {1, 2, 1872, 31},
        {29, 2, 1872, 59},
        {1, 3, 1872, 60},
        {1, 1, 1873, 366},
        {0, 0, 0, 0},
        {1, 1, 2051, kInvalidDate},
        {31, 12, 1871, kInvalidDate},
        {30, 2, 2000, kInvalidDate},
        {1, 13, 2000, kInvalidDate},
        {0, 5, 2000, kInvalidDate},
        {29, 2, 1900, kInvalidDate},
    };
    for (const tDateCase& c : cases)
        EXPECT_EQ(EncodeDate(c.Day, c.Month, c.Year), c.Number)
            << "EncodeDate(" << c.Day << ", " << c.Month << ", " << c.Year << ")";
    EXPECT_NE(EncodeDate(31, 12, 2050), kInvalidDate) << "31/12/2050 is the last valid date";
}

// Catches decode and encode disagreeing anywhere in the valid range.
TEST(DayNumbers, DecodeInvertsEncodeOverTheWholeRange) {
    std::uint16_t last = EncodeDate(31, 12, 2050);
    std::uint16_t expected = 0;
    for (int year = 1872; year <= 2050; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= DaysInMonth(month, year); ++day) {
                std::uint16_t n = EncodeDate(day, month, year);
                // 1 March 1900 follows 28 February after a skipped number (the formula counts
                // 1900 as a leap year; stored day numbers depend on it).
                if (day == 1 && month == 3 && year == 1900)
                    ++expected;
                ASSERT_EQ(n, expected) << day << "/" << month << "/" << year << " in sequence";
                int d = 0, m = 0, y = 0;
                DecodeDate(n, d, m, y);
                ASSERT_TRUE(d == day && m == month && y == year)
                    << "DecodeDate(" << n << ") gave " << d << "/" << m << "/" << y;
                ++expected;
            }
    EXPECT_EQ(expected - 1, last) << "the last date ends the sequence";
    int d = 1, m = 1, y = 1;
    DecodeDate(kInvalidDate, d, m, y);
    EXPECT_TRUE(d == 0 && m == 0 && y == 0) << "65535 decodes to all zeros";
}

// Catches the pivot applied the wrong way round.
TEST(DayNumbers, TwoDigitYearsFollowThePivot) {
    PivotGuard guard;
    EXPECT_EQ(EncodeDate(5, 3, 98), EncodeDate(5, 3, 1998)) << "pivot 1900: 98 is 1998";
    EXPECT_EQ(EncodeDate(5, 3, 4), EncodeDate(5, 3, 1904)) << "pivot 1900: 04 is 1904";
    SetCenturyPivot(1950);
    EXPECT_EQ(EncodeDate(5, 3, 4), EncodeDate(5, 3, 2004)) << "pivot 1950: 04 is 2004";
    EXPECT_EQ(EncodeDate(5, 3, 60), EncodeDate(5, 3, 1960)) << "pivot 1950: 60 is 1960";
}

// Catches wrong month lengths.
TEST(DayNumbers, DaysInMonth) {
    EXPECT_EQ(DaysInMonth(2, 2004), 29) << "2004 is a leap year";
    EXPECT_EQ(DaysInMonth(2, 2000), 29) << "2000 is a leap year";
    EXPECT_EQ(DaysInMonth(2, 1900), 28) << "1900 is not a leap year";
    EXPECT_EQ(DaysInMonth(4, 2003), 30) << "April has 30 days";
    EXPECT_EQ(DaysInMonth(0, 2003), 0) << "month 0 has no days";
    EXPECT_EQ(DaysInMonth(13, 2003), 0) << "month 13 has no days";
}

// Catches a time formula that does not wrap at a day or decodes the empty time.
TEST(TimesOfDay, EncodeDecodeAndValidity) {
    EXPECT_EQ(EncodeTime(9, 7, 2), 9 * 3600 + 7 * 60 + 2) << "09:07:02";
    EXPECT_EQ(EncodeTime(24, 0, 5), 5) << "hour 24 wraps to 0";
    EXPECT_EQ(EncodeTime(23, 59, 60), 0) << "a full day wraps to 0";
    int h = 1, m = 1, s = 1;
    DecodeTime(kEmptyTime, h, m, s);
    EXPECT_TRUE(h == 0 && m == 0 && s == 0) << "the empty time decodes to zeros";
    DecodeTime(EncodeTime(13, 45, 30), h, m, s);
    EXPECT_TRUE(h == 13 && m == 45 && s == 30) << "13:45:30 round trip";
    EXPECT_TRUE(IsValidTime(23, 60, 60)) << "minute and second 60 are allowed";
    EXPECT_FALSE(IsValidTime(24, 0, 0)) << "hour 24 is not";
    EXPECT_FALSE(IsValidTime(0, -1, 0)) << "negative minutes are not";
}

struct tFormatDateCase {
    std::string_view Template;
    std::uint16_t Date;
    std::string_view Text;
};

// Catches wrong field filling: case of the padding, dropped digits, empty and unlimited dates.
TEST(Templates, FormatDate) {
    const std::uint16_t march5th1998 = EncodeDate(5, 3, 1998);
    const std::uint16_t march5th2004 = EncodeDate(5, 3, 2004);
    const tFormatDateCase cases[] = {
        {"dd/mm/yyyy", march5th2004, "05/03/2004"},
        {"DD/MM/YY", march5th1998, " 5/ 3/98"},
        {"dd/mm/yy", march5th2004, "05/03/04"},
        {"dd/mm/yyyy", 0, "  /  /    "},
        {"DD/MM/YYYY", kInvalidDate, "  /  /    "},
        {"dd/mm/yy", kUnlimitedDate, "БЕССРОЧ."_oem},
        {"dd/mm/yyyy", kUnlimitedDate, "БЕССРОЧНО"_oem},
        {"yyyy-mm-dd", march5th2004, "2004-03-05"},
        {"d.m.y", EncodeDate(25, 12, 2004), "5.2.4"},
    };
    for (const tFormatDateCase& c : cases)
        EXPECT_EQ(FormatDate(c.Template, c.Date), c.Text)
            << "FormatDate(" << c.Template << ", " << c.Date << ")";
}

struct tFormatTimeCase {
    std::string_view Template;
    std::int32_t Time;
    std::string_view Text;
};

// Catches the minutes not filled from "m" or "n", the empty time, and the 12-hour markers
// overwritten by the minutes.
TEST(Templates, FormatTime) {
    const tFormatTimeCase cases[] = {
        {"hh:nn:ss", EncodeTime(9, 7, 2), "09:07:02"},
        {"hh:mm:ss", EncodeTime(9, 7, 2), "09:07:02"},
        {"HH:nn", EncodeTime(9, 7, 2), " 9:07"},
        {"hh:nn:ss", kEmptyTime, "  :  :  "},
        {"hh:mm:ss", 100 * 3600 + 61, "00:01:01"},
        {"hh:nn te", EncodeTime(0, 5, 0), "12:05 Am"},
        {"hh:nn te", EncodeTime(13, 5, 0), "01:05 Pm"},
        {"hh:nn te", EncodeTime(12, 0, 0), "12:00 Pm"},
    };
    for (const tFormatTimeCase& c : cases)
        EXPECT_EQ(FormatTime(c.Template, c.Time), c.Text)
            << "FormatTime(" << c.Template << ", " << c.Time << ")";
}

// Catches only a later run of a letter being filled, or every run.
TEST(Templates, OnlyTheFirstRunIsFilled) {
    std::string text = "d-dd";
    FillTemplateField(text, 'd', 7);
    EXPECT_EQ(text, "7-dd") << "the second run of d stays as written";
}

// Catches the "today" and "now" forms using another clock than Today and Now.
TEST(Templates, TodayAndNowUseTheLocalClock) {
    std::string before = FormatDate("dd/mm/yyyy", Today());
    std::string today = FormatToday("dd/mm/yyyy");
    std::string after = FormatDate("dd/mm/yyyy", Today());
    EXPECT_TRUE(today == before || today == after) << "FormatToday formats Today: " << today;
    EXPECT_NE(Today(), kInvalidDate) << "today lies within the valid years";
    EXPECT_EQ(FormatNow("hh:nn:ss").size(), 8u) << "hh:nn:ss gives eight characters";
}

} // namespace
} // namespace zarvo
