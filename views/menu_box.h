// TMenuBox, a framed column of items (a submenu dropped from the bar or opened beside another
// box), and TMenuPopup, a box opened on its own, whose Ctrl and hot letters and shortcuts
// also work while it is merely shown.
#pragma once

#include "views/menu_view.h"

namespace zarvo {

class TMenuBox : public TMenuView {
  public:
    // Sized for MENU inside BOUNDS (owner coordinates); the box does not own MENU.
    TMenuBox(const tRect& bounds, TMenuView* parent, TMenuRec* menu);
    explicit TMenuBox(tStreamLoad);

    std::uint16_t StoreID() const override; // 41
    void Load(tStream& s) override;
    void Draw() override;
    tRect GetItemRect(const TMenuItemRec* item) const override;

    // The box's bounds for MENU inside BOUNDS.
    static tRect BoundsFor(const tRect& bounds, const TMenuRec* menu);
    // Item rows between the borders.
    int VisibleRows() const { return std::max(Height - 2, 0); }

  protected:
    void ScrollToCurrent() override;

  private:
    void SetVisibleFrom(int first);
    void DrawBorder(tCell* line, int y, std::uint8_t color, bool separator) const;
    void DrawItem(tCell* line, const TMenuItemRec& item, std::uint8_t normal) const;
};

class TMenuPopup : public TMenuBox {
  public:
    // The pop-up owns MENU.
    TMenuPopup(const tRect& bounds, tMenuPtr menu);
    explicit TMenuPopup(tStreamLoad);

    std::uint16_t StoreID() const override; // 44
    void HandleEvent(TEventRec& event) override;
};

} // namespace zarvo
