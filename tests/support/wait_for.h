// A bounded wait for something another process or thread brings about.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace zarvo::testing {

// Polls `done` every 20 ms for at most `limit`.
inline bool WaitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace zarvo::testing
