// The calls of a test pass that touch the share run on a thread of their own. The next
// buffers' chain is made while earlier buffers cross the network, so the network never waits
// for the program's work and that work stays out of the measured time; and the run thread
// never blocks on a server that stops answering: it waits in slices, looks at the operator
// between them, and may leave a stuck call behind.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "library/dos_stream.h"
#include "library/thread.h"
#include "platform/wait_counter.h"

namespace zarvo {

class tTransferThread : public TThread {
  public:
    // Buffers in flight at most: enough that the share always has the next one queued while
    // the run thread makes or compares a few at a time.
    static constexpr std::uint32_t kSlots = 8;

    struct tOutcome {
        std::int64_t Moved = 0;
        int OsError = 0;
        // How long the call on the share took.
        std::uint32_t Micros = 0;
    };

    tTransferThread();
    // Waits for every request in flight: the stream they use may be closed only after. Never
    // called once the thread was abandoned.
    ~tTransferThread() override;

    // Requests are carried out in the order given, at most kSlots in flight; the stream and
    // the buffer must stay until the request has been taken back.
    void BeginTransfer(tDosStream& stream, tDosStream::tTransferKind kind, void* buffer,
                       std::uint16_t count);
    // Any other call on the share (flush, close, lock, cache drop); the system's reason it
    // leaves comes back as the outcome's OsError, its answer as Moved.
    void BeginCall(std::function<std::int64_t()> call);
    std::uint32_t InFlight() const { return m_Submitted - m_Taken; }
    // Requests back and not yet taken.
    std::uint32_t Back() const { return m_Completed.Load() - m_Taken; }
    // Waits until Count requests are back, at most Ms milliseconds (negative: no limit).
    bool AwaitBack(std::uint32_t count, int ms) { return m_Completed.WaitFor(m_Taken + count, ms); }
    // The oldest request, which must be back.
    tOutcome TakeBack();
    // How long the request being carried out has been under way; 0 while none is.
    std::uint32_t CallAgeMs() const;
    // The longest single request so far, counting the one under way.
    std::uint32_t LongestCallMs() const;
    // Leaves the thread to the call it is stuck in: when the call ever comes back the thread
    // ends without touching anything else. The object, the stream and the buffers must then
    // stay alive for good.
    void Abandon() { m_Abandoned.store(true, std::memory_order_release); }

  protected:
    void Execute() override;

  private:
    enum class tKind { Read, Write, Call, Quit };
    struct tRequest {
        tKind Kind = tKind::Quit;
        tDosStream* Stream = nullptr;
        void* Buffer = nullptr;
        std::uint16_t Count = 0;
        std::function<std::int64_t()> Call;
        tOutcome Outcome;
    };
    void Submit();
    tRequest& Next() { return m_Requests[m_Submitted % kSlots]; }

    tRequest m_Requests[kSlots];
    // Run thread's side: requests given and taken back.
    std::uint32_t m_Submitted = 0;
    std::uint32_t m_Taken = 0;
    tWaitCounter m_Requested;
    tWaitCounter m_Completed;
    // The tick the request under way started at, and whether one is under way.
    std::atomic<std::uint32_t> m_CallStart = 0;
    std::atomic<bool> m_Calling = false;
    std::atomic<std::uint32_t> m_Longest = 0;
    std::atomic<bool> m_Abandoned = false;
};

} // namespace zarvo
