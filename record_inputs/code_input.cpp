// Codes of digit groups: the mask, the texts of the bytes and the code message.
#include "record_inputs/code_input.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "records/field_input.h"
#include "views/message_box_call.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kErrorFlags = mbError | mbContinue;

int CodeLength(int digits, int groups) {
    return groups * digits + groups - 1;
}

std::string CodeMask(int digits, int groups) {
    std::string mask;
    for (int group = 0; group < groups; ++group) {
        if (group > 0)
            mask.push_back('.');
        mask.append(std::size_t(digits), '#');
    }
    return mask;
}

int ClampDigits(int digits) {
    return std::clamp(digits, 1, 3);
}

// As many groups as a short string holds.
int ClampGroups(int digits, int groups) {
    return std::clamp(groups, 1, (kMaxInputLength + 1) / (ClampDigits(digits) + 1));
}

} // namespace

tInputCode::tInputCode(const tRect& bounds, void* place, int digits, int groups)
    : TAbstractInput(bounds,
                     std::int16_t(CodeLength(ClampDigits(digits), ClampGroups(digits, groups)))),
      Digits(ClampDigits(digits)), Groups(ClampGroups(digits, groups)) {
    InputOptions = std::uint16_t(InputOptions & ~(ioTrimLeft | ioTrimRight));
    Allowed = MakeCharSet("0123456789");
    Bound = place;
    SetMask(CodeMask(Digits, Groups));
}

std::uint16_t tInputCode::ValueSize() {
    return std::uint16_t(Groups);
}

void tInputCode::ValueToText(std::string& out) {
    out.clear();
    if (Bound == nullptr)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(Bound);
    for (int group = 0; group < Groups; ++group) {
        std::string number = std::to_string(bytes[group]);
        if (int(number.size()) > Digits)
            number.assign(std::size_t(Digits), '*'); // a byte too wide for its group
        if (group > 0)
            out.push_back('.');
        out.append(std::size_t(Digits) - number.size(), '0');
        out.append(number);
    }
}

bool tInputCode::TextToValue(void* place) {
    std::string placeholders;
    TextFromMask(placeholders);
    std::vector<std::uint8_t> code(std::size_t(Groups), 0);
    if (placeholders.find_first_not_of(' ') != std::string::npos) {
        std::string text = LineText();
        for (int group = 0; group < Groups; ++group) {
            std::string part = text.substr(std::size_t(group * (Digits + 1)), std::size_t(Digits));
            std::size_t first = part.find_first_not_of(' ');
            if (first == std::string::npos)
                return false;
            part = part.substr(first, part.find_last_not_of(' ') - first + 1);
            std::int64_t number = 0;
            if (!IntegerFromText(part, number) || part[0] == '-' || part[0] == '+' || number > 255)
                return false;
            code[std::size_t(group)] = std::uint8_t(number);
        }
    }
    std::memcpy(place, code.data(), code.size());
    return true;
}

void tInputCode::ShowInputError() {
    MessageBoxCall(InvalidCodeMessage(LineText()), kErrorFlags);
}

} // namespace zarvo
