// The test in its progress window on the program's application: the operator's cancel, the
// close button and a shutdown reach the test through the window's input polls, and a fault
// of the program itself still leaves the server clean and the entry written.
#include <gtest/gtest.h>

#include <stdexcept>

#include "console/console_msg.h"
#include "tests/app/app_screen.h"
#include "tests/app/cycle_fixture.h"
#include "views/dialog.h"
#include "views/static_text.h"

using namespace zarvo;
using namespace zarvo::testing;

namespace {

const TConsoleMsg kEscRecord{WM_KEYDOWN, VK_ESCAPE, MakeKeyData(0x01), 0};
const TConsoleMsg kCloseRecord{WM_CLOSE, 0, 0, 0};
const TConsoleMsg kShutdownRecord{WM_QUERYENDSESSION, 0, 0, 0};

// What each question is answered with, and what the operator does meanwhile.
struct tQuestionStep {
    std::uint16_t Answer;
    const TConsoleMsg* FeedBeforeAnswer; // null: nothing
};

tHeadlessConsole* gScreen = nullptr;
std::vector<tQuestionStep> gSteps;
std::vector<std::string> gScreensAtQuestion; // the progress text at each question

// The progress window's text as the window holds it (the question covers part of it).
std::string ProgressWindowText() {
    tView* window = gApplication->FindView([](tView* p) {
        auto* dialog = dynamic_cast<tDialog*>(p);
        return dialog != nullptr && dialog->Title == "Тестирование сети"_oem;
    });
    if (window == nullptr)
        return {};
    tView* text = static_cast<tGroup*>(window)->FindView(
        [](tView* p) { return dynamic_cast<tStaticText*>(p) != nullptr; });
    return text == nullptr ? std::string() : Cp866ToUtf8(static_cast<tStaticText*>(text)->Text);
}

std::uint16_t AnswerStep(std::string_view text, std::uint16_t, void*) {
    gMessages.push_back(Cp866ToUtf8(text));
    gScreensAtQuestion.push_back(ProgressWindowText());
    if (gSteps.empty())
        return cmdYes;
    tQuestionStep step = gSteps.front();
    gSteps.erase(gSteps.begin());
    if (step.FeedBeforeAnswer != nullptr)
        gScreen->Feed(*step.FeedBeforeAnswer);
    return step.Answer;
}

class TestInWindow : public tCycleFixture {
  protected:
    void SetUp() override {
        tCycleFixture::SetUp();
        // The window's own polls, not the fixture's hook, are what is tested here.
        gProgressCancelHook = nullptr;
        MessageBoxHook = AnswerStep;
        gScreen = &Rig.Screen;
        gSteps.clear();
        gScreensAtQuestion.clear();
    }
    void TearDown() override {
        gScreen = nullptr;
        tCycleFixture::TearDown();
    }

    tAppScreenRig Rig;
};

struct tCancelCase {
    const char* Name;
    const TConsoleMsg* First;         // what starts it
    std::vector<tQuestionStep> Steps; // the answers, in order
    std::size_t Questions;            // how many are asked
};

} // namespace

// Catches a cancel button, Esc or close button that the running test never hears, a "Нет"
// that ends it anyway, and a shutdown that waits for an answer nobody gives.
TEST_F(TestInWindow, CancelCloseAndShutdown) {
    const tCancelCase cases[] = {
        {"Esc, Нет, close button, Да", &kEscRecord, {{cmdNo, &kCloseRecord}, {cmdYes, nullptr}}, 2},
        {"shutdown", &kShutdownRecord, {}, 0},
    };
    for (const tCancelCase& c : cases) {
        gMessages.clear();
        gScreensAtQuestion.clear();
        gSteps = c.Steps;
        Rig.Screen.Feed(*c.First);
        tNetworkTest test(Params(1, 0, 0));
        EXPECT_EQ(test.Run(), tTestEnd::Cancelled) << c.Name;
        ASSERT_EQ(gMessages.size(), c.Questions) << c.Name;
        for (std::size_t i = 0; i < gMessages.size(); ++i) {
            EXPECT_EQ(gMessages[i], "Вы желаете прервать процесс ?") << c.Name;
            EXPECT_NE(gScreensAtQuestion[i].find("Время работы"), std::string::npos)
                << c.Name << ": expected the progress window under the question";
        }
        EXPECT_NE(Protocol().find("Размер файла 1 Мб"), std::string::npos) << c.Name;
        ExpectNothingLeft();
        ResetInterruptState();
        InputList.Clear();
    }
}

// Catches a test asked for in the dialog that ends without its entry left on screen (the
// operator who comes back would see nothing), or a test given on the command line that
// waits at its end for a key nobody presses.
TEST_F(TestInWindow, EntryStaysOnScreenAfterADialogRun) {
    for (bool fromDialog : {true, false}) {
        gMessages.clear();
        gSteps = {{cmdYes, nullptr}};
        Rig.Screen.Feed(kEscRecord);
        tNetworkTest test(Params(1, 0, 0));
        test.ShowEntryAtEnd(fromDialog);
        EXPECT_EQ(test.Run(), tTestEnd::Cancelled);
        const std::string protocol = Protocol();
        const std::string lastEntry = protocol.substr(protocol.rfind("\r\n\r\n") + 2);
        if (fromDialog) {
            ASSERT_EQ(gMessages.size(), 2u) << "expected the question, then the entry";
            EXPECT_EQ(gMessages[1], Cp866ToUtf8(EntryAsBoxText(Utf8ToCp866(lastEntry))));
            EXPECT_NE(gMessages[1].find("Размер файла 1 Мб"), std::string::npos) << gMessages[1];
            EXPECT_EQ(gMessages[1].find("\r\r"), std::string::npos) << "expected no empty lines";
        } else {
            EXPECT_EQ(gMessages.size(), 1u) << "expected the question alone";
        }
        ResetInterruptState();
        InputList.Clear();
    }
}

// Catches the figures in the window standing still between the starts of the passes: in
// the wait between iterations the working time moves at the window's input polls.
TEST_F(TestInWindow, RunningFiguresMoveWhileWaiting) {
    Rig.Screen.Feed(kEscRecord);
    gSteps = {{cmdNo, &kEscRecord}, {cmdNo, &kEscRecord}, {cmdNo, &kEscRecord}, {cmdYes, nullptr}};
    tNetworkTest test(Params(0, 0, 60));
    EXPECT_EQ(test.Run(), tTestEnd::Cancelled);
    std::vector<std::string> waiting;
    for (const std::string& screen : gScreensAtQuestion)
        if (screen.find("Ожидание следующего запуска") != std::string::npos)
            waiting.push_back(screen.substr(0, screen.find('\r')));
    ASSERT_GE(waiting.size(), 2u) << "expected questions while waiting";
    EXPECT_NE(waiting.front(), waiting.back()) << "expected the working time to move";
}

// Catches a fault of the program itself leaving the test file on the server or the run
// without its entry.
TEST_F(TestInWindow, ExceptionStillCleansAndWritesTheEntry) {
    gProgressCancelHook = PollHook;
    gOnPoll = [](tProgress&) -> bool { throw std::logic_error("planted"); };
    tNetworkTest test(Params(1, 0, 0));
    EXPECT_THROW(test.Run(), std::logic_error);
    EXPECT_NE(Protocol().find("Ошибка: Внутренняя ошибка программы: planted"), std::string::npos)
        << Protocol();
    EXPECT_TRUE(gMessages.empty()) << "no box while the exception leaves: " << gMessages.front();
    ExpectNothingLeft();
    EXPECT_FALSE(IsErrorPending());
}
