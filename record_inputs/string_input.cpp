// The string inputs: their values are the text itself, so every text converts.
#include "record_inputs/string_input.h"

#include <algorithm>
#include <cstring>

namespace zarvo {

TInputASCIIZ::TInputASCIIZ(const tRect& bounds, std::int16_t length)
    : TAbstractInput(bounds, length) {}

TInputASCIIZ::TInputASCIIZ(tStreamLoad) : TAbstractInput(kStreamLoad) {}

std::uint16_t TInputASCIIZ::StoreID() const {
    return 246;
}

void TInputASCIIZ::ValueToText(std::string& out) {
    out.clear();
    if (Bound == nullptr)
        return;
    const char* chars = static_cast<const char*>(Bound);
    out.assign(chars, strnlen(chars, std::size_t(MaxLength)));
}

bool TInputASCIIZ::TextToValue(void* place) {
    std::string text = LineText();
    auto* bytes = static_cast<std::uint8_t*>(place);
    std::memset(bytes, 0, std::size_t(MaxLength) + 1);
    std::memcpy(bytes, text.data(), std::min(text.size(), std::size_t(MaxLength)));
    return true;
}

TInputString::TInputString(const tRect& bounds, std::int16_t length)
    : TAbstractInput(bounds, length) {}

TInputString::TInputString(tStreamLoad) : TAbstractInput(kStreamLoad) {}

std::uint16_t TInputString::StoreID() const {
    return 213;
}

void TInputString::ValueToText(std::string& out) {
    out.clear();
    if (Bound == nullptr)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(Bound);
    std::size_t length = std::min<std::size_t>(bytes[0], std::size_t(MaxLength));
    out.assign(reinterpret_cast<const char*>(bytes + 1), length);
}

bool TInputString::TextToValue(void* place) {
    std::string text = LineText();
    std::size_t length = std::min(text.size(), std::size_t(MaxLength));
    auto* bytes = static_cast<std::uint8_t*>(place);
    std::memset(bytes, 0, std::size_t(MaxLength) + 1);
    bytes[0] = std::uint8_t(length);
    std::memcpy(bytes + 1, text.data(), length);
    return true;
}

} // namespace zarvo
