// Tests of TThread: termination, kept exceptions, return values, self-freeing threads and
// Synchronize while the main thread waits. Every thread ends within a bounded time.
#include "library/thread.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace zarvo {
namespace {

using namespace std::chrono_literals;

// Loops until terminated, with a safety limit so a broken Terminate cannot hang the tests.
class tLoopThread : public TThread {
  public:
    ~tLoopThread() override {
        Terminate();
        if (!FreeOnTerminate())
            WaitFor();
    }
    std::atomic<int> Rounds = 0;

  protected:
    void Execute() override {
        auto limit = std::chrono::steady_clock::now() + 5s;
        while (!Terminated() && std::chrono::steady_clock::now() < limit) {
            ++Rounds;
            std::this_thread::sleep_for(1ms);
        }
        SetReturnValue(Terminated() ? 7 : -1);
    }
};

class tThrowingThread : public TThread {
  protected:
    void Execute() override { throw std::runtime_error("body failed"); }
};

// Catches Terminate not reaching the body, or WaitFor not answering the return value.
TEST(Thread, TerminateEndsTheBodyAndWaitForAnswersReturnValue) {
    auto thread = TThread::Create<tLoopThread>(tThreadStart::Running);
    while (thread->Rounds == 0)
        std::this_thread::sleep_for(1ms);
    thread->Terminate();
    EXPECT_EQ(thread->WaitFor(), 7) << "expected the body to see Terminated and return 7";
    EXPECT_TRUE(thread->Finished());
    EXPECT_TRUE(gIsMultiThread);
}

// Catches a suspended thread that runs anyway, or a destructor that hangs on a running one.
TEST(Thread, SuspendedWaitsForStartAndDestroyStopsARunningThread) {
    auto thread = TThread::Create<tLoopThread>(tThreadStart::Suspended);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(thread->Rounds, 0) << "expected no run before Start";
    thread->Start();
    while (thread->Rounds == 0)
        std::this_thread::sleep_for(1ms);
    auto start = std::chrono::steady_clock::now();
    thread.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << "expected destroy to terminate";
}

// Catches an exception escaping the thread (ending the process) instead of being kept.
TEST(Thread, ExceptionEndingExecuteIsKept) {
    auto thread = TThread::Create<tThrowingThread>(tThreadStart::Running);
    thread->WaitFor();
    ASSERT_TRUE(thread->FatalException()) << "expected the exception kept";
    EXPECT_THROW(std::rethrow_exception(thread->FatalException()), std::runtime_error);
}

// Catches OnTerminate not running on the main thread, or a deadlock between Synchronize and
// a main thread blocked in WaitFor.
TEST(Thread, SynchronizeRunsOnTheMainThreadWhileItWaits) {
    class tSyncThread : public TThread {
      public:
        std::thread::id RanOn;
        std::string Caught;

      protected:
        void Execute() override {
            Synchronize([this] { RanOn = std::this_thread::get_id(); });
            try {
                Synchronize([] { throw std::runtime_error("on main"); });
            } catch (const std::runtime_error& error) {
                Caught = error.what();
            }
        }
    };
    auto thread = TThread::Create<tSyncThread>(tThreadStart::Suspended);
    std::thread::id terminatedOn;
    thread->OnTerminate = [&terminatedOn](TThread&) { terminatedOn = std::this_thread::get_id(); };
    thread->Start();
    thread->WaitFor();
    EXPECT_EQ(thread->RanOn, MainThreadId()) << "expected the call run on the main thread";
    EXPECT_EQ(thread->Caught, "on main") << "expected the main thread's exception raised again";
    EXPECT_EQ(terminatedOn, MainThreadId()) << "expected OnTerminate on the main thread";
}

// Catches a self-freeing thread that leaks or frees itself twice (the sanitizer run shows it).
TEST(Thread, FreeOnTerminateFreesItself) {
    static std::atomic<bool> destroyed = false;
    class tSelfFreeing : public TThread {
      public:
        tSelfFreeing() { SetFreeOnTerminate(true); }
        ~tSelfFreeing() override { destroyed = true; }

      protected:
        void Execute() override {}
    };
    TThread::Create<tSelfFreeing>(tThreadStart::Running).release();
    auto limit = std::chrono::steady_clock::now() + 5s;
    while (!destroyed && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(destroyed) << "expected the object freed when its thread ended";
}

} // namespace
} // namespace zarvo
