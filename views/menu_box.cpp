// TMenuBox and TMenuPopup: the box's size from its items, the frame with separators, the
// shortcut texts and submenu marks, the visible range of a box taller than its room, and the
// pop-up's own keys.
#include "views/menu_box.h"

#include <algorithm>

#include "console/keyboard.h"

namespace zarvo {

namespace {

constexpr std::uint8_t kHorizontal = 0xC4, kVertical = 0xB3;    // ─ │
constexpr std::uint8_t kTopLeft = 0xDA, kTopRight = 0xBF;       // ┌ ┐
constexpr std::uint8_t kTeeLeft = 0xC3, kTeeRight = 0xB4;       // ├ ┤
constexpr std::uint8_t kBottomLeft = 0xC0, kBottomRight = 0xD9; // └ ┘
constexpr std::uint8_t kSubMenuMark = 16, kMoreAbove = 30, kMoreBelow = 31;
constexpr int kMinBoxWidth = 10;

int BoxWidth(const TMenuRec* menu) {
    int width = kMinBoxWidth;
    for (const TMenuItemRec* item = menu != nullptr ? menu->Items.get() : nullptr; item != nullptr;
         item = item->Next.get()) {
        if (item->IsSeparator())
            continue;
        int w = HotTextLength(item->Name) + 6;
        if (item->IsCommand() && !item->Param.empty())
            w += int(item->Param.size()) + 2;
        else if (item->IsSubMenu() || item->Command == kMenuExtended)
            w += 3;
        width = std::max(width, w);
    }
    return std::min(width, MaxLineCells);
}

} // namespace

tRect TMenuBox::BoundsFor(const tRect& bounds, const TMenuRec* menu) {
    tRect r = bounds;
    int width = BoxWidth(menu);
    int rows = 2 + (menu != nullptr ? ItemCountOf(*menu) : 0);
    if (r.Left + width < r.Right)
        r.Right = std::int16_t(r.Left + width);
    else
        r.Left = std::int16_t(r.Right - width);
    if (r.Top + rows < r.Bottom) {
        r.Bottom = std::int16_t(r.Top + rows);
    } else {
        r.Top = std::int16_t(r.Bottom - rows);
        if (r.Top <= 0 && r.Bottom > 0)
            r.Top = 1;
    }
    return r;
}

TMenuBox::TMenuBox(const tRect& bounds, TMenuView* parent, TMenuRec* menu)
    : TMenuView(BoundsFor(bounds, menu), menu, parent) {
    StateFlags |= ViewState::Shadow;
    OptionFlags |= ViewOption::PreProcess;
    SetVisibleFrom(0);
}

TMenuBox::TMenuBox(tStreamLoad) : TMenuView(kStreamLoad) {}

std::uint16_t TMenuBox::StoreID() const {
    return 41;
}

void TMenuBox::Load(tStream& s) {
    TMenuView::Load(s);
    if (s.Status == stOk)
        SetVisibleFrom(0);
}

void TMenuBox::SetVisibleFrom(int first) {
    if (Menu == nullptr) {
        FirstVisible = LastVisible = nullptr;
        return;
    }
    int count = ItemCountOf(*Menu);
    int rows = VisibleRows();
    first = std::clamp(first, 0, std::max(count - rows, 0));
    FirstVisible = ItemAtIndex(*Menu, first);
    LastVisible = first + rows < count ? ItemAtIndex(*Menu, first + rows - 1) : nullptr;
}

void TMenuBox::ScrollToCurrent() {
    if (Menu == nullptr || Current == nullptr || ItemCountOf(*Menu) <= VisibleRows())
        return;
    int index = ItemIndexOf(*Menu, Current);
    int first = ItemIndexOf(*Menu, FirstVisible);
    if (index < first)
        SetVisibleFrom(index);
    else if (index >= first + VisibleRows())
        SetVisibleFrom(index - VisibleRows() + 1);
}

tRect TMenuBox::GetItemRect(const TMenuItemRec* item) const {
    if (Menu == nullptr || item == nullptr)
        return tRect{};
    int index = ItemIndexOf(*Menu, item);
    int first = std::max(ItemIndexOf(*Menu, FirstVisible), 0);
    int row = index - first;
    if (index < 0 || row < 0 || row >= VisibleRows())
        return tRect{};
    return MakeRect(2, row + 1, Width - 2, row + 2);
}

void TMenuBox::DrawBorder(tCell* line, int y, std::uint8_t color, bool separator) const {
    bool top = y == 0, bottom = y == Height - 1;
    FillCells(line, ' ', color, Width);
    if (Width < 4)
        return;
    std::uint8_t left = top ? kTopLeft : bottom ? kBottomLeft : separator ? kTeeLeft : kVertical;
    std::uint8_t right = top         ? kTopRight
                         : bottom    ? kBottomRight
                         : separator ? kTeeRight
                                     : kVertical;
    line[1] = MakeCell(left, color);
    line[Width - 2] = MakeCell(right, color);
    if (top || bottom || separator)
        FillCells(line + 2, kHorizontal, color, Width - 4);
}

void TMenuBox::DrawItem(tCell* line, const TMenuItemRec& item, std::uint8_t normal) const {
    bool separator = item.IsSeparator();
    bool selected = ShowsCurrent() && &item == Current && !separator;
    std::uint16_t colors = ItemColors(item, selected);
    if (!separator)
        FillCells(line + 2, ' ', std::uint8_t(colors), Width - 4);
    if (!item.Name.empty() && Width > 6)
        CopyHotTextToCells(line + 3, item.Name.substr(0, std::size_t(Width - 6)),
                           separator ? std::uint16_t((colors & 0xFF00) | normal) : colors);
    if (separator)
        return;
    if (item.IsCommand() && !item.Param.empty()) {
        int start = Width - 3 - int(item.Param.size());
        if (start > 3)
            CopyTextToCells(line + start, item.Param, std::uint8_t(colors));
    } else if ((item.IsSubMenu() || item.Command == kMenuExtended) && Width > 6) {
        line[Width - 4] = MakeCell(kSubMenuMark, std::uint8_t(colors));
    }
}

void TMenuBox::Draw() {
    tCell line[MaxLineCells];
    std::uint8_t normal = std::uint8_t(MapColors(MenuColors::Normal));
    int first = Menu != nullptr ? std::max(ItemIndexOf(*Menu, FirstVisible), 0) : 0;
    for (int y = 0; y < Height; ++y) {
        const TMenuItemRec* item = nullptr;
        if (y > 0 && y < Height - 1 && Menu != nullptr)
            item = ItemAtIndex(*Menu, first + y - 1);
        DrawBorder(line, y, normal, item != nullptr && item->IsSeparator());
        if (item != nullptr)
            DrawItem(line, *item, normal);
        if (y == 0 && first > 0)
            line[Width / 2] = MakeCell(kMoreAbove, normal);
        if (y == Height - 1 && LastVisible != nullptr)
            line[Width / 2] = MakeCell(kMoreBelow, normal);
        PutSegment(0, y, Width, line);
    }
}

TMenuPopup::TMenuPopup(const tRect& bounds, tMenuPtr menu) : TMenuBox(bounds, nullptr, menu.get()) {
    OwnedMenu = std::move(menu);
}

TMenuPopup::TMenuPopup(tStreamLoad) : TMenuBox(kStreamLoad) {}

std::uint16_t TMenuPopup::StoreID() const {
    return 44;
}

void TMenuPopup::HandleEvent(TEventRec& event) {
    if (event.what == evtKeyDown && Menu != nullptr) {
        char ch = CtrlCodeToChar(event.key.keyCode);
        // Enter, Tab and Backspace carry the control characters of M, I and H: only the
        // letter's own Ctrl key counts.
        TMenuItemRec* item =
            ch != 0 && CharToCtrlCode(ch) == event.key.keyCode ? HotLetterItem(ch) : nullptr;
        if (item == nullptr)
            item = ShortcutItem(event.key.keyCode);
        if (item != nullptr && item->IsCommand() && IsCommandOn(std::uint16_t(item->Command))) {
            PostCommand(std::uint16_t(item->Command), event);
            return;
        }
        if (AltCodeToChar(event.key.keyCode) != 0) {
            ConsumeEvent(event);
            return;
        }
    }
    TMenuView::HandleEvent(event);
}

} // namespace zarvo
