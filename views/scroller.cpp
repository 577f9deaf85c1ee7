// tScroller: following its bars, setting their limits, and showing them only while it is
// the focused part of the active window.
#include "views/scroller.h"

#include <algorithm>

#include "views/scroll_bar.h"

namespace zarvo {

namespace {

constexpr auto kScrollerPalette = MakePalette(6, 7, 9, 10, 11, 12);

void ShowBar(tScrollBar* bar, bool show) {
    if (bar == nullptr)
        return;
    if (show)
        bar->Reveal();
    else
        bar->Conceal();
}

} // namespace

tScroller::tScroller(const tRect& bounds, tScrollBar* hBar, tScrollBar* vBar)
    : tView(bounds), HBar(hBar), VBar(vBar) {
    OptionFlags |= ViewOption::Selectable;
    AcceptMask |= evtBroadcast;
    WatchBars();
}

tScroller::tScroller(tStreamLoad) : tView(kStreamLoad) {}

void tScroller::WatchBars() {
    for (tScrollBar* bar : {HBar, VBar})
        if (bar != nullptr)
            bar->Subscribe(evnObjectFree, BindHandler<&tScroller::OnBarFreed>(this));
}

void tScroller::OnBarFreed(EventFrame& frame) {
    if (frame.Argument == HBar)
        HBar = nullptr;
    if (frame.Argument == VBar)
        VBar = nullptr;
}

void tScroller::AfterLoad() {
    tView::AfterLoad();
    WatchBars();
}

std::uint16_t tScroller::StoreID() const {
    return 4;
}

tPalette tScroller::GetPalette() const {
    return kScrollerPalette.data();
}

void tScroller::SyncScroll() {
    std::int32_t x = HBar != nullptr ? HBar->Value : CursorX + DeltaX;
    std::int32_t y = VBar != nullptr ? VBar->Value : CursorY + DeltaY;
    if (x == CursorX + DeltaX && y == CursorY + DeltaY)
        return;
    // The cursor column stays on position X: at the left edge while the left column can
    // follow X, further right once the contents' right end is in view. Contents narrower
    // than the view are never shifted right of their start.
    std::int32_t lastLeft = LimitX - Width;
    if (x >= lastLeft) {
        DeltaX = std::max(lastLeft, 0);
        CursorX = std::int16_t(x - DeltaX);
    } else {
        DeltaX = x;
        CursorX = 0;
    }
    if (y != CursorY + DeltaY) {
        std::int32_t row = std::clamp<std::int32_t>(y - DeltaY, 0, std::max(Height - 1, 0));
        CursorY = std::int16_t(row);
        DeltaY = y - CursorY;
    }
    SetCursorPos(CursorX, CursorY);
    Repaint();
}

void tScroller::ScrollToPos(std::int32_t x, std::int32_t y) {
    if ((HBar == nullptr || HBar->Value == x) && (VBar == nullptr || VBar->Value == y))
        return;
    tUpdateLockGuard lock(*this);
    if (HBar != nullptr)
        HBar->SetPosition(x);
    if (VBar != nullptr)
        VBar->SetPosition(y);
}

void tScroller::SetExtentLimit(std::int32_t x, std::int32_t y) {
    LimitX = x;
    LimitY = y;
    tUpdateLockGuard lock(*this);
    if (HBar != nullptr)
        HBar->SetAll(HBar->Value, 0, x, Width - 1, HBar->ArrowStep);
    if (VBar != nullptr)
        VBar->SetAll(VBar->Value, 0, y, Height - 1, VBar->ArrowStep);
}

void tScroller::ApplyBounds(const tRect& bounds) {
    AssignBounds(bounds);
    tUpdateLockGuard lock(*this);
    SetExtentLimit(LimitX, LimitY);
}

void tScroller::HandleEvent(TEventRec& event) {
    tView::HandleEvent(event);
    if (event.what == evtBroadcast && event.message.command == cmdScrollChanged &&
        event.message.info != nullptr && (event.message.info == HBar || event.message.info == VBar))
        SyncScroll();
}

void tScroller::ApplyState(std::uint16_t mask, bool on) {
    tView::ApplyState(mask, on);
    if (mask & (ViewState::Active | ViewState::Selected)) {
        bool show = HasState(ViewState::Active | ViewState::Selected);
        ShowBar(HBar, show);
        ShowBar(VBar, show);
    }
}

void tScroller::Store(tStream& s) {
    tView::Store(s);
    WritePeerRef(s, HBar);
    WritePeerRef(s, VBar);
    s.WriteValue(DeltaX);
    s.WriteValue(DeltaY);
    s.WriteValue(LimitX);
    s.WriteValue(LimitY);
}

void tScroller::Load(tStream& s) {
    tView::Load(s);
    ReadPeerRef(s, HBar);
    ReadPeerRef(s, VBar);
    DeltaX = s.ReadValue<std::int32_t>();
    DeltaY = s.ReadValue<std::int32_t>();
    LimitX = s.ReadValue<std::int32_t>();
    LimitY = s.ReadValue<std::int32_t>();
}

} // namespace zarvo
