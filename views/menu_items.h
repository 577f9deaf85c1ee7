// The menu records menus are built from: singly linked items (commands, separators and
// submenus) and the menu record that holds a chain with its default item, the routines that
// build a chain from its end, and the stored form of a menu.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/sobject.h"
#include "library/stream.h"

namespace zarvo {

struct TMenuRec;

// Item commands with a meaning of their own.
inline constexpr std::int16_t kMenuSubMenu = 0;
inline constexpr std::int16_t kMenuExtended = -1;
inline constexpr std::int16_t kMenuSeparatorItem = -2; // an item drawn on a separator line

// What an extended item carries: a block of bytes or an object, freed with the item.
struct tMenuExtension {
    std::vector<std::uint8_t> Block;
    tObjectPtr<tSObject> Object;
};

struct TMenuItemRec {
    TMenuItemRec() = default;
    TMenuItemRec(const TMenuItemRec&) = delete;
    TMenuItemRec& operator=(const TMenuItemRec&) = delete;
    // Frees the rest of the chain without recursing along it.
    ~TMenuItemRec();

    std::unique_ptr<TMenuItemRec> Next;
    std::string Name; // "~" around the hot letter; empty: a separator line
    std::int16_t Command = 0;
    bool Disabled = false;
    std::uint16_t KeyCode = 0;
    std::uint16_t HelpCtx = 0;
    std::string Param;                 // command items: the shortcut text shown on the right
    std::unique_ptr<TMenuRec> SubMenu; // submenu items
    std::unique_ptr<tMenuExtension> Extension;

    bool IsSeparator() const { return Name.empty() || Command == kMenuSeparatorItem; }
    bool IsSubMenu() const { return Command == kMenuSubMenu && !Name.empty(); }
    bool IsCommand() const { return Command > 0; }
};

struct TMenuRec {
    std::unique_ptr<TMenuItemRec> Items;
    TMenuItemRec* Default = nullptr; // the current item between runs
};

using tMenuItemPtr = std::unique_ptr<TMenuItemRec>;
using tMenuPtr = std::unique_ptr<TMenuRec>;

// NEXT unchanged when NAME is empty or COMMAND is 0; otherwise a new enabled item in front.
tMenuItemPtr NewMenuItem(std::string_view name, std::string_view param, std::uint16_t keyCode,
                         std::int16_t command, std::uint16_t helpCtx, tMenuItemPtr next = nullptr);
tMenuItemPtr NewMenuLine(tMenuItemPtr next = nullptr);
// NEXT unchanged when NAME is empty or SUBMENU is null.
tMenuItemPtr NewSubMenuItem(std::string_view name, std::uint16_t helpCtx, tMenuPtr subMenu,
                            tMenuItemPtr next = nullptr);
tMenuPtr NewMenuRec(tMenuItemPtr firstItem);
// Frees the menu with its submenus, strings and extensions.
void DisposeMenuRec(tMenuPtr& menu);

// The item after ITEM in its menu, or the menu's first after the last (null for an empty one).
TMenuItemRec* NextItemOf(const TMenuRec& menu, const TMenuItemRec* item);
TMenuItemRec* PreviousItemOf(const TMenuRec& menu, const TMenuItemRec* item);
TMenuItemRec* LastItemOf(const TMenuRec& menu);
int ItemIndexOf(const TMenuRec& menu, const TMenuItemRec* item); // 0-based, -1: not there
int ItemCountOf(const TMenuRec& menu);
TMenuItemRec* ItemAtIndex(const TMenuRec& menu, int index);

// Damaged menus are refused rather than built: deeper nesting or more items is a stream error.
inline constexpr int kMaxMenuDepth = 16;
inline constexpr int kMaxMenuItems = 1024;

// Per item the byte 0xFF, the name, command, disabled, key code, help context, then for a
// named item its shortcut text (command not 0) or its submenu (command 0); a 0 byte ends.
// Extended data is not stored: an extended item comes back with an empty shortcut text.
void StoreMenu(tStream& s, const TMenuRec* menu);
// Null and a stream error for a damaged menu.
tMenuPtr LoadMenu(tStream& s);

} // namespace zarvo
