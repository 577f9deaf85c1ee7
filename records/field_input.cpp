// Parsing operator text into field values, type by type. Texts may come in the display
// form: blanks around them and digit-group separators are allowed where FieldToText puts
// them.
#include "records/field_input.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/dates.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "records/field_text.h"
#include "records/field_types.h"
#include "records/field_value.h"

namespace zarvo {

namespace {

using tBytes = std::vector<std::uint8_t>;

// Splits TEXT at SEPARATOR into decimal numbers of 1 to MAXDIGITS digits each.
bool SplitNumbers(std::string_view text, char separator, std::size_t maxDigits,
                  std::vector<int>& numbers) {
    numbers.clear();
    for (;;) {
        std::size_t end = text.find(separator);
        std::string_view part = TrimBlanks(text.substr(0, end));
        if (!IsDigits(part) || part.size() > maxDigits)
            return false;
        int number = 0;
        std::from_chars(part.data(), part.data() + part.size(), number);
        numbers.push_back(number);
        if (end == std::string_view::npos)
            return true;
        text.remove_prefix(end + 1);
    }
}

// What one field's conversion needs: the record, the field, and where the answer goes.
struct tFieldInput {
    tIARecord& Record;
    int N;
    std::uint8_t Type;
    int Size;
    std::uint8_t* Value;
    std::string& Message;

    bool Refuse() {
        Message = InvalidFieldMessage();
        return false;
    }
    bool Convert(std::string_view text);
    bool Characters(std::string_view text);
    bool Boolean(std::string_view text);
    bool Date(std::string_view text);
    bool Time(std::string_view text);
    bool Period(std::string_view text);
    bool Code(std::string_view text);
    bool Hex(std::string_view text);
    bool Integer(std::string_view text);
    bool Real(std::string_view text);
    std::string Digits(std::string_view text) const;
    // The field's own limits as two stored values; false when it has none (minimum not
    // below maximum).
    bool Limits(tBytes& minimum, tBytes& maximum);
};

bool tFieldInput::Convert(std::string_view text) {
    switch (Type) {
    case ftString:
    case ftMemo:
    case ftPString:
    case ftChar:
        return Characters(text);
    case ftBoolean:
        return Boolean(text);
    case ftDate:
        return Date(text);
    case ftTime:
        return Time(text);
    case ftPeriod:
        return Period(text);
    case ftCode:
        return Code(text);
    case ftHex:
        return Hex(text);
    case ftHidden:
    case ftSet:
        return Refuse(); // no text form
    default:
        return IsIntegerType(Type) ? Integer(text) : Real(text);
    }
}

// Texts are taken as they are: a text the field cannot hold whole is refused, never cut.
bool tFieldInput::Characters(std::string_view text) {
    if (text.find('\0') != std::string_view::npos)
        return Refuse();
    if (Type == ftChar) {
        if (text.size() > 1)
            return Refuse();
        Value[0] = text.empty() ? 0 : std::uint8_t(text[0]);
        return true;
    }
    std::size_t room = std::size_t(std::max(Size - 1, 0));
    if (text.size() > room)
        return Refuse();
    std::memset(Value, 0, std::size_t(Size));
    std::size_t at = Type == ftPString ? 1 : 0;
    if (Type == ftPString)
        Value[0] = std::uint8_t(text.size());
    if (!text.empty())
        std::memcpy(Value + at, text.data(), text.size());
    return true;
}

bool tFieldInput::Boolean(std::string_view text) {
    std::string upper = UpperCase(TrimBlanks(text));
    if (upper.empty() || upper == UpperCase("Нет"_oem))
        Value[0] = 0;
    else if (upper == UpperCase("Да"_oem))
        Value[0] = 1;
    else
        return Refuse();
    return true;
}

bool tFieldInput::Limits(tBytes& minimum, tBytes& maximum) {
    minimum.assign(std::size_t(Size), 0);
    maximum.assign(std::size_t(Size), 0);
    Record.GetMin(N, minimum.data());
    Record.GetMax(N, maximum.data());
    if (IsRealType(Type))
        return RealFromBytes(Type, minimum.data()) < RealFromBytes(Type, maximum.data());
    return IntegerFromBytes(Type, minimum.data()) < IntegerFromBytes(Type, maximum.data());
}

// A date within the field's limits, or within the calendar; a text of blanks and
// separators is the empty date 0.
bool tFieldInput::Date(std::string_view text) {
    std::string_view trimmed = TrimBlanks(text);
    std::string upper = UpperCase(trimmed);
    std::uint16_t date = 0;
    std::vector<int> parts;
    if (trimmed.find_first_not_of(" /") == std::string_view::npos) {
        date = 0;
    } else if (upper == "БЕССРОЧНО"_oem || upper == "БЕССРОЧ."_oem) {
        date = kDateNoLimit;
    } else if (SplitNumbers(trimmed, '/', 4, parts) && parts.size() == 3 && parts[2] != 0) {
        date = EncodeDate(parts[0], parts[1], parts[2]);
        if (date == kInvalidDate)
            return Refuse();
    } else {
        return Refuse();
    }
    tBytes minimum, maximum;
    if (date != 0 && Limits(minimum, maximum) &&
        (date < IntegerFromBytes(Type, minimum.data()) ||
         date > IntegerFromBytes(Type, maximum.data())))
        return Refuse();
    IntegerToBytes(Type, date, Value);
    return true;
}

// Hours, or hours and minutes, or all three; minutes and seconds below 60.
bool tFieldInput::Time(std::string_view text) {
    std::vector<int> parts;
    if (!SplitNumbers(TrimBlanks(text), ':', 2, parts) || parts.size() > 3)
        return Refuse();
    parts.resize(3, 0);
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return Refuse();
    std::int32_t time = EncodeTime(parts[0], parts[1], parts[2]);
    tBytes minimum, maximum;
    if (Limits(minimum, maximum) && (time < IntegerFromBytes(Type, minimum.data()) ||
                                     time > IntegerFromBytes(Type, maximum.data())))
        return Refuse();
    IntegerToBytes(Type, time, Value);
    return true;
}

// Years, months and days after day 0, as FieldToText shows them.
bool tFieldInput::Period(std::string_view text) {
    std::vector<int> parts;
    std::string_view trimmed = TrimBlanks(text);
    if (trimmed.find_first_not_of(" :") == std::string_view::npos) {
        IntegerToBytes(Type, 0, Value);
        return true;
    }
    if (!SplitNumbers(trimmed, ':', 3, parts) || parts.size() != 3)
        return Refuse();
    std::uint16_t days = EncodeDate(parts[2] + 1, parts[1] + 1, kFirstYear + parts[0]);
    if (days == kInvalidDate || parts[1] > 11)
        return Refuse();
    IntegerToBytes(Type, days, Value);
    return true;
}

// Exactly the parameters' number of groups, each a byte; blanks are an empty code.
bool tFieldInput::Code(std::string_view text) {
    std::uint16_t params = Record.FieldCodeParams(N);
    int groups = std::min<int>(params & 0xFF, Size);
    std::size_t digits = std::max<std::size_t>(params >> 8, 3);
    std::vector<int> parts;
    std::string_view trimmed = TrimBlanks(text);
    if (trimmed.find_first_not_of(" .") == std::string_view::npos) {
        std::memset(Value, 0, std::size_t(Size));
        return true;
    }
    if (!SplitNumbers(trimmed, '.', digits, parts) || int(parts.size()) != groups ||
        std::any_of(parts.begin(), parts.end(), [](int part) { return part > 255; })) {
        Message = InvalidCodeMessage(text);
        return false;
    }
    std::memset(Value, 0, std::size_t(Size));
    for (int i = 0; i < groups; ++i)
        Value[i] = std::uint8_t(parts[std::size_t(i)]);
    return true;
}

bool tFieldInput::Hex(std::string_view text) {
    std::string_view trimmed = TrimBlanks(text);
    if (trimmed.size() % 2 != 0 || trimmed.size() > 2 * std::size_t(std::max(Size - 1, 0)))
        return Refuse();
    tBytes bytes(std::size_t(Size), 0);
    for (std::size_t i = 0; i < trimmed.size(); i += 2) {
        unsigned byte = 0;
        auto result = std::from_chars(trimmed.data() + i, trimmed.data() + i + 2, byte, 16);
        if (result.ptr != trimmed.data() + i + 2)
            return Refuse();
        bytes[i / 2] = std::uint8_t(byte);
    }
    std::memcpy(Value, bytes.data(), bytes.size());
    return true;
}

// The text without blanks, and without digit-group separators when the field groups digits.
std::string tFieldInput::Digits(std::string_view text) const {
    std::string plain(TrimBlanks(text));
    if ((Record.FieldFormat(N) & fmGroupDigits) != 0)
        std::erase(plain, kDigitGroupSeparator);
    return plain;
}

// Every refusal of a number names the range it must lie in.
bool tFieldInput::Integer(std::string_view text) {
    std::string plain = Digits(text);
    std::int64_t minimum = 0, maximum = 0;
    tBytes low, high;
    if (Limits(low, high)) {
        minimum = IntegerFromBytes(Type, low.data());
        maximum = IntegerFromBytes(Type, high.data());
    } else {
        IntegerTypeRange(Type, minimum, maximum);
    }
    std::int64_t number = 0;
    if (!plain.empty() &&
        (!IntegerFromText(plain, number) || number < minimum || number > maximum)) {
        Message = NumberRangeMessage(std::to_string(minimum), std::to_string(maximum));
        return false;
    }
    IntegerToBytes(Type, number, Value);
    return true;
}

// Optional sign, digits, optional point and digits: no exponents, no names of infinities.
bool IsFixedNumber(std::string_view text) {
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view part =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    bool wholeOk = whole.empty() || IsDigits(whole);
    bool partOk = part.empty() || IsDigits(part);
    return wholeOk && partOk && (!whole.empty() || !part.empty());
}

// The value is checked as the field will hold it, after rounding to the type.
bool tFieldInput::Real(std::string_view text) {
    std::string plain = Digits(text);
    long double number = 0;
    if (!plain.empty() && !RealFromText(plain, number))
        return Refuse();
    tBytes stored(std::size_t(Size), 0);
    bool fits = RealToBytes(Type, number, stored.data());
    tBytes low, high;
    if (Limits(low, high)) {
        long double value = RealFromBytes(Type, stored.data());
        long double minimum = RealFromBytes(Type, low.data());
        long double maximum = RealFromBytes(Type, high.data());
        if (!fits || value < minimum || value > maximum) {
            int decimals = Record.FieldDecimals(N);
            Message =
                NumberRangeMessage(FixedText(minimum, decimals), FixedText(maximum, decimals));
            return false;
        }
    } else if (!fits) {
        return Refuse();
    }
    std::memcpy(Value, stored.data(), stored.size());
    return true;
}

} // namespace

bool IntegerFromText(std::string_view text, std::int64_t& number) {
    std::string_view digits = TrimBlanks(text);
    if (!digits.empty() && digits[0] == '+')
        digits.remove_prefix(1);
    if (!IsDigits(!digits.empty() && digits[0] == '-' ? digits.substr(1) : digits))
        return false;
    std::int64_t value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc())
        return false;
    number = value;
    return true;
}

bool RealFromText(std::string_view text, long double& number) {
    std::string_view digits = TrimBlanks(text);
    if (!IsFixedNumber(digits))
        return false;
    if (digits[0] == '+')
        digits.remove_prefix(1);
    long double value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = digits[0] == '-' ? -HUGE_VALL : HUGE_VALL;
    number = value;
    return true;
}

std::string InvalidFieldMessage() {
    return std::string("Неправильно введено поле. Повторите"_oem);
}

std::string NumberRangeMessage(std::string_view minimum, std::string_view maximum) {
    return FormatText("Число должно быть не менее %s и не более %s."_oem, {minimum, maximum});
}

std::string InvalidCodeMessage(std::string_view text) {
    return FormatText("Недопустимый код \"%s\""_oem, {text});
}

bool FieldFromText(tIARecord& record, int n, std::string_view text, std::uint8_t* value,
                   std::string& message) {
    std::uint8_t type = record.FieldType(n);
    int size = record.FieldSize(n);
    // One byte more than the field, so that even a field of no bytes has a place.
    tBytes converted(std::size_t(std::max(size, 0)) + 1, 0);
    record.GetField(n, converted.data());
    tFieldInput input{record, n, type, size, converted.data(), message};
    if (!input.Convert(text))
        return false;
    std::memcpy(value, converted.data(), converted.size() - 1);
    return true;
}

bool SetFieldText(tIARecord& record, int n, std::string_view text) {
    tBytes value(std::size_t(std::max(record.FieldSize(n), 0)) + 1, 0);
    std::string message;
    if (!FieldFromText(record, n, text, value.data(), message)) {
        PostAppError(0, message);
        return false;
    }
    record.SetField(n, value.data());
    return true;
}

} // namespace zarvo
