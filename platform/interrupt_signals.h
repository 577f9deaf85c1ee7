// The operator's interrupts while Zarvo runs without a console host: Ctrl+C asks to cancel
// (and is confirmed), SIGTERM and SIGHUP ask to end at once with the usual cleanup.
#pragma once

#include <atomic>

namespace zarvo {

namespace detail {
extern std::atomic<bool> gCancelRequest;
extern std::atomic<bool> gShutdownRequest;
} // namespace detail

// Cheap enough to ask once per value of a test pass.
inline bool InterruptPending() {
    return detail::gCancelRequest.load(std::memory_order_relaxed) ||
           detail::gShutdownRequest.load(std::memory_order_relaxed);
}

// Installs the handlers without SA_RESTART, so a blocked terminal read returns.
void InstallInterruptSignals();
void RemoveInterruptSignals();

// True once per Ctrl+C.
bool TakeCancelRequest();
// True from the first SIGTERM or SIGHUP on.
bool ShutdownRequested();
// For tests and for the stand-ins' own use.
void RequestCancel();
void RequestShutdown();

} // namespace zarvo
