// How a view's cells reach the screen: update locks and deferred repaints, the exposure test,
// the clipped write path through the owners' caches (front siblings cut lines, their shadows
// darken them), colours through the palette chain, and the hardware cursor.
#include <algorithm>
#include <optional>

#include "console/drivers_console.h"
#include "library/scope.h"
#include "views/group.h"

namespace zarvo {

tPoint ShadowSize{2, 1};
std::uint8_t ShadowAttr = 0x08;
std::uint8_t ErrorAttr = 0xCF;
bool ShowMarkers = false;
std::uint8_t MarkerChars[6] = {0x10, 0x11, 0x1A, 0x1B, 0x20, 0x20};

// ---- update locks and repaints

void tView::EndUpdate() {
    if (UpdateLock == 0)
        return;
    if (--UpdateLock <= 0)
        Repaint();
}

void tView::EndUpdateQuiet() {
    if (UpdateLock == 0)
        return;
    if (--UpdateLock <= 0)
        MarkRedraw();
}

void tView::NotifyPaint(const tView* view) {
    if (UpdateLock == 0 && ScreenDrawLock)
        ScreenDrawLock(view);
}

void tView::Repaint() {
    if (UpdateLock >= 1 || !IsExposed())
        return;
    StateFlags &= std::uint16_t(~ViewState::RedrawPending);
    // The bracket closes on every way out, so the host lock is never left held.
    std::optional<tScreenDrawBracket> bracket;
    if (UpdateLock == 0)
        bracket.emplace(this);
    Draw();
    UpdateCursor();
}

void tView::OnDeferredRepaint(EventFrame& frame) {
    auto* event = static_cast<TEventRec*>(frame.Argument);
    if (event->what != evtIdle || RedrawGuard)
        return;
    tTemporaryChange<bool> guard(RedrawGuard, true);
    if (!HasState(ViewState::RedrawPending))
        return;
    Repaint();
    // One repaint per idle event: the event ends here once a repaint was done.
    if (!HasState(ViewState::RedrawPending)) {
        frame.Handled = true;
        ConsumeEvent(*event);
    }
}

// ---- exposure

namespace {

// Whether some cell of AREA (in the coordinates of TARGET's owner) is left uncovered by the
// visible siblings from SIBLING up to TARGET, and then by those of every owner above.
bool AreaSurvives(tRect area, const tView* target, tView* sibling) {
    for (; sibling != nullptr && sibling != target; sibling = sibling->NextView) {
        if (!sibling->HasState(ViewState::Visible))
            continue;
        tRect s = sibling->BoundsRect();
        s.Intersect(area);
        if (s.IsEmpty())
            continue;
        tView* next = sibling->NextView;
        if (area.Top < s.Top &&
            AreaSurvives(MakeRect(area.Left, area.Top, area.Right, s.Top), target, next))
            return true;
        if (area.Left < s.Left &&
            AreaSurvives(MakeRect(area.Left, s.Top, s.Left, s.Bottom), target, next))
            return true;
        if (s.Right < area.Right &&
            AreaSurvives(MakeRect(s.Right, s.Top, area.Right, s.Bottom), target, next))
            return true;
        if (s.Bottom < area.Bottom &&
            AreaSurvives(MakeRect(area.Left, s.Bottom, area.Right, area.Bottom), target, next))
            return true;
        return false;
    }
    const tGroup* owner = target->Owner;
    if (owner->Owner == nullptr)
        return true;
    area.Move(owner->Left, owner->Top);
    return AreaSurvives(area, owner, owner->Owner->FirstView());
}

} // namespace

bool tView::IsExposed() const {
    if (!HasState(ViewState::Exposed) || Width <= 0 || Height <= 0)
        return false;
    if (Owner == nullptr)
        return true;
    tRect area = BoundsRect();
    area.Intersect(Owner->ClipArea);
    if (area.IsEmpty())
        return false;
    return AreaSurvives(area, this, Owner->FirstView());
}

// ---- the write path

namespace {

struct tWriteContext {
    const tView* Writer = nullptr;
    const tCell* Cells = nullptr;
    int ShadowCount = 0;
};

void WriteUp(tWriteContext& c, const tView* v, int x1, int x2, int shift, int y);
void WriteThrough(tWriteContext& c, tView* sib, const tView* target, int x1, int x2, int shift,
                  int y);

// The part [A1, A2) of a row that lies in [LO, HI) is under SIB's shadow.
void WriteShade(tWriteContext& c, tView* sib, const tView* target, int a1, int a2, int lo, int hi,
                int shift, int y) {
    if (!sib->HasState(ViewState::Shadow))
        return;
    int c1 = std::max(a1, lo);
    int c2 = std::min(a2, hi);
    if (c1 >= c2)
        return;
    ++c.ShadowCount;
    WriteThrough(c, sib->NextView, target, c1, c2, shift, y);
    --c.ShadowCount;
}

// Nothing more in front: the cells land in the owner's cache and go on up.
void WriteLand(tWriteContext& c, const tView* target, int x1, int x2, int shift, int y) {
    tGroup* owner = target->Owner;
    if (owner->HasCache()) {
        tCell* dest = owner->CacheBuffer.data() + std::size_t(y) * owner->Width + x1;
        const tCell* source = c.Cells + (x1 - shift);
        if (c.ShadowCount == 0)
            std::copy(source, source + (x2 - x1), dest);
        else
            RecolorCells(dest, source, ShadowAttr, x2 - x1);
    }
    if (owner->UpdateLock == 0)
        WriteUp(c, owner, x1, x2, shift, y);
}

void WriteThrough(tWriteContext& c, tView* sib, const tView* target, int x1, int x2, int shift,
                  int y) {
    while (sib != target && !sib->HasState(ViewState::Visible))
        sib = sib->NextView;
    if (sib == target) {
        WriteLand(c, target, x1, x2, shift, y);
        return;
    }
    tView* next = sib->NextView;
    tRect b = sib->BoundsRect();
    int shadowRight = b.Right + ShadowSize.X;
    bool meets = b.Top <= y && y < b.Bottom + ShadowSize.Y &&
                 std::max<int>(x1, b.Left) < std::min(x2, shadowRight);
    if (meets && y < b.Bottom) {
        if (x1 < b.Left)
            WriteThrough(c, next, target, x1, b.Left, shift, y);
        if (b.Right >= x2)
            return;
        if (y != b.Top && sib->HasState(ViewState::Shadow)) {
            WriteShade(c, sib, target, std::max<int>(x1, b.Right), x2, b.Right, shadowRight, shift,
                       y);
            if (shadowRight < x2)
                WriteThrough(c, next, target, shadowRight, x2, shift, y);
            return;
        }
        WriteThrough(c, next, target, std::max<int>(x1, b.Right), x2, shift, y);
        return;
    }
    if (meets && sib->HasState(ViewState::Shadow)) {
        // The band below is shifted right by the shadow's width.
        int lo = b.Left + ShadowSize.X;
        if (x1 < lo)
            WriteThrough(c, next, target, x1, std::min(lo, x2), shift, y);
        WriteShade(c, sib, target, x1, x2, lo, shadowRight, shift, y);
        if (shadowRight < x2)
            WriteThrough(c, next, target, shadowRight, x2, shift, y);
        return;
    }
    WriteThrough(c, next, target, x1, x2, shift, y);
}

void WriteUp(tWriteContext& c, const tView* v, int x1, int x2, int shift, int y) {
    if (!c.Writer->HasState(ViewState::Visible))
        return;
    if (tGroup* owner = v->Owner) {
        const tRect& clip = owner->ClipArea;
        y += v->Top;
        if (y < clip.Top || y >= clip.Bottom)
            return;
        x1 = std::max<int>(x1 + v->Left, clip.Left);
        x2 = std::min<int>(x2 + v->Left, clip.Right);
        shift += v->Left;
        if (x1 < x2)
            WriteThrough(c, owner->FirstView(), v, x1, x2, shift, y);
        return;
    }
    auto* root = dynamic_cast<const tGroup*>(v);
    if (root != nullptr && v->HasOption(ViewOption::ScreenOwner) && root->HasCache())
        const_cast<tGroup*>(root)->ScreenWrite(
            x1, y, root->CacheBuffer.data() + std::size_t(y) * root->Width + x1, x2 - x1);
}

} // namespace

void tView::PutSegment(int x, int y, int count, const tCell* cells) {
    if (y < 0 || y >= Height)
        return;
    int x1 = std::max(x, 0);
    int x2 = std::min(x + count, int(Width));
    if (x1 >= x2)
        return;
    tWriteContext context{this, cells, 0};
    WriteUp(context, this, x1, x2, x, y);
}

void tView::PutCells(int x, int y, int width, int height, const tCell* cells) {
    for (int row = 0; row < height; ++row)
        PutSegment(x, y + row, width, cells + std::size_t(row) * std::max(width, 0));
}

void tView::PutLine(int x, int y, int width, int height, const tCell* cells) {
    for (int row = 0; row < height; ++row)
        PutSegment(x, y + row, width, cells);
}

void tView::Draw() {
    tCell line[MaxLineCells];
    FillCells(line, ' ', MapColor(1), MaxLineCells);
    PutLine(0, 0, std::min<int>(Width, MaxLineCells), Height, line);
}

// ---- repainting what lies around and below a view

void tView::RepaintBelow(const tRect& area, tView* lastToPaint) {
    if (Owner == nullptr)
        return;
    tGroup* owner = Owner;
    owner->ClipArea.Intersect(area);
    tScopeExit restore([owner] { owner->ClipArea = owner->ExtentRect(); });
    owner->PaintRange(Following(), lastToPaint);
}

void tView::RepaintUnder(bool withShadow, tView* lastToPaint) {
    tRect area = BoundsRect();
    if (withShadow) {
        area.Right = std::int16_t(area.Right + ShadowSize.X);
        area.Bottom = std::int16_t(area.Bottom + ShadowSize.Y);
    }
    RepaintBelow(area, lastToPaint);
}

void tView::PaintShow(tView* lastToPaint) {
    Repaint();
    if (HasState(ViewState::Shadow))
        RepaintUnder(true, lastToPaint);
}

void tView::PaintHide(tView* lastToPaint) {
    UpdateCursor();
    RepaintUnder(HasState(ViewState::Shadow), lastToPaint);
}

// ---- colours

std::uint8_t tView::MapColor(std::uint8_t index) const {
    for (const tView* v = this; v != nullptr && index != 0; v = v->Owner) {
        if (tPalette palette = v->GetPalette())
            index = index > palette[0] ? 0 : palette[index];
    }
    return index != 0 ? index : ErrorAttr;
}

std::uint16_t tView::MapColors(std::uint16_t pair) const {
    return std::uint16_t(MapColor(std::uint8_t(pair >> 8)) << 8 | MapColor(std::uint8_t(pair)));
}

// ---- the cursor

void tView::UpdateCursor() {
    if (HasState(ViewState::Focused))
        PlaceCursor();
}

namespace {

// Where the cursor of VIEW shows on the screen, or nothing when something hides it.
std::optional<tPoint> CursorOnScreen(const tView& view) {
    tPoint p{view.CursorX, view.CursorY};
    for (const tView* v = &view;;) {
        if (!v->ExtentRect().Contains(p))
            return std::nullopt;
        p = tPoint{std::int16_t(p.X + v->Left), std::int16_t(p.Y + v->Top)};
        const tGroup* owner = v->Owner;
        if (owner == nullptr)
            return p;
        if (!owner->HasState(ViewState::Visible))
            return std::nullopt;
        for (tView* s = owner->FirstView(); s != nullptr && s != v; s = s->NextView)
            if (s->HasState(ViewState::Visible) && s->BoundsRect().Contains(p))
                return std::nullopt;
        v = owner;
    }
}

} // namespace

void tView::PlaceCursor() {
    std::optional<tPoint> at;
    if (HasState(ViewState::Visible | ViewState::CursorShown | ViewState::Focused))
        at = CursorOnScreen(*this);
    if (at)
        ScreenCursor(at->X, at->Y,
                     HasState(ViewState::CursorInsert) ? kCursorBlock : kCursorUnderline);
    else
        ScreenCursor(0, 0, kCursorHidden);
}

} // namespace zarvo
