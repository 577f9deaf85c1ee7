// The progress window built from adapters: its layout from the parameters, the text lines
// and the bar as the model moves, the throttled input poll that turns Esc, the cancel button
// and closing into a cancel request, the switches, who outlives whom, and the operator's
// question on cancel answered both ways.
#include "views/progress_adapters.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "tests/views/dialog_test_support.h"
#include "views/button.h"
#include "views/message_box_call.h"
#include "views/progress_bar.h"
#include "views/static_text.h"
#include "views/text_message_box.h"

namespace zarvo {
namespace {

using namespace testing_dialogs;

// A root with nothing to give when asked without waiting, as a quiet console.
class tPollRoot : public tDialogRoot {
  public:
    using tDialogRoot::tDialogRoot;
    void FetchEvent(TEventRec& event, bool wait) override {
        if (!wait && Posted.empty() && Script.empty()) {
            event.Clear();
            return;
        }
        tDialogRoot::FetchEvent(event, wait);
    }
};

std::uint32_t gNow = 0;
std::uint32_t TestClock() {
    return gNow;
}

class ProgressWindowTest : public tDialogScreen {
  protected:
    void SetUp() override {
        tDialogScreen::SetUp();
        FreeObject(Root);
        Root = new tPollRoot(MakeRect(0, 0, kCols, kRows));
        Root->Repaint();
        gNow = 0;
    }
    void TearDown() override {
        Progress.reset();
        tDialogScreen::TearDown();
    }
    // A shown window on the test clock, polled on every call.
    tProgressAdapter& Make(const tStandardProgressParams& params) {
        tProgressAdapter* adapter = MakeProgressWindow(Progress, &params, Root);
        EXPECT_NE(adapter, nullptr) << "the window is made";
        Progress->PollStride = 1;
        adapter->Clock = &TestClock;
        ProgressShow(*Progress);
        return *adapter;
    }
    static tStandardProgressParams Params(int textLines, bool bar, bool cancel) {
        tStandardProgressParams params;
        DefaultProgressParams(params);
        params.TextLines = std::uint16_t(textLines);
        params.ShowBar = bar;
        params.ShowCancel = cancel;
        return params;
    }
    // The dialog's one view of that class, or null.
    template <class T> T* Find() {
        auto* dialog = static_cast<tGroup*>(ProgressDialog(*Progress));
        if (dialog == nullptr)
            return nullptr;
        return static_cast<T*>(
            dialog->FindView([](tView* p) { return dynamic_cast<T*>(p) != nullptr; }));
    }
    tObjectPtr<tProgress> Progress;
};

// Catches a wrong height rule (3 rows plus the text, plus 2 for a bar or button, else 1),
// a window not centred on the host, or a text, bar or button made when not asked for.
TEST_F(ProgressWindowTest, SizePerParams) {
    struct tCase {
        int TextLines;
        bool Bar, Cancel;
        tRect Bounds;
    } cases[] = {
        {2, true, true, MakeRect(15, 9, 64, 16)},    {8, true, true, MakeRect(15, 6, 64, 19)},
        {0, false, false, MakeRect(15, 10, 64, 14)}, {0, true, false, MakeRect(15, 10, 64, 15)},
        {0, false, true, MakeRect(15, 10, 64, 15)},
    };
    for (const tCase& c : cases) {
        tProgressAdapter& window = Make(Params(c.TextLines, c.Bar, c.Cancel));
        std::string name =
            std::to_string(c.TextLines) + (c.Bar ? " bar" : "") + (c.Cancel ? " cancel" : "");
        EXPECT_EQ(ProgressDialog(*Progress), window.Dialog()) << name << ": the dialog query";
        EXPECT_EQ(window.Dialog()->BoundsRect(), c.Bounds) << name;
        EXPECT_EQ(Find<tStaticText>() != nullptr, c.TextLines > 0) << name;
        EXPECT_EQ(Find<tProgressBar>() != nullptr, c.Bar) << name;
        EXPECT_EQ(Find<tButton>() != nullptr, c.Cancel) << name;
        EXPECT_EQ(window.Dialog()->Owner, Root) << name << ": shown in the host";
        Progress.reset();
        EXPECT_EQ(Root->FirstView(), nullptr) << name << ": the model takes the window away";
    }
}

// Catches text lines not placed Margin columns in or not breaking at carriage returns, a bar
// shown before its first position, a wrong or off-centre percentage, or the bar row moved.
TEST_F(ProgressWindowTest, TextAndBarAt0And50And100) {
    Make(Params(8, true, true));
    ProgressSetText(*Progress, "Запись файла\r\x03Проход 1"_oem);
    const std::vector<std::string> top = {
        "╔═[■]════════════ Подождите... ═════════════════╗",
        "║                                               ║",
        "║ Запись файла                                  ║",
        "║                   Проход 1                    ║",
    };
    struct tCase {
        double Fraction;
        const char* BarRow;
    } cases[] = {
        {0.0, "║                                      Отмена ▄ ║"},
        {0.5, "║                 50%                  Отмена ▄ ║"},
        {1.0, "║                100%                  Отмена ▄ ║"},
    };
    for (const tCase& c : cases) {
        EXPECT_TRUE(ProgressUpdate(*Progress, c.Fraction));
        EXPECT_EQ(Block(15, 6, 49, 4), top) << c.Fraction;
        EXPECT_EQ(Cells(16, 15, 49), c.BarRow) << c.Fraction;
        EXPECT_EQ(Cells(17, 15, 49), "║                                      ▀▀▀▀▀▀▀▀ ║")
            << c.Fraction << ": the button's second row";
    }
}

// Catches the filled part rounded other than half to even, colours taken from a palette
// instead of the fixed pair, or the percentage not centred in a 45-column bar.
TEST_F(ProgressWindowTest, BarColoursAtHalf) {
    Make(Params(2, true, false));
    tProgressBar* bar = Find<tProgressBar>();
    ASSERT_EQ(bar->Width, 45) << "no button: the bar runs to Margin from the edge";
    ProgressUpdate(*Progress, 0.5);
    // The bar starts at column 15 + 2 on row 9 + 7 - 3.
    EXPECT_EQ(Cells(13, 17, 45), std::string(21, ' ') + "50%" + std::string(21, ' '));
    EXPECT_EQ(bar->Cells, 22) << "22.5 cells rounds to even";
    for (int x = 0; x < 45; ++x)
        EXPECT_EQ(AttrAt(17 + x, 13), x < 22 ? kBarDoneAttr : kBarLeftAttr) << "column " << x;
}

// Catches the bar revealed or moved by a fraction of 0 or below, or a fraction past 1 taken.
TEST_F(ProgressWindowTest, FractionsOutsideTheRange) {
    Make(Params(2, true, true));
    tProgressBar* bar = Find<tProgressBar>();
    struct tCase {
        double Fraction;
        bool Visible;
        std::int32_t Percent;
    } steps[] = {{0.0, false, 0},  {-0.5, false, 0}, {1.5, false, 0},
                 {0.25, true, 25}, {0.0, true, 25},  {1.0, true, 100}};
    for (const tCase& c : steps) {
        ProgressUpdate(*Progress, c.Fraction);
        EXPECT_EQ(bar->HasState(ViewState::Visible), c.Visible) << c.Fraction;
        EXPECT_EQ(bar->Percent, c.Percent) << c.Fraction;
    }
}

// Catches input polled more often than every 333 ms, or a cancel request missed from Esc,
// the button or closing.
TEST_F(ProgressWindowTest, PollingForCancel) {
    // The button of the default window is at columns 52-61 of row 13.
    struct tCase {
        const char* Name;
        std::deque<TEventRec> Script;
    } cases[] = {
        {"Esc", {Key(kKeyEsc)}},
        {"Enter on the default button", {Key(kKeyEnter)}},
        {"click on Отмена", {Mouse(evtMouseDown, 54, 13), Mouse(evtMouseUp, 54, 13)}},
        {"close command", {Message(evtCommand, cmdClose)}},
    };
    for (const tCase& c : cases) {
        Make(Params(2, true, true));
        gNow = 1000;
        EXPECT_TRUE(ProgressUpdate(*Progress, 0.1)) << c.Name << ": nothing asked yet";
        Root->Script = c.Script;
        gNow = 1000 + kProgressPollMs - 1;
        EXPECT_TRUE(ProgressUpdate(*Progress, 0.2)) << c.Name << ": too soon to poll";
        EXPECT_EQ(Root->Script.size(), c.Script.size()) << c.Name << ": input left alone";
        gNow = 1000 + kProgressPollMs;
        EXPECT_FALSE(ProgressUpdate(*Progress, 0.3)) << c.Name << ": a due poll sees it";
        Root->Script.clear();
        Root->Posted.clear();
        Progress.reset();
    }
}

// Catches a cancel reported or input taken while the window is hidden, the running figures
// refreshed on calls that do not poll, or a clock running backwards taken for a long pause.
TEST_F(ProgressWindowTest, PollsOnlyWhenDueAndShown) {
    Make(Params(2, true, true));
    int refreshes = 0;
    Progress->OnPoll = [&] { ++refreshes; };
    ProgressSetSwitch(*Progress, evnProgressVisible, false);
    EXPECT_FALSE(ProgressSwitchOn(*Progress, evnProgressVisible)) << "hidden on request";
    EXPECT_EQ(Root->FirstView(), nullptr) << "hiding takes the dialog out of the host";
    Root->Script = {Key(kKeyEsc)};
    struct tStep {
        std::uint32_t Now;
        int Refreshes;
    } steps[] = {{100, 0}, {332, 0}, {333, 1}, {600, 1}, {666, 2}, {400, 2}, {333, 3}};
    for (const tStep& s : steps) {
        gNow = s.Now;
        EXPECT_TRUE(ProgressUpdate(*Progress, 0.5)) << s.Now << ": no cancel while hidden";
        EXPECT_EQ(refreshes, s.Refreshes) << s.Now << ": a refresh per due poll";
    }
    EXPECT_EQ(Root->Script.size(), 1u) << "no input taken while hidden";
    ProgressShow(*Progress);
    EXPECT_TRUE(ProgressSwitchOn(*Progress, evnProgressVisible));
    gNow = 1000;
    EXPECT_FALSE(ProgressUpdate(*Progress, 0.5)) << "the waiting Esc, once shown again";
    Root->Script.clear();
    Root->Posted.clear();
}

// Catches a disabled cancel still taking input or its button left enabled, a cancel that
// cannot be enabled again, a command-set change reaching the button, or the bar switch
// ignored.
TEST_F(ProgressWindowTest, CancelAndBarSwitches) {
    Make(Params(2, true, true));
    tButton* button = Find<tButton>();
    tProgressBar* bar = Find<tProgressBar>();
    EXPECT_TRUE(ProgressSwitchOn(*Progress, evnProgressCancelOn))
        << "cancel works from the start, and says so";
    ProgressSetSwitch(*Progress, evnProgressCancelOn, false);
    EXPECT_FALSE(ProgressSwitchOn(*Progress, evnProgressCancelOn));
    EXPECT_TRUE(button->HasState(ViewState::Disabled));
    EXPECT_EQ(Progress->CancelEvent, nullptr) << "nobody answers the cancel query now";
    Root->Script = {Key(kKeyEsc)};
    gNow = 1000;
    EXPECT_TRUE(ProgressUpdate(*Progress, 0.1)) << "no cancel while disabled";
    EXPECT_EQ(Root->Script.size(), 1u) << "no input taken while disabled";
    ProgressSetSwitch(*Progress, evnProgressCancelOn, true);
    EXPECT_TRUE(ProgressSwitchOn(*Progress, evnProgressCancelOn));
    EXPECT_FALSE(button->HasState(ViewState::Disabled));
    gNow = 2000;
    EXPECT_FALSE(ProgressUpdate(*Progress, 0.2)) << "Esc cancels once enabled again";
    DisableCommandSet(tCommandSet{cmdCancel});
    TEventRec changed = Message(evtBroadcast, cmdCommandsChanged);
    static_cast<tGroup*>(ProgressDialog(*Progress))->HandleEvent(changed);
    EXPECT_FALSE(button->HasState(ViewState::Disabled))
        << "the application's command set does not reach the cancel button";
    for (bool on : {false, true}) {
        ProgressSetSwitch(*Progress, evnProgressBarOn, on);
        EXPECT_EQ(bar->HasState(ViewState::Visible), on);
        EXPECT_EQ(ProgressSwitchOn(*Progress, evnProgressBarOn), on);
    }
    Root->Script.clear();
    Root->Posted.clear();
}

// Catches adapters left listening to a model whose dialog was freed by its owner (a dangling
// view, or a cancel reported with no window), or a window and its adapter that outlive the
// model.
TEST_F(ProgressWindowTest, WhoOutlivesWhom) {
    static int ends = 0;
    ends = 0;
    EventHandler countEnd([](void*, EventFrame&) { ++ends; });
    tProgressAdapter* window = &Make(Params(2, true, true));
    window->Subscribe(evnObjectFree, countEnd);
    ProgressSetText(*Progress, "Запись"_oem);
    FreeObject(window->Dialog());
    EXPECT_EQ(ends, 1) << "the window adapter ends with its dialog";
    for (std::string_view name : {evnProgressText, evnProgressPosition, evnProgressCancel,
                                  evnProgressVisible, evnProgressCancelOn, evnProgressBarOn})
        EXPECT_EQ(Progress->FindEvent(name), nullptr) << name << ": nobody listens any more";
    EXPECT_EQ(ProgressDialog(*Progress), nullptr);
    EXPECT_FALSE(ProgressSwitchOn(*Progress, evnProgressVisible));
    for (std::uint32_t now : {1000u, 2000u, 3000u}) {
        gNow = now;
        ProgressSetText(*Progress, "Чтение"_oem);
        EXPECT_TRUE(ProgressUpdate(*Progress, now / 4000.0)) << "the model goes on alone";
    }
    Progress.reset();
    window = &Make(Params(8, true, true));
    window->Subscribe(evnObjectFree, countEnd);
    ProgressUpdate(*Progress, 0.5);
    Progress.reset();
    EXPECT_EQ(Root->FirstView(), nullptr) << "the model takes its window away";
    EXPECT_EQ(ends, 2) << "the window adapter ends with the model";
}

// Catches a cancel that skips the value it was asked at, a "Нет" that does not resume, or a
// "Да" that does not end the operation.
TEST_F(ProgressWindowTest, CancelQuestionNoThenYes) {
    static int questions = 0;
    questions = 0;
    tMessageBoxHook saved = MessageBoxHook;
    MessageBoxHook = [](std::string_view text, std::uint16_t flags, void* reserved) {
        ++questions;
        EXPECT_EQ(text, "Вы желаете прервать процесс ?"_oem);
        return TextModeMessageBox(text, flags, reserved);
    };
    Make(Params(2, true, true));
    auto askContinue = [&](double fraction) {
        return ProgressUpdate(*Progress, fraction) ||
               MessageBoxCall("Вы желаете прервать процесс ?"_oem, mbYes | mbNo) != cmdYes;
    };
    std::vector<int> done;
    for (int value = 0; value < 100; ++value) {
        gNow += kProgressPollMs;
        if (value == 30)
            Root->Script = {Key(kKeyEsc), Key(0xAD)}; // cancel, then "н"
        if (value == 60)
            Root->Script = {Key(kKeyEsc), Key(0x84)}; // cancel, then "Д"
        if (!askContinue(value / 100.0))
            break;
        done.push_back(value);
    }
    MessageBoxHook = saved;
    EXPECT_EQ(questions, 2) << "asked at each cancel";
    ASSERT_EQ(done.size(), 60u) << "values 0-59 done, the run ended at 60";
    for (int value = 0; value < 60; ++value)
        EXPECT_EQ(done[std::size_t(value)], value) << "no value skipped";
    EXPECT_EQ(Root->FirstView(), ProgressDialog(*Progress))
        << "the question is gone, the window stays";
}

} // namespace
} // namespace zarvo
