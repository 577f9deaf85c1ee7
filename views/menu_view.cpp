// TMenuView outside its loop: construction, hot letters and shortcuts, the keys, clicks and
// commands that start a run, following the command set, palette and stored form; and the
// registration of the menu and status-line classes.
#include "views/menu_view.h"

#include <mutex>

#include "console/keyboard.h"
#include "library/stream_class.h"
#include "views/group.h"
#include "views/menu_bar.h"
#include "views/menu_box.h"
#include "views/status_line.h"

namespace zarvo {

namespace {

constexpr auto kMenuPalette = MakePalette(2, 3, 4, 5, 6, 7);
constexpr std::uint16_t kExtendedResult = 0xFFFF;

// The letter after the first "~" of NAME, or 0.
char HotLetterOf(const std::string& name) {
    std::size_t tilde = name.find('~');
    return tilde == std::string::npos || tilde + 1 >= name.size() ? 0 : name[tilde + 1];
}

// Equal as letters, or typed on the same key in the other layout.
bool SameHotKey(char a, char b) {
    if (UpCase866(a) == UpCase866(b))
        return true;
    std::uint16_t code = CharToAltCode(a);
    return code != 0 && code == CharToAltCode(b);
}

TMenuItemRec* FindShortcut(TMenuRec* menu, std::uint16_t keyCode, int depth) {
    if (menu == nullptr || depth > kMaxMenuDepth)
        return nullptr;
    for (TMenuItemRec* item = menu->Items.get(); item != nullptr; item = item->Next.get()) {
        if (item->IsSeparator() || item->Disabled)
            continue;
        if (item->KeyCode == keyCode)
            return item;
        if (item->IsSubMenu())
            if (TMenuItemRec* found = FindShortcut(item->SubMenu.get(), keyCode, depth + 1))
                return found;
    }
    return nullptr;
}

} // namespace

TMenuView::TMenuView(const tRect& bounds, TMenuRec* menu, TMenuView* parent)
    : tView(bounds), ParentMenu(parent), Menu(menu) {
    AcceptMask |= evtBroadcast;
}

TMenuView::TMenuView(tStreamLoad) : tView(kStreamLoad) {}

TMenuView::~TMenuView() = default;

std::uint16_t TMenuView::StoreID() const {
    return 43;
}

tPalette TMenuView::GetPalette() const {
    return kMenuPalette.data();
}

void TMenuView::Store(tStream& s) {
    tView::Store(s);
    StoreMenu(s, Menu);
}

void TMenuView::Load(tStream& s) {
    tView::Load(s);
    if (s.Status != stOk)
        return;
    OwnedMenu = LoadMenu(s);
    Menu = OwnedMenu.get();
    Current = nullptr;
}

TMenuView* TMenuView::NewSubView(const tRect& bounds, TMenuRec* menu, TMenuView* parent) {
    return MakeObject<TMenuBox>(bounds, parent, menu).release();
}

tRect TMenuView::GetItemRect(const TMenuItemRec*) const {
    return tRect{};
}

TMenuItemRec* TMenuView::HotLetterItem(char ch) const {
    if (Menu == nullptr || ch == 0)
        return nullptr;
    for (TMenuItemRec* item = Menu->Items.get(); item != nullptr; item = item->Next.get()) {
        char hot = item->IsSeparator() || item->Disabled ? 0 : HotLetterOf(item->Name);
        if (hot != 0 && SameHotKey(hot, ch))
            return item;
    }
    return nullptr;
}

TMenuItemRec* TMenuView::ShortcutItem(std::uint16_t keyCode) const {
    return keyCode == 0 ? nullptr : FindShortcut(Menu, keyCode, 0);
}

TMenuItemRec* TMenuView::ItemAt(tPoint p) const {
    if (Menu == nullptr)
        return nullptr;
    for (TMenuItemRec* item = Menu->Items.get(); item != nullptr; item = item->Next.get()) {
        tRect r = GetItemRect(item);
        if (!r.IsEmpty() && r.Contains(p))
            return item;
    }
    return nullptr;
}

std::uint16_t TMenuView::ItemColors(const TMenuItemRec& item, bool selected) const {
    if (item.Disabled)
        return MapColors(selected ? MenuColors::DisabledSelected : MenuColors::Disabled);
    return MapColors(selected ? MenuColors::Selected : MenuColors::Normal);
}

bool TMenuView::UpdateDisabled(TMenuRec* menu) {
    bool changed = false;
    for (TMenuItemRec* item = menu != nullptr ? menu->Items.get() : nullptr; item != nullptr;
         item = item->Next.get()) {
        if (item->IsCommand() && item->Disabled == IsCommandOn(std::uint16_t(item->Command))) {
            item->Disabled = !item->Disabled;
            changed = true;
        }
        if (item->IsSubMenu())
            changed = UpdateDisabled(item->SubMenu.get()) || changed;
    }
    return changed;
}

void TMenuView::HandleEvent(TEventRec& event) {
    if (Menu == nullptr)
        return;
    switch (event.what) {
    case evtKeyDown:
        if (HotLetterItem(AltCodeToChar(event.key.keyCode)) != nullptr) {
            RunMenu(event);
        } else if (TMenuItemRec* item = ShortcutItem(event.key.keyCode);
                   item != nullptr && item->IsCommand() &&
                   IsCommandOn(std::uint16_t(item->Command))) {
            event.Clear();
            event.what = evtCommand;
            event.message.command = std::uint16_t(item->Command);
            PostEvent(event);
            ConsumeEvent(event);
        }
        break;
    case evtMouseDown:
        RunMenu(event);
        break;
    case evtCommand:
        if (event.message.command == cmdMenu)
            RunMenu(event);
        break;
    case evtBroadcast:
        if (event.message.command == cmdCommandsChanged && UpdateDisabled(Menu))
            Repaint();
        break;
    default:
        break;
    }
}

void TMenuView::RunMenu(TEventRec& event) {
    PostEvent(event);
    std::uint16_t result = Owner != nullptr ? Owner->RunView(this) : RunModal();
    if (result != 0 && result != kExtendedResult && IsCommandOn(result)) {
        TEventRec command;
        command.what = evtCommand;
        command.message.command = result;
        PostEvent(command);
    }
    ConsumeEvent(event);
}

void RegisterMenuStreamClasses() {
    static const tStreamClass kMenuView = StreamClassOf<TMenuView>(
        "TMenuView", []() -> tSObject* { return new TMenuView(kStreamLoad); });
    static const tStreamClass kMenuBar = StreamClassOf<TMenuBar>(
        "TMenuBar", []() -> tSObject* { return new TMenuBar(kStreamLoad); });
    static const tStreamClass kMenuBox = StreamClassOf<TMenuBox>(
        "TMenuBox", []() -> tSObject* { return new TMenuBox(kStreamLoad); });
    static const tStreamClass kMenuPopup = StreamClassOf<TMenuPopup>(
        "TMenuPopup", []() -> tSObject* { return new TMenuPopup(kStreamLoad); });
    static const tStreamClass kStatusLine = StreamClassOf<TStatusLine>(
        "TStatusLine", []() -> tSObject* { return new TStatusLine(kStreamLoad); });
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses({&kMenuBar, &kMenuBox, &kMenuView, &kMenuPopup, &kStatusLine});
    });
}

} // namespace zarvo
