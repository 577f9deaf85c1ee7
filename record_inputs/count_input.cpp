// The numeric inputs: their texts, limits, range messages and stored form. The number
// parsers are the records' own, shared with the field conversions.
#include "record_inputs/count_input.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "console/key_codes.h"
#include "library/strings.h"
#include "records/field_input.h"
#include "records/field_types.h"
#include "records/field_value.h"
#include "views/calc_tools.h"
#include "views/group.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kErrorFlags = mbError | mbContinue;

constexpr std::string_view kDigits = "0123456789";
constexpr std::string_view kSignedDigits = "-0123456789";
constexpr std::string_view kNumberChars = "+-0123456789";
constexpr std::string_view kRealChars = "+-.0123456789";

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

bool AllZero(const std::uint8_t* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; });
}

// Leading zeros up to WIDTH, after a sign.
std::string ZeroFilled(std::string_view text, int width) {
    if (int(text.size()) >= width)
        return std::string(text);
    std::size_t sign = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    std::string out(text.substr(0, sign));
    out.append(std::size_t(width) - text.size(), '0');
    out.append(text.substr(sign));
    return out;
}

} // namespace

// ---- TInputCountType

TInputCountType::TInputCountType(const tRect& bounds, std::int16_t length, std::uint8_t valueType)
    : TAbstractInput(bounds, length), ValueType(valueType) {
    SetHintText(kNumberInputHint);
}

TInputCountType::TInputCountType(tStreamLoad, std::uint8_t valueType)
    : TAbstractInput(kStreamLoad), ValueType(valueType) {}

std::uint16_t TInputCountType::ValueSize() {
    return std::uint16_t(DefaultFieldSize(ValueType));
}

std::array<std::uint8_t, 10> TInputCountType::BoundBytes() const {
    std::array<std::uint8_t, 10> bytes{};
    if (Bound != nullptr)
        std::memcpy(bytes.data(), Bound, std::size_t(DefaultFieldSize(ValueType)));
    return bytes;
}

void TInputCountType::SetIntegerLimits(std::int64_t minimum, std::int64_t maximum) {
    if (minimum >= maximum)
        IntegerTypeRange(ValueType, minimum, maximum);
    IntegerToBytes(ValueType, minimum, Minimum.data());
    IntegerToBytes(ValueType, maximum, Maximum.data());
}

std::int64_t TInputCountType::MinimumValue() const {
    return IntegerFromBytes(ValueType, Minimum.data());
}

std::int64_t TInputCountType::MaximumValue() const {
    return IntegerFromBytes(ValueType, Maximum.data());
}

void TInputCountType::FormatValue(const void* value, std::string& out) {
    out = std::to_string(IntegerFromBytes(ValueType, static_cast<const std::uint8_t*>(value)));
}

void TInputCountType::LimitText(int which, std::string& out) {
    FormatValue(which == 0 ? Minimum.data() : Maximum.data(), out);
}

void TInputCountType::ValueToText(std::string& out) {
    std::array<std::uint8_t, 10> value = BoundBytes();
    if (!(InputOptions & ioShowZero) && AllZero(value.data(), ValueSize())) {
        out.clear();
        return;
    }
    FormatValue(value.data(), out);
    if (InputOptions & ioZeroFill)
        out = ZeroFilled(out, MaxLength);
    if (out.size() > std::size_t(MaxLength))
        out.assign(std::size_t(MaxLength), '*');
}

bool TInputCountType::TextToValue(void* place) {
    std::string text = LineText();
    std::int64_t number = 0;
    if (!IsBlank(text) &&
        (!IntegerFromText(text, number) || number < MinimumValue() || number > MaximumValue()))
        return false;
    IntegerToBytes(ValueType, number, static_cast<std::uint8_t*>(place));
    return true;
}

bool TInputCountType::PostValidate() {
    TAbstractInput::PostValidate();
    std::string text = LineText();
    std::array<std::uint8_t, 11> value{};
    if (!(InputOptions & ioShowZero) && !IsBlank(text) && TextToValue(value.data()) &&
        AllZero(value.data(), ValueSize()))
        text.clear();
    if ((InputOptions & ioZeroFill) && !IsBlank(text))
        text = ZeroFilled(text, MaxLength);
    if (text != LineText()) {
        SetLineText(text);
        Repaint();
    }
    return true;
}

void TInputCountType::ShowInputError() {
    std::string minimum, maximum;
    LimitText(0, minimum);
    LimitText(1, maximum);
    MessageBoxCall(NumberRangeMessage(minimum, maximum), kErrorFlags);
}

void TInputCountType::OpenCalculator() {
    std::string text(TrimBlanks(LineText()));
    std::uint16_t result = RunCalculator(text, RootGroup());
    if (result == 0) {
        MessageBoxCall(kNoConnectionMessage, kNoticeFlags);
        return;
    }
    if (result == cmdCancel)
        return;
    SetLineText(TrimBlanks(text).substr(0, std::size_t(MaxLength)));
    SelectAll(true);
}

tGroup* TInputCountType::RootGroup() const {
    tGroup* root = Owner;
    while (root != nullptr && root->Owner != nullptr)
        root = root->Owner;
    return root;
}

void TInputCountType::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown && event.key.keyCode == kKeyCtrlK &&
        HasState(ViewState::Selected)) {
        ConsumeEvent(event);
        OpenCalculator();
        return;
    }
    TAbstractInput::HandleEvent(event);
}

void TInputCountType::Store(tStream& s) {
    TAbstractInput::Store(s);
    s.Write(Minimum.data(), ValueSize());
    s.Write(Maximum.data(), ValueSize());
}

void TInputCountType::Load(tStream& s) {
    TAbstractInput::Load(s);
    if (s.Status != stOk)
        return;
    s.Read(Minimum.data(), ValueSize());
    s.Read(Maximum.data(), ValueSize());
}

// ---- the integer inputs

TInputByte::TInputByte(const tRect& bounds, std::int16_t length, std::uint8_t minimum,
                       std::uint8_t maximum)
    : TInputCountType(bounds, length, ftByte) {
    Allowed = MakeCharSet(kDigits);
    SetIntegerLimits(minimum, maximum);
}
TInputByte::TInputByte(tStreamLoad) : TInputCountType(kStreamLoad, ftByte) {}
std::uint16_t TInputByte::StoreID() const {
    return 212;
}

TInputShortInt::TInputShortInt(const tRect& bounds, std::int16_t length, std::int8_t minimum,
                               std::int8_t maximum)
    : TInputCountType(bounds, length, ftShortInt) {
    Allowed = MakeCharSet(kSignedDigits);
    SetIntegerLimits(minimum, maximum);
}
TInputShortInt::TInputShortInt(tStreamLoad) : TInputCountType(kStreamLoad, ftShortInt) {}
std::uint16_t TInputShortInt::StoreID() const {
    return 235;
}

TInputInteger::TInputInteger(const tRect& bounds, std::int16_t length, std::int16_t minimum,
                             std::int16_t maximum)
    : TInputCountType(bounds, length, ftInteger) {
    Allowed = MakeCharSet(kSignedDigits);
    SetIntegerLimits(minimum, maximum);
}
TInputInteger::TInputInteger(tStreamLoad) : TInputCountType(kStreamLoad, ftInteger) {}
std::uint16_t TInputInteger::StoreID() const {
    return 224;
}

TInputWord::TInputWord(const tRect& bounds, std::int16_t length, std::uint16_t minimum,
                       std::uint16_t maximum)
    : TInputCountType(bounds, length, ftWord) {
    Allowed = MakeCharSet(kDigits);
    SetIntegerLimits(minimum, maximum);
}
TInputWord::TInputWord(tStreamLoad) : TInputCountType(kStreamLoad, ftWord) {}
std::uint16_t TInputWord::StoreID() const {
    return 211;
}

TInputLongInt::TInputLongInt(const tRect& bounds, std::int16_t length, std::int32_t minimum,
                             std::int32_t maximum)
    : TInputCountType(bounds, length, ftLongInt) {
    Allowed = MakeCharSet(kSignedDigits);
    SetIntegerLimits(minimum, maximum);
}
TInputLongInt::TInputLongInt(tStreamLoad) : TInputCountType(kStreamLoad, ftLongInt) {}
std::uint16_t TInputLongInt::StoreID() const {
    return 236;
}

TInputComp::TInputComp(const tRect& bounds, std::int16_t length, std::int64_t minimum,
                       std::int64_t maximum)
    : TInputCountType(bounds, length, ftComp) {
    Allowed = MakeCharSet(kNumberChars);
    SetIntegerLimits(minimum, maximum);
}
TInputComp::TInputComp(tStreamLoad) : TInputCountType(kStreamLoad, ftComp) {}
std::uint16_t TInputComp::StoreID() const {
    return 241;
}

// ---- the floating inputs

tInputRealTypes::tInputRealTypes(const tRect& bounds, std::int16_t length, std::uint8_t valueType,
                                 std::uint8_t decimals, long double minimum, long double maximum)
    : TInputCountType(bounds, length, valueType), Decimals(decimals) {
    Allowed = MakeCharSet(kRealChars);
    // Limits the type cannot hold count as none.
    if (minimum < maximum && (!RealToBytes(valueType, minimum, Minimum.data()) ||
                              !RealToBytes(valueType, maximum, Maximum.data()))) {
        Minimum.fill(0);
        Maximum.fill(0);
    }
}

tInputRealTypes::tInputRealTypes(tStreamLoad, std::uint8_t valueType)
    : TInputCountType(kStreamLoad, valueType) {}

bool tInputRealTypes::HasLimits() const {
    return RealFromBytes(ValueType, Minimum.data()) < RealFromBytes(ValueType, Maximum.data());
}

void tInputRealTypes::FormatValue(const void* value, std::string& out) {
    out = FixedText(RealFromBytes(ValueType, static_cast<const std::uint8_t*>(value)), Decimals);
}

bool tInputRealTypes::TextToValue(void* place) {
    std::string text = LineText();
    long double number = 0;
    if (!IsBlank(text) && !RealFromText(text, number))
        return false;
    std::array<std::uint8_t, 10> stored{};
    if (!RealToBytes(ValueType, number, stored.data()))
        return false;
    if (HasLimits()) {
        long double value = RealFromBytes(ValueType, stored.data());
        if (value < RealFromBytes(ValueType, Minimum.data()) ||
            value > RealFromBytes(ValueType, Maximum.data()))
            return false;
    }
    std::memcpy(place, stored.data(), ValueSize());
    return true;
}

void tInputRealTypes::ShowInputError() {
    if (HasLimits())
        TInputCountType::ShowInputError();
    else
        TAbstractInput::ShowInputError();
}

// The decimals follow the limits: without them a loaded field would show, and store back,
// its values rounded to whole numbers.
void tInputRealTypes::Store(tStream& s) {
    TInputCountType::Store(s);
    s.WriteValue(Decimals);
}

void tInputRealTypes::Load(tStream& s) {
    TInputCountType::Load(s);
    Decimals = s.ReadValue<std::uint8_t>();
}

TInputSingle::TInputSingle(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                           long double minimum, long double maximum)
    : tInputRealTypes(bounds, length, ftSingle, decimals, minimum, maximum) {}
TInputSingle::TInputSingle(tStreamLoad) : tInputRealTypes(kStreamLoad, ftSingle) {}
std::uint16_t TInputSingle::StoreID() const {
    return 240;
}

TInputDouble::TInputDouble(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                           long double minimum, long double maximum)
    : tInputRealTypes(bounds, length, ftDouble, decimals, minimum, maximum) {}
TInputDouble::TInputDouble(tStreamLoad) : tInputRealTypes(kStreamLoad, ftDouble) {}
std::uint16_t TInputDouble::StoreID() const {
    return 238;
}

TInputExtended::TInputExtended(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                               long double minimum, long double maximum)
    : tInputRealTypes(bounds, length, ftExtended, decimals, minimum, maximum) {}
TInputExtended::TInputExtended(tStreamLoad) : tInputRealTypes(kStreamLoad, ftExtended) {}
std::uint16_t TInputExtended::StoreID() const {
    return 239;
}

TInputReal::TInputReal(const tRect& bounds, std::int16_t length, std::uint8_t decimals,
                       long double minimum, long double maximum)
    : tInputRealTypes(bounds, length, ftReal, decimals, minimum, maximum) {}
TInputReal::TInputReal(tStreamLoad) : tInputRealTypes(kStreamLoad, ftReal) {}
std::uint16_t TInputReal::StoreID() const {
    return 237;
}

} // namespace zarvo
