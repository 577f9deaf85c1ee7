// Clusters: columns as wide as their texts, the marks of radio buttons and check boxes, colours
// and markers; arrows over enabled items only, hot keys and space, clicks; the press veto and
// the value hook; enabled items; the data record; and the stored form.
#include "views/cluster.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

std::unique_ptr<tSItem> FiveItems() {
    return NewSItem(
        "~О~дин"_oem,
        NewSItem("~Д~ва"_oem,
                 NewSItem("~Т~ри"_oem, NewSItem("Четыре"_oem, NewSItem("Пять"_oem, nullptr)))));
}

// A selectable control that is not a cluster, to hold the focus.
class tOther : public tView {
  public:
    explicit tOther(const tRect& bounds) : tView(bounds) { OptionFlags |= ViewOption::Selectable; }
};

class ClusterTest : public tDialogScreen {
  protected:
    // A dialog with the cluster (32 x 2 at (2, 2), five items) and another control that has
    // the focus unless FOCUSED.
    template <class T> T* Setup(bool focused = true) {
        Dialog = AddDialog();
        auto* cluster = new T(MakeRect(2, 2, 34, 4), FiveItems());
        Other = new tOther(MakeRect(2, 6, 6, 7));
        Dialog->InsertView(cluster);
        Dialog->InsertView(Other);
        if (focused)
            cluster->SelectView();
        else
            Other->SelectView();
        return cluster;
    }
    tDialog* Dialog = nullptr;
    tOther* Other = nullptr;
};

// Catches columns not as wide as their widest text, the wrong icon or mark, wrong colours for
// the selected and disabled items, and markers in the wrong cells.
TEST_F(ClusterTest, Look) {
    {
        auto* radio = Setup<tRadioButtons>();
        radio->SetEnableMask(0xFFFFFFF7); // item 3 disabled
        radio->Repaint();
        EXPECT_EQ(Block(2, 2, 32, 2),
                  (std::vector<std::string>{" (•) Один  ( ) Три     ( ) Пять ",
                                            " ( ) Два   ( ) Четыре           "}));
        EXPECT_EQ(AttrAt(2 + 6, 2), 0x3F) << "the selected item's text";
        EXPECT_EQ(AttrAt(2 + 5, 2), 0x3E) << "its hot letter";
        EXPECT_EQ(AttrAt(2 + 16, 2), 0x30) << "an item's text";
        EXPECT_EQ(AttrAt(2 + 16, 3), 0x38) << "a disabled item";
        EXPECT_EQ(radio->CursorX, 2);
        EXPECT_EQ(radio->CursorY, 0);
        Other->SelectView();
        EXPECT_EQ(AttrAt(2 + 6, 2), 0x30) << "no selected colour without the focus";
        FreeObject(Dialog);
    }
    {
        auto* boxes = Setup<tCheckBoxes>();
        boxes->SetClusterValue(0x0A);
        boxes->SelectedItem = 3;
        boxes->Repaint();
        EXPECT_EQ(Block(2, 2, 32, 2),
                  (std::vector<std::string>{" [ ] Один  [ ] Три     [ ] Пять ",
                                            " [X] Два   [X] Четыре           "}));
        EXPECT_EQ(boxes->CursorX, 12) << "the cursor in the selected item's icon";
        EXPECT_EQ(boxes->CursorY, 1);
        FreeObject(Dialog);
    }
    {
        ShowMarkers = true;
        auto* radio = Setup<tRadioButtons>();
        radio->SelectedItem = 2;
        radio->Repaint();
        EXPECT_EQ(Cells(2, 2, 32), " (•) Один ►( ) Три   ◄ ( ) Пять ");
        FreeObject(Dialog);
        ShowMarkers = false;
    }
}

// Catches an item past the 132-cell line being drawn (out of the line buffer).
TEST_F(ClusterTest, ItemsBeyondALineAreLeftOut) {
    auto* boxes = new tCheckBoxes(MakeRect(0, 0, 132, 1),
                                  NewSItem(std::string(120, 'x'), NewSItem("abc", nullptr)));
    Root->InsertView(boxes);
    EXPECT_EQ(boxes->ColumnStart(1), 126);
    EXPECT_EQ(Cells(0, 0, 8), " [ ] xxx");
}

// Catches arrows that step wrongly through the columns, stop on disabled items, act without
// the focus, or do not move a radio button's value with the cursor.
TEST_F(ClusterTest, Arrows) {
    struct tCase {
        const char* Name;
        std::int16_t From;
        std::uint16_t Key;
        std::uint32_t Mask;
        std::int16_t To;
    } cases[] = {
        {"right from 0", 0, kKeyRight, ~0u, 2},
        {"right from 4 wraps to the next row", 4, kKeyRight, ~0u, 1},
        {"right from 3 wraps to the first row", 3, kKeyRight, ~0u, 0},
        {"left from 0", 0, kKeyLeft, ~0u, 4},
        {"left from 1", 1, kKeyLeft, ~0u, 4},
        {"left from 4", 4, kKeyLeft, ~0u, 2},
        {"up from 0 wraps", 0, kKeyUp, ~0u, 4},
        {"down from 4 wraps", 4, kKeyDown, ~0u, 0},
        {"Ctrl+D is right", 0, kKeyCtrlD, ~0u, 2},
        {"right over a disabled item", 0, kKeyRight, ~0x04u, 4},
        {"down over two disabled items", 0, kKeyDown, ~0x06u, 3},
        {"nothing else enabled: back to itself", 0, kKeyDown, 0x01, 0},
    };
    for (const tCase& c : cases) {
        auto* radio = Setup<tRadioButtons>();
        radio->SetEnableMask(c.Mask);
        radio->SelectedItem = c.From;
        TEventRec key = Key(c.Key);
        radio->HandleEvent(key);
        EXPECT_EQ(key.what, evtNothing) << c.Name << ": consumed";
        EXPECT_EQ(radio->SelectedItem, c.To) << c.Name;
        EXPECT_EQ(radio->ClusterValue, c.To) << c.Name << ": the value follows the cursor";
        FreeObject(Dialog);
    }
    auto* boxes = Setup<tCheckBoxes>();
    TEventRec down = Key(kKeyDown);
    boxes->HandleEvent(down);
    EXPECT_EQ(boxes->SelectedItem, 1);
    EXPECT_EQ(boxes->ClusterValue, 0) << "check boxes keep their value";
    boxes->SetEnableMask(0);
    boxes->SelectedItem = 1;
    down = Key(kKeyDown);
    boxes->HandleEvent(down);
    EXPECT_EQ(down.what, evtNothing) << "consumed with nothing to reach";
    EXPECT_EQ(boxes->SelectedItem, 1) << "the cursor stays";
    FreeObject(Dialog);
    auto* unfocused = Setup<tRadioButtons>(false);
    down = Key(kKeyDown);
    unfocused->HandleEvent(down);
    EXPECT_EQ(down.what, evtKeyDown) << "left alone without the focus";
    EXPECT_EQ(unfocused->SelectedItem, 0);
}

// Catches hot keys that miss a layout, press a disabled item (or eat its key), take plain
// letters without the focus before the current control, or a space that presses without the
// focus or presses a disabled item.
TEST_F(ClusterTest, HotKeysAndSpace) {
    struct tCase {
        const char* Name;
        bool Focused;
        std::uint32_t Mask;
        std::int16_t Selected;
        std::uint16_t Key;
        std::uint16_t Value; // afterwards
        bool Consumed;
    } cases[] = {
        {"Alt + the key of О (J)", false, ~0u, 0, kKeyAltJ, 0x01, true},
        {"Alt + the key of Т (N)", false, ~0u, 0, kKeyAltN, 0x04, true},
        {"Alt key of a disabled item", false, ~0x04u, 0, kKeyAltN, 0, false},
        {"typed д, focused", true, ~0u, 0, 0x00A4, 0x02, true},
        {"typed Д after the current control", false, ~0u, 0, 0x0084, 0x02, true},
        {"space, focused", true, ~0u, 3, kKeySpace, 0x08, true},
        {"space on a disabled item", true, ~0x08u, 3, kKeySpace, 0, false},
        {"space without the focus", false, ~0u, 3, kKeySpace, 0, false},
        {"another letter", true, ~0u, 0, 0x0078, 0, false},
    };
    for (const tCase& c : cases) {
        auto* boxes = Setup<tCheckBoxes>(c.Focused);
        boxes->EnableMask = c.Mask;
        boxes->SelectedItem = c.Selected;
        TEventRec key = Key(c.Key);
        Dialog->HandleEvent(key);
        EXPECT_EQ(boxes->ClusterValue, c.Value) << c.Name;
        EXPECT_EQ(key.what == evtNothing, c.Consumed) << c.Name;
        if (c.Value != 0 && !c.Focused) {
            EXPECT_TRUE(boxes->HasState(ViewState::Focused)) << c.Name << ": selected";
        }
        FreeObject(Dialog);
    }
    auto* radio = Setup<tRadioButtons>(false);
    TEventRec alt = Key(kKeyAltN);
    Dialog->HandleEvent(alt);
    EXPECT_EQ(radio->ClusterValue, 2) << "a radio button's hot key marks it";
    EXPECT_EQ(radio->SelectedItem, 2);
}

// Catches clicks that press without a release on the same item, press disabled items, or toggle
// the wrong bit.
TEST_F(ClusterTest, Clicks) {
    struct tCase {
        const char* Name;
        tPoint Down, Up; // local
        std::uint32_t Mask;
        std::uint16_t Value;
        std::int16_t Selected;
    } cases[] = {
        {"item 3 toggles bit 3", {11, 1}, {13, 1}, ~0u, 0x08, 3},
        {"on the text of item 2", {17, 0}, {17, 0}, ~0u, 0x04, 2},
        {"released on another item", {11, 1}, {11, 0}, ~0u, 0, 3},
        {"a disabled item", {11, 1}, {11, 1}, ~0x08u, 0, 0},
        {"past the items", {24, 1}, {24, 1}, ~0u, 0, 0},
    };
    for (const tCase& c : cases) {
        auto* boxes = Setup<tCheckBoxes>(false);
        boxes->EnableMask = c.Mask;
        Root->Script = {Mouse(evtMouseUp, 2 + c.Up.X, 2 + c.Up.Y)};
        TEventRec down = Mouse(evtMouseDown, 2 + c.Down.X, 2 + c.Down.Y);
        Root->HandleEvent(down);
        EXPECT_EQ(boxes->ClusterValue, c.Value) << c.Name;
        EXPECT_EQ(boxes->SelectedItem, c.Selected) << c.Name;
        EXPECT_TRUE(boxes->HasState(ViewState::Focused)) << c.Name << ": a click focuses";
        EXPECT_EQ(down.what, evtNothing) << c.Name;
        Root->Script.clear();
        FreeObject(Dialog);
    }
}

// Catches a veto that still changes the value or the drawing, an after-press call for a vetoed
// press, and a value hook whose subscriber cannot replace or refuse the value.
TEST_F(ClusterTest, VetoAndValueHook) {
    auto* boxes = Setup<tCheckBoxes>();
    std::vector<std::int16_t> after;
    boxes->OnBeforePress = [](tCluster*, std::int16_t item) { return item != 1; };
    boxes->OnAfterPress = [&](tCluster* sender, std::int16_t item) {
        EXPECT_EQ(sender, boxes);
        after.push_back(item);
    };
    boxes->SelectedItem = 1;
    std::vector<std::string> before = Block(2, 2, 32, 2);
    boxes->PressItem();
    EXPECT_EQ(boxes->ClusterValue, 0) << "vetoed";
    EXPECT_EQ(Block(2, 2, 32, 2), before);
    EXPECT_TRUE(after.empty());
    boxes->SelectedItem = 2;
    boxes->PressItem();
    EXPECT_EQ(boxes->ClusterValue, 0x04);
    EXPECT_EQ(after, std::vector<std::int16_t>{2});

    struct tHook {
        static void Replace(void*, EventFrame& frame) {
            *static_cast<std::uint16_t*>(frame.Argument) |= 0x100;
        }
        static void Refuse(void*, EventFrame& frame) { frame.Handled = true; }
    };
    boxes->Subscribe(evnClusterValue, EventHandler(&tHook::Replace, nullptr));
    boxes->SetClusterValue(0x01);
    EXPECT_EQ(boxes->ClusterValue, 0x101) << "a subscriber replaced the value";
    boxes->Subscribe(evnClusterValue, EventHandler(&tHook::Refuse, nullptr));
    boxes->SetClusterValue(0x02);
    EXPECT_EQ(boxes->ClusterValue, 0x101) << "a subscriber refused the value";
}

// Catches a cluster selectable with no item to choose, a search for an enabled item that does
// not end, and items past 31 taken as disabled.
TEST_F(ClusterTest, EnableMask) {
    struct tCase {
        const char* Name;
        int Items;
        std::int16_t Selected;
        std::uint32_t Mask;
        bool Selectable;
        std::int16_t SelectedAfter;
    } cases[] = {
        {"none of three", 3, 0, 0, false, 0},
        {"none of the first 32 of 33", 33, 0, 0, true, 0},
        {"selected item disabled", 3, 1, 0x04, true, 2},
        {"selected item still enabled", 3, 1, 0x02, true, 1},
        {"only a bit past the items", 3, 1, 0x20, true, 0},
    };
    for (const tCase& c : cases) {
        std::unique_ptr<tSItem> chain;
        for (int i = 0; i < c.Items; ++i)
            chain = NewSItem("x", std::move(chain));
        tCheckBoxes boxes(MakeRect(0, 0, 30, 3), std::move(chain));
        EXPECT_EQ(boxes.ItemCount(), c.Items) << c.Name;
        boxes.SelectedItem = c.Selected;
        boxes.SetEnableMask(c.Mask);
        EXPECT_EQ(boxes.HasOption(ViewOption::Selectable), c.Selectable) << c.Name;
        EXPECT_EQ(boxes.SelectedItem, c.SelectedAfter) << c.Name;
    }
    tCheckBoxes boxes(MakeRect(0, 0, 30, 3), nullptr);
    boxes.EnableMask = 0;
    EXPECT_TRUE(boxes.ItemEnabled(32));
    EXPECT_FALSE(boxes.ItemEnabled(31));
    EXPECT_FALSE(boxes.ItemEnabled(-1));
}

// Catches the data record not being the 16-bit value, a radio button's cursor not following an
// imported value, and the help context not counting the selected item.
TEST_F(ClusterTest, DataAndHelp) {
    auto* boxes = Setup<tCheckBoxes>();
    EXPECT_EQ(boxes->DataLength(), 2);
    std::uint8_t record[3] = {0x0A, 0x00, 0xEE};
    boxes->ImportData(record);
    EXPECT_EQ(boxes->ClusterValue, 0x0A);
    EXPECT_EQ(Cells(3, 2, 5), " [X] ") << "item 1 shows its mark";
    boxes->SetClusterValue(0x1234);
    boxes->ExportData(record);
    EXPECT_EQ(record[0], 0x34);
    EXPECT_EQ(record[1], 0x12);
    EXPECT_EQ(record[2], 0xEE) << "two bytes only";
    EXPECT_EQ(boxes->HelpContext(), 0);
    boxes->HelpTopic = 100;
    boxes->SelectedItem = 2;
    EXPECT_EQ(boxes->HelpContext(), 102);
    FreeObject(Dialog);
    auto* radio = Setup<tRadioButtons>();
    std::uint16_t value = 3;
    radio->ImportData(&value);
    EXPECT_EQ(radio->SelectedItem, 3);
    EXPECT_EQ(Cells(3, 12, 5), " (•) ");
}

// Catches a cluster without rows (as a damaged record can make one) dividing by zero when its
// columns are counted, an item is looked up or an arrow is pressed.
TEST(ClusterWithoutRows, CountsOneRow) {
    tCheckBoxes boxes(MakeRect(0, 0, 20, 0), FiveItems());
    boxes.StateFlags |= ViewState::Focused;
    EXPECT_EQ(boxes.ColumnStart(2), 19) << "one item per column";
    EXPECT_EQ(boxes.ItemUnder(tPoint{1, 0}), -1) << "no row to point at";
    TEventRec right = Key(kKeyRight);
    boxes.HandleEvent(right);
    EXPECT_EQ(boxes.SelectedItem, 1);
}

// Catches an item chain that is never given to a cluster being freed by one nested call per
// node (a stack overflow for a long chain).
TEST(ItemChainTest, LongChainFreedWithoutRecursion) {
    std::unique_ptr<tSItem> chain;
    for (int i = 0; i < 2000000; ++i)
        chain = NewSItem("x", std::move(chain));
    chain.reset();
    SUCCEED();
}

class ClusterStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterLibraryStreamClasses();
        RegisterViewStreamClasses();
        RegisterDialogStreamClasses();
    }
    void TearDown() override { ClearError(); }
};

// Catches the kind, the items, the value, the cursor or the mask lost in a round trip; older
// records without a block misread; and damaged records read as clusters.
TEST_F(ClusterStreamTest, StoredForms) {
    tRadioButtons stored(MakeRect(1, 1, 30, 3), FiveItems());
    stored.SetClusterValue(3);
    stored.SelectedItem = 4;
    stored.SetEnableMask(0x1B);
    tMemoryStream out;
    Put(out, &stored);
    ASSERT_EQ(out.Status, stOk);
    tMemoryStream in(out.Bytes());
    tObjectPtr<tSObject> object(Get(in));
    ASSERT_EQ(in.Status, stOk);
    auto* radio = dynamic_cast<tRadioButtons*>(object.get());
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->ClusterValue, 3);
    EXPECT_EQ(radio->SelectedItem, 4);
    EXPECT_EQ(radio->EnableMask, 0x1Bu);
    ASSERT_EQ(radio->ItemCount(), 5);
    EXPECT_EQ(radio->ItemText(0), "~О~дин"_oem);
    EXPECT_EQ(radio->ItemText(4), "Пять"_oem);

    // An older record: the fields straight after the view, every item enabled.
    tMemoryStream old;
    old.WriteValue(std::int16_t(-1));
    old.WriteStr("tCheckBoxes");
    tView(MakeRect(0, 0, 20, 2)).Store(old);
    old.WriteValue(std::uint16_t(5));
    old.WriteValue(std::int16_t(1));
    stored.Items->Store(old);
    tMemoryStream oldIn(old.Bytes());
    tObjectPtr<tSObject> oldObject(Get(oldIn));
    ASSERT_EQ(oldIn.Status, stOk);
    auto* boxes = dynamic_cast<tCheckBoxes*>(oldObject.get());
    ASSERT_NE(boxes, nullptr);
    EXPECT_EQ(boxes->ClusterValue, 5);
    EXPECT_EQ(boxes->SelectedItem, 1);
    EXPECT_EQ(boxes->EnableMask, 0xFFFFFFFFu);
    EXPECT_EQ(boxes->ItemCount(), 5);

    for (std::size_t length = 0; length < out.Bytes().size(); ++length) {
        tMemoryStream cut(std::span(out.Bytes().data(), length));
        tSObject* damaged = Get(cut);
        EXPECT_EQ(damaged, nullptr) << "cut at " << length;
        EXPECT_NE(cut.Status, stOk) << "cut at " << length;
        FreeObject(damaged);
        ClearError();
    }
}

} // namespace
} // namespace zarvo
