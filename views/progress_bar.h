// The progress window's percentage bar: the percentage centred, the done part bright white
// on blue, the rest blue on bright white (fixed colours, not from a palette).
#pragma once

#include <cstdint>

#include "views/view.h"

namespace zarvo {

inline constexpr std::uint8_t kBarDoneAttr = 0x1F;
inline constexpr std::uint8_t kBarLeftAttr = 0xF1;

class tProgressBar : public tView {
  public:
    explicit tProgressBar(const tRect& bounds);
    void Draw() override;
    // Redraws only when the percentage or the filled cells change.
    void SetFraction(double fraction);

    double Fraction = 0;
    std::int32_t Percent = 0;
    std::int32_t Cells = 0;
};

} // namespace zarvo
