// The status line: following the focused view's hint through its idle handler, the hint
// table, the look of its items (attributes apart), keys and clicks, the hint area, the
// cache with its supplier and resources, and the stored forms with their damages.
#include "views/status_line.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/clocks.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/resources.h"
#include "tests/views/menu_test_support.h"
#include "views/menu_view.h"
#include "views/status_line_cache.h"

namespace zarvo {
namespace {

using namespace testing_menus;

// "~F1~ Помощь" (F1, cmdHelp), an invisible F3 item (command 300), "~Tab~ Переход"
// (cmdNextControl), "~F2~ Закрыть" (F2, cmdClose, off at start).
tStatusItemPtr SampleItems() {
    return NewStatusKey(
        "~F1~ Помощь"_oem, kKeyF1, cmdHelp,
        NewStatusKey("", kKeyF3, 300,
                     NewStatusKey("~Tab~ Переход"_oem, 0, cmdNextControl,
                                  NewStatusKey("~F2~ Закрыть"_oem, kKeyF2, cmdClose))));
}

std::vector<std::uint8_t> ItemListBytes(const TStatusItemRec* items) {
    tMemoryStream stream;
    WriteStatusItems(stream, items);
    return stream.Bytes();
}

// A selectable view with a hint.
tView* HintedView(const tRect& bounds, std::string_view hint, std::uint16_t helpTopic = 0) {
    auto* view = new tBackground(bounds);
    view->OptionFlags |= ViewOption::Selectable;
    view->SetHintText(hint);
    view->HelpTopic = helpTopic;
    return view;
}

class StatusLineTest : public tMenuScreen {
  protected:
    void SetUp() override {
        tMenuScreen::SetUp();
        RegisterViewStreamClasses();
        RegisterMenuStreamClasses();
        StartStatusLineCache();
        ResourceBytes = ItemListBytes(SampleItems().get());
        RegisterResource("STATUSLINE|TESTHINT1", kFrameworkResourceType, ResourceBytes);
        Damaged = {3, 0, 9, 'x'};
        RegisterResource("STATUSLINE|DAMAGED01", kFrameworkResourceType, Damaged);
    }
    void TearDown() override {
        FreeObject(Root);
        Root = nullptr;
        StopStatusLineCache();
        UnregisterResource("STATUSLINE|TESTHINT1", kFrameworkResourceType);
        UnregisterResource("STATUSLINE|DAMAGED01", kFrameworkResourceType);
        tMenuScreen::TearDown();
    }
    TStatusLine* AddStatusLine(tStatusDefPtr defs = nullptr) {
        auto* line = new TStatusLine(MakeRect(0, kRows - 1, kCols, kRows), std::move(defs));
        Root->InsertView(line);
        return line;
    }
    // One idle round as the application runs it, with the time limit passed.
    bool Idle(TStatusLine* line) {
        line->LastIdleTime = GetTickCount32() - kStatusIdleInterval - 1;
        bool worked = false;
        FireEvent(GlobalEvents(), evnNotifyIdle, &worked);
        return worked;
    }
    std::string BottomRow() { return Grid(kCols, kRows).back(); }

    std::vector<std::uint8_t> ResourceBytes;
    std::vector<std::uint8_t> Damaged;
};

// Catches a status line that does not follow the focus, keeps a stale list, or fails on a
// hint without a list.
TEST_F(StatusLineTest, FollowsTheFocusedViewsHint) {
    TStatusLine* line = AddStatusLine();
    tView* withList = HintedView(MakeRect(0, 0, 10, 2), "TESTHINT1");
    tView* withoutList = HintedView(MakeRect(0, 3, 10, 5), "NOLIST001");
    Root->InsertView(withoutList);
    Root->InsertView(withList);
    withList->SelectView();
    EXPECT_TRUE(Idle(line)) << "expected the change reported as work";
    EXPECT_EQ(line->HintText(), "TESTHINT1");
    EXPECT_EQ(BottomRow(), " F1 Помощь  Tab Переход  F2 Закрыть     ");
    EXPECT_FALSE(Idle(line)) << "expected nothing to do for the same hint";
    withoutList->SelectView();
    EXPECT_TRUE(Idle(line));
    EXPECT_EQ(BottomRow(), std::string(kCols, ' ')) << "expected a blank row without a list";
    EXPECT_FALSE(IsErrorPending()) << "expected a missing list to report nothing";
    withList->ChangeState(ViewState::Dragging, true);
    withList->SelectView();
    Idle(line);
    EXPECT_EQ(line->HintText(), kDraggingHint);
}

// Catches views without a hint not given the hint of their help context's range.
TEST_F(StatusLineTest, HintTableServesViewsWithoutHints) {
    TStatusLine* line =
        AddStatusLine(NewStatusDef(10, 19, "OTHER0001", NewStatusDef(100, 199, "TESTHINT1")));
    struct tCase {
        std::uint16_t Topic;
        const char* Expected;
    } cases[] = {{99, ""}, {100, "TESTHINT1"}, {199, "TESTHINT1"}, {200, ""}, {15, "OTHER0001"}};
    // A second line that comes and goes leaves the hint table to the first.
    FreeObject(MakeObject<TStatusLine>(MakeRect(0, 0, 10, 1), nullptr).release());
    for (const tCase& c : cases) {
        tView* view = HintedView(MakeRect(0, 0, 10, 2), "", c.Topic);
        Root->InsertView(view);
        view->SelectView();
        Idle(line);
        EXPECT_EQ(line->HintText(), c.Expected) << "help context " << c.Topic;
        FreeObject(view);
    }
}

// Catches items in the wrong colours, an invisible item that takes room, or items past the
// last column drawn.
TEST_F(StatusLineTest, ItemsAndTheirColours) {
    TStatusLine* line = AddStatusLine();
    line->SetHintText("TESTHINT1");
    line->ReloadItems();
    line->Repaint();
    // F1 at 1-2, Помощь 4-9; Tab at 12-14; F2 at 25-26 (cmdClose is off at start).
    struct tCase {
        int X;
        std::uint8_t Attr;
        const char* What;
    } cases[] = {{0, 0x70, "blank before F1"}, {1, 0x74, "F1"},
                 {4, 0x70, "Помощь"},          {12, 0x74, "Tab"},
                 {25, 0x78, "F2 off"},         {28, 0x78, "Закрыть off"}};
    for (const tCase& c : cases)
        EXPECT_EQ(AttrAt(c.X, kRows - 1), c.Attr) << c.What;
    EXPECT_EQ(line->ItemAtColumn(11)->Command, cmdNextControl) << "expected Tab from column 11";
    EXPECT_EQ(line->ItemAtColumn(10)->Command, cmdHelp) << "expected F1 to end at column 10";
    auto* narrow = new TStatusLine(MakeRect(0, 0, 25, 1), nullptr);
    Root->InsertView(narrow);
    narrow->SetHintText("TESTHINT1");
    narrow->ReloadItems();
    narrow->Repaint();
    EXPECT_EQ(Grid(25, 1)[0], " F1 Помощь  Tab Переход  ") << "expected F2 not drawn";
    narrow->Resize(24, 1);
    EXPECT_EQ(Grid(25, 1)[0], " F1 Помощь              .")
        << "expected an item reaching the last column not drawn";
}

// Catches keys not turned into their item's command in place, or turned while it is off.
TEST_F(StatusLineTest, KeysBecomeCommands) {
    TStatusLine* line = AddStatusLine();
    line->SetHintText("TESTHINT1");
    line->ReloadItems();
    struct tCase {
        const char* Name;
        std::uint16_t Key;
        std::uint16_t What;
        std::uint16_t Command;
    } cases[] = {
        {"F1", kKeyF1, evtCommand, cmdHelp},
        {"invisible F3", kKeyF3, evtCommand, 300},
        {"F2 while off", kKeyF2, evtKeyDown, 0},
        {"unlisted key", kKeyF10, evtKeyDown, 0},
    };
    for (const tCase& c : cases) {
        TEventRec key = Key(c.Key);
        line->HandleEvent(key);
        EXPECT_EQ(key.what, c.What) << c.Name;
        if (c.What == evtCommand) {
            EXPECT_EQ(key.message.command, c.Command) << c.Name;
        }
    }
    EnableCommandSet({cmdClose});
    TEventRec key = Key(kKeyF2);
    line->HandleEvent(key);
    EXPECT_EQ(key.message.command, cmdClose) << "expected F2 once cmdClose is on";
}

// Catches clicks that post the wrong command, post after the mouse left the item, or
// leave the highlight drawn.
TEST_F(StatusLineTest, ClicksPostTheItemUnderTheRelease) {
    TStatusLine* line = AddStatusLine();
    line->SetHintText("TESTHINT1");
    line->ReloadItems();
    const int row = kRows - 1;
    struct tCase {
        const char* Name;
        int PressX;
        std::vector<TEventRec> Script;
        std::uint16_t Posted;
    } cases[] = {
        {"press and release on Tab", 13, {Mouse(evtMouseUp, 13, row)}, cmdNextControl},
        {"slide from F1 to Tab",
         2,
         {Mouse(evtMouseMove, 13, row), Mouse(evtMouseUp, 13, row)},
         cmdNextControl},
        {"slide off the line",
         2,
         {Mouse(evtMouseMove, 13, row - 2), Mouse(evtMouseUp, 13, row - 2)},
         0},
        {"release on a disabled item", 26, {Mouse(evtMouseUp, 26, row)}, 0},
        {"release past the items", 35, {Mouse(evtMouseUp, 35, row)}, 0},
    };
    for (const tCase& c : cases) {
        Root->Pending.clear();
        Root->Script.assign(c.Script.begin(), c.Script.end());
        TEventRec press = Mouse(evtMouseDown, c.PressX, row);
        Root->DispatchEvent(press);
        EXPECT_EQ(press.what, evtNothing) << c.Name << ": expected the press consumed";
        EXPECT_EQ(PostedCommand(), c.Posted) << c.Name;
        EXPECT_EQ(AttrAt(16, row), 0x70) << c.Name << ": expected no highlight left";
    }
    std::uint8_t during = 0;
    Script({Mouse(evtMouseMove, 13, row)});
    Root->OnScriptEnd = [&] { during = AttrAt(16, row); };
    TEventRec press = Mouse(evtMouseDown, 13, row);
    Root->DispatchEvent(press);
    EXPECT_EQ(during, 0x20) << "expected Tab highlighted while pressed";
}

// Catches a hint-area text not drawn after a divider, or drawn over the items' row end.
TEST_F(StatusLineTest, HintAreaAfterTheItems) {
    TStatusLine* line = AddStatusLine();
    line->SetHintText("TESTHINT1");
    line->ReloadItems();
    line->Repaint();
    EXPECT_EQ(BottomRow(), " F1 Помощь  Tab Переход  F2 Закрыть     ")
        << "expected nothing after the items while nobody answers";
    line->Subscribe(evnStatusHintText, EventHandler([](void*, EventFrame& frame) {
                        static_cast<tStatusHintArgs*>(frame.Argument)->Text = "abcdefgh";
                    }));
    line->Repaint();
    EXPECT_EQ(BottomRow(), " F1 Помощь  Tab Переход  F2 Закрыть │ ab");
}

// Catches lists loaded again for each lookup instead of shared, suppliers asked on a hit,
// empty answers kept, or a damaged resource taken as a list.
TEST_F(StatusLineTest, CacheAndSupplier) {
    static int asked = 0;
    asked = 0;
    EventHandler counter([](void*, EventFrame&) { ++asked; });
    Subscribe(evnStatusListNeeded, counter);
    const TStatusItemRec* first = LookupStatusItems("TESTHINT1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text, "~F1~ Помощь"_oem);
    EXPECT_EQ(LookupStatusItems("testhint1"), first) << "expected one shared list, any case";
    EXPECT_EQ(asked, 1) << "expected the supplier asked once";
    EXPECT_EQ(LookupStatusItems("NOLIST001"), nullptr);
    EXPECT_EQ(LookupStatusItems("NOLIST001"), nullptr);
    EXPECT_EQ(asked, 3) << "expected a missing list asked for again, not kept empty";
    EXPECT_EQ(LookupStatusItems(""), nullptr);
    EXPECT_FALSE(IsErrorPending());
    EXPECT_EQ(LookupStatusItems("DAMAGED01"), nullptr);
    EXPECT_TRUE(IsErrorPending()) << "expected the damaged resource's stream error";
    Unsubscribe(evnStatusListNeeded, counter);
}

// Catches item lists that do not come back whole, or damaged ones read as lists.
TEST_F(StatusLineTest, ItemListStreams) {
    tMemoryStream stream(ResourceBytes);
    tStatusItemPtr items = ReadStatusItems(stream);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(ItemListBytes(items.get()), ResourceBytes) << "expected the same list again";
    EXPECT_EQ(items->Next->Text, "") << "expected the invisible item kept";
    for (std::size_t cut = 0; cut < ResourceBytes.size(); ++cut) {
        tMemoryStream damaged(std::span(ResourceBytes.data(), cut));
        EXPECT_EQ(ReadStatusItems(damaged), nullptr) << "cut at " << cut;
        EXPECT_NE(damaged.Status, stOk) << "cut at " << cut;
        ClearError();
    }
    std::vector<std::uint8_t> tooMany = {0xFF, 0x7F};
    tMemoryStream runaway(tooMany);
    EXPECT_EQ(ReadStatusItems(runaway), nullptr);
    EXPECT_NE(runaway.Status, stOk) << "expected an impossible count refused";
    ClearError();
}

// Catches a stored status line that does not come back with its bounds and hint, that
// keeps definitions it cannot have, or damaged records that give an object.
TEST_F(StatusLineTest, StoredStatusLine) {
    tObjectPtr<TStatusLine> line = MakeObject<TStatusLine>(
        MakeRect(0, 24, 80, 25),
        NewStatusDef(100, 199, "TESTHINT1", NewStatusDef(5, 6, "NONE00001")));
    line->SetHintText("TESTHINT1");
    tMemoryStream stream;
    Put(stream, line.get());
    stream.Seek(0);
    tObjectPtr<tSObject> object(Get(stream));
    auto* loaded = dynamic_cast<TStatusLine*>(object.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->BoundsRect(), line->BoundsRect());
    EXPECT_EQ(loaded->HintText(), "TESTHINT1");
    EXPECT_EQ(loaded->Definitions, nullptr) << "expected the definitions read and dropped";
    EXPECT_NE(loaded->Items, nullptr) << "expected its hint's items";
    std::vector<std::uint8_t> bytes = stream.Bytes();
    for (std::size_t cut = 10; cut < bytes.size(); ++cut) {
        tMemoryStream damaged(std::span(bytes.data(), cut));
        EXPECT_EQ(Get(damaged), nullptr) << "cut at " << cut;
        ClearError();
    }
}

} // namespace
} // namespace zarvo
