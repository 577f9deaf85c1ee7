// tIndicator: the line and column field of editor windows, drawn into the bottom border with
// its colon at a fixed place and a mark for a modified text.
#pragma once

#include <cstdint>

#include "views/view.h"

namespace zarvo {

class tIndicator : public tView {
  public:
    explicit tIndicator(const tRect& bounds);
    explicit tIndicator(tStreamLoad);

    std::uint16_t StoreID() const override; // 73
    void Draw() override;
    tPalette GetPalette() const override;
    void ApplyState(std::uint16_t mask, bool on) override;

    // Stores both and repaints when either changed. LOCATION is 0-based (column X, line Y).
    void ShowLocation(tPoint location, bool modified);

    // ---- fields, in their fixed order
    tPoint Location;
    bool Modified = false;
    bool SingleLineStyle = false;
};

} // namespace zarvo
