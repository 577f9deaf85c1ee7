// tScroller: a view whose contents are larger than itself, scrolled by a horizontal and a
// vertical scroll bar whose values are positions in the contents.
#pragma once

#include <cstdint>

#include "views/view.h"

namespace zarvo {

class tScrollBar;

class tScroller : public tView {
  public:
    // The bars are peers in the same group; either may be null.
    tScroller(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar);
    explicit tScroller(tStreamLoad);

    std::uint16_t StoreID() const override; // 4
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    // Watches the bars the stream's references gave.
    void AfterLoad() override;
    void ApplyBounds(const tRect& bounds) override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;

    // ---- added virtual operations
    // Follows the bars: the vertical one moves a cursor line that scrolls the view only when
    // it would leave it; the horizontal one sets the left column, except near the right end,
    // where the cursor column moves instead.
    virtual void SyncScroll();
    virtual void ScrollToPos(std::int32_t x, std::int32_t y);
    virtual void SetExtentLimit(std::int32_t x, std::int32_t y);

    // ---- fields, in their fixed order
    tScrollBar* HBar = nullptr;
    tScrollBar* VBar = nullptr;
    std::int32_t DeltaX = 0;
    std::int32_t DeltaY = 0;
    std::int32_t LimitX = 0;
    std::int32_t LimitY = 0;

  private:
    // The bars are peers that may be freed first: let go of them then.
    void WatchBars();
    void OnBarFreed(EventFrame& frame);
};

} // namespace zarvo
