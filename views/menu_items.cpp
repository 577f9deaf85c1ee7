// Menu records: building chains from their end, walking them, freeing them, and their stored
// form with the limits that keep a damaged stream from building a runaway menu.
#include "views/menu_items.h"

#include "library/strings.h"

namespace zarvo {

namespace {

constexpr std::uint8_t kItemMark = 0xFF;
constexpr std::uint8_t kEndMark = 0;

void StoreItems(tStream& s, const TMenuRec* menu) {
    for (const TMenuItemRec* item = menu != nullptr ? menu->Items.get() : nullptr;
         item != nullptr && s.Status == stOk; item = item->Next.get()) {
        s.WriteValue(kItemMark);
        s.WriteStr(item->Name);
        s.WriteValue(item->Command);
        s.WriteValue(std::uint8_t(item->Disabled ? 1 : 0));
        s.WriteValue(item->KeyCode);
        s.WriteValue(item->HelpCtx);
        if (item->Name.empty())
            continue;
        if (item->Command != kMenuSubMenu)
            s.WriteStr(item->Param);
        else
            StoreItems(s, item->SubMenu.get());
    }
    s.WriteValue(kEndMark);
}

struct tMenuLoad {
    tStream& S;
    int Items = 0;
};

tMenuPtr LoadItems(tMenuLoad& load, int depth);

// One item after its mark; false (with the stream's status set) when it is damaged.
bool LoadItem(tMenuLoad& load, int depth, TMenuItemRec& item) {
    tStream& s = load.S;
    item.Name = s.ReadStr();
    item.Command = s.ReadValue<std::int16_t>();
    item.Disabled = s.ReadValue<std::uint8_t>() != 0;
    item.KeyCode = s.ReadValue<std::uint16_t>();
    item.HelpCtx = s.ReadValue<std::uint16_t>();
    if (s.Status != stOk || item.Name.empty())
        return s.Status == stOk;
    if (item.Command != kMenuSubMenu)
        item.Param = s.ReadStr();
    else
        item.SubMenu = LoadItems(load, depth + 1);
    return s.Status == stOk;
}

tMenuPtr LoadItems(tMenuLoad& load, int depth) {
    tStream& s = load.S;
    if (depth > kMaxMenuDepth) {
        s.Error(stReadError, 0);
        return nullptr;
    }
    auto menu = std::make_unique<TMenuRec>();
    tMenuItemPtr* tail = &menu->Items;
    for (;;) {
        auto mark = s.ReadValue<std::uint8_t>();
        if (s.Status != stOk)
            return nullptr;
        if (mark == kEndMark)
            break;
        if (mark != kItemMark || ++load.Items > kMaxMenuItems) {
            s.Error(stReadError, 0);
            return nullptr;
        }
        *tail = std::make_unique<TMenuItemRec>();
        if (!LoadItem(load, depth, **tail))
            return nullptr;
        tail = &(*tail)->Next;
    }
    menu->Default = menu->Items.get();
    return menu;
}

} // namespace

TMenuItemRec::~TMenuItemRec() {
    tMenuItemPtr next = std::move(Next);
    while (next != nullptr)
        next = std::move(next->Next);
}

tMenuItemPtr NewMenuItem(std::string_view name, std::string_view param, std::uint16_t keyCode,
                         std::int16_t command, std::uint16_t helpCtx, tMenuItemPtr next) {
    if (name.empty() || command == kMenuSubMenu)
        return next;
    auto item = std::make_unique<TMenuItemRec>();
    item->Next = std::move(next);
    item->Name = NewStr(name);
    item->Command = command;
    item->KeyCode = keyCode;
    item->HelpCtx = helpCtx;
    item->Param = NewStr(param);
    return item;
}

tMenuItemPtr NewMenuLine(tMenuItemPtr next) {
    auto item = std::make_unique<TMenuItemRec>();
    item->Next = std::move(next);
    return item;
}

tMenuItemPtr NewSubMenuItem(std::string_view name, std::uint16_t helpCtx, tMenuPtr subMenu,
                            tMenuItemPtr next) {
    if (name.empty() || subMenu == nullptr)
        return next;
    auto item = std::make_unique<TMenuItemRec>();
    item->Next = std::move(next);
    item->Name = NewStr(name);
    item->HelpCtx = helpCtx;
    item->SubMenu = std::move(subMenu);
    return item;
}

tMenuPtr NewMenuRec(tMenuItemPtr firstItem) {
    auto menu = std::make_unique<TMenuRec>();
    menu->Items = std::move(firstItem);
    menu->Default = menu->Items.get();
    return menu;
}

void DisposeMenuRec(tMenuPtr& menu) {
    menu.reset();
}

TMenuItemRec* NextItemOf(const TMenuRec& menu, const TMenuItemRec* item) {
    if (item == nullptr || item->Next == nullptr)
        return menu.Items.get();
    return item->Next.get();
}

TMenuItemRec* PreviousItemOf(const TMenuRec& menu, const TMenuItemRec* item) {
    TMenuItemRec* previous = nullptr;
    for (TMenuItemRec* p = menu.Items.get(); p != nullptr; p = p->Next.get()) {
        if (p->Next.get() == item && item != nullptr)
            return p;
        previous = p;
    }
    return previous; // before the first comes the last
}

TMenuItemRec* LastItemOf(const TMenuRec& menu) {
    return PreviousItemOf(menu, nullptr);
}

int ItemIndexOf(const TMenuRec& menu, const TMenuItemRec* item) {
    int index = 0;
    for (const TMenuItemRec* p = menu.Items.get(); p != nullptr; p = p->Next.get(), ++index)
        if (p == item)
            return index;
    return -1;
}

int ItemCountOf(const TMenuRec& menu) {
    int count = 0;
    for (const TMenuItemRec* p = menu.Items.get(); p != nullptr; p = p->Next.get())
        ++count;
    return count;
}

TMenuItemRec* ItemAtIndex(const TMenuRec& menu, int index) {
    TMenuItemRec* p = menu.Items.get();
    for (; p != nullptr && index > 0; --index)
        p = p->Next.get();
    return index == 0 ? p : nullptr;
}

void StoreMenu(tStream& s, const TMenuRec* menu) {
    StoreItems(s, menu);
}

tMenuPtr LoadMenu(tStream& s) {
    tMenuLoad load{s};
    return LoadItems(load, 0);
}

} // namespace zarvo
