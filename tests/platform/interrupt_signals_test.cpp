// The one signal set-up: each arrival is recorded once, wakes the descriptor a loop polls,
// and the handlers found before are put back.
#include "platform/interrupt_signals.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <csignal>

namespace zarvo {
namespace {

class InterruptSignalsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetInterruptState();
        m_Wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        ASSERT_GE(m_Wake, 0);
        m_PreviousWake = SetSignalWakeDescriptor(m_Wake);
    }
    void TearDown() override {
        SetSignalWakeDescriptor(m_PreviousWake);
        close(m_Wake);
        ResetInterruptState();
    }
    bool WakeReadable() {
        pollfd watch{m_Wake, POLLIN, 0};
        return poll(&watch, 1, 0) == 1;
    }
    void DrainWake() {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t got = read(m_Wake, &count, sizeof count);
    }

  private:
    int m_Wake = -1;
    int m_PreviousWake = -1;
};

// Catches a signal that wakes nobody, is taken twice, or is lost for the one who asks.
TEST_F(InterruptSignalsTest, EachSignalIsSeenOnceAndWakesTheLoop) {
    tInterruptSignalScope scope;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGCONT}) {
        SCOPED_TRACE(signal);
        DrainWake();
        ASSERT_EQ(raise(signal), 0);
        EXPECT_TRUE(WakeReadable()) << "expected the signal to wake the polled descriptor";
        EXPECT_TRUE(TakeSignal(signal)) << "expected the arrival recorded";
        EXPECT_FALSE(TakeSignal(signal)) << "expected it taken only once";
    }
}

// Catches Ctrl+C being lost for the cancel poll, or the shutdown flag not staying set.
TEST_F(InterruptSignalsTest, CancelIsTakenOnceAndShutdownStays) {
    tInterruptSignalScope scope;
    EXPECT_FALSE(InterruptPending());
    ASSERT_EQ(raise(SIGINT), 0);
    EXPECT_TRUE(InterruptPending()) << "expected a pending Ctrl+C to show";
    EXPECT_TRUE(TakeCancelRequest());
    EXPECT_FALSE(TakeCancelRequest()) << "expected one cancel per Ctrl+C";
    EXPECT_FALSE(InterruptPending());
    ASSERT_EQ(raise(SIGHUP), 0);
    EXPECT_TRUE(ShutdownRequested());
    EXPECT_TRUE(TakeSignal(SIGHUP)) << "a host takes the arrival ...";
    EXPECT_TRUE(ShutdownRequested()) << "... and the shutdown still stands";
}

// Catches the scope leaving its handlers behind, or removing handlers it did not install.
TEST_F(InterruptSignalsTest, ScopeRestoresOnlyWhatItInstalled) {
    struct sigaction current {};
    {
        tInterruptSignalScope outer;
        { tInterruptSignalScope inner; }
        sigaction(SIGTERM, nullptr, &current);
        EXPECT_NE(current.sa_handler, SIG_DFL) << "expected the outer scope's handler kept";
    }
    sigaction(SIGTERM, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "expected the default handler back";
    EXPECT_FALSE(InterruptSignalsInstalled());
}

} // namespace
} // namespace zarvo
