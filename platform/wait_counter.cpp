// The counter's sleep: the futex on the count itself, which the kernel compares before it
// puts the waiter to sleep, so an advance between the waiter's look and its sleep is never
// lost.
#include "platform/wait_counter.h"

#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <ctime>

namespace zarvo {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

// A partner a few microseconds away is met with a short spin; a longer wait sleeps. The spin
// is bounded in rounds, not in time: on a loaded machine it ends as soon as it is descheduled.
constexpr int kSpinRounds = 256;

void FutexWait(std::atomic<std::uint32_t>& word, std::uint32_t seen, const timespec* limit) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAIT_PRIVATE, seen, limit,
            nullptr, 0);
}

void FutexWake(std::atomic<std::uint32_t>& word) {
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAKE_PRIVATE, 1, nullptr,
            nullptr, 0);
}

} // namespace

void tWaitCounter::Advance() {
    std::uint32_t now = m_Count.fetch_add(1, std::memory_order_seq_cst) + 1;
    if (m_Sleeping.load(std::memory_order_seq_cst) &&
        std::int32_t(now - m_WakeAt.load(std::memory_order_relaxed)) >= 0)
        FutexWake(m_Count);
}

bool tWaitCounter::WaitFor(std::uint32_t target, int ms) {
    for (int round = 0; round < kSpinRounds; ++round) {
        if (Reached(target))
            return true;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    using namespace std::chrono;
    auto until = steady_clock::now() + milliseconds(ms < 0 ? 0 : ms);
    m_WakeAt.store(target, std::memory_order_relaxed);
    m_Sleeping.store(true, std::memory_order_seq_cst);
    bool reached = false;
    for (;;) {
        std::uint32_t seen = m_Count.load(std::memory_order_seq_cst);
        if (std::int32_t(seen - target) >= 0) {
            reached = true;
            break;
        }
        if (ms < 0) {
            FutexWait(m_Count, seen, nullptr);
            continue;
        }
        auto left = until - steady_clock::now();
        if (left <= nanoseconds(0))
            break;
        auto leftNs = duration_cast<nanoseconds>(left).count();
        timespec limit{time_t(leftNs / 1'000'000'000), long(leftNs % 1'000'000'000)};
        FutexWait(m_Count, seen, &limit);
    }
    m_Sleeping.store(false, std::memory_order_relaxed);
    return reached;
}

} // namespace zarvo
