// List viewers: focus and scrolling by keys in one and three columns, the mouse with its
// slowed-down autoscroll and double-click pick, the focused-text query, drawing with columns
// and markers, the item count, the abstract item text and damaged stored counts.
#include "views/list_viewer.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/run_error.h"
#include "platform/cp866.h"
#include "tests/views/window_test_support.h"
#include "views/scroll_bar.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_windows;

// A viewer over a list of texts.
class tTextList : public tListViewer {
  public:
    tTextList(const tRect& bounds, int columns, std::vector<std::string> items,
              tScrollBar* vBar = nullptr, tScrollBar* hBar = nullptr)
        : tListViewer(bounds, std::int16_t(columns), hBar, vBar), Items(std::move(items)) {
        SetItemCount(std::int16_t(Items.size()));
    }
    std::string ItemText(std::int16_t item, int) override { return Items.at(std::size_t(item)); }
    std::vector<std::string> Items;
};

std::vector<std::string> Numbered(int count) {
    std::vector<std::string> items;
    for (int i = 0; i < count; ++i)
        items.push_back("item " + std::to_string(i));
    return items;
}

// A plain group (no palette of its own) that notes picked items.
class tPickingGroup : public tGroup {
  public:
    using tGroup::tGroup;
    void HandleEvent(TEventRec& event) override {
        if (event.what == evtBroadcast && event.message.command == cmdItemPicked)
            ++Picks;
        tGroup::HandleEvent(event);
    }
    int Picks = 0;
};

class ListViewerTest : public tWindowScreen {
  protected:
    void SetUp() override {
        tWindowScreen::SetUp();
        Owner = new tPickingGroup(MakeRect(0, 0, 40, 12));
        Root->InsertView(Owner);
        // As inside the active window.
        Owner->ChangeState(ViewState::Active, true);
    }
    tTextList* AddList(const tRect& bounds, int columns, std::vector<std::string> items) {
        auto* list = new tTextList(bounds, columns, std::move(items));
        Owner->InsertView(list);
        list->SelectView();
        return list;
    }
    tPickingGroup* Owner = nullptr;
};

// Catches keys that move the focus wrongly, ignore the columns, leave the list or scroll the
// focused item out of view.
TEST_F(ListViewerTest, KeysInOneAndThreeColumns) {
    struct tCase {
        int Columns;
        int Count;
        int From;
        std::uint16_t Key;
        bool Taken;
        int Focused;
        int Top;
    } cases[] = {
        {1, 20, 0, kKeyDown, true, 1, 0},      {1, 20, 0, kKeyUp, true, 0, 0},
        {1, 20, 0, kKeyPgDn, true, 5, 1},      {1, 20, 0, kKeyEnd, true, 4, 0},
        {1, 20, 7, kKeyHome, true, 3, 3},      {1, 20, 0, kKeyCtrlPgDn, true, 19, 15},
        {1, 20, 19, kKeyCtrlPgUp, true, 0, 0}, {1, 20, 3, kKeyPgUp, true, 0, 0},
        {1, 20, 3, kKeyRight, false, 3, 0},    {1, 20, 3, kKeyLeft, false, 3, 0},
        {3, 12, 0, kKeyRight, true, 5, 0},     {3, 12, 0, kKeyEnd, true, 11, 0},
        {3, 12, 0, kKeyPgDn, true, 11, 0},     {3, 12, 5, kKeyLeft, true, 0, 0},
        {3, 12, 11, kKeyDown, true, 11, 0},    {3, 40, 0, kKeyPgDn, true, 15, 5},
        {3, 40, 17, kKeyLeft, true, 12, 5},    {3, 40, 39, kKeyCtrlPgUp, true, 0, 0},
    };
    for (const tCase& c : cases) {
        tTextList* list = AddList(MakeRect(0, 0, 30, 5), c.Columns, Numbered(c.Count));
        list->FocusAt(std::int16_t(c.From));
        TEventRec key = Key(c.Key);
        list->HandleEvent(key);
        std::string name = std::to_string(c.Columns) + " columns, key " + std::to_string(c.Key) +
                           " from " + std::to_string(c.From);
        EXPECT_EQ(key.what == evtNothing, c.Taken) << name;
        EXPECT_EQ(list->FocusedItem, c.Focused) << name;
        EXPECT_EQ(list->TopItem, c.Top) << name;
        FreeObject(list);
    }
}

// Catches space not picking the focused item, or picking in an empty list.
TEST_F(ListViewerTest, SpacePicks) {
    tTextList* list = AddList(MakeRect(0, 0, 30, 5), 1, Numbered(3));
    TEventRec space = Key(kKeySpace);
    list->HandleEvent(space);
    EXPECT_EQ(Owner->Picks, 1);
    list->SetItemCount(0);
    space = Key(kKeySpace);
    list->HandleEvent(space);
    EXPECT_EQ(Owner->Picks, 1) << "nothing to pick";
}

// Catches a drag outside the view that scrolls on every repeat instead of every fourth, or a
// click that focuses the wrong item.
TEST_F(ListViewerTest, MouseFocusAndAutoscroll) {
    struct tCase {
        const char* Name;
        int Columns;
        TEventRec Down;
        tPoint Outside; // where the held button waits; (-100, -100): released at once
        int Repeats;
        int Focused;
    } cases[] = {
        {"click on row 2", 1, Mouse(evtMouseDown, 3, 2), {-100, -100}, 0, 2},
        {"click in the second column", 3, Mouse(evtMouseDown, 12, 1), {-100, -100}, 0, 6},
        {"three repeats below", 1, Mouse(evtMouseDown, 3, 0), {3, 8}, 3, 0},
        {"four repeats below", 1, Mouse(evtMouseDown, 3, 0), {3, 8}, 4, 1},
        {"eight repeats below", 1, Mouse(evtMouseDown, 3, 0), {3, 8}, 8, 2},
        {"four repeats right of three columns", 3, Mouse(evtMouseDown, 3, 0), {35, 2}, 4, 5},
    };
    for (const tCase& c : cases) {
        tTextList* list = AddList(MakeRect(0, 0, 30, 5), c.Columns, Numbered(30));
        std::deque<TEventRec> script;
        if (c.Outside.X != -100) {
            script.push_back(Mouse(evtMouseMove, c.Outside.X, c.Outside.Y));
            for (int i = 0; i < c.Repeats; ++i)
                script.push_back(Mouse(evtMouseRepeat, c.Outside.X, c.Outside.Y));
        }
        script.push_back(Mouse(evtMouseUp, 0, 0));
        Root->Script = script;
        TEventRec down = c.Down;
        Root->HandleEvent(down);
        EXPECT_EQ(down.what, evtNothing) << c.Name;
        EXPECT_EQ(list->FocusedItem, c.Focused) << c.Name;
        EXPECT_FALSE(list->HasMouseCapture()) << c.Name;
        FreeObject(list);
    }
    EXPECT_EQ(Owner->Picks, 0) << "single clicks pick nothing";
    tTextList* list = AddList(MakeRect(0, 0, 30, 5), 1, Numbered(30));
    Root->Script = {Mouse(evtMouseUp, 3, 1)};
    TEventRec twice = Mouse(evtMouseDown, 3, 1, true);
    Root->HandleEvent(twice);
    EXPECT_EQ(list->FocusedItem, 1);
    EXPECT_EQ(Owner->Picks, 1) << "a double click picks";
}

// Catches the focused text taken from the wrong item, or an empty list asking for an item
// that does not exist.
TEST_F(ListViewerTest, FocusedText) {
    tTextList* list =
        AddList(MakeRect(0, 0, 30, 5), 1,
                {std::string("нулевой"_oem), std::string("первый"_oem), std::string("второй"_oem)});
    list->OptionFlags &= ~ViewOption::Selectable;
    list->FocusAt(2);
    std::string text;
    TEventRec query = Message(evtBroadcast, cmdFocusedText, &text);
    list->HandleEvent(query);
    EXPECT_EQ(text, "второй"_oem) << "any viewer answers, selectable or not";
    EXPECT_EQ(query.what, evtNothing);
    list->Items.clear();
    list->SetItemCount(0);
    text = "old";
    query = Message(evtBroadcast, cmdFocusedText, &text);
    list->HandleEvent(query);
    EXPECT_EQ(text, "") << "an empty list has no focused text";
}

// Catches columns, dividers, the focus colour, markers or the horizontal indent drawn wrongly.
TEST_F(ListViewerTest, DrawsColumns) {
    tTextList* list =
        AddList(MakeRect(0, 0, 30, 3), 3,
                {"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "eta", "theta"});
    EXPECT_EQ(Cells(0, 0, 30), " alpha    │ delta    │ eta    ");
    EXPECT_EQ(Cells(1, 0, 30), " beta     │ epsilon  │ theta  ");
    EXPECT_EQ(Cells(2, 0, 30), " gamma    │ zeta     │        ");
    // Entries 26, 27 and 29 of the application palette: normal, focused, divider.
    EXPECT_EQ(AttrAt(1, 0), 0x13) << "focused item";
    EXPECT_EQ(AttrAt(1, 1), 0x7A) << "normal item";
    EXPECT_EQ(AttrAt(10, 1), 0x70) << "divider";
    ShowMarkers = true;
    list->Repaint();
    ShowMarkers = false;
    EXPECT_EQ(Cells(0, 0, 11), "►alpha   ◄│") << "focus markers";
    EXPECT_EQ(Cells(1, 0, 11), " beta     │") << "plain items have blank markers";
    auto* bar = new tScrollBar(MakeRect(0, 5, 20, 6));
    Owner->InsertView(bar);
    bar->SetAll(3, 0, 10, 1, 1);
    list->HBar = bar;
    list->Repaint();
    EXPECT_EQ(Cells(0, 0, 11), " pha      │") << "indent 3 starts at the text's third character";
}

// Catches a shrinking list keeping a focus past its end, or the vertical bar's range stale.
TEST_F(ListViewerTest, ItemCountResetsFocusAndBar) {
    auto* bar = new tScrollBar(MakeRect(31, 0, 32, 5));
    Owner->InsertView(bar);
    auto* list = new tTextList(MakeRect(0, 0, 30, 5), 1, Numbered(20), bar);
    Owner->InsertView(list);
    EXPECT_EQ(bar->MaxValue, 19);
    EXPECT_EQ(bar->PageStep, 4) << "one column: a page is Height - 1";
    list->FocusAt(12);
    EXPECT_EQ(bar->Value, 12) << "the bar follows the focus";
    list->SetItemCount(10);
    EXPECT_EQ(list->FocusedItem, 0);
    EXPECT_EQ(bar->MaxValue, 9);
    list->FocusAt(-1);
    list->FocusAt(10);
    EXPECT_EQ(list->FocusedItem, 0) << "items outside the list are not focused";
    bar->SetPosition(7);
    EXPECT_EQ(list->FocusedItem, 7) << "the list follows its bar";
    FreeObject(bar);
    EXPECT_EQ(list->VBar, nullptr) << "a freed bar is let go";
    list->SetItemCount(3);
    list->FocusAt(2);
    EXPECT_EQ(list->FocusedItem, 2);
}

// Catches the abstract item text callable on the base class without a run-time error.
TEST(ListViewerBase, ItemTextIsAbstract) {
    tListViewer list(MakeRect(0, 0, 10, 5), 1, nullptr, nullptr);
    try {
        list.ItemText(0, 10);
        FAIL() << "expected run-time error 211";
    } catch (const ESRunError& error) {
        EXPECT_EQ(error.Number, kRunErrorAbstractCall);
    }
}

class ListViewerStreamTest : public tWindowScreen {
  protected:
    void SetUp() override {
        tWindowScreen::SetUp();
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
    }
};

// Catches a column count of 0 (from the constructor or a damaged stream) dividing by zero,
// and negative counts trusted.
TEST_F(ListViewerStreamTest, ZeroColumnsAndNegativeCounts) {
    tListViewer made(MakeRect(0, 0, 10, 5), 0, nullptr, nullptr);
    EXPECT_EQ(made.ColumnCount, 1);
    tListViewer stored(MakeRect(0, 0, 30, 5), 2, nullptr, nullptr);
    stored.ColumnCount = 0x3C4D;
    stored.TopItem = 0x1E2F;
    stored.FocusedItem = 0x1A2B;
    stored.ItemCount = 0x1C2D;
    tMemoryStream out;
    Put(out, &stored);
    std::vector<std::uint8_t> bytes = out.Bytes();
    const std::uint8_t marker[] = {0x4D, 0x3C, 0x2F, 0x1E, 0x2B, 0x1A, 0x2D, 0x1C};
    auto at = std::search(bytes.begin(), bytes.end(), std::begin(marker), std::end(marker));
    ASSERT_NE(at, bytes.end());
    const std::uint8_t damaged[] = {0, 0, 0xFF, 0xFF, 0xFE, 0xFF, 0xFD, 0xFF};
    std::copy(std::begin(damaged), std::end(damaged), at);
    tMemoryStream in(bytes);
    tObjectPtr<tSObject> loaded(Get(in));
    auto* list = dynamic_cast<tListViewer*>(loaded.get());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->ColumnCount, 1);
    EXPECT_EQ(list->TopItem, 0);
    EXPECT_EQ(list->FocusedItem, 0);
    EXPECT_EQ(list->ItemCount, 0);
    Root->InsertView(static_cast<tView*>(loaded.release()));
    TEventRec click = Mouse(evtMouseDown, 3, 2);
    Root->Script = {Mouse(evtMouseUp, 3, 2)};
    Root->HandleEvent(click);
    TEventRec key = Key(kKeyPgDn);
    list->HandleEvent(key);
    EXPECT_EQ(Cells(0, 0, 3), "   ") << "drawn, clicked and keyed without a fault";
}

} // namespace
} // namespace zarvo
