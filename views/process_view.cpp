// tProcessView: the fraction read from the caller's 6-byte real, clamped to 0..1, turned into a
// percentage and a bar rounded half to even, and drawn through the parameter text's format.
#include "views/process_view.h"

#include <algorithm>
#include <cmath>

namespace zarvo {

namespace {

constexpr int kExponentBias = 129;
constexpr int kFractionBits = 39;
constexpr std::size_t kMaxBar = 80;
constexpr char kFullBlock = char(0xDB);
constexpr char kLightShade = char(0xB0);
// The fraction must move at least this much to become the last value.
constexpr long double kNoticeableStep = 0.009L;

// VALUE rounded to the 40 significant bits a 6-byte real keeps, half to even.
long double RoundToReal48(long double value) {
    if (value == 0)
        return 0;
    int exponent = 0;
    long double mantissa = std::frexp(value, &exponent);
    return std::ldexp(std::nearbyint(std::ldexp(mantissa, kFractionBits + 1)),
                      exponent - kFractionBits - 1);
}

} // namespace

long double Real48Value(const std::uint8_t* bytes) {
    if (bytes[0] == 0)
        return 0;
    std::uint64_t fraction = 0;
    for (int i = 5; i >= 1; --i)
        fraction = (fraction << 8) | bytes[i];
    const bool negative = (fraction >> kFractionBits) & 1;
    fraction &= (std::uint64_t(1) << kFractionBits) - 1;
    long double value = std::ldexp(1.0L + std::ldexp((long double)fraction, -kFractionBits),
                                   bytes[0] - kExponentBias);
    return negative ? -value : value;
}

tProcessView::tProcessView(const tRect& bounds, std::string_view text)
    : tParamText(bounds, text, 2) {}

tProcessView::tProcessView(tStreamLoad) : tParamText(kStreamLoad) {}

std::uint16_t tProcessView::StoreID() const {
    return 248;
}

std::uint16_t tProcessView::DataLength() {
    return kReal48Bytes;
}

void tProcessView::ImportData(const void* record) {
    ValueRef = static_cast<const std::uint8_t*>(record);
}

void tProcessView::Draw() {
    long double v = ValueRef != nullptr ? RoundToReal48(Real48Value(ValueRef)) : 0;
    if (v > 1)
        v = 1;
    if (!(v >= 0))
        v = 0;
    if (std::fabs(LastValue - v) >= kNoticeableStep)
        LastValue = v;
    const int width = std::max<int>(Width, 0);
    const int filled = int(std::nearbyint(v * width));
    m_Bar.assign(std::size_t(filled), kFullBlock);
    m_Bar.append(std::size_t(width - filled), kLightShade);
    if (m_Bar.size() > kMaxBar)
        m_Bar.resize(kMaxBar);
    m_Percent = std::int32_t(std::nearbyint(v * 100));
    tStaticText::Draw();
}

// The two parameters are handed over typed, not as a record of addresses: a stored format
// whose "%s" met the percentage would otherwise read the number as an address.
std::string tProcessView::CurrentText() {
    return FormatDirectives(Text, [this](int index, char, tFormatValue& value) {
        if (index == 0) {
            value.Number = m_Percent;
            return true;
        }
        if (index == 1) {
            value.IsText = true;
            value.Text = m_Bar;
            return true;
        }
        return false;
    });
}

} // namespace zarvo
