// Single-line frames: the box, bright while the framed view has the focus, clicks handed on as
// focus, and a framed view freed before the frame.
#include "views/simpl_frame.h"

#include <gtest/gtest.h>

#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

class tSelectable : public tView {
  public:
    explicit tSelectable(const tRect& bounds) : tView(bounds) {
        OptionFlags |= ViewOption::Selectable;
    }
};

class SimplFrameTest : public tDialogScreen {};

// Catches a wrong box, colours that do not follow the framed view's focus, a click that does
// not focus it, and a freed framed view still touched.
TEST_F(SimplFrameTest, BoxFocusAndClicks) {
    tDialog* dialog = AddDialog();
    auto* frame = new tSimplFrame(MakeRect(2, 2, 10, 6));
    auto* inner = new tSelectable(MakeRect(3, 3, 9, 5));
    auto* other = new tSelectable(MakeRect(20, 2, 24, 3));
    dialog->InsertView(frame);
    dialog->InsertView(inner);
    dialog->InsertView(other);
    EXPECT_EQ(AttrAt(2, 2), 0x7F) << "bright without a framed view";
    frame->SetUnder(inner);
    EXPECT_EQ(Block(2, 2, 8, 4),
              (std::vector<std::string>{"┌──────┐", "│      │", "│      │", "└──────┘"}));
    EXPECT_EQ(AttrAt(2, 2), 0x70) << "dim while the framed view has no focus";
    inner->SelectView();
    EXPECT_EQ(AttrAt(2, 5), 0x7F) << "bright with the focus";
    other->SelectView();
    EXPECT_EQ(AttrAt(9, 5), 0x70) << "dim again";
    TEventRec click = Mouse(evtMouseDown, 2, 4);
    dialog->HandleEvent(click);
    EXPECT_EQ(click.what, evtNothing);
    EXPECT_TRUE(inner->HasState(ViewState::Focused)) << "a click on the box focuses it";
    FreeObject(inner);
    EXPECT_EQ(frame->Under, nullptr);
    other->SelectView();
    click = Mouse(evtMouseDown, 2, 4);
    dialog->HandleEvent(click);
    EXPECT_EQ(click.what, evtNothing);
    frame->Repaint();
    EXPECT_EQ(AttrAt(2, 2), 0x7F) << "bright once it frames nothing";
}

} // namespace
} // namespace zarvo
