// Outline viewers: the graph, the screens of collapsed, expanded and deep trees, the focus
// moved by keys and the mouse, opening and closing nodes, scrolling, the colours, the
// focused-text query and the stream form.
#include "views/outline_viewer.h"

#include <gtest/gtest.h>

#include <memory>

#include "console/key_codes.h"
#include "library/object_stream_buffer.h"
#include "library/run_error.h"
#include "platform/cp866.h"
#include "tests/views/window_test_support.h"
#include "views/dialog.h"
#include "views/list_viewer.h"
#include "views/scroll_bar.h"

namespace zarvo {
namespace {

using namespace testing_windows;

struct tTestNode {
    std::string Text;
    std::vector<std::unique_ptr<tTestNode>> Children;
    bool Expanded = false;

    tTestNode* Add(std::string text) {
        Children.push_back(std::make_unique<tTestNode>());
        Children.back()->Text = std::move(text);
        return Children.back().get();
    }
};

tTestNode* AsNode(tOutlineNode node) {
    return static_cast<tTestNode*>(node);
}

// A viewer over a tree of tTestNode that notes chosen and deleted lines.
class tTestOutline : public tOutlineViewer {
  public:
    tTestOutline(const tRect& bounds, tTestNode* root, tScrollBar* hBar = nullptr,
                 tScrollBar* vBar = nullptr)
        : tOutlineViewer(bounds, hBar, vBar), Root(root) {}
    void ExpandNode(tOutlineNode node, bool on) override { AsNode(node)->Expanded = on; }
    tOutlineNode ChildAt(tOutlineNode node, int i) override {
        return AsNode(node)->Children.at(std::size_t(i)).get();
    }
    std::uint16_t ChildCount(tOutlineNode node) override {
        return std::uint16_t(AsNode(node)->Children.size());
    }
    tOutlineNode RootNode() override { return Root; }
    std::string NodeText(tOutlineNode node) override { return AsNode(node)->Text; }
    bool NodeHasChildren(tOutlineNode node) override { return !AsNode(node)->Children.empty(); }
    bool NodeExpanded(tOutlineNode node) override { return AsNode(node)->Expanded; }
    void LineChosen(int line) override { Chosen.push_back(line); }
    void DeleteKey(int line) override { Deleted.push_back(line); }

    tTestNode* Root;
    std::vector<int> Chosen;
    std::vector<int> Deleted;
};

// Root - Alpha (a1, a2) - Beta (b1 (b1x)) - Gamma
std::unique_ptr<tTestNode> SampleTree() {
    auto root = std::make_unique<tTestNode>();
    root->Text = "Root";
    tTestNode* alpha = root->Add("Alpha");
    alpha->Add("a1");
    alpha->Add("a2");
    tTestNode* beta = root->Add("Beta");
    beta->Add("b1")->Add("b1x");
    root->Add("Gamma");
    return root;
}

// The viewer (20 x 6) at (0, 0) in a group with its bars at column 20 and row 6.
class OutlineViewerTest : public tWindowScreen {
  protected:
    void SetUp() override {
        tWindowScreen::SetUp();
        Owner = new tGroup(MakeRect(0, 0, 40, 12));
        Root->InsertView(Owner);
        Owner->ChangeState(ViewState::Active, true);
        Tree = SampleTree();
    }
    tTestOutline* AddViewer(int width = 20, int height = 6) {
        auto* vBar = new tScrollBar(MakeRect(width, 0, width + 1, height));
        auto* hBar = new tScrollBar(MakeRect(0, height, width, height + 1));
        Owner->InsertView(vBar);
        Owner->InsertView(hBar);
        auto* viewer = new tTestOutline(MakeRect(0, 0, width, height), Tree.get(), hBar, vBar);
        Owner->InsertView(viewer);
        viewer->SelectView();
        viewer->Recount();
        viewer->Repaint();
        return viewer;
    }
    std::vector<std::string> Screen(int rows = 6) { return Block(0, 0, 20, rows); }
    void Press(tTestOutline* viewer, std::uint16_t key) {
        TEventRec event = Key(key);
        viewer->HandleEvent(event);
    }

    tGroup* Owner = nullptr;
    std::unique_ptr<tTestNode> Tree;
};

using Rows = std::vector<std::string>;

// Catches columns, branches, connectors or end marks taken from the wrong character or
// position, and bars of levels past 32 lost.
TEST(OutlineGraph, MakeGraph) {
    const std::string chars = "12345678";
    auto lines = [](std::initializer_list<int> bits) {
        tOutlineLines set;
        for (int bit : bits)
            set.set(std::size_t(bit));
        return set;
    };
    struct tCase {
        const char* Name;
        int Level;
        tOutlineLines Lines;
        std::uint8_t Flags;
        int LevelWidth, EndWidth;
        std::string Graph;
    } cases[] = {
        {"root, shown, last", 0, {}, 5, 3, 3, "458"},
        {"collapsed with children", 0, {}, 4, 3, 3, "457"},
        {"open, not last", 0, {}, 3, 3, 3, "368"},
        {"level 2, bar in column 1", 2, lines({1}), 1, 3, 3, "111211358"},
        {"level 2, bars in both", 2, lines({0, 1}), 7, 2, 3, "2121468"},
        {"end width 1: end mark only", 1, lines({0}), 0, 3, 1, "2117"},
        {"end width 2: no connector", 1, {}, 1, 1, 2, "138"},
        {"bar at level 35 of 40", 40, lines({35}), 1, 1, 1, std::string(35, '1') + "21111" + "8"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(MakeGraph(c.Level, c.Lines, c.Flags, c.LevelWidth, c.EndWidth, chars), c.Graph)
            << c.Name;
}

// Catches a lone root drawn with more than its end mark, or counted as more than one line.
TEST_F(OutlineViewerTest, RootOnly) {
    Tree = std::make_unique<tTestNode>();
    Tree->Text = "Root";
    tTestOutline* viewer = AddViewer();
    EXPECT_EQ(viewer->LimitY, 1);
    EXPECT_EQ(Screen(2), (Rows{"─Root               ", "                    "}));
}

// Catches the wrong graph for collapsed, expanded and deep nodes, children shown under a
// collapsed node, or a vertical bar missing beside a non-last sibling's subtree.
TEST_F(OutlineViewerTest, CollapsedExpandedAndDeepScreens) {
    tTestOutline* viewer = AddViewer(20, 8);
    EXPECT_EQ(Block(0, 0, 20, 2), (Rows{"+Root               ", "                    "}))
        << "collapsed root";
    Press(viewer, '+');
    EXPECT_EQ(Block(0, 0, 20, 5),
              (Rows{"─Root               ", " ├─+Alpha           ", " ├─+Beta            ",
                    " └──Gamma           ", "                    "}))
        << "root expanded";
    EXPECT_EQ(viewer->LimitY, 4);
    viewer->MoveFocus(1);
    Press(viewer, '*');
    viewer->MoveFocus(2 + 2);
    Press(viewer, '*');
    EXPECT_EQ(Block(0, 0, 20, 8),
              (Rows{"─Root               ", " ├──Alpha           ", " │  ├──a1           ",
                    " │  └──a2           ", " ├──Beta            ", " │  └──b1           ",
                    " │     └──b1x       ", " └──Gamma           "}))
        << "deep";
    EXPECT_EQ(viewer->LimitX, 13) << "the widest line: graph and text of b1x";
    viewer->MoveFocus(4);
    Press(viewer, '-');
    EXPECT_EQ(Block(0, 4, 20, 3),
              (Rows{" ├─+Beta            ", " └──Gamma           ", "                    "}))
        << "Beta collapsed again";
}

// Catches keys that move the focus to the wrong line, leave the tree, or take keys that are
// not theirs.
TEST_F(OutlineViewerTest, KeysMoveTheFocus) {
    // Fully expanded: 9 lines in a view of 4.
    for (tTestNode* node : {Tree.get(), Tree->Children[0].get(), Tree->Children[1].get(),
                            Tree->Children[1]->Children[0].get()})
        node->Expanded = true;
    struct tCase {
        const char* Name;
        int From;
        std::uint16_t Key;
        bool Taken;
        int Focused;
    } cases[] = {
        {"down", 0, kKeyDown, true, 1},
        {"up on line 0 stays", 0, kKeyUp, true, 0},
        {"down on the last line stays", 7, kKeyDown, true, 7},
        {"page down", 0, kKeyPgDn, true, 3},
        {"page up", 6, kKeyPgUp, true, 3},
        {"ctrl+page down: the last line", 1, kKeyCtrlPgDn, true, 7},
        {"ctrl+page up: line 0", 7, kKeyCtrlPgUp, true, 0},
        {"end: the bottom visible line", 0, kKeyEnd, true, 3},
        {"home: the top visible line, not 0", 7, kKeyHome, true, 4},
        {"a letter is not taken", 2, 0x1E61, false, 2},
    };
    for (const tCase& c : cases) {
        tTestOutline* viewer = AddViewer(20, 4);
        viewer->MoveFocus(c.From);
        TEventRec key = Key(c.Key);
        viewer->HandleEvent(key);
        EXPECT_EQ(key.what == evtNothing, c.Taken) << c.Name;
        EXPECT_EQ(viewer->FocusedLine, c.Focused) << c.Name;
        EXPECT_EQ(viewer->DeltaY + viewer->CursorY, c.Focused) << c.Name << ": the cursor line";
        EXPECT_LE(viewer->DeltaY, c.Focused) << c.Name << ": focus in view";
        EXPECT_GT(viewer->DeltaY + viewer->Height, c.Focused) << c.Name << ": focus in view";
        FreeObject(viewer);
    }
}

// Catches Space, Del, "+", "-" and "*" not reaching the node on the focused line.
TEST_F(OutlineViewerTest, CharacterKeys) {
    tTestOutline* viewer = AddViewer();
    Press(viewer, kKeySpace);
    Press(viewer, kKeyDel);
    EXPECT_EQ(viewer->Chosen, (std::vector<int>{0}));
    EXPECT_EQ(viewer->Deleted, (std::vector<int>{0}));
    Press(viewer, 0x4E2B); // gray plus
    EXPECT_TRUE(Tree->Expanded);
    viewer->MoveFocus(2);
    Press(viewer, '*');
    EXPECT_TRUE(Tree->Children[1]->Expanded);
    EXPECT_TRUE(Tree->Children[1]->Children[0]->Expanded) << "the whole subtree";
    EXPECT_FALSE(Tree->Children[0]->Expanded) << "a sibling stays closed";
    EXPECT_EQ(viewer->LimitY, 6);
    viewer->MoveFocus(0);
    Press(viewer, '-');
    EXPECT_EQ(viewer->LimitY, 1);
    EXPECT_EQ(viewer->FocusedLine, 0);
}

// Catches a click on the text toggling the node, a click on the graph not toggling it, a
// press below the last line toggling the last node, or a double click not choosing.
TEST_F(OutlineViewerTest, MouseFocusAndToggle) {
    Tree->Expanded = true;
    tTestOutline* viewer = AddViewer();
    struct tCase {
        const char* Name;
        int X, Y;
        bool DoubleClick;
        int Focused;
        bool AlphaOpen;
        int Chosen;
    } steps[] = {
        {"click on Alpha's text", 6, 1, false, 1, false, 0},
        {"click on Alpha's graph", 2, 1, false, 1, true, 0},
        {"click on the graph again", 3, 1, false, 1, false, 0},
        {"click below the last line", 1, 5, false, 3, false, 0},
        {"double click on Beta", 6, 2, true, 2, false, 1},
    };
    for (const tCase& step : steps) {
        Root->Script = {Mouse(evtMouseUp, step.X, step.Y)};
        TEventRec down = Mouse(evtMouseDown, step.X, step.Y, step.DoubleClick);
        Root->HandleEvent(down);
        EXPECT_EQ(down.what, evtNothing) << step.Name;
        EXPECT_EQ(viewer->FocusedLine, step.Focused) << step.Name;
        EXPECT_EQ(Tree->Children[0]->Expanded, step.AlphaOpen) << step.Name;
        EXPECT_EQ(int(viewer->Chosen.size()), step.Chosen) << step.Name;
        EXPECT_FALSE(viewer->HasMouseCapture()) << step.Name;
    }
}

// Catches a click on a bar's arrow that moves only the hidden cursor line: the focus stayed
// where it was and the view did not move until the cursor line left it, so a short click
// looked ignored and the next key jumped back. Each click moves the focus one line.
TEST_F(OutlineViewerTest, ArrowClickOnTheBarMovesTheFocus) {
    for (tTestNode* node : {Tree.get(), Tree->Children[0].get(), Tree->Children[1].get(),
                            Tree->Children[1]->Children[0].get()})
        node->Expanded = true;
    tTestOutline* viewer = AddViewer(20, 4); // the bar's arrows at (20, 0) and (20, 3)
    struct tStep {
        const char* Name;
        int Y;
        int Focused;
        int Top;
    } steps[] = {
        {"down arrow", 3, 1, 0},
        {"down arrow again", 3, 2, 0},
        {"down arrow a third time", 3, 3, 0},
        {"down arrow past the view scrolls", 3, 4, 1},
        {"up arrow", 0, 3, 1},
    };
    for (const tStep& step : steps) {
        // Press and release at once, as a quick click arrives.
        Root->Script = {Mouse(evtMouseUp, 20, step.Y)};
        TEventRec down = Mouse(evtMouseDown, 20, step.Y);
        Root->HandleEvent(down);
        EXPECT_EQ(viewer->FocusedLine, step.Focused) << step.Name;
        EXPECT_EQ(viewer->DeltaY + viewer->CursorY, step.Focused) << step.Name;
        EXPECT_EQ(viewer->DeltaY, step.Top) << step.Name;
        EXPECT_EQ(AttrAt(2, step.Focused - step.Top), 0x24) << step.Name << ": drawn focused";
    }
    Press(viewer, kKeyDown);
    EXPECT_EQ(viewer->FocusedLine, 4) << "expected Down to go on from the clicked line";
}

// Catches a drag below the view that scrolls on every repeat instead of every third.
TEST_F(OutlineViewerTest, DragBelowScrollsEveryThirdRepeat) {
    for (tTestNode* node : {Tree.get(), Tree->Children[0].get(), Tree->Children[1].get()})
        node->Expanded = true;
    tTestOutline* viewer = AddViewer(20, 4);
    std::deque<TEventRec> script = {Mouse(evtMouseMove, 3, 3), Mouse(evtMouseMove, 3, 9)};
    for (int i = 0; i < 7; ++i)
        script.push_back(Mouse(evtMouseRepeat, 3, 9));
    script.push_back(Mouse(evtMouseUp, 3, 9));
    Root->Script = script;
    TEventRec down = Mouse(evtMouseDown, 3, 0);
    Root->HandleEvent(down);
    EXPECT_EQ(viewer->FocusedLine, 5) << "line 3, then two steps for seven repeats";
    EXPECT_EQ(viewer->DeltaY, 2);
    EXPECT_EQ(Tree->Children[0]->Expanded, true) << "a drag toggles nothing";
}

// Catches horizontal scrolling that does not shift the lines or goes past the contents.
TEST_F(OutlineViewerTest, LeftAndRightScroll) {
    Tree->Expanded = true;
    tTestOutline* viewer = AddViewer(6, 6);
    viewer->MoveFocus(2);
    Press(viewer, kKeyRight);
    Press(viewer, kKeyRight);
    EXPECT_EQ(viewer->DeltaX, 2);
    EXPECT_EQ(viewer->FocusedLine, 2) << "the focus stays";
    EXPECT_EQ(Cells(1, 0, 6), "─+Alph") << "two columns scrolled off";
    Press(viewer, kKeyLeft);
    Press(viewer, kKeyLeft);
    Press(viewer, kKeyLeft);
    EXPECT_EQ(viewer->DeltaX, 0) << "not left of the start";
}

// Catches the focused line drawn in the wrong pair, with or without the focus, and the
// dialog's palette not used inside a dialog.
TEST_F(OutlineViewerTest, Colours) {
    Tree->Expanded = true;
    tTestOutline* viewer = AddViewer();
    viewer->MoveFocus(1);
    viewer->Repaint();
    // Entries 6 and 7 of the application palette: ordinary 0x28, focused 0x24.
    EXPECT_EQ(AttrAt(2, 0), 0x28) << "ordinary line";
    EXPECT_EQ(AttrAt(2, 1), 0x24) << "focused line while focused";
    EXPECT_EQ(AttrAt(2, 3), 0x28) << "rows below the tree";
    ASSERT_TRUE(viewer->HasState(ViewState::Focused));
    Owner->ChangeState(ViewState::Focused, false);
    viewer->ChangeState(ViewState::Focused, false);
    EXPECT_EQ(AttrAt(2, 1), 0x24) << "focused line without the focus: pair 7, the same colour";
    EXPECT_EQ(viewer->GetPalette()[1], 6);
    tDialog dialog(MakeRect(0, 0, 30, 10), "");
    auto* inside = new tTestOutline(MakeRect(1, 1, 20, 5), Tree.get());
    dialog.tInsert(inside);
    EXPECT_EQ(inside->GetPalette()[1], 26) << "inside a dialog";
    EXPECT_EQ(inside->GetPalette()[8], 29);
}

// Catches a name with "~" losing the character (taken as a colour switch) when drawn.
TEST_F(OutlineViewerTest, TildeInATextIsShown) {
    Tree->Text = "a~b~c";
    tTestOutline* viewer = AddViewer();
    EXPECT_EQ(Cells(0, 0, 8), "+a~b~c  ");
    (void)viewer;
}

// Catches a viewer without bars whose focus snaps back to the cursor line it cannot move.
TEST_F(OutlineViewerTest, WithoutBars) {
    for (tTestNode* node : {Tree.get(), Tree->Children[0].get(), Tree->Children[1].get()})
        node->Expanded = true;
    auto* viewer = new tTestOutline(MakeRect(0, 0, 20, 3), Tree.get());
    Owner->InsertView(viewer);
    viewer->SelectView();
    viewer->Recount();
    Press(viewer, kKeyDown);
    Press(viewer, kKeyDown);
    Press(viewer, kKeyDown);
    Press(viewer, kKeyDown);
    EXPECT_EQ(viewer->FocusedLine, 4);
    EXPECT_EQ(viewer->DeltaY, 2);
    EXPECT_EQ(Cells(2, 0, 10), " ├──Beta  ");
}

// Catches the focused-text query answering another line than the cursor line.
TEST_F(OutlineViewerTest, FocusedText) {
    Tree->Expanded = true;
    tTestOutline* viewer = AddViewer();
    viewer->MoveFocus(2);
    std::string text;
    TEventRec query = Message(evtBroadcast, cmdFocusedText, &text);
    viewer->HandleEvent(query);
    EXPECT_EQ(text, "Beta");
    EXPECT_EQ(query.what, evtNothing);
}

// Catches the focused line missing from the stored form or read back out of place, and a
// cut stream read without an error status.
TEST_F(OutlineViewerTest, StreamRoundTrip) {
    Tree->Expanded = true;
    tTestOutline* viewer = AddViewer();
    viewer->MoveFocus(3);
    tMemoryStream out;
    viewer->Store(out);
    EXPECT_EQ(viewer->StoreID(), 4) << "stored as a scroller";
    tMemoryStream in(out.Bytes());
    tTestOutline loaded(MakeRect(0, 0, 1, 1), Tree.get());
    loaded.Load(in);
    EXPECT_EQ(in.Status, stOk);
    EXPECT_EQ(loaded.FocusedLine, 3);
    EXPECT_EQ(loaded.LimitY, 4);
    EXPECT_EQ(loaded.Width, 20);
    std::vector<std::uint8_t> cut(out.Bytes().begin(), out.Bytes().end() - 1);
    tMemoryStream shortIn(cut);
    tTestOutline damaged(MakeRect(0, 0, 1, 1), Tree.get());
    damaged.Load(shortIn);
    EXPECT_NE(shortIn.Status, stOk) << "a cut stream reports an error";
}

// Catches the tree operations callable on the base class without a run-time error.
TEST(OutlineViewerBase, TreeOperationsAreAbstract) {
    tOutlineViewer viewer(MakeRect(0, 0, 10, 5), nullptr, nullptr);
    try {
        viewer.RootNode();
        FAIL() << "expected run-time error 211";
    } catch (const ESRunError& error) {
        EXPECT_EQ(error.Number, kRunErrorAbstractCall);
    }
}

} // namespace
} // namespace zarvo
