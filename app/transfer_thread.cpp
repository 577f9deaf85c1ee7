// The transfer thread: the requests in order; the system's reason travels back with each
// result.
#include "app/transfer_thread.h"

#include <pthread.h>

#include <algorithm>
#include <cassert>
#include <csignal>

#include "library/clocks.h"
#include "platform/os_error.h"

namespace zarvo {

tTransferThread::tTransferThread() {
    Start();
}

tTransferThread::~tTransferThread() {
    assert(!m_Abandoned && "an abandoned thread may still write into its buffers");
    AwaitBack(InFlight(), -1);
    m_Taken = m_Submitted;
    Next().Kind = tKind::Quit;
    Submit();
    WaitFor();
}

void tTransferThread::Submit() {
    assert(InFlight() < kSlots && "a free slot");
    ++m_Submitted;
    m_Requested.Advance();
}

void tTransferThread::BeginTransfer(tDosStream& stream, tDosStream::tTransferKind kind,
                                    void* buffer, std::uint16_t count) {
    tRequest& request = Next();
    request.Kind = kind == tDosStream::tTransferKind::Read ? tKind::Read : tKind::Write;
    request.Stream = &stream;
    request.Buffer = buffer;
    request.Count = count;
    Submit();
}

void tTransferThread::BeginCall(std::function<std::int64_t()> call) {
    tRequest& request = Next();
    request.Kind = tKind::Call;
    request.Call = std::move(call);
    Submit();
}

tTransferThread::tOutcome tTransferThread::TakeBack() {
    assert(Back() > 0 && "a request that is back");
    tRequest& request = m_Requests[m_Taken % kSlots];
    ++m_Taken;
    request.Call = nullptr;
    return request.Outcome;
}

std::uint32_t tTransferThread::CallAgeMs() const {
    if (!m_Calling.load(std::memory_order_acquire))
        return 0;
    return GetTickCount32() - m_CallStart.load(std::memory_order_relaxed);
}

std::uint32_t tTransferThread::LongestCallMs() const {
    return std::max(m_Longest.load(std::memory_order_relaxed), CallAgeMs());
}

void tTransferThread::Execute() {
    // The operator's signals go to the run thread, which looks at them between its waits;
    // here they would only break off a transfer.
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGCONT, SIGTSTP})
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    for (std::uint32_t next = 0;; ++next) {
        m_Requested.WaitFor(next + 1);
        tRequest& request = m_Requests[next % kSlots];
        if (request.Kind == tKind::Quit)
            return;
        std::uint64_t startMicros = GetTickMicros64();
        std::uint32_t start = GetTickCount32();
        m_CallStart.store(start, std::memory_order_relaxed);
        m_Calling.store(true, std::memory_order_release);
        SetLastOsError(0);
        if (request.Kind == tKind::Call) {
            request.Outcome.Moved = request.Call();
        } else {
            auto kind = request.Kind == tKind::Read ? tDosStream::tTransferKind::Read
                                                    : tDosStream::tTransferKind::Write;
            request.Outcome.Moved = request.Stream->MoveBytes(kind, request.Buffer, request.Count);
        }
        request.Outcome.OsError = LastOsError();
        request.Outcome.Micros =
            std::uint32_t(std::min<std::uint64_t>(GetTickMicros64() - startMicros, UINT32_MAX));
        m_Calling.store(false, std::memory_order_relaxed);
        std::uint32_t took = GetTickCount32() - start;
        if (took > m_Longest.load(std::memory_order_relaxed))
            m_Longest.store(took, std::memory_order_relaxed);
        if (m_Abandoned.load(std::memory_order_acquire))
            return;
        m_Completed.Advance();
    }
}

} // namespace zarvo
