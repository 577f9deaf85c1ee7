// tSuperUnLabel, the caption of a table-linked field: a label that can take the selection away
// from its control when the dialog asks, so that such a field is shown but not edited.
#pragma once

#include <cstdint>
#include <string_view>

#include "views/label.h"

namespace zarvo {

// Broadcast: labels of table-linked fields make their usable controls unselectable.
inline constexpr std::uint16_t cmdUnselectLinked = 23667;

class tSuperUnLabel : public tLabel {
  public:
    tSuperUnLabel(const tRect& bounds, std::string_view text, tView* link);

    void HandleEvent(TEventRec& event) override;
};

} // namespace zarvo
