// A counter one thread advances and one other thread waits on: the waiter names the count it
// needs and sleeps in the kernel (with a time limit when asked), and the one who advances
// wakes it only when that count is reached, so a waiter never spins at the cost of the CPU
// and a hand-off nobody waits for costs no system call.
#pragma once

#include <atomic>
#include <cstdint>

namespace zarvo {

class tWaitCounter {
  public:
    std::uint32_t Load() const { return m_Count.load(std::memory_order_acquire); }
    // Adds one; wakes the waiter when its count is reached.
    void Advance();
    // Waits until the count has reached Target (counted modulo 2^32, within half the range),
    // at most Ms milliseconds when Ms >= 0; answers whether it was reached.
    bool WaitFor(std::uint32_t target, int ms = -1);

  private:
    bool Reached(std::uint32_t target) const { return std::int32_t(Load() - target) >= 0; }

    std::atomic<std::uint32_t> m_Count = 0;
    std::atomic<std::uint32_t> m_WakeAt = 0;
    std::atomic<bool> m_Sleeping = false;
};

} // namespace zarvo
