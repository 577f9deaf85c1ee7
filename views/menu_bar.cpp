// TMenuBar: one row of items from column 1, each a blank, its name and a blank; items past
// the right edge keep their places but are not drawn.
#include "views/menu_bar.h"
#include "console/key_codes.h"

#include <algorithm>

namespace zarvo {

TMenuBar::TMenuBar(const tRect& bounds, tMenuPtr menu) : TMenuView(bounds, nullptr, nullptr) {
    OwnedMenu = std::move(menu);
    Menu = OwnedMenu.get();
    GrowFlags |= GrowFlag::GrowRight;
    OptionFlags |= ViewOption::PreProcess;
    m_IsBar = true;
}

TMenuBar::TMenuBar(tStreamLoad) : TMenuView(kStreamLoad) {
    m_IsBar = true;
}

std::uint16_t TMenuBar::StoreID() const {
    return 40;
}

tRect TMenuBar::GetItemRect(const TMenuItemRec* target) const {
    int x = 1;
    for (const TMenuItemRec* item = Menu != nullptr ? Menu->Items.get() : nullptr; item != nullptr;
         item = item->Next.get()) {
        if (item->IsSeparator())
            continue;
        int width = HotTextLength(item->Name) + 2;
        if (item == target)
            return MakeRect(x, 0, x + width, 1);
        x += width;
    }
    return tRect{};
}

void TMenuBar::Draw() {
    tCell line[MaxLineCells];
    int width = std::min<int>(Width, MaxLineCells);
    FillCells(line, ' ', std::uint8_t(MapColors(MenuColors::Normal)), MaxLineCells);
    for (const TMenuItemRec* item = Menu != nullptr ? Menu->Items.get() : nullptr; item != nullptr;
         item = item->Next.get()) {
        tRect r = GetItemRect(item);
        if (r.IsEmpty() || r.Right > width)
            continue;
        std::uint16_t colors = ItemColors(*item, ShowsCurrent() && item == Current);
        FillCells(line + r.Left, ' ', std::uint8_t(colors), r.Right - r.Left);
        CopyHotTextToCells(line + r.Left + 1, item->Name, colors);
    }
    PutLine(0, 0, width, 1, line);
}

void TMenuBar::HandleEvent(TEventRec& event) {
    // F10 opens the bar as cmdMenu does: the key itself closes it again inside the loop.
    if (event.what == evtKeyDown && event.key.keyCode == kKeyF10 && Menu != nullptr &&
        Menu->Items != nullptr) {
        event.Clear();
        event.what = evtCommand;
        event.message.command = cmdMenu;
    }
    TMenuView::HandleEvent(event);
}

} // namespace zarvo
