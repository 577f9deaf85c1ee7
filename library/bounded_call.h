// A call that may never come back (a file system call on a share whose server stopped
// answering) run on a thread of its own and waited for with a time limit, so the caller
// stays free to give it up.
#pragma once

#include <cstdint>
#include <functional>

namespace zarvo {

enum class tBoundedEnd {
    Done,       // the call came back in time
    TimedOut,   // no answer within the limit
    Stopped,    // a stop was asked for while waiting
    NotStarted, // no thread could be made: the call never ran
};

// Runs WORK on a thread of its own and waits at most TIMEOUTMS, asking STOPREQUESTED (when
// given) about every tenth of a second. A call that has not come back is left running
// on its own: whatever it touches must be owned by it (capture shared state by value).
tBoundedEnd RunBounded(std::function<void()> work, std::uint32_t timeoutMs,
                       const std::function<bool()>& stopRequested = {});

} // namespace zarvo
