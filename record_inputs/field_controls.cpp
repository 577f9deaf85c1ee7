// MakeFieldInput and MakeFieldCompanion: which control each field type gets and how the
// field's description (limits, decimals, picture, format) shapes it.
#include "record_inputs/field_controls.h"

#include <algorithm>
#include <array>
#include <vector>

#include "library/validity.h"
#include "platform/cp866.h"
#include "record_inputs/choice_input.h"
#include "record_inputs/code_input.h"
#include "record_inputs/count_input.h"
#include "record_inputs/date_time_input.h"
#include "record_inputs/record_dialog.h"
#include "record_inputs/sense.h"
#include "record_inputs/string_input.h"
#include "records/field_value.h"

namespace zarvo {

tDirectoryCompanionMaker DirectoryCompanionMaker = nullptr;

namespace {

// The longest picture a field's mask takes.
constexpr std::size_t kMaxPictureLength = 80;

// Field N's minimum and maximum as stored (FieldSize bytes each, zeros without limits).
struct tFieldLimits {
    std::vector<std::uint8_t> Minimum, Maximum;
    tFieldLimits(tIARecord& record, int n) {
        const std::size_t size = std::size_t(std::max(record.FieldSize(n), 10));
        Minimum.assign(size, 0);
        Maximum.assign(size, 0);
        if (record.LimitKind(n) == lkMinMax || record.LimitKind(n) == lkMinMaxDecimals) {
            record.GetMin(n, Minimum.data());
            record.GetMax(n, Maximum.data());
        }
    }
    std::int64_t IntegerMin(int type) const { return IntegerFromBytes(type, Minimum.data()); }
    std::int64_t IntegerMax(int type) const { return IntegerFromBytes(type, Maximum.data()); }
    long double RealMin(int type) const { return RealFromBytes(type, Minimum.data()); }
    long double RealMax(int type) const { return RealFromBytes(type, Maximum.data()); }
};

// A string input never holds more than the field stores, whatever its display width says.
std::int16_t StringLength(tIARecord& record, int n, int length) {
    return std::int16_t(
        std::clamp(std::min(length, record.FieldSize(n) - 1), 0, int(kMaxInputLength)));
}

TAbstractInput* MakeIntegerInput(const tRect& bounds, std::int16_t length, int type,
                                 const tFieldLimits& limits) {
    const std::int64_t low = limits.IntegerMin(type), high = limits.IntegerMax(type);
    switch (type) {
    case ftShortInt:
        return new TInputShortInt(bounds, length, std::int8_t(low), std::int8_t(high));
    case ftByte:
        return new TInputByte(bounds, length, std::uint8_t(low), std::uint8_t(high));
    case ftInteger:
        return new TInputInteger(bounds, length, std::int16_t(low), std::int16_t(high));
    case ftWord:
        return new TInputWord(bounds, length, std::uint16_t(low), std::uint16_t(high));
    case ftLongInt:
        return new TInputLongInt(bounds, length, std::int32_t(low), std::int32_t(high));
    case ftComp:
        return new TInputComp(bounds, length, low, high);
    default:
        return nullptr;
    }
}

TAbstractInput* MakeRealInput(const tRect& bounds, std::int16_t length, int type, int decimals,
                              const tFieldLimits& limits) {
    const auto places = std::uint8_t(decimals);
    const long double low = limits.RealMin(type), high = limits.RealMax(type);
    switch (type) {
    case ftSingle:
        return new TInputSingle(bounds, length, places, low, high);
    case ftReal:
        return new TInputReal(bounds, length, places, low, high);
    case ftDouble:
        return new TInputDouble(bounds, length, places, low, high);
    case ftExtended:
        return new TInputExtended(bounds, length, places, low, high);
    default:
        return nullptr;
    }
}

// The control for field N over PLACE; null for a type without one.
TAbstractInput* MakeTypedInput(const tRect& bounds, std::int16_t length, tIARecord& record, int n,
                               void* place) {
    const int type = record.FieldType(n);
    switch (type) {
    case ftDate:
        return new TInputDate(place, length <= 9 ? "##/##/##" : "##/##/####", bounds);
    case ftTime:
        return new tInputTime(place, "", bounds);
    case ftCode: {
        // Never more groups than the field has bytes for.
        const std::uint16_t params = record.FieldCodeParams(n);
        const int groups = std::min(params & 0xFF, record.FieldSize(n));
        return new tInputCode(bounds, place, params >> 8, groups);
    }
    case ftString:
        return new TInputASCIIZ(bounds, StringLength(record, n, length));
    case ftPString:
        return new TInputString(bounds, StringLength(record, n, length));
    case ftHidden:
        return new TInputWord(bounds, length, 0, 0);
    case ftSet:
        return new TInputByte(bounds, 3);
    case ftPeriod:
        return new TInputWord(bounds, 5);
    default:
        break;
    }
    if (IsIntegerType(type))
        return MakeIntegerInput(bounds, length, type, tFieldLimits(record, n));
    if (IsRealType(type))
        return MakeRealInput(bounds, length, type, record.FieldDecimals(n),
                             tFieldLimits(record, n));
    return nullptr;
}

// Picture, comparison and number options from the field's description.
void ApplyDescription(TAbstractInput& input, tIARecord& record, int n) {
    const int type = record.FieldType(n);
    if (type == ftBoolean || type == ftMemo || type == ftHidden)
        return;
    std::string picture = record.FieldPicture(n);
    if (!picture.empty())
        input.SetMask(picture.substr(0, kMaxPictureLength));
    input.SetInputOptions(ioCompareText);
    const std::uint8_t format = record.FieldFormat(n);
    const int kind = record.LimitKind(n);
    bool reload = false;
    if (type >= ftShortInt && type <= ftExtended && (format & fmZeroFill)) {
        input.SetInputOptions(ioZeroFill);
        reload = true;
    }
    if ((format & fmShowZero) && (kind == lkMinMax || kind == lkMinMaxDecimals || type == ftCode)) {
        input.SetInputOptions(ioShowZero);
        reload = true;
    }
    if (reload)
        input.ReloadText();
}

} // namespace

bool FieldHasNoValuePlace(tIARecord& record, int n) {
    switch (record.FieldType(n)) {
    case ftBoolean:
        return record.FieldAddress(n) == nullptr;
    case ftCode:
        return record.FieldSize(n) <= 0;
    default:
        return false;
    }
}

tObjectPtr<tView> MakeFieldInput(const tRect& bounds, tIARecord& record, int n) {
    if (FieldHasNoValuePlace(record, n))
        return nullptr;
    const auto length =
        std::int16_t(std::clamp(bounds.Right - bounds.Left - 2, 0, int(kMaxInputLength)));
    tRect shown = bounds;
    shown.Right = std::int16_t(std::min<int>(shown.Right, kRowRightLimit));
    auto* place = static_cast<std::uint8_t*>(record.FieldAddress(n));
    if (record.FieldType(n) == ftBoolean) {
        auto* choice = new TInputBoolean(place, nullptr, shown);
        choice->ImportData(place);
        if (!ValidateRef(choice))
            return nullptr;
        return tObjectPtr<tView>(choice);
    }
    if (record.FieldType(n) == ftString && place != nullptr && record.FieldSize(n) > 0)
        place[record.FieldSize(n) - 1] = 0;
    TAbstractInput* input = MakeTypedInput(shown, length, record, n, place);
    if (input == nullptr)
        return nullptr;
    input->ImportData(place);
    ApplyDescription(*input, record, n);
    if (!ValidateRef(input))
        return nullptr;
    return tObjectPtr<tView>(input);
}

tObjectPtr<tView> MakeFieldCompanion(const tRect& bounds, tIARecord& record, int n, tView* input) {
    if (record.FieldType(n) != ftString || DirectoryCompanionMaker == nullptr)
        return nullptr;
    if (record.DisplayName(n) != "Имя кат"_oem)
        return nullptr;
    return DirectoryCompanionMaker(bounds, input);
}

void MarkFieldRequired(tView* control) {
    if (auto* input = dynamic_cast<TAbstractInput*>(control))
        input->SetInputOptions(ioRequired);
    else if (auto* sense = dynamic_cast<TAbstractSense*>(control))
        sense->Mode = smRequired;
}

tView* CompanionDisplayView(tView* companion) {
    auto* sense = dynamic_cast<TAbstractSense*>(companion);
    return sense != nullptr ? sense->Display : nullptr;
}

} // namespace zarvo
