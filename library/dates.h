// Day numbers, times of day and the date and time templates of the log, the protocol file
// and the record fields. Day 0 is 1 January 1872; the separators and templates are fixed
// and do not follow the system's regional settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

inline constexpr std::uint16_t kInvalidDate = 65535;
// -157 as a signed 16-bit value: a date without end.
inline constexpr std::uint16_t kUnlimitedDate = 65379;
inline constexpr std::int32_t kEmptyTime = -1;
inline constexpr int kFirstYear = 1872;
inline constexpr int kLastYear = 2050;

inline constexpr char kDateSeparator = '/';
inline constexpr char kTimeSeparator = ':';
inline constexpr std::string_view kShortDateTemplate = "dd/mm/yy";
inline constexpr std::string_view kLongDateTemplate = "dd/mm/yyyy";
inline constexpr std::string_view kShortTimeTemplate = "hh:nn";
inline constexpr std::string_view kLongTimeTemplate = "hh:nn:ss";

// Two-digit years become 2000 + y when 1900 + y is below the pivot, else 1900 + y.
int CenturyPivot();
void SetCenturyPivot(int pivot);
int ApplyCenturyPivot(int year);

std::uint16_t EncodeDate(int day, int month, int year);
void DecodeDate(std::uint16_t date, int& day, int& month, int& year);
bool IsValidDate(int day, int month, int year);
int DaysInMonth(int month, int year);

std::int32_t EncodeTime(int hours, int minutes, int seconds);
void DecodeTime(std::int32_t time, int& hours, int& minutes, int& seconds);
bool IsValidTime(int hours, int minutes, int seconds);

// Writes Value into the first run of Letter (either case) in the template, right-aligned;
// free places get "0" under a lower-case letter and a space under an upper-case one, and
// digits that do not fit are dropped from the left.
void FillTemplateField(std::string& text, char letter, std::int64_t value);

std::string FormatDate(std::string_view templ, std::uint16_t date);
std::string FormatToday(std::string_view templ);
std::string FormatTime(std::string_view templ, std::int32_t time);
std::string FormatNow(std::string_view templ);

} // namespace zarvo
