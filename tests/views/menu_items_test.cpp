// Menu records: the routines that build chains, walking with wrap-round, freeing long chains,
// and the stored form of a menu with its damages.
#include "views/menu_items.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "library/object_stream_buffer.h"

namespace zarvo {
namespace {

// One line per item, nested items indented, so whole menus compare as text.
std::string Dump(const TMenuRec* menu, const std::string& indent = "") {
    std::string out;
    for (const TMenuItemRec* item = menu != nullptr ? menu->Items.get() : nullptr; item != nullptr;
         item = item->Next.get()) {
        out += indent + "[" + item->Name + "] " + std::to_string(item->Command) + " " +
               (item->Disabled ? "off" : "on") + " " + std::to_string(item->KeyCode) + " " +
               std::to_string(item->HelpCtx) + " (" + item->Param + ")\n";
        if (item->IsSubMenu())
            out += Dump(item->SubMenu.get(), indent + "  ");
    }
    return out;
}

tMenuPtr SampleMenu() {
    auto extended = NewMenuItem("~X~tra", "", 0, kMenuExtended, 7);
    extended->Extension = std::make_unique<tMenuExtension>();
    extended->Extension->Block = {1, 2, 3};
    return NewMenuRec(NewSubMenuItem(
        "~F~ile", 1,
        NewMenuRec(NewMenuItem("~O~pen", "F3", kKeyF3, 100, 2,
                               NewMenuLine(NewMenuItem("E~x~it", "Alt+X", kKeyAltX, 102, 3)))),
        NewMenuItem(
            "~H~elp", "", 0, 9, 4,
            NewMenuItem("Line item", "note", 0, kMenuSeparatorItem, 5, std::move(extended)))));
}

// Catches an item made from an empty name, command 0 or no submenu, or a chain out of order.
TEST(MenuItemsTest, BuildingRoutines) {
    struct tCase {
        const char* Name;
        tMenuItemPtr Chain;
        const char* Expected;
    };
    tCase cases[] = {
        {"empty name adds nothing", NewMenuItem("", "x", 1, 5, 0, NewMenuLine()),
         "[] 0 on 0 0 ()\n"},
        {"command 0 adds nothing", NewMenuItem("~A~", "", 0, 0, 0), ""},
        {"no submenu adds nothing", NewSubMenuItem("~S~ub", 0, nullptr), ""},
        {"empty submenu name adds nothing", NewSubMenuItem("", 0, NewMenuRec(nullptr)), ""},
        {"built from the end",
         NewMenuItem("~A~", "F2", kKeyF2, 20, 1, NewMenuItem("~B~", "", 0, 21, 2)),
         "[~A~] 20 on 15360 1 (F2)\n[~B~] 21 on 0 2 ()\n"},
    };
    for (tCase& c : cases) {
        auto menu = NewMenuRec(std::move(c.Chain));
        EXPECT_EQ(Dump(menu.get()), c.Expected) << c.Name;
        EXPECT_EQ(menu->Default, menu->Items.get()) << c.Name << ": the default is the first";
    }
}

// Catches walks that do not wrap round or lose their place.
TEST(MenuItemsTest, WalkingWrapsRound) {
    auto menu = NewMenuRec(NewMenuItem(
        "~A~", "", 0, 1, 0, NewMenuItem("~B~", "", 0, 2, 0, NewMenuItem("~C~", "", 0, 3, 0))));
    TMenuItemRec* a = menu->Items.get();
    TMenuItemRec* c = LastItemOf(*menu);
    EXPECT_EQ(c->Command, 3);
    EXPECT_EQ(NextItemOf(*menu, c), a) << "expected the first after the last";
    EXPECT_EQ(PreviousItemOf(*menu, a), c) << "expected the last before the first";
    EXPECT_EQ(PreviousItemOf(*menu, c)->Command, 2);
    EXPECT_EQ(ItemIndexOf(*menu, c), 2);
    EXPECT_EQ(ItemAtIndex(*menu, 3), nullptr);
    TMenuRec empty;
    EXPECT_EQ(NextItemOf(empty, nullptr), nullptr);
    EXPECT_EQ(LastItemOf(empty), nullptr);
}

// Catches a chain freed by recursion along its links, which a long chain would overflow.
TEST(MenuItemsTest, LongChainFreesWithoutRecursion) {
    tMenuItemPtr chain;
    for (int i = 0; i < 200000; ++i)
        chain = NewMenuItem("~I~tem", "", 0, 1, 0, std::move(chain));
    tMenuPtr menu = NewMenuRec(std::move(chain));
    DisposeMenuRec(menu);
    EXPECT_EQ(menu, nullptr);
}

// Catches a stored menu that comes back different: names, commands, flags, keys, help
// contexts, shortcut texts, separators and submenus.
TEST(MenuItemsTest, StoredMenuRoundTrips) {
    tMenuPtr menu = SampleMenu();
    menu->Items->Next->Disabled = true;
    tMemoryStream stream;
    StoreMenu(stream, menu.get());
    stream.Seek(0);
    tMenuPtr loaded = LoadMenu(stream);
    ASSERT_NE(loaded, nullptr) << "expected the menu back";
    EXPECT_EQ(stream.Status, stOk);
    EXPECT_EQ(stream.GetPos(), stream.GetSize()) << "expected the whole record read";
    EXPECT_EQ(Dump(loaded.get()), Dump(menu.get()));
    EXPECT_EQ(loaded->Default, loaded->Items.get());
    TMenuItemRec* extended = LastItemOf(*loaded);
    EXPECT_EQ(extended->Command, kMenuExtended);
    EXPECT_EQ(extended->Extension, nullptr) << "extended data is not stored";
}

// Catches damaged menus read as menus, or read past, instead of nil and a stream error.
TEST(MenuItemsTest, DamagedMenusGiveNilAndAnError) {
    tMemoryStream good;
    StoreMenu(good, SampleMenu().get());
    std::vector<std::uint8_t> bytes = good.Bytes();
    // Every truncation.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        tMemoryStream stream;
        stream.Write(bytes.data(), std::uint16_t(cut));
        stream.Seek(0);
        EXPECT_EQ(LoadMenu(stream), nullptr) << "cut at " << cut;
        EXPECT_NE(stream.Status, stOk) << "cut at " << cut;
        ClearError();
    }
    auto load = [](const std::vector<std::uint8_t>& data) {
        tMemoryStream stream;
        stream.Write(data.data(), std::uint16_t(data.size()));
        stream.Seek(0);
        tMenuPtr menu = LoadMenu(stream);
        bool failed = menu == nullptr && stream.Status != stOk;
        ClearError();
        return failed;
    };
    std::vector<std::uint8_t> badMark = bytes;
    badMark[0] = 0x7E;
    EXPECT_TRUE(load(badMark)) << "expected an unknown item mark refused";
    // Submenus nested deeper than any real menu.
    std::vector<std::uint8_t> deep;
    for (int level = 0; level <= kMaxMenuDepth + 1; ++level)
        deep.insert(deep.end(), {0xFF, 1, 'S', 0, 0, 0, 0, 0, 0, 0});
    deep.push_back(0);
    EXPECT_TRUE(load(deep)) << "expected runaway nesting refused";
    std::vector<std::uint8_t> many;
    for (int i = 0; i <= kMaxMenuItems; ++i)
        many.insert(many.end(), {0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
    many.push_back(0);
    EXPECT_TRUE(load(many)) << "expected a runaway item count refused";
}

} // namespace
} // namespace zarvo
