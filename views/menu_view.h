// TMenuView, what menu bars, boxes and pop-up menus share: a menu of items, hot letters in
// either keyboard layout, shortcut keys, enabling items as commands come and go, and the
// modal loop that walks the menu with keys and the mouse, opening submenus as nested runs.
#pragma once

#include <cstdint>

#include "console/key_codes.h"
#include "views/menu_items.h"
#include "views/view.h"

namespace zarvo {

class tGroup;

// Opens the menu bar (the key F10 turns into it).
inline constexpr std::uint16_t cmdMenu = 3;

// Colour pairs of menu items (normal / hot letter), indexes into the menu palette.
namespace MenuColors {
inline constexpr std::uint16_t Normal = 0x0301;
inline constexpr std::uint16_t Selected = 0x0604;
inline constexpr std::uint16_t Disabled = 0x0202;
inline constexpr std::uint16_t DisabledSelected = 0x0505;
} // namespace MenuColors

// How one level of a menu run ended; the level that opened it reads it.
enum class tMenuExit : std::uint8_t {
    None,
    Chosen,    // a command was chosen: every level ends with it
    Close,     // Esc or Left in a nested box: back to the level that opened it
    CloseAll,  // F10, a click outside, cmdAbort: every level ends with 0
    MoveLeft,  // to the bar's item on the left, opened
    MoveRight, // to the bar's item on the right, opened
    Pass       // an event was put back for an outer level to handle
};

class TMenuView : public tView {
  public:
    TMenuView(const tRect& bounds, TMenuRec* menu, TMenuView* parent);
    explicit TMenuView(tStreamLoad);
    ~TMenuView() override;

    std::uint16_t StoreID() const override; // 43
    // The view, then its menu.
    void Store(tStream& s) override;
    void Load(tStream& s) override;
    tPalette GetPalette() const override;
    void HandleEvent(TEventRec& event) override;
    // The menu's own loop: the chosen command (0xFFFF for an extended item), or 0.
    std::uint16_t RunModal() override;

    // ---- added virtual operations
    // The box for a submenu (bounds in the owner's coordinates).
    virtual TMenuView* NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent);
    // An item's cells in the view's own coordinates; empty when it has none.
    virtual tRect GetItemRect(const TMenuItemRec* item) const;

    // Enabled, not a separator, and "~" then CH (by letter or by key position).
    TMenuItemRec* HotLetterItem(char ch) const;
    // Depth first through the submenus: enabled, not a separator, KEYCODE not 0 and equal.
    TMenuItemRec* ShortcutItem(std::uint16_t keyCode) const;
    // The item at local point P, or null.
    TMenuItemRec* ItemAt(tPoint p) const;
    bool IsMenuBar() const { return m_IsBar; }
    std::uint16_t ItemColors(const TMenuItemRec& item, bool selected) const;

    // ---- fields
    TMenuView* ParentMenu = nullptr;
    TMenuRec* Menu = nullptr;
    TMenuItemRec* Current = nullptr;
    TMenuItemRec* FirstVisible = nullptr;
    TMenuItemRec* LastVisible = nullptr; // null: all visible
    tMenuExit ExitReason = tMenuExit::None;

  protected:
    // Posts the triggering event, runs the menu on its owner and posts the chosen command.
    void RunMenu(TEventRec& event);
    // Sets items' Disabled from the command set; true when any changed.
    static bool UpdateDisabled(TMenuRec* menu);
    // Boxes show the current item always, the bar only while its menu runs.
    bool ShowsCurrent() const { return !m_IsBar || m_Running; }
    // Moves the visible range of a box so that the current item is inside it.
    virtual void ScrollToCurrent() {}

    tMenuPtr OwnedMenu; // a bar's or pop-up's own menu, or a loaded one
    bool m_IsBar = false;
    bool m_Running = false;

  private:
    void LoopEvent(TEventRec& event);
    void LoopKey(TEventRec& event);
    bool LoopCursorKey(std::uint16_t key);
    void LoopMouse(TEventRec& event);
    void LoopMouseOutside(TEventRec& event);
    void LoopCommand(TEventRec& event);
    void Exit(tMenuExit reason) { ExitReason = reason; }
    void Choose(TMenuItemRec* item);
    void Select(TMenuItemRec* item);
    void MoveCurrent(int steps);
    void SelectEnd(bool last);
    void OpenSubMenu();
    bool RunChild(TMenuItemRec* item);
    tRect SubMenuBounds(const TMenuItemRec* item) const;
    TMenuView* OuterMenuAt(tPoint where) const;
    bool HasBarAbove() const;

    std::uint16_t m_Result = 0;
    bool m_AutoOpen = false; // the bar opens the submenu of each item it moves to
};

// Registers TMenuView (43), TMenuBar (40), TMenuBox (41), TMenuPopup (44) and TStatusLine
// (42) with object streaming. Safe to call more than once.
void RegisterMenuStreamClasses();

} // namespace zarvo
