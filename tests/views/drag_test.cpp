// Moving and resizing a view by the keyboard and the mouse inside a limit rectangle.
#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/support/view_fixture.h"
#include "views/group.h"

namespace zarvo::testing_views {
namespace {

class DragTest : public ScreenTest {
  protected:
    // Feeds KEYS (then Enter unless the last one ends the drag) to a keyboard drag of a
    // 6 x 3 view at (10, 4) inside (0, 0)-(40, 12); answers its bounds afterwards.
    tRect Drag(std::uint8_t mode, std::vector<TEventRec> keys) {
        auto* v = new tView(MakeRect(10, 4, 16, 7));
        Root->InsertView(v);
        keys.push_back(KeyEvent(kKeyEnter));
        for (auto it = keys.rbegin(); it != keys.rend(); ++it)
            Root->Pending.push_back(*it);
        TEventRec start = MessageEvent(evtCommand, cmdResize);
        v->TrackDrag(start, mode, Root->ExtentRect(), tPoint{2, 2}, tPoint{20, 8});
        EXPECT_FALSE(v->HasState(ViewState::Dragging)) << "expected Dragging off at the end";
        Root->Pending.clear();
        tRect r = v->BoundsRect();
        FreeObject(v);
        return r;
    }
    static std::vector<TEventRec> Repeat(std::uint16_t key, int times, std::uint16_t shift = 0) {
        return std::vector<TEventRec>(std::size_t(times), KeyEvent(key, shift));
    }
};

// Catches keyboard drags that leave the limits or ignore the mode's bits.
TEST_F(DragTest, KeyboardDragStaysWithinLimits) {
    using namespace DragFlag;
    struct tCase {
        const char* Name;
        std::uint8_t Mode;
        std::vector<TEventRec> Keys;
        tRect Expected;
    };
    const tCase cases[] = {
        {"right by one", DragMove | LimitTop, {KeyEvent(kKeyRight)}, MakeRect(11, 4, 17, 7)},
        {"ctrl+left by eight", DragMove | LimitTop, {KeyEvent(kKeyCtrlLeft)}, MakeRect(2, 4, 8, 7)},
        {"top row stays inside", DragMove | LimitTop, Repeat(kKeyUp, 10), MakeRect(10, 0, 16, 3)},
        {"left until one column remains", DragMove | LimitTop, Repeat(kKeyLeft, 30),
         MakeRect(-5, 4, 1, 7)},
        {"down until one row remains", DragMove | LimitTop, Repeat(kKeyDown, 20),
         MakeRect(10, 11, 16, 14)},
        {"all limits", DragMove | LimitAll, Repeat(kKeyDown, 20), MakeRect(10, 9, 16, 12)},
        {"home and end", DragMove, {KeyEvent(kKeyHome)}, MakeRect(0, 4, 6, 7)},
        {"end", DragMove, {KeyEvent(kKeyEnd)}, MakeRect(34, 4, 40, 7)},
        {"page up and down", DragMove, {KeyEvent(kKeyPgDn)}, MakeRect(10, 9, 16, 12)},
        {"page up", DragMove, {KeyEvent(kKeyPgUp)}, MakeRect(10, 0, 16, 3)},
        {"shift grows",
         DragMove | DragGrow,
         {KeyEvent(kKeyRight, shiftLeft), KeyEvent(kKeyDown, shiftRight)},
         MakeRect(10, 4, 17, 8)},
        {"grow up to the maximum", DragGrow, Repeat(kKeyRight, 30, shiftLeft),
         MakeRect(10, 4, 30, 7)},
        {"shrink down to the minimum", DragGrow, Repeat(kKeyLeft, 30, shiftLeft),
         MakeRect(10, 4, 12, 7)},
        {"no move without DragMove", DragGrow, {KeyEvent(kKeyRight)}, MakeRect(10, 4, 16, 7)},
        {"escape puts it back",
         DragMove,
         {KeyEvent(kKeyRight), KeyEvent(kKeyEsc)},
         MakeRect(10, 4, 16, 7)},
        {"cmdCancel puts it back",
         DragMove,
         {KeyEvent(kKeyRight), MessageEvent(evtCommand, cmdCancel)},
         MakeRect(10, 4, 16, 7)},
        {"cmdAbort puts it back",
         DragMove,
         {KeyEvent(kKeyDown), MessageEvent(evtCommand, cmdAbort)},
         MakeRect(10, 4, 16, 7)},
        {"cmdOk keeps it",
         DragMove,
         {KeyEvent(kKeyDown), MessageEvent(evtCommand, cmdOk)},
         MakeRect(10, 5, 16, 8)},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(Drag(c.Mode, c.Keys), c.Expected) << c.Name;
}

// Catches a mouse drag that does not follow the mouse or keeps the capture.
TEST_F(DragTest, MouseDragFollowsTheMouse) {
    auto* v = new tView(MakeRect(10, 4, 16, 7));
    Root->InsertView(v);
    std::vector<TEventRec> events = {MouseEvent(evtMouseMove, 13, 6),
                                     MouseEvent(evtMouseMove, 15, 8),
                                     MouseEvent(evtMouseUp, 30, 10)};
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        Root->Pending.push_back(*it);
    TEventRec down = MouseEvent(evtMouseDown, 12, 5);
    v->TrackDrag(down, DragFlag::DragMove | DragFlag::LimitTop, Root->ExtentRect(), tPoint{1, 1},
                 tPoint{40, 12});
    EXPECT_EQ(v->BoundsRect(), MakeRect(13, 7, 19, 10)) << "moved by (3, 3), not to the release";
    EXPECT_EQ(MouseCaptor, nullptr);
    EXPECT_EQ(Grid(20, 11)[8], ".............      .") << "expected the view at its new place";
    EXPECT_EQ(Grid(20, 11)[5], "....................") << "expected its old place cleared";
}

} // namespace
} // namespace zarvo::testing_views
