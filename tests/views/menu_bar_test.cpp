// The menu bar and its modal loop: what starts a run, every navigation key at the ends of a
// bar and a box, nested submenus, hot letters in either layout, disabled items, the mouse,
// and the look of an empty bar.
#include "views/menu_bar.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/menu_test_support.h"

namespace zarvo {
namespace {

using namespace testing_menus;

TEventRec Char(std::string_view oem, std::uint8_t scan) {
    return Key(std::uint16_t(std::uint8_t(oem[0]) | (scan << 8)));
}

class MenuBarTest : public tMenuScreen {
  protected:
    void SetUp() override {
        tMenuScreen::SetUp();
        Bar = new TMenuBar(MakeRect(0, 0, kCols, 1), SampleMenu());
        Root->InsertView(Bar);
    }
    // Delivers TRIGGER as the application would, then the script runs inside the menu.
    void Run(TEventRec trigger) { Root->DispatchEvent(trigger); }
    // A fresh bar with the sample menu, nothing posted.
    void Renew() {
        FreeObject(Bar);
        Bar = new TMenuBar(MakeRect(0, 0, kCols, 1), SampleMenu());
        Root->InsertView(Bar);
        Root->Pending.clear();
    }

    TMenuBar* Bar = nullptr;
};

// Catches keys that land on the wrong item, stop at an end instead of wrapping, do not skip
// separators, choose disabled items, or lose the way between the bar and its boxes.
TEST_F(MenuBarTest, KeysChooseTheRightCommand) {
    struct tCase {
        const char* Name;
        TEventRec Trigger;
        std::vector<TEventRec> Script;
        std::uint16_t Expected; // 0: nothing chosen
    };
    const tCase cases[] = {
        {"Alt+hot letter opens, Enter chooses", Key(kKeyAltA), {Key(kKeyEnter)}, cmdOpen},
        {"Down lands on a disabled item, which Enter does not choose",
         Key(kKeyAltA),
         {Key(kKeyDown), Key(kKeyEnter)},
         0},
        {"Down skips the line",
         Key(kKeyAltA),
         {Key(kKeyDown), Key(kKeyDown), Key(kKeyEnter)},
         cmdExit},
        {"Up from the first wraps to the last",
         Key(kKeyAltA),
         {Key(kKeyUp), Key(kKeyEnter)},
         cmdExit},
        {"Down from the last wraps to the first",
         Key(kKeyAltA),
         {Key(kKeyEnd), Key(kKeyDown), Key(kKeyEnter)},
         cmdOpen},
        {"End and Home", Key(kKeyAltA), {Key(kKeyEnd), Key(kKeyHome), Key(kKeyEnter)}, cmdOpen},
        {"PgDn stops at the last", Key(kKeyAltA), {Key(kKeyPgDn), Key(kKeyEnter)}, cmdExit},
        {"Right walks the bar and opens the next box",
         Key(kKeyAltA),
         {Key(kKeyRight), Key(kKeyEnter)},
         cmdCopy},
        {"Left from the first bar item wraps to a command item",
         Key(kKeyAltA),
         {Key(kKeyLeft), Key(kKeyEnter)},
         cmdWindow},
        {"Esc closes the box, Esc again the bar", Key(kKeyAltA), {Key(kKeyEsc), Key(kKeyEsc)}, 0},
        {"Esc then Enter reopens the box",
         Key(kKeyAltA),
         {Key(kKeyEsc), Key(kKeyEnter), Key(kKeyEnter)},
         cmdOpen},
        {"F10 closes everything", Key(kKeyAltA), {Key(kKeyF10)}, 0},
        {"F10 opens the bar without a box",
         Key(kKeyF10),
         {Key(kKeyRight), Key(kKeyRight), Key(kKeyEnter)},
         cmdWindow},
        {"F10 then Down opens the box", Key(kKeyF10), {Key(kKeyDown), Key(kKeyEnter)}, cmdOpen},
        {"cmdMenu opens the bar",
         Command(evtCommand, cmdMenu),
         {Key(kKeyEnter), Key(kKeyEnter)},
         cmdOpen},
        {"plain Cyrillic hot letter in a box", Key(kKeyAltA), {Char("в"_oem, 0x20)}, cmdExit},
        {"plain Latin letter on the same key", Key(kKeyAltA), {Char("d", 0x20)}, cmdExit},
        {"hot letter of a disabled item does nothing", Key(kKeyAltA), {Char("с"_oem, 0x2E)}, 0},
        {"Alt+letter of the bar from inside a box",
         Key(kKeyAltA),
         {Key(kKeyAltG), Key(kKeyEnter)},
         cmdCopy},
        {"Alt+letter of the box wins over the bar", Key(kKeyAltA), {Key(kKeyAltJ)}, cmdOpen},
        {"Alt+letter of a command item on the bar chooses it", Key(kKeyAltJ), {}, cmdWindow},
        {"Right opens a nested box",
         Key(kKeyAltG),
         {Key(kKeyEnd), Key(kKeyRight), Key(kKeyEnter)},
         cmdOne},
        {"Enter opens a nested box",
         Key(kKeyAltG),
         {Key(kKeyEnd), Key(kKeyEnter), Key(kKeyDown), Key(kKeyEnter)},
         cmdTwo},
        {"Left closes only the nested box",
         Key(kKeyAltG),
         {Key(kKeyEnd), Key(kKeyRight), Key(kKeyLeft), Key(kKeyUp), Key(kKeyEnter)},
         cmdPaste},
        {"Right on a command item of a nested box walks the bar",
         Key(kKeyAltG),
         {Key(kKeyEnd), Key(kKeyRight), Key(kKeyRight), Key(kKeyEnter)},
         cmdWindow},
        {"a command arriving ends the menu", Key(kKeyAltA), {Command(evtCommand, 555)}, 555},
    };
    for (const tCase& c : cases) {
        Renew();
        Root->Script.assign(c.Script.begin(), c.Script.end());
        Run(c.Trigger);
        EXPECT_EQ(PostedCommand(), c.Expected) << c.Name;
        EXPECT_TRUE(Root->Script.empty()) << c.Name << ": expected the whole script used";
        EXPECT_EQ(Root->FirstView(), Bar) << c.Name << ": expected every box gone";
    }
}

// Catches the bar forgetting its item between runs, or boxes forgetting theirs.
TEST_F(MenuBarTest, CurrentItemsAreKeptBetweenRuns) {
    Script({Key(kKeyRight), Key(kKeyEsc)});
    Run(Key(kKeyF10));
    Script({Key(kKeyEnter), Key(kKeyDown), Key(kKeyEsc), Key(kKeyEsc)});
    Run(Key(kKeyF10));
    EXPECT_EQ(Bar->Current, Bar->Menu->Items->Next.get()) << "expected Правка kept";
    Script({Key(kKeyEnter)});
    Run(Key(kKeyAltG));
    EXPECT_EQ(PostedCommand(), cmdPaste) << "expected the box to reopen on Вставить";
}

// Catches clicks that miss their items, a press and drag that does not choose where it is
// released, or a click outside that leaves a box open.
TEST_F(MenuBarTest, MouseChoosesAndClosesMenus) {
    struct tCase {
        const char* Name;
        TEventRec Trigger;
        std::vector<TEventRec> Script;
        std::uint16_t Expected;
    };
    // Файл at columns 1-6, Правка 7-14, Окно 15-20; Файл's box has its items on rows 2-5.
    const tCase cases[] = {
        {"click the bar, click an item",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseUp, 3, 0), Mouse(evtMouseDown, 5, 5), Mouse(evtMouseUp, 5, 5)},
         cmdExit},
        {"press on the bar, drag down, release",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseMove, 3, 1), Mouse(evtMouseMove, 4, 2), Mouse(evtMouseUp, 4, 2)},
         cmdOpen},
        {"drag along the bar to another box",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseMove, 9, 0), Mouse(evtMouseMove, 9, 2), Mouse(evtMouseUp, 9, 2)},
         cmdCopy},
        {"release on a disabled item",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseMove, 4, 3), Mouse(evtMouseUp, 4, 3)},
         0},
        {"release on the line",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseMove, 4, 4), Mouse(evtMouseUp, 4, 4)},
         0},
        {"click outside closes all",
         Mouse(evtMouseDown, 3, 0),
         {Mouse(evtMouseUp, 3, 0), Mouse(evtMouseDown, 30, 9), Key(kKeyEnter)},
         0},
        {"click a command item on the bar",
         Mouse(evtMouseDown, 17, 0),
         {Mouse(evtMouseUp, 17, 0)},
         cmdWindow},
    };
    for (const tCase& c : cases) {
        Renew();
        Root->Script.assign(c.Script.begin(), c.Script.end());
        Run(c.Trigger);
        if (c.Expected == 0 && !Root->Script.empty())
            Root->Script.clear(); // what the closed menu left behind is not its business
        EXPECT_EQ(PostedCommand(), c.Expected) << c.Name;
        EXPECT_EQ(Root->FirstView(), Bar) << c.Name << ": expected every box gone";
    }
}

// Catches shortcuts that are not turned into commands, or taken while their command is off.
TEST_F(MenuBarTest, ShortcutsPostTheirCommand) {
    TEventRec key = Key(kKeyAltX);
    Root->DispatchEvent(key);
    EXPECT_EQ(key.what, evtNothing) << "expected the shortcut consumed";
    EXPECT_EQ(PostedCommand(), cmdExit);
    Root->Pending.clear();
    DisableCommandSet({std::uint16_t(cmdExit)});
    key = Key(kKeyAltX);
    Root->DispatchEvent(key);
    EXPECT_EQ(key.what, evtKeyDown) << "expected the key left alone while Выход is off";
    EXPECT_EQ(PostedCommand(), 0);
}

// Catches items that do not follow the command set, or a bar that is not redrawn for it.
TEST_F(MenuBarTest, ItemsFollowTheCommandSet) {
    DisableCommandSet({std::uint16_t(cmdWindow), std::uint16_t(cmdOpen)});
    SendToView(Root, evtBroadcast, cmdCommandsChanged, nullptr);
    TMenuItemRec* window = LastItemOf(*Bar->Menu);
    EXPECT_TRUE(window->Disabled);
    EXPECT_TRUE(Bar->Menu->Items->SubMenu->Items->Disabled) << "expected submenus followed";
    EXPECT_FALSE(Bar->Menu->Items->SubMenu->Items->Next->Disabled)
        << "expected Сохранить enabled: its command is on";
    EXPECT_EQ(AttrAt(16, 0), 0x78) << "expected Окно drawn disabled";
    Script({Key(kKeyEnter)});
    Run(Key(kKeyAltA));
    EXPECT_EQ(PostedCommand(), 0) << "expected a disabled Открыть not chosen";
}

// Catches an empty bar that is not one blank row in 0x70, or that takes keys.
TEST_F(MenuBarTest, EmptyBarIsBlankAndIgnoresKeys) {
    FreeObject(Bar);
    auto* empty = new TMenuBar(MakeRect(0, 0, kCols, 1), nullptr);
    Root->InsertView(empty);
    EXPECT_EQ(Grid(kCols, 1)[0], std::string(kCols, ' '));
    for (int x = 0; x < kCols; ++x)
        ASSERT_EQ(AttrAt(x, 0), 0x70) << "column " << x;
    for (TEventRec event : {Key(kKeyAltA), Key(kKeyF10), Command(evtCommand, cmdMenu)}) {
        Root->DispatchEvent(event);
        EXPECT_NE(event.what, evtNothing) << "expected the event left for others";
    }
    EXPECT_TRUE(Root->Pending.empty());
}

} // namespace
} // namespace zarvo
