// The progress window: its layout from the parameters, the text lines and the bar as the
// model moves, the throttled input poll that turns Esc, the cancel button and closing into a
// cancel request, and the operator's question on cancel answered both ways.
#include "views/progress_window.h"

#include <gtest/gtest.h>

#include "tests/views/dialog_test_support.h"
#include "views/message_box_call.h"
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
    tProgressWindow& Make(const tStandardProgressParams& params) {
        EXPECT_TRUE(MakeProgressWindow(Progress, &params, Root));
        Progress->PollStride = 1;
        auto& window = static_cast<tProgressWindow&>(*Progress->Display);
        window.Clock = &TestClock;
        ProgressShow(*Progress);
        return window;
    }
    static tStandardProgressParams Params(int textLines, bool bar, bool cancel) {
        tStandardProgressParams params;
        DefaultProgressParams(params);
        params.TextLines = std::uint16_t(textLines);
        params.ShowBar = bar;
        params.ShowCancel = cancel;
        return params;
    }
    std::unique_ptr<tProgress> Progress;
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
        tProgressWindow& window = Make(Params(c.TextLines, c.Bar, c.Cancel));
        std::string name =
            std::to_string(c.TextLines) + (c.Bar ? " bar" : "") + (c.Cancel ? " cancel" : "");
        EXPECT_EQ(window.Dialog()->BoundsRect(), c.Bounds) << name;
        EXPECT_EQ(window.Text() != nullptr, c.TextLines > 0) << name;
        EXPECT_EQ(window.Bar() != nullptr, c.Bar) << name;
        EXPECT_EQ(window.CancelButton() != nullptr, c.Cancel) << name;
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
    tProgressWindow& window = Make(Params(2, true, false));
    ASSERT_EQ(window.Bar()->Width, 45) << "no button: the bar runs to Margin from the edge";
    ProgressUpdate(*Progress, 0.5);
    // The bar starts at column 15 + 2 on row 9 + 7 - 3.
    EXPECT_EQ(Cells(13, 17, 45), std::string(21, ' ') + "50%" + std::string(21, ' '));
    EXPECT_EQ(window.Bar()->Cells, 22) << "22.5 cells rounds to even";
    for (int x = 0; x < 45; ++x)
        EXPECT_EQ(AttrAt(17 + x, 13), x < 22 ? kBarDoneAttr : kBarLeftAttr) << "column " << x;
}

// Catches the bar revealed or moved by a fraction of 0 or below, or a fraction past 1 taken.
TEST_F(ProgressWindowTest, FractionsOutsideTheRange) {
    tProgressWindow& window = Make(Params(2, true, true));
    struct tCase {
        double Fraction;
        bool Visible;
        std::int32_t Percent;
    } steps[] = {{0.0, false, 0},  {-0.5, false, 0}, {1.5, false, 0},
                 {0.25, true, 25}, {0.0, true, 25},  {1.0, true, 100}};
    for (const tCase& c : steps) {
        ProgressUpdate(*Progress, c.Fraction);
        EXPECT_EQ(window.Bar()->HasState(ViewState::Visible), c.Visible) << c.Fraction;
        EXPECT_EQ(window.Bar()->Percent, c.Percent) << c.Fraction;
    }
}

// Catches input polled more often than every 333 ms, a cancel request missed from Esc, the
// button or closing, a request reported while the window is hidden, or a window freed by its
// owner left dangling.
TEST_F(ProgressWindowTest, PollingForCancel) {
    // The button of the default window is at columns 52-61 of row 13.
    struct tCase {
        const char* Name;
        std::deque<TEventRec> Script;
    } cases[] = {
        {"Esc", {Key(kEsc)}},
        {"Enter on the default button", {Key(kEnter)}},
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
    tProgressWindow& window = Make(Params(2, true, true));
    window.Show(false);
    Root->Script = {Key(kEsc)};
    gNow = 5000;
    EXPECT_TRUE(ProgressUpdate(*Progress, 0.5)) << "no cancel while hidden";
    EXPECT_EQ(Root->Script.size(), 1u) << "no input taken while hidden";
    window.Show(true);
    FreeObject(window.Dialog());
    gNow = 10000;
    EXPECT_TRUE(ProgressUpdate(*Progress, 0.6)) << "without its window the model goes on";
    Root->Script.clear();
}

// Catches a disabled cancel still taking input or its button left enabled, a cancel that
// cannot be enabled again, or the bar not hidden and shown on request.
TEST_F(ProgressWindowTest, CancelAndBarSwitches) {
    tProgressWindow& window = Make(Params(2, true, true));
    EXPECT_TRUE(window.CancelEnabled()) << "cancel works from the start, and says so";
    window.EnableCancel(false);
    EXPECT_TRUE(window.CancelButton()->HasState(ViewState::Disabled));
    Root->Script = {Key(kEsc)};
    gNow = 1000;
    EXPECT_TRUE(ProgressUpdate(*Progress, 0.1)) << "no cancel while disabled";
    EXPECT_EQ(Root->Script.size(), 1u) << "no input taken while disabled";
    window.EnableCancel(true);
    EXPECT_FALSE(window.CancelButton()->HasState(ViewState::Disabled));
    gNow = 2000;
    EXPECT_FALSE(ProgressUpdate(*Progress, 0.2)) << "Esc cancels once enabled again";
    DisableCommandSet(tCommandSet{cmdCancel});
    TEventRec changed = Message(evtBroadcast, cmdCommandsChanged);
    window.Dialog()->HandleEvent(changed);
    EXPECT_FALSE(window.CancelButton()->HasState(ViewState::Disabled))
        << "the application's command set does not reach the cancel button";
    window.ShowBar(false);
    EXPECT_FALSE(window.Bar()->HasState(ViewState::Visible));
    window.ShowBar(true);
    EXPECT_TRUE(window.Bar()->HasState(ViewState::Visible));
    Root->Script.clear();
    Root->Posted.clear();
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
            Root->Script = {Key(kEsc), Key(0xAD)}; // cancel, then "н"
        if (value == 60)
            Root->Script = {Key(kEsc), Key(0x84)}; // cancel, then "Д"
        if (!askContinue(value / 100.0))
            break;
        done.push_back(value);
    }
    MessageBoxHook = saved;
    EXPECT_EQ(questions, 2) << "asked at each cancel";
    ASSERT_EQ(done.size(), 60u) << "values 0-59 done, the run ended at 60";
    for (int value = 0; value < 60; ++value)
        EXPECT_EQ(done[std::size_t(value)], value) << "no value skipped";
    EXPECT_EQ(Root->FirstView(),
              static_cast<tView*>(static_cast<tProgressWindow&>(*Progress->Display).Dialog()))
        << "the question is gone, the window stays";
}

} // namespace
} // namespace zarvo
