// The one wake descriptor under the host loop and the run thread's one queue: a request
// posted from the run thread wakes a host waiting in poll, a signal arriving during that wait
// is forwarded once, and a thread message arriving with an input record loses neither.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "console/drivers_console.h"
#include "console/headless/headless_host.h"
#include "console/key_codes.h"
#include "diagnostics/pending_error.h"
#include "library/sync.h"
#include "library/thread.h"
#include "platform/interrupt_signals.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

// A host whose loop waits in poll for up to ten seconds at a time: a lost wake-up shows as a
// counted time-out (never as a hang).
struct tWaitingHost : tHeadlessHost {
    std::atomic<int> TimedOut{0};
    std::atomic<int> Waits{0};
    std::atomic<int> SurfaceSignals{0};
    void RunEventLoop(tMyForm& form) override {
        while (!form.QuitPosted()) {
            pollfd wake{form.WakeFd(), POLLIN, 0};
            ++Waits;
            if (poll(&wake, 1, 10000) == 0)
                ++TimedOut;
            form.DispatchPosted();
        }
    }
    void SurfaceSignal(tMyForm&, int signal) override {
        if (signal == SIGWINCH)
            ++SurfaceSignals;
    }
};

class HostWakeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InputList.Clear();
        ResetInterruptState();
        ConsoleClass = MakeDriversConsole;
    }
    void TearDown() override {
        if (RunThread.joinable())
            RunThread.join();
        ConsoleClass = nullptr;
        ResetInterruptState();
        ClearError();
    }
    // Runs the host on this thread and Body on a run thread that owns the console.
    void Run(const std::function<void(tConsole&)>& body) {
        bool ok = RunConsoleHost(
            Host,
            [&] {
                BindScreenDrawLock();
                RunThread = std::thread([&] {
                    StartConsoleDriver();
                    CurrentConsole->Activate();
                    body(*CurrentConsole);
                    StopConsoleDriver();
                    ScreenDrawLock = nullptr;
                    PostHostQuit();
                });
            },
            (Dir.Path() / "Zarvo.ini").string());
        RunThread.join();
        EXPECT_TRUE(ok);
    }
    // Waits (bounded) until the host loop has gone to sleep in poll at least once more.
    void WaitForHostAsleep(int waitsBefore) {
        for (int i = 0; i < 2000 && Host.Waits.load() <= waitsBefore; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // The count goes up just before poll; a little more and the host is inside it.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    testing::tTempDir Dir;
    tWaitingHost Host;
    std::thread RunThread;
};

// Catches a request posted from the run thread not waking a host that sleeps in poll.
TEST_F(HostWakeTest, PostFromTheRunThreadWakesTheHostLoop) {
    Run([this](tConsole& console) {
        WaitForHostAsleep(0);
        int before = Host.Waits.load();
        console.SetCursor(6, 3, 0);
        for (int i = 0; i < 5000 && Host.Cursor().X != 6; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_GT(Host.Waits.load(), before) << "expected the host loop to wake and wait again";
    });
    EXPECT_EQ(Host.Cursor().X, 6) << "expected the cursor request carried out";
    EXPECT_EQ(Host.TimedOut.load(), 0) << "expected every wake-up to arrive, none by time-out";
}

// Catches a Synchronize call from the run thread waiting for a host loop that never wakes
// for it (the call must run on the host's thread, the program's main thread).
TEST_F(HostWakeTest, SynchronizeFromTheRunThreadRunsOnTheHostLoop) {
    std::thread::id ranOn;
    Run([&](tConsole&) {
        WaitForHostAsleep(0);
        TThread::Synchronize([&] { ranOn = std::this_thread::get_id(); });
    });
    EXPECT_EQ(ranOn, MainThreadId()) << "expected the call run by the host loop";
    EXPECT_EQ(Host.TimedOut.load(), 0) << "expected the call to wake the loop itself";
}

// Catches a signal that arrives while the host sleeps being lost, or forwarded twice.
TEST_F(HostWakeTest, SignalDuringTheWaitIsSeenOnce) {
    std::atomic<int> closeRequests{0};
    Run([&](tConsole& console) {
        console.OnMessage = [&](TConsoleMsg& msg) {
            if (msg.message == WM_QUERYENDSESSION) {
                ++closeRequests;
                static_cast<tDriversConsole&>(console).CloseAnswer = 0;
            }
        };
        WaitForHostAsleep(0);
        kill(getpid(), SIGTERM);
        WaitForHostAsleep(Host.Waits.load());
        kill(getpid(), SIGWINCH);
        // Read until the request came and then some, so a second forwarding would show.
        auto readFor = [](int rounds) {
            for (int i = 0; i < rounds; ++i) {
                TEventRec event;
                ReadConsoleEvent(event, false);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        };
        for (int i = 0; i < 5000 && closeRequests.load() == 0; ++i)
            readFor(1);
        readFor(100);
        for (int i = 0; i < 5000 && Host.SurfaceSignals.load() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    EXPECT_EQ(closeRequests.load(), 1) << "expected SIGTERM forwarded exactly once";
    EXPECT_EQ(Host.SurfaceSignals.load(), 1) << "expected SIGWINCH handed to the host once";
    EXPECT_EQ(Host.TimedOut.load(), 0) << "expected the signals to wake the loop themselves";
    EXPECT_TRUE(ShutdownRequested()) << "expected the program's shutdown flag set too";
}

// Catches the reader's drain of its queue eating a thread message that came with input.
TEST_F(HostWakeTest, ThreadMessageAndInputRecordAreBothDelivered) {
    constexpr std::uint32_t kPrivateMessage = 0x8001;
    std::vector<std::uint32_t> messages;
    std::vector<std::uint16_t> keys;
    Run([&](tConsole& console) {
        // Bounded: after about five seconds of idle ticks an Esc ends the last wait.
        int ticks = 0;
        console.OnMessage = [&](TConsoleMsg& msg) {
            if (msg.message == kPrivateMessage)
                messages.push_back(msg.wParam);
            if (msg.message == WM_TIMER && ++ticks == 500)
                console.PutMessage({WM_KEYDOWN, VK_ESCAPE, MakeKeyData(0x01), 0});
        };
        tThreadQueueRef runQueue = CurrentThreadQueue();
        std::thread sender([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            PostThreadMessage(runQueue, {kPrivateMessage, 42, 0});
            HostForm->QueueInput({WM_KEYDOWN, VK_F1 + 1, MakeKeyData(0x3C), 0});
        });
        while ((keys.empty() || messages.empty()) && ticks < 500) {
            TEventRec event;
            ReadConsoleEvent(event, true);
            if (event.what == evtKeyDown && event.key.keyCode == kKeyF2)
                keys.push_back(event.key.keyCode);
        }
        sender.join();
    });
    EXPECT_EQ(keys.size(), 1u) << "expected the input record delivered";
    ASSERT_EQ(messages.size(), 1u) << "expected the thread message handed to OnMessage once";
    EXPECT_EQ(messages[0], 42u);
}

} // namespace
} // namespace zarvo
