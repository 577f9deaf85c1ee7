// The modal loop of a menu view: keys and the mouse move the current item, choose commands
// and open submenus as nested runs on the same owner; each level tells the one that opened
// it how it ended, so Left and Right in a box walk the bar and a click elsewhere closes all.
#include <algorithm>

#include "console/key_codes.h"
#include "console/keyboard.h"
#include "library/scope.h"
#include "views/group.h"
#include "views/menu_view.h"

namespace zarvo {

namespace {

constexpr std::uint16_t kExtendedResult = 0xFFFF;

bool IsMouse(const TEventRec& event) {
    return (event.what & (evtMouseDown | evtMouseUp | evtMouseMove | evtMouseRepeat)) != 0;
}

} // namespace

std::uint16_t TMenuView::RunModal() {
    ExitReason = tMenuExit::None;
    m_Result = 0;
    m_AutoOpen = false;
    if (Menu == nullptr || Menu->Items == nullptr)
        return 0;
    tTemporaryChange running(m_Running, true);
    if (Current == nullptr || Current->IsSeparator())
        Current = Menu->Default;
    if (Current == nullptr || Current->IsSeparator())
        SelectEnd(false);
    ScrollToCurrent();
    Repaint();
    while (ExitReason == tMenuExit::None) {
        TEventRec event;
        FetchEvent(event, true);
        LoopEvent(event);
        if (Owner != nullptr)
            Owner->EventDone(event);
    }
    if (Current != nullptr)
        Menu->Default = Current;
    m_Running = false;
    Repaint();
    return ExitReason == tMenuExit::Chosen ? m_Result : 0;
}

void TMenuView::LoopEvent(TEventRec& event) {
    if (IsMouse(event))
        LoopMouse(event);
    else if (event.what == evtKeyDown)
        LoopKey(event);
    else if (event.what == evtCommand)
        LoopCommand(event);
}

void TMenuView::LoopCommand(TEventRec& event) {
    if (event.message.command == cmdMenu) {
        m_AutoOpen = false;
        return;
    }
    // Any other command ends the menu; it is put back for the views under it, except the
    // abort, which was meant for this loop.
    if (event.message.command != cmdAbort)
        PostEvent(event);
    Exit(tMenuExit::CloseAll);
}

void TMenuView::LoopKey(TEventRec& event) {
    std::uint16_t key = CtrlKeyToCursorKey(event.key.keyCode);
    if (LoopCursorKey(key))
        return;
    char ch = AltCodeToChar(event.key.keyCode);
    bool alt = ch != 0;
    if (!alt && (event.key.keyCode & 0xFF) >= 0x20)
        ch = char(event.key.keyCode & 0xFF);
    if (TMenuItemRec* item = HotLetterItem(ch)) {
        Select(item);
        if (m_IsBar)
            m_AutoOpen = true;
        Choose(item);
    } else if (alt && !m_IsBar && HasBarAbove()) {
        // Alt and a letter of the bar while a box is open: the bar takes it.
        PostEvent(event);
        Exit(tMenuExit::Pass);
    }
}

bool TMenuView::LoopCursorKey(std::uint16_t key) {
    switch (key) {
    case kKeyLeft:
    case kKeyRight:
        if (m_IsBar) {
            MoveCurrent(key == kKeyLeft ? -1 : 1);
            if (m_AutoOpen)
                OpenSubMenu();
        } else if (key == kKeyRight && Current != nullptr && Current->IsSubMenu()) {
            OpenSubMenu();
        } else if (ParentMenu != nullptr && ParentMenu->IsMenuBar()) {
            Exit(key == kKeyLeft ? tMenuExit::MoveLeft : tMenuExit::MoveRight);
        } else if (key == kKeyLeft && ParentMenu != nullptr) {
            Exit(tMenuExit::Close);
        } else if (HasBarAbove()) {
            Exit(tMenuExit::MoveRight);
        }
        return true;
    case kKeyUp:
    case kKeyDown:
        if (!m_IsBar)
            MoveCurrent(key == kKeyUp ? -1 : 1);
        else if (key == kKeyDown)
            Choose(Current);
        return true;
    case kKeyHome:
    case kKeyEnd:
        SelectEnd(key == kKeyEnd);
        return true;
    case kKeyPgUp:
    case kKeyPgDn:
        if (!m_IsBar)
            MoveCurrent((key == kKeyPgUp ? -1 : 1) * std::max(Height - 3, 1));
        return true;
    case kKeyEnter:
        if (m_IsBar)
            m_AutoOpen = true;
        Choose(Current);
        return true;
    case kKeyEsc:
        Exit(tMenuExit::Close);
        return true;
    case kKeyF10:
        Exit(tMenuExit::CloseAll);
        return true;
    default:
        return false;
    }
}

void TMenuView::LoopMouse(TEventRec& event) {
    tPoint p = ToLocal(event.mouse.where);
    if (!ExtentRect().Contains(p)) {
        LoopMouseOutside(event);
        return;
    }
    TMenuItemRec* item = ItemAt(p);
    bool pressed =
        event.what == evtMouseDown || (event.what == evtMouseMove && event.mouse.buttons != 0);
    if (pressed) {
        if (item != nullptr && !item->IsSeparator()) {
            Select(item);
            if (m_IsBar && item->IsSubMenu()) {
                m_AutoOpen = true;
                OpenSubMenu();
            }
        }
    } else if (event.what == evtMouseUp && item != nullptr && item == Current) {
        Choose(item);
    }
}

void TMenuView::LoopMouseOutside(TEventRec& event) {
    TMenuView* outer = OuterMenuAt(event.mouse.where);
    if (event.what == evtMouseDown) {
        // A press on an outer level is that level's; anywhere else it closes the menu.
        if (outer != nullptr)
            PostEvent(event);
        Exit(outer != nullptr ? tMenuExit::Pass : tMenuExit::CloseAll);
    } else if (event.what == evtMouseMove && event.mouse.buttons != 0 && outer != nullptr) {
        // Dragging onto another item of an outer level moves there.
        TMenuItemRec* item = outer->ItemAt(outer->ToLocal(event.mouse.where));
        if (item != nullptr && item != outer->Current && !item->IsSeparator()) {
            PostEvent(event);
            Exit(tMenuExit::Pass);
        }
    }
}

TMenuView* TMenuView::OuterMenuAt(tPoint where) const {
    for (TMenuView* outer = ParentMenu; outer != nullptr; outer = outer->ParentMenu)
        if (outer->ContainsPoint(where))
            return outer;
    return nullptr;
}

bool TMenuView::HasBarAbove() const {
    for (TMenuView* outer = ParentMenu; outer != nullptr; outer = outer->ParentMenu)
        if (outer->IsMenuBar())
            return true;
    return false;
}

void TMenuView::Select(TMenuItemRec* item) {
    if (item == Current)
        return;
    Current = item;
    ScrollToCurrent();
    Repaint();
}

void TMenuView::MoveCurrent(int steps) {
    if (Current == nullptr)
        return;
    TMenuItemRec* item = Current;
    bool back = steps < 0;
    for (int left = std::abs(steps); left > 0; --left) {
        TMenuItemRec* next = item;
        // Separators are passed over; a menu of separators only keeps its item.
        do
            next = back ? PreviousItemOf(*Menu, next) : NextItemOf(*Menu, next);
        while (next != nullptr && next->IsSeparator() && next != item);
        if (next == nullptr || next->IsSeparator())
            break;
        // Paging stops at the ends instead of wrapping round.
        if (std::abs(steps) > 1 && (back ? ItemIndexOf(*Menu, next) > ItemIndexOf(*Menu, item)
                                         : ItemIndexOf(*Menu, next) < ItemIndexOf(*Menu, item)))
            break;
        item = next;
    }
    Select(item);
}

void TMenuView::SelectEnd(bool last) {
    TMenuItemRec* found = nullptr;
    for (TMenuItemRec* item = Menu->Items.get(); item != nullptr; item = item->Next.get()) {
        if (item->IsSeparator())
            continue;
        found = item;
        if (!last)
            break;
    }
    if (found != nullptr)
        Select(found);
}

void TMenuView::Choose(TMenuItemRec* item) {
    if (item == nullptr || item->IsSeparator() || item->Disabled)
        return;
    if (item->IsSubMenu()) {
        if (item != Current)
            Select(item);
        OpenSubMenu();
    } else if (item->Command == kMenuExtended) {
        m_Result = kExtendedResult;
        Exit(tMenuExit::Chosen);
    } else if (IsCommandOn(std::uint16_t(item->Command))) {
        m_Result = std::uint16_t(item->Command);
        Exit(tMenuExit::Chosen);
    }
}

void TMenuView::OpenSubMenu() {
    // The bar walks on while its boxes ask for a neighbour and its new item has a submenu.
    while (Current != nullptr && Current->IsSubMenu() && RunChild(Current)) {
    }
}

// Runs the submenu of ITEM; true when the bar moved on and should open the next one.
bool TMenuView::RunChild(TMenuItemRec* item) {
    if (Owner == nullptr)
        return false;
    tObjectPtr<TMenuView> box(NewSubView(SubMenuBounds(item), item->SubMenu.get(), this));
    if (box == nullptr)
        return false;
    std::uint16_t result = Owner->RunView(box.get());
    tMenuExit exit = box->ExitReason;
    box.reset();
    switch (exit) {
    case tMenuExit::Chosen:
        m_Result = result;
        Exit(tMenuExit::Chosen);
        return false;
    case tMenuExit::CloseAll:
        Exit(tMenuExit::CloseAll);
        return false;
    case tMenuExit::MoveLeft:
    case tMenuExit::MoveRight:
        if (!m_IsBar) {
            Exit(exit);
            return false;
        }
        MoveCurrent(exit == tMenuExit::MoveLeft ? -1 : 1);
        return true;
    case tMenuExit::Close:
        m_AutoOpen = false;
        return false;
    default:
        return false;
    }
}

tRect TMenuView::SubMenuBounds(const TMenuItemRec* item) const {
    tRect r = GetItemRect(item);
    int ownerWidth = Owner != nullptr ? Owner->Width : Left + Width;
    int ownerHeight = Owner != nullptr ? Owner->Height : Top + Height;
    if (m_IsBar)
        return MakeRect(Left + r.Left, Top + r.Bottom, ownerWidth, ownerHeight);
    return MakeRect(Left + r.Right, Top + r.Top, ownerWidth, ownerHeight);
}

} // namespace zarvo
