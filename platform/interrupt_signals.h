// The program's one signal set-up. SIGINT (the operator's Ctrl+C: cancel, or close like the
// close button), SIGTERM and SIGHUP (end with the usual cleanup), SIGWINCH and SIGCONT (the
// terminal changed) and SIGTSTP (a stop asked for: the host gives the terminal back first) are
// caught by one handler that records the signal and writes one wake-up
// into the descriptor a host loop polls; everyone else reads the flags kept here.
#pragma once

#include <atomic>
#include <cstdint>

namespace zarvo {

namespace detail {
// Bit (1 << signal) set while that signal waits to be taken.
extern std::atomic<std::uint32_t> gPendingSignals;
extern std::atomic<bool> gShutdownRequest;
} // namespace detail

// Cheap enough to ask once per value of a test pass: a Ctrl+C not yet taken, or a shutdown.
inline bool InterruptPending() {
    constexpr std::uint32_t kInterruptBit = 1u << 2; // SIGINT
    return (detail::gPendingSignals.load(std::memory_order_relaxed) & kInterruptBit) != 0 ||
           detail::gShutdownRequest.load(std::memory_order_relaxed);
}

// Installs the handlers (once; later calls do nothing until RemoveInterruptSignals). SIGINT,
// SIGTERM and SIGHUP interrupt a blocked terminal read (no SA_RESTART); SIGWINCH, SIGCONT and
// SIGTSTP restart it. With no wake descriptor set, SIGTSTP stops the process at once, as
// it would uncaught.
void InstallInterruptSignals();
// Puts back the handlers found by InstallInterruptSignals.
void RemoveInterruptSignals();
bool InterruptSignalsInstalled();

// Installs the handlers for its lifetime unless they are installed already (then it leaves
// them alone), so a host may capture the signals inside a program that captured them too.
class tInterruptSignalScope {
  public:
    tInterruptSignalScope();
    ~tInterruptSignalScope();
    tInterruptSignalScope(const tInterruptSignalScope&) = delete;
    tInterruptSignalScope& operator=(const tInterruptSignalScope&) = delete;

  private:
    bool m_Installed = false;
};

// The descriptor the handler writes an 8-byte count of one into (an eventfd; -1: none).
// Answers the one it replaces.
int SetSignalWakeDescriptor(int descriptor);

// True once per arrival of Signal (arrivals not yet taken count as one).
bool TakeSignal(int signal);

// True once per Ctrl+C.
bool TakeCancelRequest();
// True from the first SIGTERM or SIGHUP on.
bool ShutdownRequested();
// For tests and for the stand-ins' own use.
void RequestCancel();
void RequestShutdown();
// Forgets every recorded signal and the shutdown (between tests).
void ResetInterruptState();

} // namespace zarvo
