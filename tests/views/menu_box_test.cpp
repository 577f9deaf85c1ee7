// Menu boxes and pop-up menus: their size and place, the look of a bar with an open box in
// each item state (attributes apart), a box taller than its room, the pop-up's own keys, and
// the stored form of every menu class.
#include "views/menu_box.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/menu_test_support.h"
#include "views/menu_bar.h"

namespace zarvo {
namespace {

using namespace testing_menus;

class MenuBoxTest : public tMenuScreen {
  protected:
    void SetUp() override {
        tMenuScreen::SetUp();
        RegisterViewStreamClasses();
        RegisterMenuStreamClasses();
    }
    // The screen while the script is used up, inside the run that TRIGGER starts.
    std::vector<std::string> GridDuringRun(TEventRec trigger, int width, int height,
                                           std::vector<std::uint8_t>* attrs = nullptr,
                                           std::vector<tPoint> at = {}) {
        std::vector<std::string> grid;
        Root->OnScriptEnd = [&] {
            grid = Grid(width, height);
            if (attrs != nullptr)
                for (tPoint p : at)
                    attrs->push_back(AttrAt(p.X, p.Y));
        };
        Root->DispatchEvent(trigger);
        return grid;
    }
};

// Catches a box of the wrong size, or one that leaves its room instead of moving into it.
TEST_F(MenuBoxTest, SizeAndPlace) {
    auto three = NewMenuRec(NewMenuItem(
        "~A~bcde", "", 0, 1, 0, NewMenuItem("B", "", 0, 2, 0, NewMenuItem("C", "", 0, 3, 0))));
    struct tCase {
        const char* Name;
        tRect Room;
        tRect Expected;
    } cases[] = {
        {"fits below and right", MakeRect(2, 1, 40, 12), MakeRect(2, 1, 13, 6)},
        {"too far right: moved left", MakeRect(35, 1, 40, 12), MakeRect(29, 1, 40, 6)},
        {"too low: moved up", MakeRect(2, 9, 40, 12), MakeRect(2, 7, 13, 12)},
        {"no room above: from row 1", MakeRect(2, 1, 40, 4), MakeRect(2, 1, 13, 4)},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(TMenuBox::BoundsFor(c.Room, three.get()), c.Expected) << c.Name;
    auto wide = NewMenuRec(NewMenuItem("~O~pen", "Ctrl+F3", 0, 1, 0,
                                       NewSubMenuItem("~M~ore", 0, NewMenuRec(nullptr))));
    EXPECT_EQ(TMenuBox::BoundsFor(MakeRect(0, 0, 80, 25), wide.get()).Right, 4 + 6 + 7 + 2)
        << "expected name + 6 + shortcut text + 2";
    auto tiny = NewMenuRec(NewMenuItem("X", "", 0, 1, 0));
    EXPECT_EQ(TMenuBox::BoundsFor(MakeRect(0, 0, 80, 25), tiny.get()).Right, 10)
        << "expected at least 10 columns";
}

// Catches a wrong frame, item texts or shortcut texts out of place, or the bar's item not
// shown selected while its box is open.
TEST_F(MenuBoxTest, BarWithOpenBoxLooksRight) {
    auto* bar = new TMenuBar(MakeRect(0, 0, kCols, 1), SampleMenu());
    Root->InsertView(bar);
    std::vector<std::uint8_t> attrs;
    // Bar: Файл selected, its hot letter, Правка normal and hot; box: Открыть selected and
    // hot, Сохранить disabled, the frame, Выход's shortcut text.
    auto grid =
        GridDuringRun(Key(kKeyAltA), 24, 8, &attrs,
                      {{2, 0}, {3, 0}, {9, 0}, {8, 0}, {4, 2}, {5, 2}, {4, 3}, {2, 3}, {14, 5}});
    const std::vector<std::string> expected = {
        "  Файл  Правка  Окно    ", ". ┌──────────────┐ .....", ". │ Открыть   F3 │ .....",
        ". │ Сохранить    │ .....", ". ├──────────────┤ .....", ". │ Выход  Alt+X │ .....",
        ". └──────────────┘ .....", "........................",
    };
    EXPECT_EQ(grid, expected);
    const std::vector<std::uint8_t> expectedAttrs = {0x24, 0x20, 0x70, 0x74, 0x24,
                                                     0x20, 0x78, 0x70, 0x70};
    EXPECT_EQ(attrs, expectedAttrs);
}

// Catches a disabled current item not in its own colours, or the selection drawn on a
// passive bar.
TEST_F(MenuBoxTest, DisabledCurrentItemAndPassiveBar) {
    auto* bar = new TMenuBar(MakeRect(0, 0, kCols, 1), SampleMenu());
    Root->InsertView(bar);
    Script({Key(kKeyDown)});
    std::vector<std::uint8_t> attrs;
    GridDuringRun(Key(kKeyAltA), 24, 8, &attrs, {{4, 3}, {5, 3}, {4, 2}});
    const std::vector<std::uint8_t> expectedAttrs = {0x28, 0x28, 0x74};
    EXPECT_EQ(attrs, expectedAttrs) << "expected Сохранить disabled and selected";
    EXPECT_EQ(AttrAt(3, 0), 0x70) << "expected the bar passive after the run";
    EXPECT_EQ(Grid(24, 3)[2], std::string(24, '.')) << "expected the box gone";
}

// Catches a box taller than its room that shows the wrong items, no scroll marks, or does
// not follow the current item.
TEST_F(MenuBoxTest, TallBoxScrolls) {
    tMenuItemPtr items;
    for (int i = 9; i >= 1; --i)
        items = NewMenuItem(std::string("Item ") + char('0' + i), "", 0, std::int16_t(200 + i), 0,
                            std::move(items));
    tMenuPtr menu = NewMenuRec(std::move(items));
    auto* box = new TMenuBox(MakeRect(0, 1, 20, 7), nullptr, menu.get());
    EXPECT_EQ(box->BoundsRect(), MakeRect(0, 1, 12, 7)) << "expected the box cut to row 1";
    EXPECT_EQ(box->LastVisible, ItemAtIndex(*menu, 3));
    std::vector<std::string> grid;
    Script({Key(kKeyEnd)});
    Root->OnScriptEnd = [&] { grid = Grid(12, 8); };
    Root->RunView(box);
    const std::vector<std::string> expected = {
        "............", " ┌────▲───┐ ", " │ Item 6 │ ", " │ Item 7 │ ",
        " │ Item 8 │ ", " │ Item 9 │ ", " └────────┘ ", "............",
    };
    EXPECT_EQ(grid, expected);
    box->Current = nullptr;
    box->Menu->Default = box->Menu->Items.get();
    Script({Key(kKeyDown), Key(kKeyDown), Key(kKeyDown), Key(kKeyDown)});
    Root->OnScriptEnd = [&] { grid = Grid(12, 8); };
    Root->RunView(box);
    EXPECT_EQ(grid[2], " │ Item 2 │ ") << "expected one step past the last visible item";
    EXPECT_EQ(grid[1], " ┌────▲───┐ ");
    EXPECT_EQ(grid[6], " └────▼───┘ ");
    FreeObject(box);
}

// Catches a pop-up that ignores its Ctrl letters and shortcuts, takes Enter, Tab or
// Backspace for Ctrl+M, I or H, or lets Alt letters through.
TEST_F(MenuBoxTest, PopupKeys) {
    auto* popup =
        new TMenuPopup(MakeRect(5, 2, 30, 10),
                       NewMenuRec(NewMenuItem("~M~ark", "", 0, 300, 0,
                                              NewMenuItem("~I~nsert", "Ins", kKeyIns, 301, 0,
                                                          NewMenuItem("~H~ide", "", 0, 302, 0)))));
    Root->InsertView(popup);
    struct tCase {
        const char* Name;
        std::uint16_t Key;
        std::uint16_t Posted; // 0: none
        bool Consumed;
    } cases[] = {
        {"Ctrl+M", kKeyCtrlM, 300, true},
        {"Enter is not Ctrl+M", kKeyEnter, 0, false},
        {"Tab is not Ctrl+I", kKeyTab, 0, false},
        {"Backspace is not Ctrl+H", kKeyBackspace, 0, false},
        {"shortcut", kKeyIns, 301, true},
        {"Alt with an unknown letter is swallowed", kKeyAltZ, 0, true},
    };
    for (const tCase& c : cases) {
        Root->Pending.clear();
        TEventRec key = Key(c.Key);
        popup->HandleEvent(key);
        EXPECT_EQ(PostedCommand(), c.Posted) << c.Name;
        EXPECT_EQ(key.what == evtNothing, c.Consumed) << c.Name;
    }
    Root->Pending.clear();
    Script({Key(kKeyDown), Key(kKeyEnter)});
    EXPECT_EQ(Root->RunView(popup), 301u) << "expected a run to answer the chosen command";
}

// Catches menu views that do not come back from a stream with their class, bounds and
// menu, or damaged records that give an object.
TEST_F(MenuBoxTest, StreamRoundTripAndDamage) {
    tObjectPtr<TMenuBar> bar = MakeObject<TMenuBar>(MakeRect(0, 0, 40, 1), SampleMenu());
    tMenuPtr boxMenu = SampleMenu();
    tObjectPtr<TMenuBox> box = MakeObject<TMenuBox>(MakeRect(3, 1, 40, 12), nullptr, boxMenu.get());
    tObjectPtr<TMenuPopup> popup = MakeObject<TMenuPopup>(MakeRect(3, 1, 40, 12), SampleMenu());
    for (TMenuView* view : {static_cast<TMenuView*>(bar.get()), static_cast<TMenuView*>(box.get()),
                            static_cast<TMenuView*>(popup.get())}) {
        tMemoryStream stream;
        Put(stream, view);
        stream.Seek(0);
        tObjectPtr<tSObject> loaded(Get(stream));
        auto* menuView = dynamic_cast<TMenuView*>(loaded.get());
        ASSERT_NE(menuView, nullptr) << view->StoreID();
        EXPECT_EQ(menuView->StoreID(), view->StoreID());
        EXPECT_EQ(menuView->BoundsRect(), view->BoundsRect());
        EXPECT_EQ(menuView->HasOption(ViewOption::PreProcess), true);
        ASSERT_NE(menuView->Menu, nullptr);
        EXPECT_EQ(ItemCountOf(*menuView->Menu), ItemCountOf(*view->Menu));
        EXPECT_EQ(menuView->Menu->Items->SubMenu != nullptr, view->Menu->Items->SubMenu != nullptr);
        std::vector<std::uint8_t> bytes = stream.Bytes();
        for (std::size_t cut = 10; cut < bytes.size(); cut += 7) {
            tMemoryStream damaged(std::span(bytes.data(), cut));
            EXPECT_EQ(Get(damaged), nullptr) << "cut at " << cut;
            EXPECT_NE(damaged.Status, stOk) << "cut at " << cut;
            ClearError();
        }
    }
}

} // namespace
} // namespace zarvo
