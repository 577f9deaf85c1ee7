// The transfer calls of a test pass on a thread of their own, so that the next buffer's chain
// is made while the current buffer crosses the network: the network never waits for the
// program's work between two buffers, and that work stays out of the measured time.
#pragma once

#include <atomic>
#include <cstdint>

#include "library/dos_stream.h"
#include "library/thread.h"

namespace zarvo {

class tTransferThread : public TThread {
  public:
    struct tOutcome {
        std::int64_t Moved = 0;
        int OsError = 0;
    };

    tTransferThread();
    // Waits for a transfer under way: the stream it uses may be closed only after.
    ~tTransferThread() override;

    // At most one transfer at a time; the stream and the buffer must stay until Finish.
    void Begin(tDosStream& stream, tDosStream::tTransferKind kind, void* buffer,
               std::uint16_t count);
    tOutcome Finish();
    bool Busy() const { return m_Busy; }

  protected:
    void Execute() override;

  private:
    // One handoff per 32 KiB buffer, tens of thousands a second on a fast disk: an atomic
    // that both sides wait on (it spins briefly before it sleeps) costs far less there than
    // an event's lock and wake-up.
    enum tState : int { kIdle, kRequested, kDone, kQuit };
    std::atomic<int> m_State = kIdle;
    tDosStream* m_Stream = nullptr;
    tDosStream::tTransferKind m_Kind = tDosStream::tTransferKind::Read;
    void* m_Buffer = nullptr;
    std::uint16_t m_Count = 0;
    tOutcome m_Outcome;
    bool m_Busy = false;
};

} // namespace zarvo
