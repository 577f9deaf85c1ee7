// The signal handler and its flags. Nothing but atomic operations and one write(2) runs in the
// handler, all of them async-signal-safe.
#include "platform/interrupt_signals.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace zarvo {

namespace detail {
std::atomic<std::uint32_t> gPendingSignals{0};
std::atomic<bool> gShutdownRequest{false};
} // namespace detail

namespace {

using detail::gPendingSignals;
using detail::gShutdownRequest;

struct tCaught {
    int Signal;
    bool Restart; // SA_RESTART: a redraw request must not break off a blocked read
};
constexpr tCaught kCaught[] = {
    {SIGINT, false},  {SIGTERM, false}, {SIGHUP, false},
    {SIGWINCH, true}, {SIGCONT, true},  {SIGTSTP, true},
};
constexpr int kCaughtCount = int(sizeof kCaught / sizeof kCaught[0]);

std::atomic<int> gWakeDescriptor{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads it");

bool gInstalled = false;
struct sigaction gPrevious[kCaughtCount] {};

std::uint32_t BitOf(int signal) {
    return 1u << unsigned(signal);
}

extern "C" void OnSignal(int signal) {
    int savedErrno = errno;
    int descriptor = gWakeDescriptor.load(std::memory_order_relaxed);
    if (signal == SIGTSTP && descriptor < 0) {
        // No host loop to give the terminal back first: stop now.
        kill(getpid(), SIGSTOP);
        errno = savedErrno;
        return;
    }
    gPendingSignals.fetch_or(BitOf(signal), std::memory_order_relaxed);
    if (signal == SIGTERM || signal == SIGHUP)
        gShutdownRequest.store(true, std::memory_order_relaxed);
    if (descriptor >= 0) {
        std::uint64_t one = 1;
        // A full counter still reads as readable: nothing to do when the write fails.
        [[maybe_unused]] ssize_t written = write(descriptor, &one, sizeof one);
    }
    errno = savedErrno;
}

} // namespace

void InstallInterruptSignals() {
    if (gInstalled)
        return;
    for (int i = 0; i < kCaughtCount; ++i) {
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = kCaught[i].Restart ? SA_RESTART : 0;
        sigaction(kCaught[i].Signal, &action, &gPrevious[i]);
    }
    gInstalled = true;
}

void RemoveInterruptSignals() {
    if (!gInstalled)
        return;
    for (int i = 0; i < kCaughtCount; ++i)
        sigaction(kCaught[i].Signal, &gPrevious[i], nullptr);
    gInstalled = false;
}

bool InterruptSignalsInstalled() {
    return gInstalled;
}

tInterruptSignalScope::tInterruptSignalScope() : m_Installed(!gInstalled) {
    InstallInterruptSignals();
}

tInterruptSignalScope::~tInterruptSignalScope() {
    if (m_Installed)
        RemoveInterruptSignals();
}

int SetSignalWakeDescriptor(int descriptor) {
    return gWakeDescriptor.exchange(descriptor);
}

bool TakeSignal(int signal) {
    std::uint32_t bit = BitOf(signal);
    return (gPendingSignals.fetch_and(~bit, std::memory_order_relaxed) & bit) != 0;
}

bool TakeCancelRequest() {
    return TakeSignal(SIGINT);
}

bool ShutdownRequested() {
    return gShutdownRequest.load(std::memory_order_relaxed);
}

void RequestCancel() {
    gPendingSignals.fetch_or(BitOf(SIGINT), std::memory_order_relaxed);
}

void RequestShutdown() {
    gShutdownRequest.store(true, std::memory_order_relaxed);
}

void ResetInterruptState() {
    gPendingSignals.store(0);
    gShutdownRequest.store(false);
}

} // namespace zarvo
