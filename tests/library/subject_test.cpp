// Masters and subjects: ownership, broadcast by mask, validity and the mask searches.
#include "library/subject.h"

#include <gtest/gtest.h>

#include <vector>

namespace zarvo {
namespace {

std::vector<int> gSeen;

class tCountingSubject : public tSubject {
  public:
    tCountingSubject(int id, std::uint16_t mask, bool handles = false)
        : tSubject(mask), Id(id), Handles(handles) {}
    ~tCountingSubject() override { gSeen.push_back(-Id); }
    void DispatchMessage(tMessage& message) override {
        gSeen.push_back(Id);
        if (Handles)
            message.Msg = 0;
        if (FreeSelf)
            FreeObject(this);
    }
    void Awaken() override { ++Awakened; }
    bool Valid(std::uint16_t command) override { return tSubject::Valid(command) && Ok; }
    int Id;
    bool Handles;
    bool FreeSelf = false;
    bool Ok = true;
    int Awakened = 0;
};

class SubjectTest : public ::testing::Test {
  protected:
    void SetUp() override { gSeen.clear(); }
};

// Catches broadcast to the wrong subjects, past the one that handled it, or broken when a
// subject frees itself while handling it.
TEST_F(SubjectTest, BroadcastByMaskUntilHandled) {
    tMaster master;
    auto* a = new tCountingSubject(1, 0x01);
    auto* b = new tCountingSubject(2, 0x02);
    auto* c = new tCountingSubject(3, 0x03);
    auto* d = new tCountingSubject(4, 0x01, true);
    auto* e = new tCountingSubject(5, 0x01);
    c->Flags |= tSubject::sfNoBroadcast;
    for (tSubject* s :
         {static_cast<tSubject*>(a), static_cast<tSubject*>(b), static_cast<tSubject*>(c),
          static_cast<tSubject*>(d), static_cast<tSubject*>(e)})
        master.AddSubject(s);
    a->FreeSelf = true;
    tMessage message;
    message.Msg = 0x01000123; // target bits 0x01
    master.Dispatch(message);
    EXPECT_EQ(gSeen, (std::vector<int>{1, -1, 4})) << "expected a (freed), then d, which handles";
    EXPECT_EQ(message.Msg, 0u);
    EXPECT_EQ(master.Subjects.Count, 4);
}

// Catches a master that leaks its subjects or a subject freed without leaving its master.
TEST_F(SubjectTest, MasterOwnsSubjects) {
    {
        tMaster master;
        auto* a = new tCountingSubject(1, 0);
        auto* b = new tCountingSubject(2, 0);
        master.AddSubject(a);
        master.AddSubject(b);
        EXPECT_EQ(a->Master, &master);
        FreeObject(a);
        EXPECT_EQ(master.Subjects.Count, 1) << "expected the freed subject to leave";
        tMaster other;
        other.RemoveSubject(b);
        EXPECT_EQ(b->Master, &master) << "expected another master's removal ignored";
    }
    EXPECT_EQ(gSeen, (std::vector<int>{-1, -2}));
}

// Catches a master valid while one of its subjects is not, and Awaken not passed down.
TEST_F(SubjectTest, ValidAndAwakenReachSubjects) {
    tMaster master;
    auto* a = new tCountingSubject(1, 0);
    master.AddSubject(a);
    EXPECT_TRUE(master.Valid(0));
    a->Ok = false;
    EXPECT_FALSE(master.Valid(0));
    master.Awaken();
    EXPECT_EQ(a->Awakened, 1);
}

// Catches the mask searches matching any bit instead of all, or answering S itself.
TEST_F(SubjectTest, MaskSearches) {
    tMaster top(0x07);
    auto* middle = new tMaster(0x01);
    auto* leaf = new tCountingSubject(1, 0x03);
    auto* other = new tCountingSubject(2, 0x02);
    top.AddSubject(middle);
    top.AddSubject(other);
    middle->AddSubject(leaf);
    EXPECT_EQ(FindMasterWithMask(leaf, 0x01), middle);
    EXPECT_EQ(FindMasterWithMask(leaf, 0x03), &top) << "expected all bits to be needed";
    EXPECT_EQ(FindMasterWithMask(leaf, 0x08), nullptr);
    EXPECT_EQ(FindMasterWithMask(middle, 0x01), nullptr) << "expected S itself not an answer";
    auto selected = SelectByMask(&top, 0x02);
    ASSERT_EQ(selected->Count, 1);
    EXPECT_EQ(selected->ItemAt(0), other);
}

} // namespace
} // namespace zarvo
