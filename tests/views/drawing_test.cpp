// The write path and colours through the headless console: clipping to owners, front
// siblings cutting lines, shadows, exposure, update locks, caches, deferred repaints,
// palettes, the cursor, and how many cells a change sends to the console.
#include <gtest/gtest.h>

#include "console/drivers_console.h"
#include "tests/views/support/view_fixture.h"

namespace zarvo::testing_views {
namespace {

class DrawingTest : public ScreenTest {};

// Writes a fixed run of cells wherever it is told, once per Draw.
class tWriter : public tView {
  public:
    using tView::tView;
    void Draw() override {
        tCell cells[5];
        for (int i = 0; i < 5; ++i)
            cells[i] = MakeCell(std::uint8_t('1' + i), 0x07);
        PutSegment(X, Y, Count, cells);
    }
    int X = 0, Y = 0, Count = 5;
};

// Catches a view that does not reach the screen, or draws outside its bounds.
TEST_F(DrawingTest, ViewDrawsInsideItsBounds) {
    Root->InsertView(new tFill(MakeRect(2, 1, 6, 3), 'A'));
    EXPECT_EQ(Grid(8, 4), (std::vector<std::string>{
                              "........",
                              "..AAAA..",
                              "..AAAA..",
                              "........",
                          }));
}

// Catches segments written past a view's columns or rows.
TEST_F(DrawingTest, SegmentsAreCutToTheView) {
    struct tCase {
        int X, Y;
        const char* Row; // the view's row 0 on the screen, columns 0-11
    };
    const tCase cases[] = {
        {8, 0, ".........12."},  // 5 cells at 8 of a 10-wide view: columns 8 and 9
        {-3, 0, ".45........."}, // at -3: the source's 4th and 5th cells at 0 and 1
        {0, 1, ".12345......"},  // row 1 exists
        {0, 2, "............"},  // below the view: nothing
        {0, -1, "............"}, // above: nothing
        {10, 0, "............"}, // right of the view: nothing
    };
    for (const tCase& c : cases) {
        tObjectPtr<tWriter> writer = MakeObject<tWriter>(MakeRect(1, 1, 11, 3));
        writer->X = c.X;
        writer->Y = c.Y;
        Root->InsertView(writer.get());
        std::string row = Grid(12, 3)[c.Y == 1 ? 2 : 1];
        EXPECT_EQ(row, c.Row) << "segment at " << c.X << "," << c.Y;
        Root->RemoveView(writer.get());
        Root->Repaint();
    }
}

// Catches a front view not cutting the one behind it, or a group not clipping its subviews.
TEST_F(DrawingTest, FrontViewsAndOwnersClip) {
    tGroup* box = MakeBox(MakeRect(1, 1, 9, 5), ' ');
    Root->InsertView(box);
    box->InsertView(new tFill(MakeRect(-2, 1, 5, 3), 'B')); // sticks out left of the box
    box->InsertView(new tFill(MakeRect(4, 2, 12, 6), 'C')); // sticks out right and below
    Root->InsertView(new tFill(MakeRect(6, 0, 8, 3), 'F'));
    EXPECT_EQ(Grid(11, 7), (std::vector<std::string>{
                               "......FF...",
                               ".     FF ..",
                               ".BBBBBFF ..",
                               ".BBBBCCCC..",
                               ".    CCCC..",
                               "...........",
                               "...........",
                           }));
}

// Catches a shadow in the wrong cells, with the wrong attribute, or hiding the characters.
TEST_F(DrawingTest, ShadowDarkensTheCellsRightAndBelow) {
    auto* shadowed = new tFill(MakeRect(10, 5, 30, 9), 'S');
    shadowed->StateFlags |= ViewState::Shadow;
    Root->InsertView(shadowed);
    for (int y = 4; y <= 10; ++y) {
        for (int x = 8; x <= 33; ++x) {
            bool inside = x >= 10 && x < 30 && y >= 5 && y < 9;
            bool rightShadow = (x == 30 || x == 31) && y >= 6 && y <= 8;
            bool bottomShadow = y == 9 && x >= 12 && x <= 31;
            std::uint8_t expected = rightShadow || bottomShadow ? 0x08 : 0x07;
            EXPECT_EQ(AttrAt(x, y), expected) << "attribute at " << x << "," << y;
            EXPECT_EQ(CellChar(Screen.Host().CellAt(x, y)), inside ? 'S' : '.')
                << "character at " << x << "," << y;
        }
    }
    shadowed->ChangeState(ViewState::Shadow, false);
    EXPECT_EQ(AttrAt(30, 6), 0x07) << "expected the shadow gone with the state";
    EXPECT_EQ(AttrAt(20, 9), 0x07);
}

// Catches a covered view repainting, or the covered part of a partly hidden one showing.
TEST_F(DrawingTest, ExposureFollowsCoveringViews) {
    auto* hidden = new tFill(MakeRect(2, 2, 6, 4), 'H');
    auto* partly = new tFill(MakeRect(10, 2, 16, 4), 'P');
    Root->InsertView(hidden);
    Root->InsertView(partly);
    Root->InsertView(new tFill(MakeRect(1, 1, 7, 5), 'X'));
    Root->InsertView(new tFill(MakeRect(13, 1, 20, 3), 'Y'));
    EXPECT_FALSE(hidden->IsExposed());
    EXPECT_TRUE(partly->IsExposed());
    int draws = hidden->Draws;
    hidden->Repaint();
    EXPECT_EQ(hidden->Draws, draws) << "expected a hidden view not to draw at all";
    partly->Ch = 'Q';
    partly->Repaint();
    EXPECT_EQ(Grid(20, 4)[2], ".XXXXXX...QQQYYYYYYY");
    EXPECT_EQ(Grid(20, 4)[3], ".XXXXXX...QQQQQQ....");
    partly->Conceal();
    EXPECT_FALSE(partly->IsExposed());
    EXPECT_EQ(Grid(20, 4)[3], ".XXXXXX.............") << "expected the area painted again";
}

// Catches update locks that do not nest, or repaint more than once when they end.
TEST_F(DrawingTest, UpdateLocksNestAndRepaintOnceAtTheEnd) {
    auto* v = new tFill(MakeRect(1, 1, 3, 2), 'V');
    Root->InsertView(v);
    int draws = v->Draws;
    v->BeginUpdate();
    v->BeginUpdate();
    v->Repaint();
    v->EndUpdate();
    EXPECT_EQ(v->Draws, draws) << "expected nothing while a lock is held";
    v->EndUpdate();
    EXPECT_EQ(v->Draws, draws + 1) << "expected one repaint at the last EndUpdate";
    v->EndUpdate();
    EXPECT_EQ(v->UpdateLock, 0) << "expected an extra EndUpdate to leave the lock at 0";
    EXPECT_EQ(v->Draws, draws + 1);
    v->BeginUpdate();
    v->EndUpdateQuiet();
    EXPECT_EQ(v->Draws, draws + 1) << "expected the quiet end only to mark the repaint";
    EXPECT_TRUE(v->HasState(ViewState::RedrawPending));
}

// Catches a deferred repaint that is lost, done twice, or eats idle events it did not use.
TEST_F(DrawingTest, DeferredRepaintRunsOnTheNextIdleEvent) {
    auto* v = new tFill(MakeRect(1, 1, 3, 2), 'V');
    Root->InsertView(v);
    int draws = v->Draws;
    TEventRec idle;
    idle.what = evtIdle;
    v->DispatchEvent(idle);
    EXPECT_EQ(idle.what, evtIdle) << "expected an idle event without work to go on";
    v->MarkRedraw();
    v->DispatchEvent(idle);
    EXPECT_EQ(v->Draws, draws + 1);
    EXPECT_EQ(idle.what, evtNothing) << "expected the idle event used by the repaint";
    EXPECT_FALSE(v->HasState(ViewState::RedrawPending));
}

// Catches a group asking its subviews to draw again when its cache is complete, and a cache
// kept after the global request to free them all.
TEST_F(DrawingTest, GroupCacheServesRedrawsUntilFreed) {
    tGroup* box = MakeBox(MakeRect(2, 2, 12, 6), 'b');
    Root->InsertView(box);
    auto* inner = static_cast<tFill*>(box->LastView);
    ASSERT_TRUE(box->HasCache());
    EXPECT_TRUE(box->HasOption(ViewOption::CacheValid));
    int draws = inner->Draws;
    box->Repaint();
    EXPECT_EQ(inner->Draws, draws) << "expected the cache sent up instead";
    FireEvent(GlobalEvents(), evnFreeCaches, nullptr);
    EXPECT_FALSE(box->HasCache());
    EXPECT_FALSE(Root->HasCache());
    Root->Repaint();
    EXPECT_EQ(inner->Draws, draws + 1) << "expected the subviews asked again";
    EXPECT_EQ(Grid(4, 4)[3], "..bb");
    box->Conceal();
    EXPECT_FALSE(box->HasCache()) << "expected the cache freed with the exposure";
}

// A view with a palette.
class tPaletted : public tGroup {
  public:
    tPaletted(const tRect& bounds, tPalette palette) : tGroup(bounds), Palette(palette) {}
    tPalette GetPalette() const override { return Palette; }
    tPalette Palette;
};

// Catches palette indexes not followed through every owner, or unmapped indexes not shown
// in the error colour.
TEST_F(DrawingTest, ColoursMapThroughThreePalettesToTheRoot) {
    static constexpr auto kOuter = MakePalette(3, 4);     // into the root's table
    static constexpr auto kMiddle = MakePalette(2, 1, 9); // into the outer palette
    static constexpr auto kInner = MakePalette(1, 2, 3);
    auto* outer = new tPaletted(MakeRect(0, 0, 10, 5), kOuter.data());
    auto* middle = new tPaletted(MakeRect(0, 0, 10, 5), kMiddle.data());
    auto* inner = new tPaletted(MakeRect(0, 0, 10, 5), kInner.data());
    Root->InsertView(outer);
    outer->InsertView(middle);
    middle->InsertView(inner);
    tPalette app = ApplicationPalette();
    struct tCase {
        std::uint8_t Index;
        std::uint8_t Expected;
    };
    const tCase cases[] = {
        {1, app[4]},    // inner 1 -> middle 1 -> outer 2 -> root 4
        {2, app[3]},    // inner 2 -> middle 2 -> outer 1 -> root 3
        {3, ErrorAttr}, // inner 3 -> middle 3 -> outer 9: beyond the outer palette
        {4, ErrorAttr}, // beyond the inner palette
        {0, ErrorAttr}, // 0 is never a colour
    };
    for (const tCase& c : cases)
        EXPECT_EQ(inner->MapColor(c.Index), c.Expected) << "index " << int(c.Index);
    EXPECT_EQ(inner->MapColors(0x0201), (app[3] << 8) | app[4]);
    tView loose(MakeRect(0, 0, 1, 1));
    EXPECT_EQ(loose.MapColor(7), 7) << "expected an index passed through without palettes";
}

// Catches a cursor shown under an overlapping view, in the wrong place or shape.
TEST_F(DrawingTest, CursorFollowsTheFocusedViewUnlessCovered) {
    auto* field = new tView(MakeRect(5, 3, 15, 4));
    field->OptionFlags |= ViewOption::Selectable;
    Root->InsertView(field);
    ASSERT_TRUE(field->HasState(ViewState::Focused));
    field->CursorOn();
    field->SetCursorPos(2, 0);
    Screen.Pump();
    auto& cursor = Screen.Form();
    EXPECT_TRUE(cursor.CursorVisible());
    EXPECT_EQ(cursor.CursorX(), 7);
    EXPECT_EQ(cursor.CursorY(), 3);
    EXPECT_EQ(cursor.CaretShape(), kCursorUnderline);
    field->ChangeState(ViewState::CursorInsert, true);
    Screen.Pump();
    EXPECT_EQ(Screen.Form().CaretShape(), kCursorBlock);
    auto* cover = new tView(MakeRect(6, 2, 9, 5));
    Root->InsertView(cover); // not selectable: the field keeps the focus
    field->UpdateCursor();
    Screen.Pump();
    EXPECT_FALSE(Screen.Form().CursorVisible()) << "expected the covered cursor hidden";
}

// Catches a small change that sends more than its own visible cells to the console.
TEST_F(DrawingTest, KeystrokeRepaintsOnlyTheViewsExposedCells) {
    auto* field = new tFill(MakeRect(2, 2, 12, 3), 'f');
    Root->InsertView(field);
    Root->InsertView(new tFill(MakeRect(9, 1, 15, 4), 'w')); // covers 3 of the 10 cells
    Root->ResetWriteCount();
    field->Ch = 'g';
    field->Repaint();
    EXPECT_EQ(Root->WrittenCells, 7u) << "expected only the 7 uncovered cells";
    EXPECT_EQ(Grid(16, 3)[2], "..gggggggwwwwww.");
}

// Catches a move by one cell repainting more than the old and new places and shadows.
TEST_F(DrawingTest, MovingByOneCellRepaintsOnlyWhatItTouches) {
    auto* mover = new tFill(MakeRect(5, 3, 15, 7), 'm');
    mover->StateFlags |= ViewState::Shadow;
    Root->InsertView(mover);
    Root->ResetWriteCount();
    Screen.Host().ResetPaintCount();
    mover->MoveOrigin(6, 3);
    // Old (5,3)-(15,7) and new (6,3)-(16,7), each with its shadow: (5,3)-(18,8).
    std::size_t bound = std::size_t(18 - 5) * (8 - 3);
    EXPECT_LE(Root->WrittenCells, bound) << "expected at most the union with shadows";
    EXPECT_GT(Root->WrittenCells, 0u);
    Screen.Pump();
    EXPECT_LE(Screen.Host().PaintedCells(), bound) << "the host paints only changed cells";
    EXPECT_EQ(Grid(19, 9)[4], "......mmmmmmmmmm...");
    EXPECT_EQ(AttrAt(16, 4), 0x08);
    EXPECT_EQ(AttrAt(5, 4), 0x07) << "expected the old place cleared";
}

} // namespace
} // namespace zarvo::testing_views
