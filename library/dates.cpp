// Date and time numbers and their templates.
#include "library/dates.h"

#include <atomic>
#include <langinfo.h>

#include "library/clocks.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

std::atomic<int> gCenturyPivot{1900};

constexpr int kSecondsPerDay = 86400;
constexpr int kDaysBeforeMarch1872 = 60;

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool IsLetter(char c, char lower) {
    return ToLowerAscii(c) == lower;
}

// Every letter of the set (either case) becomes a space.
void BlankLetters(std::string& text, std::string_view lowers) {
    for (char& c : text)
        if (lowers.find(ToLowerAscii(c)) != std::string_view::npos)
            c = ' ';
}

char DayPeriodLetter(bool afternoon) {
    std::string marker = Utf8ToCp866(nl_langinfo(afternoon ? PM_STR : AM_STR), 0);
    if (marker.empty())
        return afternoon ? 'P' : 'A';
    return marker.front();
}

} // namespace

int CenturyPivot() {
    return gCenturyPivot.load(std::memory_order_relaxed);
}

void SetCenturyPivot(int pivot) {
    gCenturyPivot.store(pivot, std::memory_order_relaxed);
}

int ApplyCenturyPivot(int year) {
    if (year < 0 || year >= 100)
        return year;
    return 1900 + year < CenturyPivot() ? 2000 + year : 1900 + year;
}

int DaysInMonth(int month, int year) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(ApplyCenturyPivot(year)))
        return 29;
    return kDays[month - 1];
}

bool IsValidDate(int day, int month, int year) {
    year = ApplyCenturyPivot(year);
    return year >= kFirstYear && year <= kLastYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(month, year);
}

std::uint16_t EncodeDate(int day, int month, int year) {
    if (day == 0 && month == 0 && year == 0)
        return 0;
    year = ApplyCenturyPivot(year);
    if (!IsValidDate(day, month, year))
        return kInvalidDate;
    if (year == kFirstYear && month == 1)
        return std::uint16_t(day - 1);
    if (year == kFirstYear && month == 2)
        return std::uint16_t(day + 30);
    int shiftedMonth = month <= 2 ? month + 12 : month;
    int shiftedYear = month <= 2 ? year - 1 : year;
    // Past February 1872 the shifted year is never below 1872, so every division here
    // works on non-negative numbers.
    return std::uint16_t((153 * shiftedMonth - 457) / 5 + ((shiftedYear - kFirstYear) * 1461) / 4 +
                         day + 59);
}

void DecodeDate(std::uint16_t date, int& day, int& month, int& year) {
    if (date == kInvalidDate) {
        day = month = year = 0;
        return;
    }
    if (date < kDaysBeforeMarch1872) {
        year = kFirstYear;
        month = date <= 30 ? 1 : 2;
        day = date <= 30 ? date + 1 : date - 30;
        return;
    }
    int q = 4 * int(date) - 237;
    year = kFirstYear + q / 1461;
    int r = ((q % 1461) / 4) * 5 + 2;
    month = r / 153 + 3;
    if (month > 12) {
        month -= 12;
        ++year;
    }
    day = ((r % 153) + 5) / 5;
}

std::int32_t EncodeTime(int hours, int minutes, int seconds) {
    return (seconds + (hours % 24) * 3600 + minutes * 60) % kSecondsPerDay;
}

void DecodeTime(std::int32_t time, int& hours, int& minutes, int& seconds) {
    if (time == kEmptyTime) {
        hours = minutes = seconds = 0;
        return;
    }
    hours = time / 3600;
    minutes = time / 60 % 60;
    seconds = time % 60;
}

bool IsValidTime(int hours, int minutes, int seconds) {
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 60 && seconds >= 0 &&
           seconds <= 60;
}

void FillTemplateField(std::string& text, char letter, std::int64_t value) {
    const char lower = ToLowerAscii(letter);
    std::size_t first = 0;
    while (first < text.size() && !IsLetter(text[first], lower))
        ++first;
    if (first == text.size())
        return;
    std::size_t end = first;
    while (end < text.size() && IsLetter(text[end], lower))
        ++end;
    std::uint64_t rest = value < 0 ? std::uint64_t(-value) : std::uint64_t(value);
    bool digitsLeft = true;
    for (std::size_t i = end; i-- > first;) {
        if (digitsLeft) {
            text[i] = char('0' + rest % 10);
            rest /= 10;
            digitsLeft = rest != 0;
        } else {
            text[i] = text[i] == lower ? '0' : ' ';
        }
    }
}

std::string FormatDate(std::string_view templ, std::uint16_t date) {
    std::string text(templ);
    if (date == 0 || date == kInvalidDate) {
        BlankLetters(text, "mdy");
        return text;
    }
    if (date == kUnlimitedDate)
        return std::string(templ.size() < 9 ? "БЕССРОЧ."_oem : "БЕССРОЧНО"_oem);
    int day = 0, month = 0, year = 0;
    DecodeDate(date, day, month, year);
    FillTemplateField(text, 'm', month);
    FillTemplateField(text, 'd', day);
    FillTemplateField(text, 'y', ApplyCenturyPivot(year));
    return text;
}

std::string FormatToday(std::string_view templ) {
    return FormatDate(templ, Today());
}

std::string FormatTime(std::string_view templ, std::int32_t time) {
    std::string text(templ);
    const std::size_t marker = text.find('t');
    const std::size_t markerTail = marker == std::string::npos ? marker : text.find('e');
    if (time == kEmptyTime) {
        BlankLetters(text, "hnms");
        if (marker != std::string::npos)
            text[marker] = ' ';
        if (markerTail != std::string::npos)
            text[markerTail] = ' ';
        return text;
    }
    int hours = 0, minutes = 0, seconds = 0;
    DecodeTime(time, hours, minutes, seconds);
    bool afternoon = false;
    if (marker != std::string::npos) {
        afternoon = hours >= 12;
        if (hours == 0)
            hours = 12;
        else if (hours > 12)
            hours -= 12;
    }
    FillTemplateField(text, 'h', hours);
    FillTemplateField(text, 'n', minutes);
    FillTemplateField(text, 'm', minutes);
    FillTemplateField(text, 's', seconds);
    // The marker letters go in after the fields: an "m" written earlier would be taken
    // for the minutes.
    if (marker != std::string::npos)
        text[marker] = DayPeriodLetter(afternoon);
    if (markerTail != std::string::npos)
        text[markerTail] = 'm';
    return text;
}

std::string FormatNow(std::string_view templ) {
    return FormatTime(templ, Now());
}

} // namespace zarvo
