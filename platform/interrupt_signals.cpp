// Signal flags for cancel and shutdown; nothing but atomic stores runs in the handlers.
#include "platform/interrupt_signals.h"

#include <atomic>
#include <csignal>

namespace zarvo {

namespace detail {
std::atomic<bool> gCancelRequest{false};
std::atomic<bool> gShutdownRequest{false};
} // namespace detail

namespace {

using detail::gCancelRequest;
using detail::gShutdownRequest;

extern "C" void OnInterrupt(int signal) {
    if (signal == SIGINT)
        gCancelRequest.store(true, std::memory_order_relaxed);
    else
        gShutdownRequest.store(true, std::memory_order_relaxed);
}

void SetHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(signal, &action, nullptr);
}

} // namespace

void InstallInterruptSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        SetHandler(signal, OnInterrupt);
}

void RemoveInterruptSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        SetHandler(signal, SIG_DFL);
}

using detail::gCancelRequest;
using detail::gShutdownRequest;

bool TakeCancelRequest() {
    return gCancelRequest.exchange(false, std::memory_order_relaxed);
}

bool ShutdownRequested() {
    return gShutdownRequest.load(std::memory_order_relaxed);
}

void RequestCancel() {
    gCancelRequest.store(true, std::memory_order_relaxed);
}

void RequestShutdown() {
    gShutdownRequest.store(true, std::memory_order_relaxed);
}

} // namespace zarvo
