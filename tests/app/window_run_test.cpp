// The real program in the window host on a private X server: the close button during a test
// asks the cancel question ("Нет" goes on, "Да" ends it with the entry, a second close leaves
// the question open); the close button while "Параметры работы" is shown gives up at once;
// losing the display ends a test in order, saying why on stderr, instead of leaving it waiting
// for an answer. Skipped without Xvfb or xdotool.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"
#include "tests/console/x11/xvfb_display.h"

using namespace zarvo::testing;
using namespace zarvo::xtest;

namespace {

constexpr int kCancelledStatus = 3;

// The program's window, 0 while there is none.
unsigned long ProgramWindow() {
    return WindowNamed("Тестирование локальной сети");
}

std::vector<std::string> TestArguments(const tTempDir& server) {
    return {ZARVO_BINARY,  "--dir",    server.Str(), "--size",  "8",
            "--work-time", "00:01:00", "--period",   "00:00:00"};
}

void ExpectEntryAndCleanServer(const tTempDir& work, const tTempDir& server) {
    EXPECT_TRUE(std::filesystem::exists(work.Path() / "protocol.doc")) << "expected the entry";
    EXPECT_FALSE(std::filesystem::exists(server.Path() / "TEST_NET.$$$"))
        << "expected the server clean";
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "TEMP" / "Zarvo.lck"));
    // The X libraries' own allocations are not the program's leaks: nothing to report.
    EXPECT_FALSE(std::filesystem::exists(work.Path() / "Zarvo.log"))
        << "expected no log: no error, no leak";
}

// The window of a test just started, focused once the test runs in it.
unsigned long FocusedTestWindow(tChildProcess& zarvo) {
    unsigned long window = 0;
    EXPECT_TRUE(WaitFor([&] { return (window = ProgramWindow()) != 0; }, std::chrono::seconds(20)))
        << zarvo.Errors();
    if (window == 0)
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    Xdotool("windowfocus --sync " + std::to_string(window));
    return window;
}

class WindowRun : public tXvfbSuite {
  protected:
    void SetUp() override {
#ifdef ZARVO_SANITIZE
        // The sanitizer's leak check counts the X and font libraries' own caches and ends
        // the program with its own status; the plain build runs these.
        GTEST_SKIP() << "not in the sanitizer build";
#endif
        if (!gServer->Running() || !ProgramInstalled("xdotool"))
            GTEST_SKIP() << "needs Xvfb and xdotool";
    }
};

} // namespace

// Catches a close button that ends the test without asking, that the running test never
// hears (it would then run its whole minute and end with status 0), or a second close that
// dismisses the open question, so that the test runs on and the "Да" after it answers nothing.
TEST_F(WindowRun, CloseButtonAsksTheCancelQuestion) {
    // Each step: 'c' a close request, else a letter typed; the program must still run after
    // every step but the last, and end cancelled after that one.
    struct tCase {
        const char* Name;
        std::vector<std::string> Steps;
    };
    const tCase cases[] = {
        {"close, \"Нет\", close, \"Да\"", {"c", "н", "c", "д"}},
        {"close, close, \"Да\"", {"c", "c", "д"}},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tTempDir work, server;
        tChildProcess zarvo(TestArguments(server), work.Str());
        const unsigned long window = FocusedTestWindow(zarvo);
        ASSERT_NE(window, 0u) << "expected the program's window";
        for (std::size_t i = 0; i < c.Steps.size(); ++i) {
            if (c.Steps[i] == "c")
                SendDeleteWindow(window);
            else
                Xdotool("type --delay 80 " + c.Steps[i]);
            if (i + 1 == c.Steps.size())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1000));
            EXPECT_TRUE(zarvo.Running()) << "expected the test still running after step " << i;
        }
        EXPECT_EQ(zarvo.Wait(20'000), kCancelledStatus) << zarvo.Errors();
        ExpectEntryAndCleanServer(work, server);
    }
}

// Catches a close request in the parameter stage that checks the fields first (asking to make
// a typed directory that does not exist, and making it on "Да"), or that closes only the
// error box shown so that the dialog comes back: one close ends the program at once.
TEST_F(WindowRun, CloseInTheParameterDialogGivesUp) {
    struct tCase {
        const char* Name;
        const char* TypedDirectory; // under the server; null: none
        const char* KeysBefore;     // xdotool keys pressed after typing
    };
    const tCase cases[] = {
        {"a typed directory that does not exist", "новый", nullptr},
        {"the question to make a typed directory open", "новый", "Tab"},
        {"the box for an empty directory field open", nullptr, "Return"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tTempDir work, server;
        tChildProcess zarvo({ZARVO_BINARY}, work.Str());
        unsigned long window = 0;
        ASSERT_TRUE(
            WaitFor([&] { return (window = ProgramWindow()) != 0; }, std::chrono::seconds(20)))
            << zarvo.Errors();
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        Xdotool("windowfocus --sync " + std::to_string(window));
        const std::string wanted = c.TypedDirectory != nullptr
                                       ? (server.Path() / c.TypedDirectory).string()
                                       : std::string();
        if (!wanted.empty())
            Xdotool("type --delay 30 '" + wanted + "'");
        if (c.KeysBefore != nullptr)
            Xdotool(std::string("key ") + c.KeysBefore);
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        ASSERT_TRUE(zarvo.Running()) << zarvo.Errors();
        SendDeleteWindow(window);
        EXPECT_EQ(zarvo.Wait(5'000), 0) << "expected one close to end the program";
        if (!wanted.empty()) {
            EXPECT_FALSE(std::filesystem::exists(wanted)) << "expected nothing made on the share";
        }
        EXPECT_FALSE(std::filesystem::exists(work.Path() / "protocol.doc"))
            << "expected no entry: no test ran";
    }
}

// Catches a test whose window's display went away waiting for ever for an answer.
TEST_F(WindowRun, LostDisplayEndsTheTestInOrder) {
    tTempDir work, server;
    std::string saved = std::getenv("DISPLAY");
    auto own = std::make_unique<tXvfb>();
    ASSERT_TRUE(own->Running());
    const std::string ownName = own->Name();
    setenv("DISPLAY", own->Name().c_str(), 1);
    tChildProcess zarvo(TestArguments(server), work.Str());
    bool shown = WaitFor([&] { return ProgramWindow() != 0; }, std::chrono::seconds(20));
    setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_TRUE(shown) << zarvo.Errors();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    own.reset();
    EXPECT_EQ(zarvo.Wait(20'000), kCancelledStatus) << zarvo.Errors();
    ExpectEntryAndCleanServer(work, server);
    // Catches a lost display that ends the program without a word on what happened.
    EXPECT_NE(zarvo.Errors().find("потеряна связь с X-дисплеем " + ownName), std::string::npos)
        << zarvo.Errors();
}
