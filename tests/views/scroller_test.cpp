// Scrollers: following their bars (cursor line and left column), the bars' limits and
// pages, scrolling to a position, showing the bars only while focused in the active window.
#include "views/scroller.h"

#include <gtest/gtest.h>

#include "tests/views/window_test_support.h"
#include "views/scroll_bar.h"
#include "views/window.h"

namespace zarvo {
namespace {

using namespace testing_windows;

class ScrollerTest : public tWindowScreen {
  protected:
    // A 40 x 12 window; the scroller is 20 x 10 over contents of 100 x 50.
    void SetUp() override {
        tWindowScreen::SetUp();
        Window = new tWindow(MakeRect(0, 0, 40, 12), "", 0);
        VBar = Window->AddScrollBar(ScrollBarOption::Vertical);
        HBar = Window->AddScrollBar(0);
        Scroller = new tScroller(MakeRect(1, 1, 21, 11), HBar, VBar);
        Window->InsertView(Scroller);
        Scroller->SetExtentLimit(100, 50);
        Root->InsertView(Window);
    }

    tWindow* Window = nullptr;
    tScrollBar* HBar = nullptr;
    tScrollBar* VBar = nullptr;
    tScroller* Scroller = nullptr;
};

// Catches bar ranges or pages not following the contents' size and the view's.
TEST_F(ScrollerTest, ExtentLimitSetsTheBars) {
    EXPECT_EQ(HBar->MaxValue, 100);
    EXPECT_EQ(HBar->PageStep, 19);
    EXPECT_EQ(VBar->MaxValue, 50);
    EXPECT_EQ(VBar->PageStep, 9);
    Scroller->PlaceBounds(MakeRect(1, 1, 31, 9));
    EXPECT_EQ(HBar->PageStep, 29) << "a new size gives new pages";
    EXPECT_EQ(VBar->PageStep, 7);
}

// Catches a cursor and offset that do not add up to the bars' positions, a left column that
// does not follow the bar, and contents narrower than the view shifted off their start.
TEST_F(ScrollerTest, SyncFollowsTheBars) {
    struct tCase {
        const char* Name;
        std::int32_t LimitX;
        std::int32_t X, Y;
        std::int32_t DeltaX, DeltaY;
        int CursorX, CursorY;
    } steps[] = {
        {"down inside the view", 100, 0, 5, 0, 0, 0, 5},
        {"down past the view", 100, 0, 25, 0, 16, 0, 9},
        {"back up", 100, 0, 10, 0, 10, 0, 0},
        {"right", 100, 30, 10, 30, 10, 0, 0},
        {"near the right end", 100, 90, 10, 80, 10, 10, 0},
        {"left again", 100, 40, 10, 40, 10, 0, 0},
        {"contents narrower than the view", 10, 6, 10, 0, 10, 6, 0},
    };
    for (const tCase& step : steps) {
        Scroller->LimitX = step.LimitX;
        HBar->SetAll(step.X, 0, step.LimitX, HBar->PageStep, 1);
        VBar->SetPosition(step.Y);
        EXPECT_EQ(Scroller->DeltaX, step.DeltaX) << step.Name;
        EXPECT_EQ(Scroller->DeltaY, step.DeltaY) << step.Name;
        EXPECT_EQ(Scroller->CursorX, step.CursorX) << step.Name;
        EXPECT_EQ(Scroller->CursorY, step.CursorY) << step.Name;
        EXPECT_EQ(Scroller->CursorX + Scroller->DeltaX, step.X) << step.Name << ": column";
        EXPECT_EQ(Scroller->CursorY + Scroller->DeltaY, step.Y) << step.Name << ": line";
    }
}

// Catches ScrollToPos leaving a bar behind or not reaching the scroller.
TEST_F(ScrollerTest, ScrollToPosMovesBothBars) {
    Scroller->ScrollToPos(30, 20);
    EXPECT_EQ(HBar->Value, 30);
    EXPECT_EQ(VBar->Value, 20);
    EXPECT_EQ(Scroller->DeltaX + Scroller->CursorX, 30);
    EXPECT_EQ(Scroller->DeltaY + Scroller->CursorY, 20);
}

// Catches bars shown for a scroller that is not both selected and in the active window.
TEST_F(ScrollerTest, BarsShownOnlyWhileFocused) {
    Window->SetCurrentView(Scroller, tSelectMode::Normal);
    EXPECT_TRUE(HBar->HasState(ViewState::Visible)) << "selected in the active window";
    EXPECT_TRUE(VBar->HasState(ViewState::Visible));
    auto* other = new tWindow(MakeRect(40, 0, 80, 12), "", 0);
    Root->InsertView(other);
    EXPECT_FALSE(HBar->HasState(ViewState::Visible)) << "its window is no longer active";
    EXPECT_FALSE(VBar->HasState(ViewState::Visible));
    Window->SelectView();
    EXPECT_TRUE(VBar->HasState(ViewState::Visible)) << "active again";
    Window->SetCurrentView(nullptr, tSelectMode::Normal);
    EXPECT_FALSE(VBar->HasState(ViewState::Visible)) << "no longer selected";
}

// Catches a scroller keeping a freed bar and touching it when it is selected again.
TEST_F(ScrollerTest, LetsGoOfAFreedBar) {
    FreeObject(VBar);
    EXPECT_EQ(Scroller->VBar, nullptr);
    EXPECT_EQ(Scroller->HBar, HBar);
    Window->SetCurrentView(nullptr, tSelectMode::Normal);
    Window->SetCurrentView(Scroller, tSelectMode::Normal);
    Scroller->SetExtentLimit(60, 30);
    EXPECT_TRUE(HBar->HasState(ViewState::Visible));
    EXPECT_EQ(HBar->MaxValue, 60);
}

} // namespace
} // namespace zarvo
