// The date and time inputs: their masks, their texts through the fixed templates, and the
// unlimited date typed with its first letter.
#include "record_inputs/date_time_input.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/dates.h"
#include "library/strings.h"
#include "platform/cp866.h"
#include "record_inputs/input_mask.h"
#include "records/field_types.h"
#include "records/field_value.h"
#include "views/calc_tools.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::int32_t kLastSecond = 86399;
constexpr std::uint16_t kLastDate = 65378;
constexpr std::uint16_t kBlankDate = 0;

constexpr std::string_view kUnlimitedLong = "БЕССРОЧНО"_oem;
constexpr std::string_view kUnlimitedShort = "БЕССРОЧ."_oem;

// TEXT split at SEPARATOR into numbers, each given in full (blanks around its digits
// allowed); false for a missing or non-digit part.
bool SplitNumbers(std::string_view text, char separator, std::vector<int>& numbers) {
    numbers.clear();
    for (;;) {
        std::size_t end = text.find(separator);
        std::string_view part = TrimBlanks(text.substr(0, end));
        if (part.empty() || part.size() > 4 ||
            !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        int number = 0;
        for (char c : part)
            number = number * 10 + (c - '0');
        numbers.push_back(number);
        if (end == std::string_view::npos)
            return true;
        text.remove_prefix(end + 1);
    }
}

std::string TimeMask(std::string_view picture, const tRect& bounds) {
    if (!picture.empty())
        return std::string(picture);
    int width = bounds.Right - bounds.Left - 2;
    if (width >= 8)
        return "##:##:##";
    if (width < 5)
        return "##";
    return "##:##";
}

std::string DateMask(std::string_view picture, const tRect& bounds) {
    if (!picture.empty())
        return std::string(picture);
    return bounds.Right - bounds.Left - 2 >= 10 ? "##/##/####" : "##/##/##";
}

std::int16_t MaskLength(const std::string& mask) {
    return std::int16_t(std::min<std::size_t>(mask.size(), kMaxInputLength));
}

} // namespace

// ---- tInputTime

tInputTime::tInputTime(void* place, std::string_view picture, const tRect& bounds)
    : TInputCountType(bounds, MaskLength(TimeMask(picture, bounds)), ftTime) {
    InputOptions = std::uint16_t(InputOptions & ~(ioTrimLeft | ioTrimRight));
    SetHintText(kTimeInputHint);
    SetIntegerLimits(0, kLastSecond);
    Bound = place;
    SetMask(TimeMask(picture, bounds));
}

tInputTime::tInputTime(tStreamLoad) : TInputCountType(kStreamLoad, ftTime) {}

std::uint16_t tInputTime::StoreID() const {
    return 242;
}

std::string_view tInputTime::TimeTemplate() const {
    if (Mask.size() >= 8)
        return kLongTimeTemplate;
    if (Mask.size() >= 5)
        return kShortTimeTemplate;
    return "hh";
}

void tInputTime::FormatValue(const void* value, std::string& out) {
    std::int32_t time = 0;
    std::memcpy(&time, value, sizeof time);
    out = FormatTime(TimeTemplate(), time);
}

void tInputTime::ValueToText(std::string& out) {
    out.clear();
    if (Bound != nullptr)
        FormatValue(Bound, out);
}

bool tInputTime::TextToValue(void* place) {
    std::string placeholders;
    TextFromMask(placeholders);
    std::int32_t time = 0;
    if (!TrimBlanks(placeholders).empty()) {
        std::vector<int> parts;
        std::size_t groups = std::count(TimeTemplate().begin(), TimeTemplate().end(), ':') + 1;
        if (!SplitNumbers(LineText(), kTimeSeparator, parts) || parts.size() != groups)
            return false;
        parts.resize(3, 0);
        if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
            return false;
        time = parts[0] * 3600 + parts[1] * 60 + parts[2];
    }
    if (time < MinimumValue() || time > MaximumValue())
        return false;
    std::memcpy(place, &time, sizeof time);
    return true;
}

bool tInputTime::PostValidate() {
    return TAbstractInput::PostValidate();
}

void tInputTime::OpenCalculator() {}

// ---- TInputDate

TInputDate::TInputDate(void* place, std::string_view picture, const tRect& bounds)
    : TInputCountType(bounds, MaskLength(DateMask(picture, bounds)), ftDate) {
    InputOptions = std::uint16_t(InputOptions & ~(ioTrimLeft | ioTrimRight));
    SetHintText(kDateInputHint);
    SetIntegerLimits(0, kLastDate);
    Bound = place;
    SetMask(DateMask(picture, bounds));
}

TInputDate::TInputDate(tStreamLoad) : TInputCountType(kStreamLoad, ftDate) {}

std::uint16_t TInputDate::StoreID() const {
    return 243;
}

std::string_view TInputDate::DateTemplate() const {
    return Mask.size() >= 10 ? kLongDateTemplate : kShortDateTemplate;
}

std::string TInputDate::UnlimitedText() const {
    return std::string(Mask.size() < 9 ? kUnlimitedShort : kUnlimitedLong);
}

bool TInputDate::ShowsUnlimited() const {
    std::string text = LineText();
    return text == kUnlimitedShort || text == kUnlimitedLong;
}

void TInputDate::FormatValue(const void* value, std::string& out) {
    std::uint16_t date = 0;
    std::memcpy(&date, value, sizeof date);
    out = FormatDate(DateTemplate(), date);
}

void TInputDate::ValueToText(std::string& out) {
    out.clear();
    if (Bound != nullptr)
        FormatValue(Bound, out);
}

void TInputDate::FillMask() {
    if (!ShowsUnlimited())
        TInputCountType::FillMask();
}

void TInputDate::TextFromMask(std::string& out) {
    if (ShowsUnlimited())
        out = LineText();
    else
        TInputCountType::TextFromMask(out);
}

std::uint16_t TInputDate::ParsedDate() const {
    std::string text = LineText();
    if (ShowsUnlimited())
        return kUnlimitedDate;
    if (text.find_first_not_of(" /") == std::string::npos)
        return kBlankDate;
    std::vector<int> parts;
    if (!SplitNumbers(text, kDateSeparator, parts) || parts.size() != 3)
        return kInvalidDate;
    return EncodeDate(parts[0], parts[1], parts[2]);
}

// Only the unlimited word gives the unlimited date: a typed date that encodes to the same
// day number (31/12/2050) lies past the limits like any other.
bool TInputDate::TextToValue(void* place) {
    std::uint16_t date = ParsedDate();
    if (date == kInvalidDate)
        return false;
    if (!ShowsUnlimited() && date != kBlankDate && (date < MinimumValue() || date > MaximumValue()))
        return false;
    std::memcpy(place, &date, sizeof date);
    return true;
}

bool TInputDate::PostValidate() {
    return TAbstractInput::PostValidate();
}

// The range is named only when the field has a lower limit of its own: the blank date 0
// makes no sense in a message.
void TInputDate::ShowInputError() {
    if (ParsedDate() == kInvalidDate || MinimumValue() == 0)
        TAbstractInput::ShowInputError();
    else
        TInputCountType::ShowInputError();
}

void TInputDate::OpenCalculator() {
    std::uint16_t day = ParsedDate();
    if (day == kInvalidDate || day == kUnlimitedDate)
        day = 0; // the calendar starts at today
    std::uint16_t result = RunCalendar(day, RootGroup());
    if (result == 0) {
        MessageBoxCall(kNoConnectionMessage, kNoticeFlags);
        return;
    }
    if (result == cmdCancel)
        return;
    std::string text;
    FormatValue(&day, text);
    SetLineText(text);
    FillMask();
    SelectAll(true);
    MoveToPlaceholder(0);
}

void TInputDate::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown && HasState(ViewState::Selected) && Data != nullptr) {
        char ch = char(event.key.keyCode & 0xFF);
        bool unlimitedLetter = UpperCaseChar(ch) == kUnlimitedLong[0];
        if (ShowsUnlimited()) {
            if (HandleUnlimitedKey(event))
                return;
        } else if (unlimitedLetter) {
            SetLineText(UnlimitedText());
            CursorPos = SelStart = SelEnd = FirstShown = 0;
            Repaint();
            ConsumeEvent(event);
            return;
        }
    }
    TInputCountType::HandleEvent(event);
}

// A digit starts a date again (and is typed into it); the erasing keys blank the field;
// other characters are ignored.
bool TInputDate::HandleUnlimitedKey(TEventRec& event) {
    std::uint16_t key = CtrlKeyToCursorKey(event.key.keyCode);
    char ch = char(key & 0xFF);
    bool erases = key == kKeyBackspace || key == kKeyDel || ch == KeyChar(kKeyCtrlY) ||
                  key == kKeyCtrlE || key == kKeyCtrlT || key == kKeyCtrlEnd || key == kKeyCtrlHome;
    bool digit = ch >= '0' && ch <= '9';
    if (erases || digit) {
        SetLineText(BlankMaskText(Mask));
        MoveToPlaceholder(0);
        SelStart = SelEnd = 0;
        Repaint();
    }
    if (digit)
        return false;
    if (erases || std::uint8_t(ch) >= 0x20) {
        ConsumeEvent(event);
        return true;
    }
    return false;
}

} // namespace zarvo
