// The line:column indicator: its text with the colon column rule, the line styles and the
// modified mark, and repainting only when the location or the mark changed.
#include "views/indicator.h"

#include <gtest/gtest.h>

#include "tests/views/window_test_support.h"

namespace zarvo {
namespace {

using namespace testing_windows;

class IndicatorTest : public tWindowScreen {
  protected:
    tIndicator* AddIndicator() {
        auto* indicator = new tIndicator(MakeRect(0, 0, 14, 1));
        Root->InsertView(indicator);
        return indicator;
    }
};

// Catches the colon in the wrong column, numbers not 1-based, long numbers cut at the left
// edge, or the modified mark and the styles drawn wrongly.
TEST_F(IndicatorTest, TextStylesAndMark) {
    struct tCase {
        const char* Name;
        tPoint Location;
        bool Modified;
        std::uint16_t State; // Active and/or Dragging
        bool SingleLine;
        const char* Expected;
    } cases[] = {
        {"origin, passive", {0, 0}, false, 0, false, "─── 1:1 ──────"},
        {"origin, active", {0, 0}, false, ViewState::Active, false, "═══ 1:1 ══════"},
        {"dragging",
         {0, 0},
         false,
         ViewState::Active | ViewState::Dragging,
         false,
         "─── 1:1 ──────"},
        {"single-line style while active",
         {0, 0},
         false,
         ViewState::Active,
         true,
         "─── 1:1 ──────"},
        {"modified", {4, 9}, true, 0, false, "☼ 10:5 ───────"},
        {"a three-digit line starts at column 0", {0, 99}, false, 0, false, " 100:1 ───────"},
        {"long numbers start at column 0", {1234, 12344}, false, 0, false, " 12345:1235 ──"},
    };
    for (const tCase& c : cases) {
        tIndicator* indicator = AddIndicator();
        indicator->SingleLineStyle = c.SingleLine;
        indicator->StateFlags &= std::uint16_t(~(ViewState::Active | ViewState::Dragging));
        indicator->StateFlags |= c.State;
        indicator->ShowLocation(c.Location, c.Modified);
        indicator->Repaint();
        EXPECT_EQ(Cells(0, 0, 14), c.Expected) << c.Name;
        FreeObject(indicator);
    }
}

// Catches repaints for a location that did not change.
TEST_F(IndicatorTest, RepaintsOnlyOnChange) {
    tIndicator* indicator = AddIndicator();
    indicator->ShowLocation({2, 3}, false);
    Root->ResetWriteCount();
    indicator->ShowLocation({2, 3}, false);
    EXPECT_EQ(Root->WrittenCells, 0u) << "same location and mark";
    indicator->ShowLocation({2, 3}, true);
    EXPECT_GT(Root->WrittenCells, 0u) << "the mark changed";
    EXPECT_EQ(Cells(0, 0, 14), "☼── 4:3 ──────");
}

} // namespace
} // namespace zarvo
