// Synchronisation objects shared between the program's threads: events, mutexes, critical
// sections, the per-thread message queues and the multi-object wait that watches them all.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zarvo {

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
// Results of a wait: kWaitObject0 + index of the object, kWaitObject0 + count for input.
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;

// A synchronisation object that cannot be made or waited for: a programming or system
// fault, not an ordinary failure. The text is CP866.
class ESyncError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace detail {
struct tWaitAccess;
struct tWaitableState;
} // namespace detail

// Anything the multi-object wait can watch. Objects created with the same non-empty name
// share one state, as named objects of one process do.
class THandledObject {
  public:
    THandledObject(const THandledObject&) = delete;
    THandledObject& operator=(const THandledObject&) = delete;
    virtual ~THandledObject();

    const std::string& Name() const { return m_Name; }

  protected:
    THandledObject(std::string_view name, std::shared_ptr<detail::tWaitableState> state);

    std::shared_ptr<detail::tWaitableState> m_State;

  private:
    friend struct detail::tWaitAccess;
    std::string m_Name;
};

enum class tEventReset { Manual, Automatic };

// Starts not signalled. An automatic-reset event lets exactly one wait through per SetEvent.
class tEvent : public THandledObject {
  public:
    explicit tEvent(std::string_view name = {}, tEventReset reset = tEventReset::Automatic);

    void SetEvent();
    void ResetEvent();
    // True when the event was signalled within Ms milliseconds (kInfinite: no limit).
    bool WaitFor(std::uint32_t ms);
};

// A mutex that its owning thread may take again; each take needs one Release.
class TMutex : public THandledObject {
  public:
    explicit TMutex(std::string_view name);

    bool WaitFor(std::uint32_t ms);
    // False when the calling thread does not own the mutex.
    bool Release();
};

// Re-entrant like the section it stands for: the holder may enter again.
class TCriticalSection {
  public:
    void Enter() { m_Lock.lock(); }
    void Leave() { m_Lock.unlock(); }
    bool TryEnter() { return m_Lock.try_lock(); }

    // Satisfies the standard lockable requirements, so std::lock_guard works on it.
    void lock() { Enter(); }
    void unlock() { Leave(); }

  private:
    std::recursive_mutex m_Lock;
};

// A message posted to a thread: the host's wake-ups to the run thread, the run thread's
// requests (repaint, cursor, font, close answer, quit) to the host thread.
struct tThreadMessage {
    std::uint32_t Message = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

class tThreadQueue;
using tThreadQueueRef = std::shared_ptr<tThreadQueue>;

// The calling thread's message queue, made on first use.
tThreadQueueRef CurrentThreadQueue();
// Makes Queue the calling thread's queue (a thread object prepares its queue before the
// thread runs, so others can post to it at once).
void AttachThreadQueue(tThreadQueueRef queue);
tThreadQueueRef MakeThreadQueue();
void PostThreadMessage(const tThreadQueueRef& queue, const tThreadMessage& message);
// Looks at the calling thread's first message; takes it off the queue when Remove is set.
bool PeekThreadMessage(tThreadMessage& message, bool remove);
// The same for a given queue (a host form takes the messages of the queue it owns).
bool PeekThreadMessage(const tThreadQueueRef& queue, tThreadMessage& message, bool remove);
// Whether Queue holds a message with this number.
bool HasThreadMessage(const tThreadQueueRef& queue, std::uint32_t message);
std::size_t ThreadMessageCount(const tThreadQueueRef& queue);

// A descriptor (an eventfd) for loops that poll: readable once a message is posted, until the
// queue is emptied or the wake is cleared. The signal handler writes its wake-ups into the
// same descriptor (SetSignalWakeDescriptor), so one poll serves messages and signals.
int ThreadQueueDescriptor(const tThreadQueueRef& queue);
// Clears the descriptor. A polling loop calls it first, then takes the messages, then the
// signals: a wake-up written meanwhile stays readable, so none is lost.
void ClearThreadQueueWake(const tThreadQueueRef& queue);

// Waits up to Timeout ms (kInfinite: no limit) for one (or, with WaitAll, every) object, and
// with AnyInput also for a message on the calling thread's queue. Answers kWaitObject0 +
// index, kWaitObject0 + the number of objects for input, or kWaitTimeout. An auto-reset
// event or a mutex that ends the wait is taken by it.
std::uint32_t WaitForEvents(const std::vector<THandledObject*>& handles, std::uint32_t timeout,
                            bool waitAll, bool anyInput);

} // namespace zarvo
