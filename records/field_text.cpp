// Converting field values to text, type by type, then the display format.
#include "records/field_text.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "library/dates.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "records/field_types.h"
#include "records/field_value.h"

namespace zarvo {

namespace {

using tBytes = std::vector<std::uint8_t>;

std::string RightAligned(std::string text, int width) {
    if (int(text.size()) < width)
        text.insert(0, std::size_t(width) - text.size(), ' ');
    return text;
}

std::string RealText(long double value, int width, int decimals) {
    return RightAligned(FixedText(value, decimals), width);
}

std::string DateText(std::uint16_t date, int displayWidth) {
    if (date == kDateNoLimit)
        return std::string(displayWidth >= 9 ? "БЕССРОЧНО"_oem : "БЕССРОЧ."_oem);
    return FormatDate(displayWidth < 10 ? kShortDateTemplate : kLongDateTemplate, date);
}

std::string TimeText(std::int32_t time, int displayWidth) {
    std::string_view templ = displayWidth < 5   ? std::string_view("hh")
                             : displayWidth < 8 ? std::string_view("hh:nn")
                                                : kLongTimeTemplate;
    return FormatTime(templ, time);
}

std::string TwoDigits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

// The calendar distance from day 0 to the day: whole years, then months, then days.
std::string PeriodText(std::uint16_t days) {
    int day = 1, month = 1, year = kFirstYear;
    if (days != kInvalidDate) {
        DecodeDate(days, day, month, year);
    } else {
        DecodeDate(days - 1, day, month, year);
        ++day; // 65535 days lands in the middle of a month
    }
    return TwoDigits(year - kFirstYear) + ":" + TwoDigits(month - 1) + ":" + TwoDigits(day - 1);
}

// One decimal group per byte, as many as the parameters say and the field holds.
std::string CodeText(const tBytes& value, int size, std::uint16_t params) {
    int groups = std::min<int>(params & 0xFF, size);
    int digits = params >> 8;
    std::string text;
    for (int i = 0; i < groups; ++i) {
        std::string group = std::to_string(value[std::size_t(i)]);
        if (int(group.size()) < digits)
            group.insert(0, std::size_t(digits) - group.size(), '0');
        text += (i == 0 ? "" : ".") + group;
    }
    return text;
}

std::string HexText(const tBytes& value, int size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i + 1 < size; ++i) {
        text += kDigits[value[std::size_t(i)] >> 4];
        text += kDigits[value[std::size_t(i)] & 15];
    }
    return text;
}

std::string ZeroTerminated(const tBytes& value) {
    return std::string(reinterpret_cast<const char*>(value.data()));
}

std::string NumberText(tIARecord& record, int n, const tBytes& value, int width, int decimals) {
    std::uint8_t type = record.FieldType(n);
    bool showZero = (record.FieldFormat(n) & fmShowZero) != 0;
    if (IsIntegerType(type)) {
        std::int64_t number = IntegerFromBytes(type, value.data());
        return number == 0 && !showZero ? std::string()
                                        : RightAligned(std::to_string(number), width);
    }
    long double number = RealFromBytes(type, value.data());
    return number == 0 && !showZero ? std::string() : RealText(number, width, decimals);
}

std::string ValueText(tIARecord& record, int n, int width, int decimals) {
    std::uint8_t type = record.FieldType(n);
    int size = record.FieldSize(n);
    tBytes value(std::size_t(std::max(size, 0)) + 1, 0); // the extra byte ends any string
    record.GetField(n, value.data());
    switch (type) {
    case ftString:
    case ftMemo:
        return ZeroTerminated(value);
    case ftBoolean:
        return std::string(value[0] == 0 ? "Нет"_oem : "Да "_oem);
    case ftChar:
        return value[0] == 0 ? std::string() : std::string(1, char(value[0]));
    case ftDate:
        return DateText(std::uint16_t(IntegerFromBytes(type, value.data())), record.FieldWidth(n));
    case ftPString:
        return std::string(reinterpret_cast<const char*>(value.data()) + 1,
                           std::min<std::size_t>(value[0], std::size_t(std::max(size - 1, 0))));
    case ftTime:
        return TimeText(std::int32_t(IntegerFromBytes(type, value.data())), record.FieldWidth(n));
    case ftHidden:
        return std::string(kHiddenText);
    case ftSet:
        return {};
    case ftPeriod:
        return PeriodText(std::uint16_t(IntegerFromBytes(type, value.data())));
    case ftCode:
        return CodeText(value, size, record.FieldCodeParams(n));
    case ftHex:
        return HexText(value, size);
    default:
        return NumberText(record, n, value, width, decimals);
    }
}

void GroupDigits(std::string& text) {
    std::size_t first = text.find_first_of("0123456789");
    if (first == std::string::npos)
        return;
    std::size_t end = first;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    for (std::size_t at = end; at > first + 3; at -= 3)
        text.insert(at - 3, 1, kDigitGroupSeparator);
}

// Zeros go after a leading minus sign, so that the text still reads as the same number.
std::string RightFilled(const std::string& text, int width, char fill) {
    std::size_t missing = std::size_t(width) - text.size();
    if (fill == '0' && !text.empty() && text[0] == '-')
        return "-" + std::string(missing, '0') + text.substr(1);
    return std::string(missing, fill) + text;
}

std::string Aligned(const std::string& text, int width, std::uint8_t format) {
    if (int(text.size()) > width) {
        std::string cut = text.substr(0, std::size_t(width));
        cut.back() = kCutMark;
        return cut;
    }
    char fill = (format & fmZeroFill) != 0 ? '0' : ' ';
    if ((format & fmLeft) != 0)
        return text + std::string(std::size_t(width) - text.size(), ' ');
    if ((format & fmRight) != 0)
        return RightFilled(text, width, fill);
    std::size_t left = (std::size_t(width) - text.size()) / 2;
    std::string centred = std::string(left, fill) + text;
    return centred + std::string(std::size_t(width) - centred.size(), fill);
}

void ApplyDisplayFormat(tIARecord& record, int n, std::string& text) {
    text.erase(text.find_last_not_of(' ') + 1);
    std::uint8_t type = record.FieldType(n);
    std::uint8_t format = record.FieldFormat(n);
    if (type >= ftShortInt && type <= ftExtended && (format & fmGroupDigits) != 0)
        GroupDigits(text);
    // A field without a display width has nothing to align in.
    int width = record.FieldWidth(n);
    if (width > 0)
        text = Aligned(text, width, format);
}

} // namespace

std::string FieldToText(tIARecord& record, int n, std::size_t maxLength, int width, int decimals) {
    std::string text = ValueText(record, n, std::clamp(width, 0, 255), decimals);
    if (record.DisplayFormat != 0)
        ApplyDisplayFormat(record, n, text);
    if (text.size() > maxLength)
        text.resize(maxLength);
    return text;
}

std::string FieldAsText(tIARecord& record, int n) {
    return FieldToText(record, n, kMaxShortString, 0, record.FieldDecimals(n));
}

} // namespace zarvo
