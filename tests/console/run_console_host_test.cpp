// The start routine end to end on the headless host: a run thread reads scripted input,
// draws, answers close requests (also those made by SIGTERM), ends the loop with the quit
// message, and the settings are saved at exit.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "console/drivers_console.h"
#include "console/headless/headless_host.h"
#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "platform/interrupt_signals.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

using Clock = std::chrono::steady_clock;

class RunConsoleHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetInterruptState();
        Path = (m_Dir.Path() / "Zarvo.ini").string();
        std::ofstream(Path) << "[System]\r\nScreenWidth=40\r\nScreenHeight=10\r\nColor0=000080\r\n";
        InputList.Clear();
        ConsoleClass = MakeDriversConsole;
    }
    void TearDown() override {
        if (RunThread.joinable())
            RunThread.join();
        ConsoleClass = nullptr;
        ClearError();
        ResetInterruptState(); // the SIGTERM case leaves the shutdown flag set
    }
    std::string ReadSettings() { return testing::ReadFileBytes(Path); }

    // The run thread: draws "Hi", then reads events until a quit command, asking the
    // afterwards function to make one; gives up after five seconds.
    void RunThreadBody(const std::function<void()>& afterFirstDraw) {
        StartConsoleDriver();
        tConsole& console = *CurrentConsole;
        console.OnMessage = [this, &console](TConsoleMsg& msg) {
            if (msg.message == WM_CLOSE || msg.message == WM_QUERYENDSESSION) {
                CloseMessages.push_back(msg.message);
                static_cast<tDriversConsole&>(console).CloseAnswer = 1;
                console.PutMessage({WM_CLOSE, 0, 0, 0}); // becomes cmdQuit below
            }
        };
        console.Activate();
        std::uint16_t cells[2] = {0x1E48, 0x1E69};
        {
            tScreenDrawBracket bracket(&console);
            console.WriteCells(3, 2, cells, 2);
        }
        console.SetCursor(4, 2, 0);
        afterFirstDraw();
        // The host paints on its own thread; once the console is gone there is nothing left
        // to paint, so wait (bounded) for the drawing to show before ending.
        auto paintDeadline = Clock::now() + std::chrono::seconds(2);
        while (Host.CellAt(4, 2) != 0x1E69 && Clock::now() < paintDeadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        auto deadline = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < deadline) {
            TEventRec event;
            ReadConsoleEvent(event, true);
            if (event.what == evtKeyDown)
                Keys.push_back(event.key.keyCode);
            if (event.what == evtCommand && event.message.command == cmdQuit) {
                QuitSeen = true;
                break;
            }
        }
        StopConsoleDriver();
        ScreenDrawLock = nullptr;
        PostHostQuit();
    }

    std::string Path;
    tHeadlessHost Host;
    std::thread RunThread;
    std::vector<std::uint16_t> Keys;
    std::vector<std::uint32_t> CloseMessages;
    bool QuitSeen = false;

  private:
    testing::tTempDir m_Dir;
};

// Catches the loop not ending on the quit message, input or drawing lost between the
// threads, the settings file not written at exit, or the surface left behind.
TEST_F(RunConsoleHostTest, ScriptedSessionEndsByCloseRequest) {
    Host.Script({{WM_KEYDOWN, VK_F1, MakeKeyData(0x3B), 0},
                 {WM_CHAR, 'x', MakeKeyData(0x2D), 0},
                 {WM_CLOSE, 0, 0, 0}});
    bool ok = RunConsoleHost(
        Host,
        [this] {
            BindScreenDrawLock();
            RunThread = std::thread([this] { RunThreadBody([] {}); });
        },
        Path);
    RunThread.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(QuitSeen) << "the close request ended the run thread";
    ASSERT_EQ(Keys.size(), 2u);
    EXPECT_EQ(Keys[0], kKeyF1);
    EXPECT_EQ(Keys[1], 0x2D78);
    ASSERT_EQ(CloseMessages.size(), 1u);
    EXPECT_EQ(Host.Cols(), 40) << "screen size from the settings file";
    EXPECT_EQ(Host.CellAt(3, 2), 0x1E48);
    EXPECT_EQ(Host.CellAt(4, 2), 0x1E69);
    EXPECT_TRUE(Host.Cursor().Visible);
    EXPECT_EQ(Host.Cursor().X, 4);
    EXPECT_FALSE(Host.SurfaceExists());
    EXPECT_EQ(HostForm, nullptr);
    EXPECT_EQ(HostPalette[0], 0x000080u) << "colours from the settings file";
    std::string saved = ReadSettings();
    EXPECT_NE(saved.find("ScreenWidth=40"), std::string::npos);
    EXPECT_NE(saved.find("FontName=Terminal"), std::string::npos);
    EXPECT_NE(saved.find("Color0=000080"), std::string::npos) << "other lines kept";
}

// Catches SIGTERM killing the program instead of arriving as a shutdown request that the
// text UI answers (so the test can clean up and write its protocol).
TEST_F(RunConsoleHostTest, SigtermBecomesShutdownRequest) {
    bool ok = RunConsoleHost(
        Host,
        [this] {
            BindScreenDrawLock();
            RunThread = std::thread([this] { RunThreadBody([] { kill(getpid(), SIGTERM); }); });
        },
        Path);
    RunThread.join();
    EXPECT_TRUE(ok);
    EXPECT_TRUE(QuitSeen);
    ASSERT_EQ(CloseMessages.size(), 1u);
    EXPECT_EQ(CloseMessages[0], WM_QUERYENDSESSION);
    struct sigaction current {};
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "the previous handler is back after the host";
}

// Catches a host that cannot make its surface leaving the form installed or calling the
// start callback.
TEST(RunConsoleHostFailureTest, SurfaceFailureLeavesNothing) {
    struct tBrokenHost : tHeadlessHost {
        bool CreateSurface(tMyForm&) override {
            PostAppError(0, "no surface");
            return false;
        }
    } host;
    bool called = false;
    EXPECT_FALSE(RunConsoleHost(
        host, [&] { called = true; }, "/nonexistent/Zarvo.ini"));
    EXPECT_FALSE(called);
    EXPECT_EQ(HostForm, nullptr);
    EXPECT_TRUE(IsErrorPending());
    ClearError();
}

} // namespace
} // namespace zarvo
