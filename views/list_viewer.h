// tListViewer: the abstract scrolling list of one or more columns that list boxes and the
// history list build on. Descendants supply the item texts; the viewer does focus,
// scrolling, drawing, the mouse and the keys.
#pragma once

#include <cstdint>
#include <string>

#include "views/view.h"

namespace zarvo {

class tScrollBar;

// The run-time error of calling ItemText on a viewer that does not supply it.
inline constexpr int kRunErrorAbstractCall = 211;

class tListViewer : public tView {
  public:
    // The bars are peers in the same group; either may be null. A column count below 1
    // counts as 1.
    tListViewer(const tRect& bounds, std::int16_t columnCount, tScrollBar* hBar, tScrollBar* vBar);
    explicit tListViewer(tStreamLoad);

    std::uint16_t StoreID() const override; // 5
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    // Watches the bars the stream's references gave.
    void AfterLoad() override;
    void ApplyBounds(const tRect& bounds) override;
    void Draw() override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    void ApplyState(std::uint16_t mask, bool on) override;

    // ---- added virtual operations, in their fixed order
    // Focuses an existing item and scrolls it into view; nothing for an item outside the list.
    virtual void FocusAt(std::int16_t item);
    // The text of ITEM. Abstract: the base raises run-time error 211.
    virtual std::string ItemText(std::int16_t item, int maxLength);
    virtual bool IsMarked(std::int16_t item);
    // Broadcasts cmdItemPicked to the owner.
    virtual void PickItem(std::int16_t item);
    virtual void FocusClamped(int item);

    void SetItemCount(std::int16_t count);

    // ---- fields, in their fixed order
    tScrollBar* HBar = nullptr;
    tScrollBar* VBar = nullptr;
    std::int16_t ColumnCount = 1;
    std::int16_t TopItem = 0;
    std::int16_t FocusedItem = 0;
    std::int16_t ItemCount = 0;

  private:
    // The bars are peers that may be freed first: let go of them then.
    void WatchBars();
    void OnBarFreed(EventFrame& frame);
    int ColumnWidth() const { return Width / ColumnCount + 1; }
    // The item under local point P (which may lie outside the view).
    int ItemAt(tPoint p) const;
    void DrawRow(int row, tCell* line, int width);
    void TrackMouse(TEventRec& event);
    // The item a drag outside the view moves to, every fourth repeat.
    int ItemOutside(tPoint p) const;
    bool HandleKey(TEventRec& event);
    void HandleBroadcast(TEventRec& event);
};

} // namespace zarvo
