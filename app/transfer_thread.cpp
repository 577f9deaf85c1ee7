// The transfer thread: one call at a time; the system's reason travels back with its result.
#include "app/transfer_thread.h"

#include <cassert>

#include "platform/os_error.h"

namespace zarvo {

tTransferThread::tTransferThread() {
    Start();
}

tTransferThread::~tTransferThread() {
    if (m_Busy)
        Finish();
    Terminate();
    m_Start.SetEvent();
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
    m_Start.SetEvent();
}

tTransferThread::tOutcome tTransferThread::Finish() {
    assert(m_Busy && "a transfer to finish");
    m_Done.WaitFor(kInfinite);
    m_Busy = false;
    return m_Outcome;
}

void tTransferThread::Execute() {
    for (;;) {
        m_Start.WaitFor(kInfinite);
        if (Terminated())
            return;
        SetLastOsError(0);
        m_Outcome.Moved = m_Stream->MoveBytes(m_Kind, m_Buffer, m_Count);
        m_Outcome.OsError = LastOsError();
        m_Done.SetEvent();
    }
}

} // namespace zarvo
