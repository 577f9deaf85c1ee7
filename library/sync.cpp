// Events, mutexes, thread queues and the multi-object wait. All waitable state sits under one
// process-wide lock with one condition variable: the program has a handful of threads, and
// one lock makes "wait for any of these, or for input" simple and free of lost wake-ups.
#include "library/sync.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>

#include "library/clocks.h"
#include "platform/cp866.h"

namespace zarvo {

namespace detail {

enum class tWaitableKind { Event, Mutex };

struct tWaitableState {
    tWaitableKind Kind = tWaitableKind::Event;
    bool ManualReset = false;
    bool Signalled = false;
    std::thread::id Owner;
    int Recursion = 0;
};

} // namespace detail

using detail::tWaitableKind;
using detail::tWaitableState;

class tThreadQueue {
  public:
    tThreadQueue() : m_WakeDescriptor(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~tThreadQueue() {
        if (m_WakeDescriptor >= 0)
            ::close(m_WakeDescriptor);
    }
    tThreadQueue(const tThreadQueue&) = delete;
    tThreadQueue& operator=(const tThreadQueue&) = delete;

    std::deque<tThreadMessage> Messages; // guarded by the wait lock

    void Wake() {
        std::uint64_t one = 1;
        if (m_WakeDescriptor >= 0 && write(m_WakeDescriptor, &one, sizeof one) < 0) {
            // A full counter still reads as readable; nothing is lost.
        }
    }
    void Drain() {
        std::uint64_t count = 0;
        if (m_WakeDescriptor >= 0 && read(m_WakeDescriptor, &count, sizeof count) < 0) {
            // Already drained.
        }
    }
    int Descriptor() const { return m_WakeDescriptor; }

  private:
    int m_WakeDescriptor;
};

namespace {

std::mutex gWaitLock;
std::condition_variable gWaitChanged;
// Named objects by kind and name; expired entries are swept as new ones are made.
std::map<std::pair<tWaitableKind, std::string>, std::weak_ptr<tWaitableState>> gNamedStates;

thread_local tThreadQueueRef tCurrentQueue;

std::shared_ptr<tWaitableState> MakeState(tWaitableKind kind, std::string_view name,
                                          bool manualReset) {
    std::lock_guard guard(gWaitLock);
    if (!name.empty()) {
        auto key = std::make_pair(kind, std::string(name));
        if (auto existing = gNamedStates[key].lock())
            return existing;
        auto state = std::make_shared<tWaitableState>();
        state->Kind = kind;
        state->ManualReset = manualReset;
        std::erase_if(gNamedStates, [](const auto& entry) { return entry.second.expired(); });
        gNamedStates[key] = state;
        return state;
    }
    auto state = std::make_shared<tWaitableState>();
    state->Kind = kind;
    state->ManualReset = manualReset;
    return state;
}

bool IsSignalled(const tWaitableState& state, std::thread::id self) {
    if (state.Kind == tWaitableKind::Event)
        return state.Signalled;
    return state.Recursion == 0 || state.Owner == self;
}

void Take(tWaitableState& state, std::thread::id self) {
    if (state.Kind == tWaitableKind::Event) {
        if (!state.ManualReset)
            state.Signalled = false;
        return;
    }
    state.Owner = self;
    ++state.Recursion;
}

// One look at the objects; kWaitTimeout means "not yet".
std::uint32_t TryWait(const std::vector<tWaitableState*>& states, bool waitAll, bool anyInput,
                      const tThreadQueue* input, std::thread::id self) {
    bool hasInput = anyInput && input && !input->Messages.empty();
    auto count = std::uint32_t(states.size());
    if (waitAll && !states.empty()) {
        for (auto* state : states)
            if (!IsSignalled(*state, self))
                return kWaitTimeout;
        if (anyInput && !hasInput)
            return kWaitTimeout;
        for (auto* state : states)
            Take(*state, self);
        return kWaitObject0;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        if (IsSignalled(*states[i], self)) {
            Take(*states[i], self);
            return kWaitObject0 + i;
        }
    return hasInput ? kWaitObject0 + count : kWaitTimeout;
}

} // namespace

namespace detail {
struct tWaitAccess {
    static tWaitableState* State(THandledObject& object) { return object.m_State.get(); }
};
} // namespace detail

THandledObject::THandledObject(std::string_view name, std::shared_ptr<tWaitableState> state)
    : m_State(std::move(state)), m_Name(name) {}

THandledObject::~THandledObject() = default;

tEvent::tEvent(std::string_view name, tEventReset reset)
    : THandledObject(name, MakeState(tWaitableKind::Event, name, reset == tEventReset::Manual)) {}

void tEvent::SetEvent() {
    {
        std::lock_guard guard(gWaitLock);
        m_State->Signalled = true;
    }
    gWaitChanged.notify_all();
}

void tEvent::ResetEvent() {
    std::lock_guard guard(gWaitLock);
    m_State->Signalled = false;
}

bool tEvent::WaitFor(std::uint32_t ms) {
    return WaitForEvents({this}, ms, false, false) == kWaitObject0;
}

TMutex::TMutex(std::string_view name)
    : THandledObject(name, MakeState(tWaitableKind::Mutex, name, false)) {}

bool TMutex::WaitFor(std::uint32_t ms) {
    return WaitForEvents({this}, ms, false, false) == kWaitObject0;
}

bool TMutex::Release() {
    {
        std::lock_guard guard(gWaitLock);
        if (m_State->Recursion == 0 || m_State->Owner != std::this_thread::get_id())
            return false;
        if (--m_State->Recursion == 0)
            m_State->Owner = std::thread::id();
    }
    gWaitChanged.notify_all();
    return true;
}

tThreadQueueRef MakeThreadQueue() {
    return std::make_shared<tThreadQueue>();
}

tThreadQueueRef CurrentThreadQueue() {
    if (!tCurrentQueue)
        tCurrentQueue = MakeThreadQueue();
    return tCurrentQueue;
}

void AttachThreadQueue(tThreadQueueRef queue) {
    tCurrentQueue = std::move(queue);
}

void PostThreadMessage(const tThreadQueueRef& queue, const tThreadMessage& message) {
    if (!queue)
        return;
    {
        std::lock_guard guard(gWaitLock);
        queue->Messages.push_back(message);
    }
    queue->Wake();
    gWaitChanged.notify_all();
}

bool PeekThreadMessage(tThreadMessage& message, bool remove) {
    return PeekThreadMessage(CurrentThreadQueue(), message, remove);
}

bool PeekThreadMessage(const tThreadQueueRef& queue, tThreadMessage& message, bool remove) {
    if (!queue)
        return false;
    std::lock_guard guard(gWaitLock);
    if (queue->Messages.empty())
        return false;
    message = queue->Messages.front();
    if (remove) {
        queue->Messages.pop_front();
        if (queue->Messages.empty())
            queue->Drain();
    }
    return true;
}

bool HasThreadMessage(const tThreadQueueRef& queue, std::uint32_t message) {
    if (!queue)
        return false;
    std::lock_guard guard(gWaitLock);
    for (const tThreadMessage& waiting : queue->Messages)
        if (waiting.Message == message)
            return true;
    return false;
}

std::size_t ThreadMessageCount(const tThreadQueueRef& queue) {
    if (!queue)
        return 0;
    std::lock_guard guard(gWaitLock);
    return queue->Messages.size();
}

int ThreadQueueDescriptor(const tThreadQueueRef& queue) {
    return queue ? queue->Descriptor() : -1;
}

void ClearThreadQueueWake(const tThreadQueueRef& queue) {
    if (queue)
        queue->Drain();
}

std::uint32_t WaitForEvents(const std::vector<THandledObject*>& handles, std::uint32_t timeout,
                            bool waitAll, bool anyInput) {
    std::vector<tWaitableState*> states;
    states.reserve(handles.size());
    for (auto* handle : handles) {
        if (!handle)
            throw ESyncError(std::string("Не удалось выполнить ожидание события."_oem));
        states.push_back(detail::tWaitAccess::State(*handle));
    }
    tThreadQueueRef input = anyInput ? CurrentThreadQueue() : nullptr;
    std::thread::id self = std::this_thread::get_id();
    const std::uint64_t start = GetTickCount64();

    std::unique_lock guard(gWaitLock);
    for (;;) {
        std::uint32_t result = TryWait(states, waitAll, anyInput, input.get(), self);
        if (result != kWaitTimeout)
            return result;
        if (timeout == kInfinite) {
            gWaitChanged.wait(guard);
            continue;
        }
        // The tick is whole milliseconds: the first reading may be almost one late, so the
        // wait runs one tick past the time-out rather than end early.
        std::uint64_t waited = GetTickCount64() - start;
        if (waited > timeout)
            return kWaitTimeout;
        gWaitChanged.wait_for(guard, std::chrono::milliseconds(timeout - waited + 1));
    }
}

} // namespace zarvo
