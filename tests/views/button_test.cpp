// Buttons: their look in every state (and with markers), the mouse press tracked inside the
// button, hot keys in both layouts and the plain letter after the current view, the default
// role moving with the focus, the command set, what a press sends, and the stored form.
#include "views/button.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "tests/views/dialog_test_support.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

// A selectable view that is not a button, to hold the focus; it records the broadcasts it
// hears.
class tProbe : public tView {
  public:
    explicit tProbe(const tRect& bounds) : tView(bounds) {
        OptionFlags |= ViewOption::Selectable;
        AcceptMask |= evtBroadcast;
    }
    void HandleEvent(TEventRec& event) override {
        tView::HandleEvent(event);
        if (event.what == evtBroadcast)
            Heard.push_back({event.message.command, event.message.info});
    }
    struct tHeard {
        std::uint16_t Command;
        void* Info;
    };
    std::vector<tHeard> Heard;
};

class ButtonTest : public tDialogScreen {
  protected:
    // A dialog with the button under test at (2, 2) and a probe at (20, 2) that has the focus.
    tButton* Setup(std::uint8_t flags, std::uint16_t command = cmdOk, int height = 2,
                   std::string_view title = "~Д~а"_oem) {
        Dialog = AddDialog();
        Button = new tButton(MakeRect(2, 2, 12, 2 + height), title, command, flags);
        Dialog->InsertView(Button);
        Probe = new tProbe(MakeRect(20, 2, 30, 4));
        Dialog->InsertView(Probe);
        Probe->SelectView();
        return Button;
    }
    tDialog* Dialog = nullptr;
    tButton* Button = nullptr;
    tProbe* Probe = nullptr;
};

// Catches wrong colours for a state, a shadow on the wrong side, a pressed button that does not
// shift, a misplaced title, or markers and brackets missing on screens without colours.
TEST_F(ButtonTest, LookInEachState) {
    enum tSetup { Plain, Focused, Inactive, Disabled, Pressed, Markers, MarkersFocused };
    struct tCase {
        const char* Name;
        std::uint8_t Flags;
        int Height;
        tSetup How;
        std::vector<std::string> Rows;
        int HotColumn;         // of "Д" within the button
        std::uint8_t TextAttr; // of "а"
        std::uint8_t HotAttr;
    } cases[] = {
        {"plain", 0, 2, Plain, {"    Да   ▄", "  ▀▀▀▀▀▀▀▀"}, 4, 0x20, 0x2E},
        {"default",
         ButtonFlag::IsDefaultButton,
         2,
         Plain,
         {"    Да   ▄", "  ▀▀▀▀▀▀▀▀"},
         4,
         0x2B,
         0x2E},
        {"focused", 0, 2, Focused, {"    Да   ▄", "  ▀▀▀▀▀▀▀▀"}, 4, 0x2F, 0x2E},
        {"default in an inactive dialog",
         ButtonFlag::IsDefaultButton,
         2,
         Inactive,
         {"    Да   ▄", "  ▀▀▀▀▀▀▀▀"},
         4,
         0x20,
         0x2E},
        {"disabled", 0, 2, Disabled, {"    Да   ▄", "  ▀▀▀▀▀▀▀▀"}, 4, 0x78, 0x78},
        {"pressed", 0, 2, Pressed, {"     Да   ", "          "}, 5, 0x20, 0x2E},
        {"three rows", 0, 3, Plain, {"    Да   ▄", "         █", "  ▀▀▀▀▀▀▀▀"}, 4, 0x20, 0x2E},
        {"left-justified",
         ButtonFlag::LeftJustify,
         2,
         Plain,
         {"  Да     ▄", "  ▀▀▀▀▀▀▀▀"},
         2,
         0x20,
         0x2E},
        {"markers, focused", 0, 2, MarkersFocused, {"►[  Да  ]◄", "          "}, 4, 0x2F, 0x2E},
        {"markers, default",
         ButtonFlag::IsDefaultButton,
         2,
         Markers,
         {"→[  Да  ]←", "          "},
         4,
         0x2B,
         0x2E},
        {"markers, plain, three rows",
         0,
         3,
         Markers,
         {" [  Да  ] ", " [      ] ", "          "},
         4,
         0x20,
         0x2E},
    };
    for (const tCase& c : cases) {
        if (c.How == Disabled)
            DisableCommandSet(tCommandSet{200});
        ShowMarkers = c.How == Markers || c.How == MarkersFocused;
        tButton* button = Setup(c.Flags, c.How == Disabled ? 200 : cmdOk, c.Height);
        if (c.How == Focused || c.How == MarkersFocused)
            button->SelectView();
        tWindow* front = nullptr;
        if (c.How == Inactive) {
            front = new tWindow(MakeRect(50, 0, 70, 5), "", 0);
            Root->InsertView(front);
        }
        if (c.How == Pressed) {
            button->IsDown = true;
            button->Repaint();
        }
        EXPECT_EQ(Block(2, 2, 10, c.Height), c.Rows) << c.Name;
        EXPECT_EQ(AttrAt(2 + c.HotColumn, 2), c.HotAttr) << c.Name << ": hot letter";
        EXPECT_EQ(AttrAt(2 + c.HotColumn + 1, 2), c.TextAttr) << c.Name << ": text";
        EXPECT_EQ(AttrAt(2, 2), 0x70) << c.Name << ": column 0 in the shadow colour";
        EXPECT_EQ(AttrAt(5, 2 + c.Height - 1), 0x70) << c.Name << ": bottom row in shadow";
        FreeObject(front);
        FreeObject(Dialog);
        RestoreCommandSet(InitialCommandSet());
        ShowMarkers = false;
    }
}

// Catches a press that fires without a release inside, ignores the widened area while held,
// reacts on the shadow, presses a disabled button, or triggers when the track is aborted.
TEST_F(ButtonTest, MousePress) {
    struct tCase {
        const char* Name;
        tPoint Down; // local to the button
        std::vector<tPoint> Moves;
        bool Release; // false: the track ends with cmdAbort
        tPoint Up;
        bool DisabledButton;
        bool Triggered;
    } cases[] = {
        {"release inside", {4, 0}, {}, true, {4, 0}, false, true},
        {"release outside", {4, 0}, {{20, 0}}, true, {20, 0}, false, false},
        {"out and back in", {4, 0}, {{20, 0}, {3, 0}}, true, {3, 0}, false, true},
        {"down on the last column", {9, 0}, {}, true, {9, 0}, false, false},
        {"held onto the last column", {4, 0}, {{9, 0}}, true, {9, 0}, false, true},
        {"down on the first column", {0, 0}, {}, true, {0, 0}, false, false},
        {"down on the shadow row", {4, 1}, {}, true, {4, 1}, false, false},
        {"disabled", {4, 0}, {}, true, {4, 0}, true, false},
        {"aborted while held", {4, 0}, {}, false, {4, 0}, false, false},
    };
    for (const tCase& c : cases) {
        if (c.DisabledButton)
            DisableCommandSet(tCommandSet{200});
        tButton* button = Setup(0, c.DisabledButton ? 200 : cmdOk);
        Root->History.clear();
        for (tPoint p : c.Moves)
            Root->Script.push_back(Mouse(evtMouseMove, 2 + p.X, 2 + p.Y));
        if (c.Release)
            Root->Script.push_back(Mouse(evtMouseUp, 2 + c.Up.X, 2 + c.Up.Y));
        TEventRec down = Mouse(evtMouseDown, 2 + c.Down.X, 2 + c.Down.Y);
        button->HandleEvent(down);
        EXPECT_EQ(down.what, evtNothing) << c.Name << ": consumed";
        std::vector<std::uint16_t> expected;
        if (c.Triggered)
            expected.push_back(cmdOk);
        EXPECT_EQ(PostedCommands(), expected) << c.Name;
        EXPECT_EQ(Cells(2, 2, 10), "    Да   ▄") << c.Name << ": drawn released afterwards";
        EXPECT_FALSE(button->HasMouseCapture()) << c.Name;
        Root->Script.clear();
        Root->Posted.clear();
        FreeObject(Dialog);
        RestoreCommandSet(InitialCommandSet());
    }
}

// Catches a track that ends because the button lost the mouse (say, its dialog lost the focus)
// being taken for a release over the button.
TEST_F(ButtonTest, LostCaptureDoesNotPress) {
    tButton* button = Setup(0);
    Root->OnFetch = [] { MouseCaptor = nullptr; };
    Root->Script = {Mouse(evtMouseMove, 6, 2)};
    TEventRec down = Mouse(evtMouseDown, 6, 2);
    button->HandleEvent(down);
    Root->OnFetch = nullptr;
    EXPECT_TRUE(PostedCommands().empty()) << "expected no command";
    EXPECT_EQ(Cells(2, 2, 10), "    Да   ▄") << "expected the released look";
}

// Catches a button that is not drawn pressed while the mouse holds it inside, or stays
// pressed after the mouse left.
TEST_F(ButtonTest, PressedLookFollowsTheMouse) {
    Setup(0);
    std::vector<std::string> seen;
    Root->OnFetch = [&] { seen.push_back(Cells(2, 2, 10)); };
    Root->Script = {Mouse(evtMouseMove, 30, 2), Mouse(evtMouseMove, 6, 2), Mouse(evtMouseUp, 6, 2)};
    TEventRec down = Mouse(evtMouseDown, 6, 2);
    Root->HandleEvent(down);
    Root->OnFetch = nullptr;
    std::vector<std::string> expected = {"     Да   ", "    Да   ▄", "     Да   "};
    EXPECT_EQ(seen, expected) << "pressed, released outside, pressed again";
    EXPECT_EQ(PostedCommands(), std::vector<std::uint16_t>{cmdOk});
}

// Catches a click that does not focus a GrabFocus button, or one that focuses a plain button.
TEST_F(ButtonTest, GrabFocusClickFocuses) {
    for (std::uint8_t flags : {std::uint8_t(0), ButtonFlag::GrabFocus}) {
        tButton* button = Setup(flags);
        Root->Script = {Mouse(evtMouseUp, 6, 2)};
        TEventRec down = Mouse(evtMouseDown, 6, 2);
        Root->HandleEvent(down);
        EXPECT_EQ(button->HasState(ViewState::Focused), flags != 0) << int(flags);
        EXPECT_EQ(PostedCommands(), std::vector<std::uint16_t>{cmdOk}) << int(flags);
        Root->History.clear();
        Root->Posted.clear();
        FreeObject(Dialog);
    }
}

// Catches hot keys that answer only one keyboard layout, a plain letter taken before the
// current view had its chance, or a space that presses a button without the focus.
TEST_F(ButtonTest, HotKeysAndSpace) {
    struct tCase {
        const char* Name;
        std::uint16_t Key;
        bool FocusOnYes;
        std::uint16_t Expected; // 0: nothing pressed
    } cases[] = {
        {"Alt + the key of Д (L)", kKeyAltL, false, cmdYes},
        {"Alt + the key of Н (Y)", kKeyAltY, false, cmdNo},
        {"typed д", 0x00A4, false, cmdYes},
        {"typed Д", 0x0084, false, cmdYes},
        {"typed н", 0x00AD, false, cmdNo},
        {"typed l: not the letter", 0x266C, false, 0},
        {"Alt + another key", kKeyAltA, false, 0},
        {"space, focus elsewhere", kKeySpace, false, 0},
        {"space on the focused button", kKeySpace, true, cmdYes},
    };
    for (const tCase& c : cases) {
        tDialog* dialog = AddDialog();
        auto* yes = new tButton(MakeRect(2, 2, 12, 4), "~Д~а"_oem, cmdYes, 0);
        auto* no = new tButton(MakeRect(14, 2, 24, 4), "~Н~ет"_oem, cmdNo, 0);
        auto* probe = new tProbe(MakeRect(26, 2, 30, 4));
        dialog->InsertView(yes);
        dialog->InsertView(no);
        dialog->InsertView(probe);
        if (c.FocusOnYes)
            yes->SelectView();
        else
            probe->SelectView();
        Root->History.clear();
        TEventRec key = Key(c.Key);
        dialog->HandleEvent(key);
        std::vector<std::uint16_t> expected;
        if (c.Expected != 0)
            expected.push_back(c.Expected);
        EXPECT_EQ(PostedCommands(), expected) << c.Name;
        EXPECT_EQ(key.what == evtNothing, c.Expected != 0) << c.Name << ": consumed when pressed";
        Root->Posted.clear();
        FreeObject(dialog);
    }
}

// Catches the default role not following the focus: tabbing from the OK button to a cancel
// button makes that one the default, tabbing on to a view that is not a button gives the role
// back to the OK button, and Enter presses whichever has it.
TEST_F(ButtonTest, DefaultRoleFollowsTheFocus) {
    tDialog* dialog = AddDialog();
    auto* ok = new tButton(MakeRect(2, 2, 12, 4), "O~K~", cmdOk, ButtonFlag::IsDefaultButton);
    auto* cancel = new tButton(MakeRect(14, 2, 24, 4), "Cancel", cmdCancel, 0);
    auto* probe = new tProbe(MakeRect(26, 2, 30, 4));
    dialog->InsertView(ok);
    dialog->InsertView(cancel);
    dialog->InsertView(probe);
    ok->SelectView();
    struct tStep {
        const char* Name;
        tView* Focus;
        bool OkDefault;
        bool CancelDefault;
        std::uint16_t Pressed;
    } steps[] = {
        {"on OK", ok, true, false, cmdOk},
        {"tab to Cancel", cancel, false, true, cmdCancel},
        {"tab to a view that is not a button", probe, true, false, cmdOk},
        {"tab back to OK", ok, true, false, cmdOk},
    };
    bool first = true;
    for (const tStep& step : steps) {
        if (!first)
            Feed(dialog, Key(kKeyTab), dialog);
        first = false;
        EXPECT_EQ(dialog->CurrentView, step.Focus) << step.Name;
        EXPECT_EQ(ok->IsDefault, step.OkDefault) << step.Name;
        EXPECT_EQ(cancel->IsDefault, step.CancelDefault) << step.Name;
        Root->History.clear();
        TEventRec enter = Key(kKeyEnter);
        dialog->HandleEvent(enter);
        ASSERT_EQ(Root->Posted.size(), 1u) << step.Name;
        TEventRec defaultEvent = Root->Posted.front();
        Root->Posted.clear();
        EXPECT_EQ(defaultEvent.what, evtBroadcast) << step.Name;
        EXPECT_EQ(defaultEvent.message.command, cmdDefault) << step.Name;
        dialog->HandleEvent(defaultEvent);
        EXPECT_EQ(PostedCommands(), std::vector<std::uint16_t>{step.Pressed}) << step.Name;
        Root->Posted.clear();
    }
    EXPECT_EQ(AttrAt(2 + 4, 2), 0x2F) << "the focused OK button in the selected colour";
    Feed(dialog, Key(kKeyTab), dialog);
    EXPECT_EQ(AttrAt(2 + 4, 2), 0x20) << "OK in the normal colour while Cancel is default";
    EXPECT_EQ(AttrAt(14 + 3, 2), 0x2F) << "Cancel focused";
}

// Catches a button that keeps its disabled look, or its Disabled state, after its command was
// enabled again and cmdCommandsChanged went round; and a disabled default button that no
// longer answers cmdDefault.
TEST_F(ButtonTest, FollowsTheCommandSet) {
    DisableCommandSet(tCommandSet{200});
    tButton* button = Setup(ButtonFlag::IsDefaultButton, 200);
    EXPECT_TRUE(button->HasState(ViewState::Disabled));
    EXPECT_EQ(AttrAt(7, 2), 0x78) << "disabled colour";
    TEventRec defaultEvent = Message(evtBroadcast, cmdDefault);
    Dialog->HandleEvent(defaultEvent);
    EXPECT_EQ(PostedCommands(), std::vector<std::uint16_t>{200})
        << "the default role still answers cmdDefault";
    EnableCommandSet(tCommandSet{200});
    TEventRec changed = Message(evtBroadcast, cmdCommandsChanged);
    Dialog->HandleEvent(changed);
    EXPECT_FALSE(button->HasState(ViewState::Disabled));
    EXPECT_EQ(AttrAt(7, 2), 0x2B) << "the default colour again";
    DisableCommandSet(tCommandSet{200});
    changed = Message(evtBroadcast, cmdCommandsChanged);
    Dialog->HandleEvent(changed);
    EXPECT_TRUE(button->HasState(ViewState::Disabled));
}

// Catches a press that does not announce cmdRecordHistory first, posts when it should
// broadcast (or the other way round), or names the wrong sender.
TEST_F(ButtonTest, TriggerPostsOrBroadcasts) {
    for (std::uint8_t flags : {std::uint8_t(0), ButtonFlag::BroadcastPress}) {
        tButton* button = Setup(flags, 300);
        Root->History.clear();
        Probe->Heard.clear();
        button->Trigger();
        ASSERT_GE(Probe->Heard.size(), 1u) << int(flags);
        EXPECT_EQ(Probe->Heard[0].Command, cmdRecordHistory) << int(flags) << ": first";
        if (flags == 0) {
            EXPECT_EQ(Probe->Heard.size(), 1u);
            ASSERT_EQ(Root->History.size(), 1u);
            EXPECT_EQ(Root->History[0].what, evtCommand);
            EXPECT_EQ(Root->History[0].message.command, 300);
            EXPECT_EQ(Root->History[0].message.info, button);
        } else {
            ASSERT_EQ(Probe->Heard.size(), 2u);
            EXPECT_EQ(Probe->Heard[1].Command, 300);
            EXPECT_EQ(Probe->Heard[1].Info, button);
            EXPECT_TRUE(Root->History.empty()) << "nothing posted";
        }
        Root->Posted.clear();
        FreeObject(Dialog);
    }
}

class ButtonStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterViewStreamClasses();
        RegisterWindowStreamClasses();
        RegisterDialogStreamClasses();
    }
    void TearDown() override {
        RestoreCommandSet(InitialCommandSet());
        CommandSetChanged = false;
        ClearError();
    }
};

// Catches title, command, flags or the default role lost in a round trip, and a loaded button
// whose Disabled state does not follow the command set of the time it is loaded.
TEST_F(ButtonStreamTest, RoundTrip) {
    tButton stored(MakeRect(1, 2, 13, 4), "~П~уск"_oem, 200, ButtonFlag::LeftJustify);
    stored.IsDefault = true;
    tMemoryStream out;
    Put(out, &stored);
    ASSERT_EQ(out.Status, stOk);
    for (bool enabled : {true, false}) {
        if (!enabled)
            DisableCommandSet(tCommandSet{200});
        tMemoryStream in(out.Bytes());
        tObjectPtr<tSObject> object(Get(in));
        ASSERT_EQ(in.Status, stOk);
        auto* button = dynamic_cast<tButton*>(object.get());
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Title, "~П~уск"_oem);
        EXPECT_EQ(button->Command, 200);
        EXPECT_EQ(button->ButtonFlags, ButtonFlag::LeftJustify);
        EXPECT_TRUE(button->IsDefault);
        EXPECT_FALSE(button->IsDown);
        EXPECT_EQ(button->BoundsRect(), MakeRect(1, 2, 13, 4));
        EXPECT_EQ(button->HasState(ViewState::Disabled), !enabled);
    }
}

// Catches a button cut anywhere in its record read as a half-built button or a crash.
TEST_F(ButtonStreamTest, TruncatedGivesNil) {
    tButton stored;
    tMemoryStream out;
    Put(out, &stored);
    for (std::size_t length = 0; length < out.Bytes().size(); ++length) {
        tMemoryStream in(std::span(out.Bytes().data(), length));
        tSObject* object = Get(in);
        EXPECT_EQ(object, nullptr) << "cut at " << length;
        EXPECT_NE(in.Status, stOk) << "cut at " << length;
        FreeObject(object);
        ClearError();
    }
}

// Catches the designer's blank button made with other defaults.
TEST(ButtonDefaults, BlankButton) {
    tButton button;
    EXPECT_EQ(button.BoundsRect(), MakeRect(0, 0, 10, 2));
    EXPECT_EQ(button.Title, "Кнопка"_oem);
    EXPECT_EQ(button.Command, 0);
    EXPECT_EQ(button.ButtonFlags, 0);
    EXPECT_TRUE(button.HasOption(ViewOption::Selectable | ViewOption::FirstClick |
                                 ViewOption::PreProcess | ViewOption::PostProcess));
    EXPECT_TRUE(button.AcceptMask & evtBroadcast);
}

} // namespace
} // namespace zarvo
