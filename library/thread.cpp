// TThread on std::thread, and the main-thread call queue behind Synchronize.
#include "library/thread.h"

#include <chrono>
#include <deque>
#include <stdexcept>

namespace zarvo {

std::atomic<bool> gIsMultiThread = false;
std::atomic<void (*)()> gSynchronizeWakeHook = nullptr;

namespace {

// Static initialisation runs on the thread that starts the program.
const std::thread::id gMainThread = std::this_thread::get_id();

struct tSyncRequest {
    const std::function<void()>* Method = nullptr;
    std::exception_ptr Error;
    bool Done = false;
};

// Guards the call queue and every thread's end flag; one condition variable announces both.
// Never destroyed: a thread left on a server that does not answer may end after the static
// destructors have run, and it still takes the lock and wakes the waiters.
std::mutex& gSyncLock = *new std::mutex;
std::condition_variable& gSyncChanged = *new std::condition_variable;
std::deque<tSyncRequest*> gSyncQueue;

// How often a waiting main thread looks for calls when no wake-up came.
constexpr auto kMainWaitSlice = std::chrono::milliseconds(50);

} // namespace

std::thread::id MainThreadId() {
    return gMainThread;
}
bool IsMainThread() {
    return std::this_thread::get_id() == gMainThread;
}

TThread::TThread() : m_Queue(MakeThreadQueue()) {
    gIsMultiThread = true;
}

TThread::~TThread() {
    bool onOwnThread = m_Started && std::this_thread::get_id() == m_ThreadId;
    if (m_Started && !onOwnThread && !m_Finished) {
        Terminate();
        WaitForEnd();
    }
    std::lock_guard join(m_JoinLock);
    if (m_Thread.joinable()) {
        if (onOwnThread)
            m_Thread.detach();
        else
            m_Thread.join();
    }
}

void TThread::Start() {
    if (m_Started)
        return;
    m_Started = true;
    // The new thread waits for this lock, so it never sees the handle half assigned.
    std::lock_guard guard(m_JoinLock);
    m_Thread = std::thread([this] { Run(); });
    m_ThreadId = m_Thread.get_id();
}

void TThread::Run() {
    { std::lock_guard started(m_JoinLock); }
    AttachThreadQueue(m_Queue);
    try {
        Execute();
    } catch (...) {
        m_FatalException = std::current_exception();
    }
    m_Finished = true;
    try {
        DoTerminate();
    } catch (...) {
        // The thread is ending; a failing notification has nobody left to tell.
    }
    if (m_FreeOnTerminate) {
        delete this;
        return;
    }
    {
        std::lock_guard guard(gSyncLock);
        m_Ended = true;
    }
    gSyncChanged.notify_all();
}

void TThread::DoTerminate() {
    if (OnTerminate)
        Synchronize([this] { OnTerminate(*this); });
}

std::int32_t TThread::WaitFor() {
    if (m_FreeOnTerminate)
        throw std::logic_error("WaitFor on a thread that frees itself");
    if (m_Started && std::this_thread::get_id() == m_ThreadId)
        throw std::logic_error("a thread cannot wait for itself");
    if (m_Started) {
        WaitForEnd();
        std::lock_guard join(m_JoinLock);
        if (m_Thread.joinable())
            m_Thread.join();
    }
    return m_ReturnValue;
}

void TThread::WaitForEnd() {
    std::unique_lock guard(gSyncLock);
    if (!IsMainThread()) {
        gSyncChanged.wait(guard, [this] { return m_Ended; });
        return;
    }
    while (!m_Ended) {
        guard.unlock();
        CheckSynchronize();
        guard.lock();
        gSyncChanged.wait_for(guard, kMainWaitSlice,
                              [this] { return m_Ended || !gSyncQueue.empty(); });
    }
}

void TThread::Synchronize(const std::function<void()>& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    tSyncRequest request;
    request.Method = &method;
    {
        std::lock_guard guard(gSyncLock);
        gSyncQueue.push_back(&request);
    }
    gSyncChanged.notify_all();
    if (auto hook = gSynchronizeWakeHook.load())
        hook();
    {
        std::unique_lock guard(gSyncLock);
        gSyncChanged.wait(guard, [&request] { return request.Done; });
    }
    if (request.Error)
        std::rethrow_exception(request.Error);
}

bool CheckSynchronize() {
    if (!IsMainThread())
        return false;
    bool ranAny = false;
    for (;;) {
        tSyncRequest* request = nullptr;
        {
            std::lock_guard guard(gSyncLock);
            if (gSyncQueue.empty())
                break;
            request = gSyncQueue.front();
            gSyncQueue.pop_front();
        }
        try {
            (*request->Method)();
        } catch (...) {
            request->Error = std::current_exception();
        }
        {
            std::lock_guard guard(gSyncLock);
            request->Done = true;
        }
        gSyncChanged.notify_all();
        ranAny = true;
    }
    return ranAny;
}

} // namespace zarvo
