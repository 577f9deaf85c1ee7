// Bounded calls: a detached worker and a wait in slices.
#include "library/bounded_call.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "library/clocks.h"

namespace zarvo {

namespace {

constexpr std::uint32_t kStopLookMs = 100;

struct tCallState {
    std::mutex Lock;
    std::condition_variable Changed;
    bool Done = false;
};

} // namespace

tBoundedEnd RunBounded(std::function<void()> work, std::uint32_t timeoutMs,
                       const std::function<bool()>& stopRequested) {
    auto state = std::make_shared<tCallState>();
    try {
        std::thread([state, work = std::move(work)] {
            work();
            std::lock_guard<std::mutex> hold(state->Lock);
            state->Done = true;
            state->Changed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return tBoundedEnd::NotStarted;
    }
    std::uint32_t start = GetTickCount32();
    std::unique_lock<std::mutex> hold(state->Lock);
    // A call that answers within the first slice is never given up: a stop asked for before
    // it still reaches whoever asks next.
    for (;;) {
        std::uint32_t waited = GetTickCount32() - start;
        std::uint32_t slice = waited < timeoutMs ? std::min(kStopLookMs, timeoutMs - waited) : 0;
        state->Changed.wait_for(hold, std::chrono::milliseconds(slice),
                                [&] { return state->Done; });
        if (state->Done)
            return tBoundedEnd::Done;
        if (GetTickCount32() - start >= timeoutMs)
            return tBoundedEnd::TimedOut;
        if (stopRequested && stopRequested())
            return tBoundedEnd::Stopped;
    }
}

} // namespace zarvo
