// The transfer thread: one call at a time; the system's reason travels back with its result.
#include "app/transfer_thread.h"

#include <cassert>
#include <chrono>

#include "platform/os_error.h"

namespace zarvo {

namespace {

// A buffer on a local or fast disk moves in about the time the next one takes to make, so the
// partner is usually a few microseconds away: sleeping at once would cost two context switches
// per buffer, more than the transfer itself. A slow share outlasts the spin and sleeps.
constexpr auto kSpinBeforeSleep = std::chrono::microseconds(50);

template <class Wanted> int AwaitState(std::atomic<int>& state, Wanted wanted) {
    int seen = state.load(std::memory_order_acquire);
    if (wanted(seen))
        return seen;
    auto until = std::chrono::steady_clock::now() + kSpinBeforeSleep;
    for (int round = 0; !wanted(seen); ++round) {
        if ((round & 63) == 63 && std::chrono::steady_clock::now() >= until)
            break;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        seen = state.load(std::memory_order_acquire);
    }
    while (!wanted(seen)) {
        state.wait(seen, std::memory_order_acquire);
        seen = state.load(std::memory_order_acquire);
    }
    return seen;
}

} // namespace

tTransferThread::tTransferThread() {
    Start();
}

tTransferThread::~tTransferThread() {
    if (m_Busy)
        Finish();
    Terminate();
    m_State.store(kQuit, std::memory_order_release);
    m_State.notify_all();
    WaitFor();
}

void tTransferThread::Begin(tDosStream& stream, tDosStream::tTransferKind kind, void* buffer,
                            std::uint16_t count) {
    assert(!m_Busy && "one transfer at a time");
    m_Stream = &stream;
    m_Kind = kind;
    m_Buffer = buffer;
    m_Count = count;
    m_Busy = true;
    m_State.store(kRequested, std::memory_order_release);
    m_State.notify_all();
}

tTransferThread::tOutcome tTransferThread::Finish() {
    assert(m_Busy && "a transfer to finish");
    AwaitState(m_State, [](int state) { return state == kDone; });
    m_State.store(kIdle, std::memory_order_relaxed);
    m_Busy = false;
    return m_Outcome;
}

void tTransferThread::Execute() {
    for (;;) {
        int state =
            AwaitState(m_State, [](int seen) { return seen == kRequested || seen == kQuit; });
        if (state == kQuit)
            return;
        SetLastOsError(0);
        m_Outcome.Moved = m_Stream->MoveBytes(m_Kind, m_Buffer, m_Count);
        m_Outcome.OsError = LastOsError();
        m_State.store(kDone, std::memory_order_release);
        m_State.notify_all();
    }
}

} // namespace zarvo
