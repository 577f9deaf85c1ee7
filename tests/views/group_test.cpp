// tGroup: the ring and its order, event routing across the phases, positional and idle
// delivery, focus and selection, modal runs and their endings, data transfer, hints, and a
// view freed from inside its own handler.
#include "views/group.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/views/support/view_fixture.h"

namespace zarvo::testing_views {
namespace {

// Writes down every event that reaches it, by name.
class tRecorder : public tView {
  public:
    tRecorder(const tRect& bounds, std::string name, std::vector<std::string>& log)
        : tView(bounds), Name(std::move(name)), Log(log) {}
    void HandleEvent(TEventRec& event) override {
        tView::HandleEvent(event);
        if (event.what != evtNothing)
            Log.push_back(Name);
    }
    std::string Name;
    std::vector<std::string>& Log;
};

// One data byte: exports Value, imports into Value.
class tByteField : public tView {
  public:
    tByteField(std::uint8_t value) : tView(MakeRect(0, 0, 1, 1)), Value(value) {}
    std::uint16_t DataLength() override { return 1; }
    void ExportData(void* record) override { *static_cast<std::uint8_t*>(record) = Value; }
    void ImportData(const void* record) override {
        Value = *static_cast<const std::uint8_t*>(record);
    }
    std::uint8_t Value;
};

class GroupTest : public ScreenTest {};

// Catches InsertView or tInsert linking at the wrong end, and a wrong index or data order.
TEST_F(GroupTest, InsertionOrderIndexesAndDataLayout) {
    tGroup group(MakeRect(0, 0, 10, 5));
    auto* a = new tByteField('A');
    auto* b = new tByteField('B');
    auto* c = new tByteField('C');
    group.InsertView(a);
    group.InsertView(b);
    group.InsertView(c);
    EXPECT_EQ(group.FirstView(), c) << "expected the last inserted view in front";
    EXPECT_EQ(group.LastView, a);
    EXPECT_EQ(group.ViewAt(1), c);
    EXPECT_EQ(group.ViewAt(3), a);
    EXPECT_EQ(group.ViewAt(4), nullptr) << "expected nil past the last view";
    EXPECT_EQ(group.ViewAt(0), nullptr);
    EXPECT_EQ(group.IndexOfView(a), 3);
    ASSERT_EQ(group.DataLength(), 3);
    char record[4] = {};
    group.ExportData(record);
    EXPECT_STREQ(record, "ABC") << "expected creation order in the data record";
    std::memcpy(record, "xyz", 3);
    group.ImportData(record);
    EXPECT_EQ(a->Value, 'x');
    EXPECT_EQ(c->Value, 'z');

    tGroup back(MakeRect(0, 0, 10, 5));
    auto* d = new tByteField('D');
    auto* e = new tByteField('E');
    back.tInsert(d);
    back.tInsert(e);
    EXPECT_EQ(back.FirstView(), d) << "expected tInsert to keep creation order from the front";
    char reverse[3] = {};
    back.ExportData(reverse);
    EXPECT_STREQ(reverse, "ED") << "expected reverse creation order for tInsert";
}

// Catches an empty group answering an index, or a view found in a group it is not in.
TEST_F(GroupTest, EmptyGroupAndForeignViews) {
    tGroup group(MakeRect(0, 0, 10, 5));
    tView loose(MakeRect(0, 0, 1, 1));
    EXPECT_EQ(group.IndexOfView(&loose), 0);
    EXPECT_EQ(group.FirstView(), nullptr);
    EXPECT_EQ(group.ViewAt(1), nullptr);
    group.InsertView(new tView(MakeRect(0, 0, 1, 1)));
    EXPECT_EQ(group.IndexOfView(&loose), 0) << "expected 0 for a view of no group";
    group.InsertAhead(&group, nullptr);
    EXPECT_EQ(group.Owner, nullptr) << "expected a group never to be inserted into itself";
}

// Catches centring that rounds instead of truncating toward zero.
TEST_F(GroupTest, CenteringTruncatesTowardZero) {
    tGroup group(MakeRect(0, 0, 7, 7));
    auto* wide = new tView(MakeRect(0, 0, 10, 3));
    wide->OptionFlags |= ViewOption::Centered;
    group.InsertView(wide);
    EXPECT_EQ(wide->Left, -1) << "(7 - 10) / 2 truncates to -1";
    EXPECT_EQ(wide->Top, 2);
}

// Catches a removed view losing its visibility, or a group keeping it as current view.
TEST_F(GroupTest, RemovedViewStaysVisibleAndIsNoLongerCurrent) {
    auto* plain = new tView(MakeRect(1, 1, 3, 3));
    Root->InsertView(plain);
    Root->SetCurrentView(plain, tSelectMode::Normal);
    Root->RemoveView(plain);
    tObjectPtr<tView> owned(plain);
    EXPECT_EQ(plain->Owner, nullptr);
    EXPECT_TRUE(plain->HasState(ViewState::Visible)) << "expected it visible but ownerless";
    EXPECT_FALSE(plain->HasState(ViewState::Exposed));
    EXPECT_NE(Root->CurrentView, plain) << "expected the group to let go of its current view";
}

// Catches focused events going to the wrong views or in the wrong order of the phases.
TEST_F(GroupTest, FocusedEventsRunThroughThreePhases) {
    std::vector<std::string> log;
    tGroup group(MakeRect(0, 0, 20, 5));
    auto add = [&](const char* name, std::uint32_t options) {
        auto* v = new tRecorder(MakeRect(0, 0, 2, 1), name, log);
        v->OptionFlags |= options;
        group.tInsert(v);
        return v;
    };
    add("pre", ViewOption::PreProcess);
    tRecorder* current = add("current", ViewOption::Selectable);
    add("other", 0);
    add("post", ViewOption::PostProcess);
    add("both", ViewOption::PreProcess | ViewOption::PostProcess);
    group.SetCurrentView(current, tSelectMode::Normal);
    TEventRec key = KeyEvent('x');
    group.HandleEvent(key);
    EXPECT_EQ(log, (std::vector<std::string>{"pre", "both", "current", "post", "both"}));
    EXPECT_EQ(group.DispatchPhase, 2) << "expected the phase to stay 2 until the next event";

    log.clear();
    TEventRec broadcast = MessageEvent(evtBroadcast, 999);
    current->AcceptMask |= evtBroadcast;
    group.HandleEvent(broadcast);
    EXPECT_EQ(log, (std::vector<std::string>{"current"})) << "expected by accept mask only";
}

// Catches a disabled view getting keys, or a consumed event going on to later views.
TEST_F(GroupTest, DisabledViewsAndConsumedEventsStopDelivery) {
    std::vector<std::string> log;
    tGroup group(MakeRect(0, 0, 20, 5));
    auto* pre = new tRecorder(MakeRect(0, 0, 2, 1), "pre", log);
    pre->OptionFlags |= ViewOption::PreProcess;
    pre->StateFlags |= ViewState::Disabled;
    group.tInsert(pre);
    auto* eater = new tRecorder(MakeRect(0, 0, 2, 1), "eater", log);
    eater->OptionFlags |= ViewOption::PostProcess;
    group.tInsert(eater);
    auto* later = new tRecorder(MakeRect(0, 0, 2, 1), "later", log);
    later->OptionFlags |= ViewOption::PostProcess;
    group.tInsert(later);
    Subscribe(eater, evnDispatchEvent,
              EventHandler(
                  [](void* data, EventFrame& frame) {
                      static_cast<tView*>(data)->ConsumeEvent(
                          *static_cast<TEventRec*>(frame.Argument));
                      frame.Handled = true;
                  },
                  static_cast<void*>(eater)));
    TEventRec key = KeyEvent('x');
    group.HandleEvent(key);
    EXPECT_TRUE(log.empty()) << "expected nobody after the disabled view and the consumer";
    EXPECT_EQ(key.what, evtNothing);
    EXPECT_EQ(key.message.info, eater) << "expected the consumer named in the event";
}

// Catches mouse events reaching views outside the group or behind the front-most one.
TEST_F(GroupTest, PositionalEventsGoToTheFrontViewUnderTheMouse) {
    std::vector<std::string> log;
    auto* group = new tGroup(MakeRect(5, 2, 25, 8));
    Root->InsertView(group);
    group->tInsert(new tRecorder(MakeRect(0, 0, 10, 4), "front", log));
    group->tInsert(new tRecorder(MakeRect(0, 0, 20, 6), "back", log));
    struct tCase {
        int X, Y;
        std::vector<std::string> Expected;
    };
    const tCase cases[] = {
        {6, 3, {"front"}}, // screen (6, 3) is group (1, 1): both contain it
        {20, 3, {"back"}}, // group (15, 1): only the back view
        {2, 3, {}},        // left of the group
        {26, 3, {}},       // right of the group: outside its extent
    };
    for (const tCase& c : cases) {
        log.clear();
        TEventRec down = MouseEvent(evtMouseDown, c.X, c.Y);
        group->HandleEvent(down);
        EXPECT_EQ(log, c.Expected) << "mouse at " << c.X << "," << c.Y;
    }
}

// Catches a click on a selectable view not taking the focus, or its consumption ignoring
// FirstClick.
TEST_F(GroupTest, ClickSelectsAndFirstClickPassesItOn) {
    std::vector<std::string> log;
    for (bool firstClick : {false, true}) {
        log.clear();
        auto* other = new tRecorder(MakeRect(0, 0, 3, 1), "other", log);
        auto* target = new tRecorder(MakeRect(10, 0, 13, 1), "target", log);
        for (tView* v : {static_cast<tView*>(other), static_cast<tView*>(target)})
            v->OptionFlags |= ViewOption::Selectable;
        if (firstClick)
            target->OptionFlags |= ViewOption::FirstClick;
        Root->InsertView(target);
        Root->InsertView(other);
        ASSERT_EQ(Root->CurrentView, other);
        TEventRec down = MouseEvent(evtMouseDown, 11, 0);
        Root->HandleEvent(down);
        EXPECT_EQ(Root->CurrentView, target) << "expected the click to select the view";
        EXPECT_TRUE(target->HasState(ViewState::Focused));
        EXPECT_EQ(log, firstClick ? std::vector<std::string>{"target"} : std::vector<std::string>{})
            << "FirstClick " << firstClick;
        FreeObject(target);
        FreeObject(other);
    }
}

// Catches idle events visiting subviews in the plain ring order.
TEST_F(GroupTest, IdleOrderIsNextToLastBackToFirstThenLast) {
    std::vector<std::string> log;
    tGroup group(MakeRect(0, 0, 20, 5));
    for (const char* name : {"V1", "V2", "V3"}) {
        auto* v = new tRecorder(MakeRect(0, 0, 2, 1), name, log);
        v->AcceptMask |= evtIdle;
        group.tInsert(v);
    }
    TEventRec idle;
    idle.what = evtIdle;
    group.HandleEvent(idle);
    EXPECT_EQ(log, (std::vector<std::string>{"V2", "V1", "V3"}));
}

// Catches focus changes that leave two views focused, or go unannounced.
TEST_F(GroupTest, FocusMovesWithTheCurrentViewAndIsAnnounced) {
    std::vector<std::string> log;
    auto* a = new tRecorder(MakeRect(0, 0, 2, 1), "a", log);
    auto* b = new tRecorder(MakeRect(3, 0, 5, 1), "b", log);
    auto* c = new tRecorder(MakeRect(6, 0, 8, 1), "c", log);
    for (tView* v : {static_cast<tView*>(a), static_cast<tView*>(b), static_cast<tView*>(c)}) {
        v->OptionFlags |= ViewOption::Selectable;
        Root->tInsert(v);
    }
    ASSERT_EQ(Root->CurrentView, a) << "expected the front selectable view to be current";
    std::vector<std::pair<std::uint16_t, tView*>> heard;
    auto* listener = new tView(MakeRect(0, 0, 0, 0));
    listener->AcceptMask = evtBroadcast;
    Subscribe(
        listener, evnDispatchEvent,
        EventHandler(
            [](void* data, EventFrame& frame) {
                auto* e = static_cast<TEventRec*>(frame.Argument);
                if (e->what == evtBroadcast)
                    static_cast<std::vector<std::pair<std::uint16_t, tView*>>*>(data)->push_back(
                        {e->message.command, static_cast<tView*>(e->message.info)});
            },
            static_cast<void*>(&heard)));
    Root->tInsert(listener);

    EXPECT_TRUE(Root->FocusNeighbour(true));
    EXPECT_EQ(Root->CurrentView, b);
    EXPECT_FALSE(a->HasState(ViewState::Focused) || a->HasState(ViewState::Selected));
    EXPECT_TRUE(b->HasState(ViewState::Focused | ViewState::Selected));
    using tHeard = std::vector<std::pair<std::uint16_t, tView*>>;
    EXPECT_EQ(heard, (tHeard{{cmdFocusLost, a}, {cmdFocusGained, b}}));

    c->StateFlags |= ViewState::Disabled;
    EXPECT_TRUE(Root->FocusNeighbour(true));
    EXPECT_EQ(Root->CurrentView, a) << "expected the walk to skip the disabled view and wrap";
    EXPECT_EQ(Root->NextSelectable(false), b) << "backwards from a, skipping c";
    FreeObject(listener); // it writes into this test's local list
}

// A view that refuses to lose the focus.
class tStubborn : public tView {
  public:
    using tView::tView;
    bool Valid(std::uint16_t command) override { return command != cmdFocusLost; }
};

// Catches the focus leaving a view with Validate that refuses cmdFocusLost.
TEST_F(GroupTest, ValidateKeepsTheFocus) {
    auto* stubborn = new tStubborn(MakeRect(0, 0, 2, 1));
    auto* other = new tView(MakeRect(3, 0, 5, 1));
    stubborn->OptionFlags |= ViewOption::Selectable | ViewOption::Validate;
    other->OptionFlags |= ViewOption::Selectable;
    Root->tInsert(stubborn);
    Root->tInsert(other);
    ASSERT_EQ(Root->CurrentView, stubborn);
    EXPECT_FALSE(other->TakeFocus()) << "expected the refusal to be answered";
    EXPECT_EQ(Root->CurrentView, stubborn);
    EXPECT_FALSE(Root->Valid(cmdFocusLost));
    stubborn->OptionFlags &= ~ViewOption::Validate;
    EXPECT_TRUE(other->TakeFocus());
    EXPECT_EQ(Root->CurrentView, other);
}

// A dialog that refuses to close with cmdOk the first RefuseOk times.
class tDialogLike : public tGroup {
  public:
    using tGroup::tGroup;
    bool Valid(std::uint16_t command) override {
        ++Asked;
        if (command == cmdOk && RefuseOk > 0) {
            --RefuseOk;
            return false;
        }
        return command != cmdAbort || !RefuseAbort;
    }
    void HandleEvent(TEventRec& event) override {
        tGroup::HandleEvent(event);
        if (event.what == evtCommand && event.message.command != cmdAbort) {
            EndModal(event.message.command);
            ConsumeEvent(event);
        }
    }
    void EndModal(std::uint16_t command) { FinishModal(command); }
    int RefuseOk = 0;
    bool RefuseAbort = false;
    int Asked = 0;
};

// Catches modal runs that end with the wrong command, ask Valid for cmdAbort, or leave the
// modal state, the options or the command set changed behind them.
TEST_F(GroupTest, RunViewEndsWithEachCommand) {
    struct tCase {
        const char* Name;
        std::vector<std::uint16_t> Commands; // fed in this order
        int RefuseOk;
        std::uint16_t Expected;
    };
    const tCase cases[] = {
        {"ok", {cmdOk}, 0, cmdOk},
        {"cancel", {cmdCancel}, 0, cmdCancel},
        {"abort though Valid refuses it", {cmdAbort}, 0, cmdCancel},
        {"ok refused once, then ok", {cmdOk, cmdOk}, 1, cmdOk},
        {"ok refused, then abort", {cmdOk, cmdAbort}, 5, cmdCancel},
    };
    for (const tCase& c : cases) {
        tObjectPtr<tDialogLike> dialog = MakeObject<tDialogLike>(MakeRect(5, 2, 20, 8));
        dialog->RefuseOk = c.RefuseOk;
        dialog->RefuseAbort = true;
        dialog->OptionFlags |= ViewOption::ScreenOwner;
        std::uint32_t options = dialog->OptionFlags;
        tCommandSet commands = SaveCommandSet();
        for (auto it = c.Commands.rbegin(); it != c.Commands.rend(); ++it)
            Root->Pending.push_back(MessageEvent(evtCommand, *it)); // fetched newest first
        std::uint16_t result = Root->RunView(dialog.get());
        EXPECT_EQ(result, c.Expected) << c.Name;
        EXPECT_EQ(dialog->Owner, nullptr) << c.Name << ": expected it removed again";
        EXPECT_FALSE(dialog->HasState(ViewState::Modal)) << c.Name;
        EXPECT_EQ(dialog->OptionFlags, options) << c.Name << ": expected ScreenOwner kept";
        EXPECT_EQ(ModalRegistry->Count, 0) << c.Name;
        EXPECT_EQ(RunningModal, nullptr) << c.Name;
        EXPECT_TRUE(SaveCommandSet() == commands) << c.Name;
        Root->Pending.clear();
    }
    EXPECT_EQ(Root->RunView(nullptr), cmdCancel) << "expected nil to be cancelled at once";
}

// Catches the idle events of a modal run reaching groups outside the running view.
TEST_F(GroupTest, ModalFilterKeepsIdleInsideTheRunningView) {
    std::vector<std::string> log;
    auto* outside = new tGroup(MakeRect(0, 0, 10, 5));
    outside->AcceptMask |= evtIdle;
    auto* watcher = new tRecorder(MakeRect(0, 0, 1, 1), "outside", log);
    watcher->AcceptMask |= evtIdle;
    outside->InsertView(watcher);
    Root->AcceptMask |= evtIdle;
    Root->InsertView(outside);

    tObjectPtr<tDialogLike> dialog = MakeObject<tDialogLike>(MakeRect(5, 2, 20, 8));
    int idles = 0;
    Subscribe(dialog.get(), evnDispatchEvent,
              EventHandler(
                  [](void* data, EventFrame& frame) {
                      if (static_cast<TEventRec*>(frame.Argument)->what == evtIdle)
                          ++*static_cast<int*>(data);
                  },
                  static_cast<void*>(&idles)));
    Root->Pending.push_back(MessageEvent(evtCommand, cmdOk));
    TEventRec idle;
    idle.what = evtIdle;
    Root->Pending.push_back(idle);
    Root->RunView(dialog.get());
    EXPECT_GE(idles, 1) << "expected the running view to see its idle events";
    ASSERT_EQ(ModalRegistry->Count, 0);
    // Only when the dialog is modal does the filter hold: outside it, idle reaches everybody.
    log.clear();
    TEventRec direct;
    direct.what = evtIdle;
    dialog->ChangeState(ViewState::Modal, true);
    Root->InsertView(dialog.get());
    outside->DispatchEvent(direct);
    EXPECT_TRUE(log.empty()) << "expected the group outside the modal view to skip idle";
    Root->RemoveView(dialog.get());
    dialog->ChangeState(ViewState::Modal, false);
    outside->DispatchEvent(direct);
    EXPECT_EQ(log, std::vector<std::string>{"outside"});
}

// Frees itself on command 777.
class tSelfFreeing : public tView {
  public:
    tSelfFreeing(const tRect& bounds, int& alive) : tView(bounds), Alive(alive) { ++Alive; }
    ~tSelfFreeing() override { --Alive; }
    void HandleEvent(TEventRec& event) override {
        tView::HandleEvent(event);
        if (event.what == evtCommand && event.message.command == 777)
            FreeObject(this);
    }
    int& Alive;
};

// Catches a crash (or use after free, under the sanitizers) when a view frees itself while
// an event is delivered to it.
TEST_F(GroupTest, ViewFreedInsideItsOwnHandler) {
    int alive = 0;
    std::vector<std::string> log;
    auto* group = new tGroup(MakeRect(0, 0, 20, 5));
    Root->InsertView(group);
    auto* first = new tSelfFreeing(MakeRect(0, 0, 3, 1), alive);
    first->OptionFlags |= ViewOption::PostProcess | ViewOption::Selectable;
    group->tInsert(first);
    auto* second = new tSelfFreeing(MakeRect(4, 0, 7, 1), alive);
    second->OptionFlags |= ViewOption::PostProcess;
    group->tInsert(second);
    auto* after = new tRecorder(MakeRect(8, 0, 9, 1), "after", log);
    after->OptionFlags |= ViewOption::PostProcess;
    group->tInsert(after);
    ASSERT_EQ(group->CurrentView, first);
    TEventRec command = MessageEvent(evtCommand, 777);
    group->DispatchEvent(command);
    EXPECT_EQ(alive, 0) << "expected both views freed";
    EXPECT_EQ(group->CurrentView, nullptr) << "expected no link to the freed current view";
    EXPECT_EQ(group->FirstView(), after);
    EXPECT_EQ(log, std::vector<std::string>{"after"}) << "expected delivery to go on";
}

// Catches RunView putting back a current view that a handler freed during the run.
TEST_F(GroupTest, RunViewSurvivesTheSavedCurrentViewBeingFreed) {
    int alive = 0;
    auto* current = new tSelfFreeing(MakeRect(0, 0, 3, 1), alive);
    current->OptionFlags |= ViewOption::Selectable;
    Root->InsertView(current);
    ASSERT_EQ(Root->CurrentView, current);
    tObjectPtr<tDialogLike> dialog = MakeObject<tDialogLike>(MakeRect(5, 2, 20, 8));
    Subscribe(dialog.get(), evnDispatchEvent,
              EventHandler(
                  [](void* data, EventFrame& frame) {
                      auto* e = static_cast<TEventRec*>(frame.Argument);
                      if (e->what == evtCommand && e->message.command == 778) {
                          FreeObject(static_cast<tView*>(data));
                          frame.Handled = true;
                      }
                  },
                  static_cast<void*>(current)));
    Root->Pending.push_back(MessageEvent(evtCommand, cmdOk));
    Root->Pending.push_back(MessageEvent(evtCommand, 778));
    EXPECT_EQ(Root->RunView(dialog.get()), cmdOk);
    EXPECT_EQ(alive, 0);
    EXPECT_NE(Root->CurrentView, static_cast<tView*>(current))
        << "expected no link to the freed view";
}

// Catches a group that does not answer its current view's hint, or the dragging hint lost.
TEST_F(GroupTest, HintsComeFromTheCurrentViewOrTheHintTable) {
    tGroup group(MakeRect(0, 0, 10, 5));
    auto* field = new tView(MakeRect(0, 0, 2, 1));
    field->OptionFlags |= ViewOption::Selectable;
    field->HelpTopic = 42;
    group.InsertView(field);
    auto hint = [](tView& v) {
        std::string text;
        v.FireEvent(evnHintText, &text);
        return text;
    };
    EXPECT_EQ(hint(group), "") << "expected an empty text with no hint and no status line";
    HintTableHook = [](std::uint16_t context) {
        return context == 42 ? std::string("TOPIC0042") : std::string();
    };
    EXPECT_EQ(hint(group), "TOPIC0042") << "expected the current view's hint from the table";
    field->SetHintText("FIELDHINT");
    EXPECT_EQ(hint(group), "FIELDHINT");
    field->ChangeState(ViewState::Dragging, true);
    EXPECT_EQ(hint(group), kDraggingHint);
    field->ChangeState(ViewState::Dragging, false);
    field->SetHintText("");
    HintTableHook = nullptr;
    group.SetHintText("GROUPHINT");
    EXPECT_EQ(hint(group), "GROUPHINT") << "expected its own hint when the current has none";
    group.RemoveView(field);
    tObjectPtr<tView> owned(field);
    EXPECT_EQ(hint(group), "GROUPHINT") << "expected its own hint without a current view";
    HintTableHook = nullptr;
}

// Catches a state hook whose subscriber cannot step in, or the default run anyway.
TEST_F(GroupTest, StateHookSubscriberMayReplaceTheDefault) {
    auto* v = new tView(MakeRect(0, 0, 2, 1));
    Root->InsertView(v);
    Subscribe(v, evnChangeState, EventHandler([](void*, EventFrame& frame) {
                  auto* args = static_cast<tChangeStateArgs*>(frame.Argument);
                  if (args->Mask == ViewState::Visible && !args->On)
                      frame.Handled = true;
              }));
    v->Conceal();
    EXPECT_TRUE(v->HasState(ViewState::Visible)) << "expected the subscriber to veto";
    v->ChangeState(ViewState::Shadow, true);
    EXPECT_TRUE(v->HasState(ViewState::Shadow)) << "expected other changes to go through";
}

// Catches subviews left alive by their group, or the iteration hook never fired.
TEST_F(GroupTest, GroupFreesItsSubviewsAndAnnouncesIterationEnds) {
    int alive = 0;
    auto* group = new tGroup(MakeRect(0, 0, 10, 5));
    group->InsertView(new tSelfFreeing(MakeRect(0, 0, 1, 1), alive));
    group->InsertView(new tSelfFreeing(MakeRect(1, 0, 2, 1), alive));
    int ends = 0;
    Subscribe(group, evnIterationDone,
              EventHandler([](void* data, EventFrame&) { ++*static_cast<int*>(data); },
                           static_cast<void*>(&ends)));
    group->BeginIterate();
    group->ForEachView([](tView*) {});
    EXPECT_EQ(ends, 0) << "expected no announcement while an outer iteration runs";
    group->EndIterate();
    EXPECT_EQ(ends, 1);
    Root->InsertView(group);
    FreeObject(group);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(Root->FirstView(), Background) << "expected the group gone from the root";
}

// Catches PlaceBefore and BringToFront reordering the ring wrongly or leaving stale cells.
TEST_F(GroupTest, ZOrderMovesAndTheScreenFollows) {
    auto* a = new tFill(MakeRect(1, 1, 5, 3), 'A');
    auto* b = new tFill(MakeRect(3, 2, 7, 4), 'B');
    Root->InsertView(a);
    Root->InsertView(b);
    EXPECT_EQ(Grid(8, 5), (std::vector<std::string>{
                              "........",
                              ".AAAA...",
                              ".AABBBB.",
                              "...BBBB.",
                              "........",
                          }));
    a->BringToFront();
    EXPECT_EQ(Root->FirstView(), a);
    EXPECT_EQ(Grid(8, 5), (std::vector<std::string>{
                              "........",
                              ".AAAA...",
                              ".AAAABB.",
                              "...BBBB.",
                              "........",
                          }));
    a->PlaceBefore(Background);
    EXPECT_EQ(Root->FirstView(), b) << "expected a moved behind b";
    EXPECT_EQ(Grid(8, 5)[2], ".AABBBB.");
}

} // namespace
} // namespace zarvo::testing_views
