// tGroup's drawing: the cache of its cells (filled by its subviews, sent up in one piece),
// repainting ranges of subviews, and the global request that frees every cache.
#include <algorithm>
#include <new>
#include <optional>

#include "console/drivers_console.h"
#include "library/scope.h"
#include "views/group.h"

namespace zarvo {

void tGroup::Draw() {
    if (!HasCache()) {
        OptionFlags &= ~ViewOption::CacheValid;
        AllocCache();
        if (HasCache()) {
            ++UpdateLock;
            tScopeExit unlock([this] { --UpdateLock; });
            PaintChildren();
            OptionFlags |= ViewOption::CacheValid;
        }
    }
    if (HasCache()) {
        PutCells(0, 0, Width, Height, CacheBuffer.data());
        return;
    }
    // No cache (not exposed, or no memory): the subviews paint directly, clipped to the group.
    ClipArea = ClipRect();
    tScopeExit restore([this] { ClipArea = ExtentRect(); });
    PaintChildren();
}

void tGroup::PaintRange(tView* p, tView* bottom) {
    if (p == nullptr)
        return;
    std::optional<tScreenDrawBracket> bracket;
    if (UpdateLock == 0)
        bracket.emplace(this);
    for (; p != nullptr && p != bottom; p = p->Following())
        p->Repaint();
}

void tGroup::PaintChildren() {
    PaintRange(FirstView(), nullptr);
}

void tGroup::AllocCache() {
    if (!HasState(ViewState::Exposed))
        return;
    std::size_t cells =
        std::size_t(std::max<int>(Width, 0)) * std::size_t(std::max<int>(Height, 0));
    try {
        CacheBuffer.resize(cells);
    } catch (const std::bad_alloc&) {
        FreeCache();
    }
}

void tGroup::FreeCache() {
    std::vector<tCell>().swap(CacheBuffer);
    OptionFlags &= ~ViewOption::CacheValid;
}

void tGroup::OnFreeCaches(EventFrame&) {
    FreeCache();
}

} // namespace zarvo
