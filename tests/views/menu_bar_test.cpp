// The menu bar and its modal loop: what starts a run, every navigation key at the ends of a
// bar and a box, nested submenus, hot letters in either layout, disabled items, the mouse,
// and the look of an empty bar.
#include "views/menu_bar.h"

#include <gtest/gtest.h>

#include "tests/views/menu_test_support.h"

namespace zarvo {
namespace {

using namespace testing_menus;

constexpr std::uint16_t kAltA = 0x1E00; // the key of Ф
constexpr std::uint16_t kAltG = 0x2200; // the key of П
constexpr std::uint16_t kAltJ = 0x2400; // the key of О

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
        {"Alt+hot letter opens, Enter chooses", Key(kAltA), {Key(kEnter)}, cmdOpen},
        {"Down lands on a disabled item, which Enter does not choose",
         Key(kAltA),
         {Key(kDown), Key(kEnter)},
         0},
        {"Down skips the line", Key(kAltA), {Key(kDown), Key(kDown), Key(kEnter)}, cmdExit},
        {"Up from the first wraps to the last", Key(kAltA), {Key(kUp), Key(kEnter)}, cmdExit},
        {"Down from the last wraps to the first",
         Key(kAltA),
         {Key(kEnd), Key(kDown), Key(kEnter)},
         cmdOpen},
        {"End and Home", Key(kAltA), {Key(kEnd), Key(kHome), Key(kEnter)}, cmdOpen},
        {"PgDn stops at the last", Key(kAltA), {Key(kPgDn), Key(kEnter)}, cmdExit},
        {"Right walks the bar and opens the next box",
         Key(kAltA),
         {Key(kRight), Key(kEnter)},
         cmdCopy},
        {"Left from the first bar item wraps to a command item",
         Key(kAltA),
         {Key(kLeft), Key(kEnter)},
         cmdWindow},
        {"Esc closes the box, Esc again the bar", Key(kAltA), {Key(kEsc), Key(kEsc)}, 0},
        {"Esc then Enter reopens the box",
         Key(kAltA),
         {Key(kEsc), Key(kEnter), Key(kEnter)},
         cmdOpen},
        {"F10 closes everything", Key(kAltA), {Key(kF10)}, 0},
        {"F10 opens the bar without a box",
         Key(kF10),
         {Key(kRight), Key(kRight), Key(kEnter)},
         cmdWindow},
        {"F10 then Down opens the box", Key(kF10), {Key(kDown), Key(kEnter)}, cmdOpen},
        {"cmdMenu opens the bar",
         Command(evtCommand, cmdMenu),
         {Key(kEnter), Key(kEnter)},
         cmdOpen},
        {"plain Cyrillic hot letter in a box", Key(kAltA), {Char("в"_oem, 0x20)}, cmdExit},
        {"plain Latin letter on the same key", Key(kAltA), {Char("d", 0x20)}, cmdExit},
        {"hot letter of a disabled item does nothing", Key(kAltA), {Char("с"_oem, 0x2E)}, 0},
        {"Alt+letter of the bar from inside a box", Key(kAltA), {Key(kAltG), Key(kEnter)}, cmdCopy},
        {"Alt+letter of the box wins over the bar", Key(kAltA), {Key(kAltJ)}, cmdOpen},
        {"Alt+letter of a command item on the bar chooses it", Key(kAltJ), {}, cmdWindow},
        {"Right opens a nested box", Key(kAltG), {Key(kEnd), Key(kRight), Key(kEnter)}, cmdOne},
        {"Enter opens a nested box",
         Key(kAltG),
         {Key(kEnd), Key(kEnter), Key(kDown), Key(kEnter)},
         cmdTwo},
        {"Left closes only the nested box",
         Key(kAltG),
         {Key(kEnd), Key(kRight), Key(kLeft), Key(kUp), Key(kEnter)},
         cmdPaste},
        {"Right on a command item of a nested box walks the bar",
         Key(kAltG),
         {Key(kEnd), Key(kRight), Key(kRight), Key(kEnter)},
         cmdWindow},
        {"a command arriving ends the menu", Key(kAltA), {Command(evtCommand, 555)}, 555},
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
    Script({Key(kRight), Key(kEsc)});
    Run(Key(kF10));
    Script({Key(kEnter), Key(kDown), Key(kEsc), Key(kEsc)});
    Run(Key(kF10));
    EXPECT_EQ(Bar->Current, Bar->Menu->Items->Next.get()) << "expected Правка kept";
    Script({Key(kEnter)});
    Run(Key(kAltG));
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
         {Mouse(evtMouseUp, 3, 0), Mouse(evtMouseDown, 30, 9), Key(kEnter)},
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
    TEventRec key = Key(kAltX);
    Root->DispatchEvent(key);
    EXPECT_EQ(key.what, evtNothing) << "expected the shortcut consumed";
    EXPECT_EQ(PostedCommand(), cmdExit);
    Root->Pending.clear();
    DisableCommandSet({std::uint16_t(cmdExit)});
    key = Key(kAltX);
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
    Script({Key(kEnter)});
    Run(Key(kAltA));
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
    for (TEventRec event : {Key(kAltA), Key(kF10), Command(evtCommand, cmdMenu)}) {
        Root->DispatchEvent(event);
        EXPECT_NE(event.what, evtNothing) << "expected the event left for others";
    }
    EXPECT_TRUE(Root->Pending.empty());
}

} // namespace
} // namespace zarvo
