// Tests of events, mutexes, thread queues and the multi-object wait. Every wait is bounded.
#include "library/sync.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <future>
#include <thread>

namespace zarvo {
namespace {

using namespace std::chrono_literals;

// Catches auto-reset events letting two waits through, or manual events resetting themselves.
TEST(SyncEvent, ResetModes) {
    struct tCase {
        tEventReset Reset;
        bool SecondWaitPasses;
    } cases[] = {{tEventReset::Automatic, false}, {tEventReset::Manual, true}};
    for (const auto& c : cases) {
        tEvent event({}, c.Reset);
        EXPECT_FALSE(event.WaitFor(0)) << "expected a new event not signalled";
        event.SetEvent();
        EXPECT_TRUE(event.WaitFor(0));
        EXPECT_EQ(event.WaitFor(0), c.SecondWaitPasses) << "reset mode " << int(c.Reset);
    }
}

// Catches named objects that do not share their state.
TEST(SyncEvent, SameNameSharesTheEvent) {
    tEvent first("ZarvoTestEvent", tEventReset::Manual);
    tEvent second("ZarvoTestEvent", tEventReset::Manual);
    first.SetEvent();
    EXPECT_TRUE(second.WaitFor(0)) << "expected the second object to see the first's signal";
}

// Catches a wait that misses a signal from another thread or ignores its time limit.
TEST(SyncEvent, WakesAcrossThreadsAndTimesOut) {
    tEvent event;
    auto setter = std::async(std::launch::async, [&event] {
        std::this_thread::sleep_for(20ms);
        event.SetEvent();
    });
    EXPECT_TRUE(event.WaitFor(5000)) << "expected the signal from the other thread";
    setter.get();
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(event.WaitFor(30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 25ms) << "expected the full time-out";
}

// Catches a mutex that is not re-entrant, or that another thread can take while it is held.
TEST(SyncMutex, OwnerMayRetakeOthersMayNot) {
    TMutex mutex("ZarvoTestMutex");
    ASSERT_TRUE(mutex.WaitFor(0));
    ASSERT_TRUE(mutex.WaitFor(0)) << "expected the owner to take it again";
    auto other = [&mutex] {
        return std::async(std::launch::async,
                          [&] {
                              bool took = mutex.WaitFor(10);
                              bool released = mutex.Release();
                              return std::make_pair(took, released);
                          })
            .get();
    };
    auto [took, releasedByOther] = other();
    EXPECT_FALSE(took) << "expected another thread refused while it is held";
    EXPECT_FALSE(releasedByOther) << "expected a release by a non-owner refused";
    EXPECT_TRUE(mutex.Release());
    EXPECT_FALSE(other().first) << "expected it still held after one of two releases";
    EXPECT_TRUE(mutex.Release());
    EXPECT_TRUE(other().first) << "expected it free after both releases";
}

// Catches wrong indices, lost input wake-ups and a WaitAll that passes too early.
TEST(SyncWait, WaitForEventsResults) {
    tEvent a, b;
    std::vector<THandledObject*> both{&a, &b};
    EXPECT_EQ(WaitForEvents(both, 0, false, false), kWaitTimeout);
    b.SetEvent();
    EXPECT_EQ(WaitForEvents(both, 0, true, false), kWaitTimeout) << "expected WaitAll to wait";
    EXPECT_EQ(WaitForEvents(both, 0, false, false), kWaitObject0 + 1) << "expected index 1";
    EXPECT_EQ(WaitForEvents(both, 0, false, false), kWaitTimeout) << "expected b consumed";

    tThreadQueueRef queue = CurrentThreadQueue();
    auto poster = std::async(std::launch::async, [queue] {
        std::this_thread::sleep_for(10ms);
        PostThreadMessage(queue, {1234, 1, 2});
    });
    EXPECT_EQ(WaitForEvents(both, 5000, false, true), kWaitObject0 + 2)
        << "expected the posted message to end the wait as input";
    poster.get();
    pollfd watch{ThreadQueueDescriptor(queue), POLLIN, 0};
    EXPECT_EQ(poll(&watch, 1, 0), 1) << "expected the queue descriptor readable";
    tThreadMessage message;
    ASSERT_TRUE(PeekThreadMessage(message, true));
    EXPECT_EQ(message.Message, 1234u);
    EXPECT_FALSE(PeekThreadMessage(message, false)) << "expected the queue empty";
    EXPECT_EQ(poll(&watch, 1, 0), 0) << "expected the descriptor drained with the queue";

    EXPECT_THROW(WaitForEvents({nullptr}, 0, false, false), ESyncError);
}

} // namespace
} // namespace zarvo
