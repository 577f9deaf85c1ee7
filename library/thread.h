// The framework's thread class over std::thread: a body to override, cooperative termination,
// waiting for the end, self-freeing threads, and calls run on the main thread (Synchronize).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "library/sync.h"

namespace zarvo {

// Set once a second thread has been made; the execution log serialises its writers from then.
extern std::atomic<bool> gIsMultiThread;

// The thread that started the program; Synchronize runs its calls there.
std::thread::id MainThreadId();
bool IsMainThread();

enum class tThreadStart { Running, Suspended };

class TThread {
  public:
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    // A thread that has not finished is asked to terminate and waited for. A class whose
    // Execute uses its own members must do the same in its destructor, because those members
    // are gone by the time this one runs.
    virtual ~TThread();

    // Starts a thread made suspended; does nothing when it was started already.
    void Start();
    // Only sets Terminated: Execute decides when to look at it.
    void Terminate() { m_Terminated = true; }
    // Waits for the thread to end and answers ReturnValue. On the main thread, Synchronize
    // calls of the awaited thread are run while waiting, so they cannot deadlock.
    std::int32_t WaitFor();

    bool Terminated() const { return m_Terminated; }
    bool Finished() const { return m_Finished; }
    std::int32_t ReturnValue() const { return m_ReturnValue; }
    // Set before the thread runs (the derived constructor): the object then frees itself when
    // the thread ends, and nobody may wait for it or destroy it.
    void SetFreeOnTerminate(bool value) { m_FreeOnTerminate = value; }
    bool FreeOnTerminate() const { return m_FreeOnTerminate; }
    // The exception that ended Execute, if any; kept for whoever looks after the thread.
    std::exception_ptr FatalException() const { return m_FatalException; }
    std::thread::id ThreadID() const { return m_ThreadId; }
    // The thread's message queue; exists before the thread runs, so posting never races it.
    const tThreadQueueRef& MessageQueue() const { return m_Queue; }

    // Run on the main thread when the thread ends (through Synchronize), when assigned.
    std::function<void(TThread&)> OnTerminate;

    // Runs Method on the main thread and waits for it; an exception it raises is raised again
    // here. Called on the main thread, it runs Method at once.
    static void Synchronize(const std::function<void()>& method);

    // Makes a thread of class T; it starts at once unless Start says Suspended.
    template <class T, class... Args>
    static std::unique_ptr<T> Create(tThreadStart start, Args&&... args) {
        auto thread = std::make_unique<T>(std::forward<Args>(args)...);
        if (start == tThreadStart::Running)
            thread->Start();
        return thread;
    }

  protected:
    TThread();

    // The body. Look at Terminated() regularly.
    virtual void Execute() = 0;
    virtual void DoTerminate();
    void SetReturnValue(std::int32_t value) { m_ReturnValue = value; }

  private:
    void Run();
    void WaitForEnd();

    std::thread m_Thread;
    std::thread::id m_ThreadId;
    tThreadQueueRef m_Queue;
    std::atomic<bool> m_Terminated = false;
    std::atomic<bool> m_Finished = false;
    std::atomic<bool> m_FreeOnTerminate = false;
    std::atomic<std::int32_t> m_ReturnValue = 0;
    std::exception_ptr m_FatalException;
    bool m_Started = false;
    bool m_Ended = false; // guarded by the synchronisation lock
    std::mutex m_JoinLock;
};

// Runs the Synchronize calls waiting for the main thread; answers whether there were any.
// The main thread's loop calls it whenever gSynchronizeWakeHook has fired.
bool CheckSynchronize();
// The thread message a main-thread loop receives for waiting Synchronize calls (the console
// host's wake hook posts it to the host thread's queue).
inline constexpr std::uint32_t kSynchronizeMessage = 36863;
// Called (on the posting thread) when a Synchronize call starts waiting, so the main loop can
// wake up; may be null.
extern std::atomic<void (*)()> gSynchronizeWakeHook;

} // namespace zarvo
