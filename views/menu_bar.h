// TMenuBar, the menu on the application's top row: items side by side, opened by a click,
// Alt and a hot letter, F10 or cmdMenu; each item's submenu drops down below it.
#pragma once

#include "views/menu_view.h"

namespace zarvo {

class TMenuBar : public TMenuView {
  public:
    // MENU may be null: an empty bar that ignores keys. The bar owns its menu.
    TMenuBar(const tRect& bounds, tMenuPtr menu);
    explicit TMenuBar(tStreamLoad);

    std::uint16_t StoreID() const override; // 40
    void Draw() override;
    void HandleEvent(TEventRec& event) override;
    tRect GetItemRect(const TMenuItemRec* item) const override;
};

} // namespace zarvo
