// The progress model on its own: the records it fires through follow its subscribers, the
// cancel query waits for its stride, positions go out once per whole percent, and the
// window's switches and queries answer sensibly when nobody listens.
#include "views/progress.h"

#include <gtest/gtest.h>

namespace zarvo {
namespace {

class ProgressModelTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(MakeProgressModel(Progress, nullptr)); }
    static void Count(void* data, EventFrame&) { ++*static_cast<int*>(data); }
    tObjectPtr<tProgress> Progress;
    int Calls = 0;
};

// Catches a cached record left stale (a dangling record fired, or a new subscriber never
// reached) when a subscriber comes or goes.
TEST_F(ProgressModelTest, CachedRecordsFollowSubscribers) {
    struct tCase {
        std::string_view Name;
        tEventInfo* tProgress::*Cache;
        void (*Fire)(tProgress&);
    } cases[] = {
        {evnProgressText, &tProgress::TextEvent,
         [](tProgress& p) { ProgressSetText(p, p.Text + "x"); }},
        {evnProgressPosition, &tProgress::PositionEvent,
         [](tProgress& p) { ProgressSetPos(p, p.Position + 1); }},
        {evnProgressCancel, &tProgress::CancelEvent, [](tProgress& p) { ProgressCancelled(p); }},
    };
    for (const tCase& c : cases) {
        tProgress& p = *Progress;
        EventHandler counter(&Count, static_cast<void*>(&Calls));
        ASSERT_EQ(p.*c.Cache, nullptr) << c.Name << ": nobody listens yet";
        ASSERT_TRUE(p.Subscribe(c.Name, counter));
        EXPECT_EQ(p.*c.Cache, p.FindEvent(c.Name)) << c.Name << ": cached on the first one";
        EXPECT_NE(p.*c.Cache, nullptr) << c.Name;
        Calls = 0;
        c.Fire(p);
        EXPECT_EQ(Calls, 1) << c.Name << ": the subscriber is reached";
        p.Unsubscribe(c.Name, counter);
        EXPECT_EQ(p.*c.Cache, nullptr) << c.Name << ": dropped with the last one";
        c.Fire(p);
        EXPECT_EQ(Calls, 1) << c.Name << ": nobody reached once it left";
    }
}

// Catches the cancel query fired per value instead of once per stride, a countdown run when
// nobody answers, or a position event per value instead of per whole percent.
TEST_F(ProgressModelTest, QueriesWaitForTheStride) {
    int positions = 0;
    ProgressUpdate(*Progress, 0.5);
    const std::uint32_t countdown = Progress->PollCountdown;
    for (int k = 0; k < 200; ++k)
        ProgressUpdate(*Progress, 0.5);
    EXPECT_EQ(Progress->PollCountdown, countdown) << "no countdown while nobody answers";
    Progress->Subscribe(evnProgressCancel, EventHandler(&Count, static_cast<void*>(&Calls)));
    Progress->Subscribe(evnProgressPosition, EventHandler(&Count, static_cast<void*>(&positions)));
    Progress->PollStride = 64;
    const int values = 64 * 100;
    for (int k = 0; k < values; ++k)
        EXPECT_TRUE(ProgressUpdate(*Progress, 0.5 + 0.5 * k / values));
    EXPECT_EQ(positions, 50) << "one per whole percent from 51 to 100";
    // A new percent (and a rounding tie) asks at once; between them every 64th value asks.
    EXPECT_LT(Calls, values / 16) << "asked about once per stride, not per value";
    EXPECT_GE(Calls, values / 64) << "asked at least once per stride";
}

// Catches a switch query answering true, or the dialog query something, with no window.
TEST_F(ProgressModelTest, SwitchesWithoutAWindow) {
    ProgressShow(*Progress);
    for (std::string_view name : {evnProgressVisible, evnProgressCancelOn, evnProgressBarOn}) {
        ProgressSetSwitch(*Progress, name, true);
        EXPECT_FALSE(ProgressSwitchOn(*Progress, name)) << name;
    }
    EXPECT_EQ(ProgressDialog(*Progress), nullptr);
    EXPECT_TRUE(ProgressUpdate(*Progress, 0.3)) << "no cancel without anybody to ask";
}

} // namespace
} // namespace zarvo
