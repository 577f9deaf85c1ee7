// Mouse capture and tracking, and interactive moving and resizing of a view by the mouse or
// the keyboard, kept inside a limit rectangle.
#include <algorithm>

#include "console/key_codes.h"
#include "library/scope.h"
#include "views/group.h"

namespace zarvo {

// ---- mouse capture

void tView::CaptureMouse() {
    MouseCaptor = this;
}

void tView::ReleaseMouse() {
    if (MouseCaptor == this)
        MouseCaptor = nullptr;
}

bool tView::HasMouseCapture() const {
    return MouseCaptor == this;
}

bool tView::NextMouseEvent(TEventRec& event, std::uint16_t mask) {
    for (;;) {
        if (!HasMouseCapture())
            return false;
        FetchEvent(event, true);
        if (!HasMouseCapture())
            return false;
        if (event.what == evtCommand && event.message.command == cmdAbort)
            return false;
        if (event.what & (mask | evtMouseUp))
            return event.what != evtMouseUp;
    }
}

namespace {

struct tDragLimits {
    std::uint8_t Mode = 0;
    tRect Limits;
    tPoint MinSize;
    tPoint MaxSize;
};

// Clamps the size, keeps one column and row inside the limits, applies the Limit bits.
void ApplyDrag(tView& view, const tDragLimits& d, tPoint p, tPoint size) {
    int w = std::min<int>(std::max<int>(size.X, d.MinSize.X), d.MaxSize.X);
    int h = std::min<int>(std::max<int>(size.Y, d.MinSize.Y), d.MaxSize.Y);
    int x = std::min<int>(std::max<int>(p.X, d.Limits.Left - w + 1), d.Limits.Right - 1);
    int y = std::min<int>(std::max<int>(p.Y, d.Limits.Top - h + 1), d.Limits.Bottom - 1);
    if (d.Mode & DragFlag::LimitLeft)
        x = std::max<int>(x, d.Limits.Left);
    if (d.Mode & DragFlag::LimitTop)
        y = std::max<int>(y, d.Limits.Top);
    if (d.Mode & DragFlag::LimitRight)
        x = std::min<int>(x, d.Limits.Right - w);
    if (d.Mode & DragFlag::LimitBottom)
        y = std::min<int>(y, d.Limits.Bottom - h);
    view.PlaceBounds(MakeRect(x, y, x + w, y + h));
}

tPoint Offset(tPoint a, tPoint b, int sign) {
    return tPoint{std::int16_t(a.X + sign * b.X), std::int16_t(a.Y + sign * b.Y)};
}

void DragByMouse(tView& view, TEventRec& event, const tDragLimits& d) {
    bool move = d.Mode & DragFlag::DragMove;
    tPoint origin{view.Left, view.Top};
    tPoint size{view.Width, view.Height};
    tPoint offset = Offset(move ? origin : size, event.mouse.where, -1);
    view.CaptureMouse();
    do {
        tPoint at = Offset(event.mouse.where, offset, 1);
        if (move)
            ApplyDrag(view, d, at, tPoint{view.Width, view.Height});
        else
            ApplyDrag(view, d, tPoint{view.Left, view.Top}, at);
    } while (view.NextMouseEvent(event, evtMouseMove));
    view.ReleaseMouse();
}

enum class tKeyDragEnd { None, Accepted, Cancelled };

// One key of a keyboard drag: moves P or grows SIZE; says whether it ended the drag.
tKeyDragEnd DragKey(const TEventRec& event, const tDragLimits& d, tPoint& p, tPoint& size) {
    bool shift = event.key.shiftState & (shiftRight | shiftLeft);
    auto step = [&](int dx, int dy) {
        if ((d.Mode & DragFlag::DragMove) && !shift)
            p = tPoint{std::int16_t(p.X + dx), std::int16_t(p.Y + dy)};
        else if ((d.Mode & DragFlag::DragGrow) && shift)
            size = tPoint{std::int16_t(size.X + dx), std::int16_t(size.Y + dy)};
    };
    auto jump = [&](int x, int y) {
        if (d.Mode & DragFlag::DragMove)
            p = tPoint{std::int16_t(x), std::int16_t(y)};
    };
    switch (event.key.keyCode >> 8) {
    case 0x4B:
        step(-1, 0);
        break;
    case 0x4D:
        step(1, 0);
        break;
    case 0x48:
        step(0, -1);
        break;
    case 0x50:
        step(0, 1);
        break;
    case 0x73:
        step(-8, 0);
        break;
    case 0x74:
        step(8, 0);
        break;
    case 0x47:
        jump(d.Limits.Left, p.Y);
        break;
    case 0x4F:
        jump(d.Limits.Right - size.X, p.Y);
        break;
    case 0x49:
        jump(p.X, d.Limits.Top);
        break;
    case 0x51:
        jump(p.X, d.Limits.Bottom - size.Y);
        break;
    default:
        break;
    }
    if (event.key.keyCode == kKeyEsc)
        return tKeyDragEnd::Cancelled;
    if (event.key.keyCode == kKeyEnter)
        return tKeyDragEnd::Accepted;
    return tKeyDragEnd::None;
}

tKeyDragEnd DragCommand(const TEventRec& event) {
    switch (event.message.command) {
    case cmdOk:
        return tKeyDragEnd::Accepted;
    case cmdCancel:
    case cmdAbort:
        return tKeyDragEnd::Cancelled;
    default:
        return tKeyDragEnd::None;
    }
}

void DragByKeyboard(tView& view, TEventRec& event, const tDragLimits& d) {
    tRect saved = view.BoundsRect();
    tKeyDragEnd end = tKeyDragEnd::None;
    while (end == tKeyDragEnd::None) {
        tPoint p{view.Left, view.Top};
        tPoint size{view.Width, view.Height};
        view.FetchEvent(event, true);
        if (event.what == evtKeyDown)
            end = DragKey(event, d, p, size);
        else if (event.what == evtCommand)
            end = DragCommand(event);
        if (end == tKeyDragEnd::None)
            ApplyDrag(view, d, p, size);
    }
    if (end == tKeyDragEnd::Cancelled)
        view.PlaceBounds(saved);
}

} // namespace

void tView::TrackDrag(TEventRec& event, std::uint8_t mode, const tRect& limits, tPoint minSize,
                      tPoint maxSize) {
    tDragLimits d{mode, limits, minSize, maxSize};
    ChangeState(ViewState::Dragging, true);
    tScopeExit done([this] { ChangeState(ViewState::Dragging, false); });
    if (event.what == evtMouseDown)
        DragByMouse(*this, event, d);
    else
        DragByKeyboard(*this, event, d);
}

} // namespace zarvo
