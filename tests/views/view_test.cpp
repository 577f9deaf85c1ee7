// tView on its own and in a group: defaults, geometry, growth after the owner's size change,
// size limits, the base event handling, messages, mouse tracking and keyboard dragging.
#include "views/view.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/support/view_fixture.h"
#include "views/group.h"

namespace zarvo::testing_views {
namespace {

class ViewTest : public ScreenTest {};

// Catches constructor defaults that subscribers or the routing depend on.
TEST_F(ViewTest, NewViewDefaults) {
    tView v(MakeRect(1, 2, 11, 7));
    EXPECT_EQ(v.Width, 10);
    EXPECT_EQ(v.Height, 5);
    EXPECT_EQ(v.DragFlags, DragFlag::LimitTop);
    EXPECT_EQ(v.AcceptMask, 0x0111);
    EXPECT_EQ(v.StateFlags, ViewState::Visible);
    EXPECT_EQ(v.OptionFlags, 0u);
    tGroup g(MakeRect(0, 0, 5, 5));
    EXPECT_EQ(g.AcceptMask, 0x031F);
    EXPECT_EQ(g.OptionFlags, ViewOption::Selectable | ViewOption::GroupCacheHint);
    EXPECT_EQ(g.ClipArea, MakeRect(0, 0, 5, 5));
}

// Catches coordinates not summed over every owner, or a clip rectangle in the wrong frame.
TEST_F(ViewTest, ScreenAndLocalCoordinatesAndClipping) {
    auto* outer = new tGroup(MakeRect(3, 2, 20, 10));
    auto* inner = new tGroup(MakeRect(4, 1, 14, 6));
    auto* v = new tView(MakeRect(8, 3, 15, 8)); // sticks out of INNER on the right and below
    Root->InsertView(outer);
    outer->InsertView(inner);
    inner->InsertView(v);
    EXPECT_EQ(v->ToScreen(tPoint{0, 0}), (tPoint{15, 6}));
    EXPECT_EQ(v->ToLocal(tPoint{15, 6}), (tPoint{0, 0}));
    EXPECT_TRUE(v->ContainsPoint(tPoint{21, 10}));
    EXPECT_FALSE(v->ContainsPoint(tPoint{22, 6}));
    EXPECT_EQ(v->ClipRect(), MakeRect(0, 0, 2, 2)) << "expected only the part inside INNER";
}

// Catches growth rules applied to the wrong edges, unscaled, wider than a line, or dividing
// by an owner that had no size.
TEST_F(ViewTest, ComputeBoundsFollowsTheGrowFlags) {
    struct tCase {
        const char* Name;
        std::uint8_t Grow;
        tRect Owner; // new owner bounds; the change is DELTA
        tPoint Delta;
        tRect View;
        tRect Expected;
    };
    const tCase cases[] = {
        {"none", 0, MakeRect(0, 0, 30, 20), {10, 5}, MakeRect(2, 2, 8, 6), MakeRect(2, 2, 8, 6)},
        {"right and bottom",
         GrowFlag::GrowRight | GrowFlag::GrowBottom,
         MakeRect(0, 0, 30, 20),
         {10, 5},
         MakeRect(2, 2, 8, 6),
         MakeRect(2, 2, 18, 11)},
        {"all edges shift",
         GrowFlag::GrowAll,
         MakeRect(0, 0, 30, 20),
         {10, 5},
         MakeRect(2, 2, 8, 6),
         MakeRect(12, 7, 18, 11)},
        {"relative",
         GrowFlag::GrowAll | GrowFlag::GrowRelative,
         MakeRect(0, 0, 40, 20),
         {20, 10},
         MakeRect(2, 2, 8, 6),
         MakeRect(4, 4, 16, 12)},
        {"never wider than a line",
         GrowFlag::GrowRight,
         MakeRect(0, 0, 200, 20),
         {150, 0},
         MakeRect(2, 2, 40, 6),
         MakeRect(2, 2, 134, 6)},
        {"relative from no size",
         GrowFlag::GrowRight | GrowFlag::GrowRelative,
         MakeRect(0, 0, 10, 10),
         {10, 0},
         MakeRect(0, 0, 4, 4),
         MakeRect(0, 0, 14, 4)},
    };
    for (const tCase& c : cases) {
        tGroup owner(c.Owner);
        auto* v = new tView(c.View);
        v->GrowFlags = c.Grow;
        owner.InsertView(v);
        tRect r;
        v->ComputeBounds(r, c.Delta);
        EXPECT_EQ(r, c.Expected) << c.Name;
        EXPECT_LE(r.Right - r.Left, MaxLineCells) << c.Name;
    }
}

// Catches a group resize that leaves subviews where they were.
TEST_F(ViewTest, GroupResizeMovesItsSubviews) {
    auto* box = new tGroup(MakeRect(0, 0, 10, 5));
    auto* stretch = new tView(MakeRect(0, 0, 10, 5));
    stretch->GrowFlags = GrowFlag::GrowRight | GrowFlag::GrowBottom;
    box->InsertView(stretch);
    Root->InsertView(box);
    box->Resize(15, 7);
    EXPECT_EQ(stretch->BoundsRect(), MakeRect(0, 0, 15, 7));
    EXPECT_EQ(box->ClipArea, MakeRect(0, 0, 15, 7));
    EXPECT_EQ(box->CacheBuffer.size(), 15u * 7u) << "expected the cache sized again";
}

// A view with a size range.
class tLimited : public tView {
  public:
    using tView::tView;
    void SizeRange(tPoint& min, tPoint& max) override {
        min = tPoint{4, 2};
        max = tPoint{12, 6};
    }
};

// Catches PlaceBounds ignoring the size range.
TEST_F(ViewTest, PlaceBoundsKeepsTheSizeRange) {
    auto* v = new tLimited(MakeRect(1, 1, 6, 4));
    Root->InsertView(v);
    v->PlaceBounds(MakeRect(2, 2, 3, 3));
    EXPECT_EQ(v->BoundsRect(), MakeRect(2, 2, 6, 4));
    v->PlaceBounds(MakeRect(0, 0, 30, 30));
    EXPECT_EQ(v->BoundsRect(), MakeRect(0, 0, 12, 6));
    tPoint min, max;
    tView plain(MakeRect(0, 0, 1, 1));
    plain.SizeRange(min, max);
    EXPECT_EQ(max, (tPoint{0x7FFF, 0x7FFF})) << "expected no limit without an owner";
}

// Records help requests and modal ends instead of passing them up.
class tHelpful : public tGroup {
  public:
    using tGroup::tGroup;
    void RequestHelp(TEventRec&) override { ++HelpRequests; }
    int HelpRequests = 0;
};

// Catches the base handling missing help keys or cmdAbort.
TEST_F(ViewTest, BaseHandlingOfHelpAndAbort) {
    tHelpful owner(MakeRect(0, 0, 10, 5));
    auto* v = new tView(MakeRect(0, 0, 2, 1));
    owner.InsertView(v);
    const std::uint16_t helpKeys[] = {kKeyF1, kKeyShiftF1, kKeyAltF1};
    for (std::uint16_t key : helpKeys) {
        TEventRec e = KeyEvent(key);
        v->HandleEvent(e);
    }
    TEventRec help = MessageEvent(evtCommand, cmdHelp);
    v->HandleEvent(help);
    EXPECT_EQ(owner.HelpRequests, 4) << "expected F1, Shift+F1, Alt+F1 and cmdHelp to ask";
    owner.ChangeState(ViewState::Modal, true);
    TEventRec abort = MessageEvent(evtCommand, cmdAbort);
    v->HandleEvent(abort);
    EXPECT_EQ(abort.what, evtNothing);
    EXPECT_EQ(owner.ModalResult, cmdAbort) << "expected the modal top to end";
    owner.ChangeState(ViewState::Modal, false);
    tView alone(MakeRect(0, 0, 1, 1));
    alone.ChangeState(ViewState::Modal, true);
    alone.FinishModal(cmdOk); // its own modal top: nothing to pass the command to
    alone.ChangeState(ViewState::Modal, false);
    EXPECT_EQ(ModalRegistry->Count, 0);
}

// Catches SendToView answering without a consumer, or a PostCommand that is not posted.
TEST_F(ViewTest, MessagesAndPostedCommands) {
    auto* v = new tView(MakeRect(0, 0, 2, 1));
    Root->InsertView(v);
    EXPECT_EQ(SendToView(Root.get(), evtBroadcast, 999, nullptr), nullptr);
    EXPECT_EQ(SendToView(nullptr, evtBroadcast, 999, nullptr), nullptr);
    Subscribe(v, evnDispatchEvent,
              EventHandler(
                  [](void* data, EventFrame& frame) {
                      auto* e = static_cast<TEventRec*>(frame.Argument);
                      if (e->what == evtBroadcast && e->message.command == 999)
                          static_cast<tView*>(data)->ConsumeEvent(*e);
                  },
                  static_cast<void*>(v)));
    v->AcceptMask |= evtBroadcast;
    EXPECT_EQ(SendToView(Root.get(), evtBroadcast, 999, nullptr), v);
    TEventRec e = KeyEvent('a');
    v->PostCommand(cmdOk, e);
    EXPECT_EQ(e.what, evtNothing);
    ASSERT_EQ(Root->Pending.size(), 1u);
    EXPECT_EQ(Root->Pending[0].what, evtCommand);
    EXPECT_EQ(Root->Pending[0].message.command, cmdOk);
    EXPECT_TRUE(v->EventPending()) << "expected the posted event seen and put back";
    EXPECT_EQ(Root->Pending.size(), 1u);
}

// Catches mouse tracking that goes on after the release, a lost capture or cmdAbort.
TEST_F(ViewTest, NextMouseEventEndsOnReleaseAbortOrLostCapture) {
    auto* v = new tView(MakeRect(0, 0, 5, 5));
    Root->InsertView(v);
    struct tCase {
        const char* Name;
        std::vector<TEventRec> Events; // fetched in this order
        int Moves;                     // answered true
    };
    const tCase cases[] = {
        {"release",
         {MouseEvent(evtMouseMove, 1, 1), KeyEvent('x'), MouseEvent(evtMouseMove, 2, 1),
          MouseEvent(evtMouseUp, 2, 1)},
         2},
        {"abort", {MouseEvent(evtMouseMove, 1, 1), MessageEvent(evtCommand, cmdAbort)}, 1},
    };
    for (const tCase& c : cases) {
        for (auto it = c.Events.rbegin(); it != c.Events.rend(); ++it)
            Root->Pending.push_back(*it);
        v->CaptureMouse();
        TEventRec e;
        int moves = 0;
        while (v->NextMouseEvent(e, evtMouseMove))
            ++moves;
        EXPECT_EQ(moves, c.Moves) << c.Name;
        v->ReleaseMouse();
        Root->Pending.clear();
    }
    TEventRec e;
    EXPECT_FALSE(v->NextMouseEvent(e, evtMouseMove)) << "expected false without the capture";
}

} // namespace
} // namespace zarvo::testing_views
