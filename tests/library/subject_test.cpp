// Masters and subjects: ownership, broadcast by mask, validity and the mask searches.
#include "library/subject.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/stream_class.h"

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

// Streamable subjects: a value, a reference to a sibling, and a count of wake-ups.
class tLinkedSubject : public tSubject {
  public:
    std::uint16_t StoreID() const override { return 30101; }
    void Store(tStream& s) override {
        tSubject::Store(s);
        s.WriteValue(Value);
        PutSubjectRef(s, Peer);
    }
    void Load(tStream& s) override {
        tSubject::Load(s);
        Value = s.ReadValue<std::int32_t>();
        GetSubjectRef(s, Peer);
    }
    void Awaken() override { ++Awakened; }
    std::int32_t Value = 0;
    tLinkedSubject* Peer = nullptr;
    int Awakened = 0;
};

class tStreamMaster : public tMaster {
  public:
    std::uint16_t StoreID() const override { return 30102; }
};

const tStreamClass kLinkedSubjectClass = StreamClassOf<tLinkedSubject>("tLinkedSubject");
const tStreamClass kStreamMasterClass = StreamClassOf<tStreamMaster>("tStreamMaster");

void RegisterSubjectClasses() {
    RegisterLibraryStreamClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStreamClasses({&kLinkedSubjectClass, &kStreamMasterClass});
    });
}

tLinkedSubject* AddLinked(tMaster& master, std::int32_t value) {
    auto* subject = new tLinkedSubject;
    subject->Value = value;
    master.AddSubject(subject);
    return subject;
}

// A tree with every kind of reference: forward, backward, to itself, none, to a subject of
// another master (not kept), and one inside a nested master.
struct tSubjectTree {
    tStreamMaster Top;
    tLinkedSubject* First;
    tStreamMaster* Inner;
    tLinkedSubject* Last;
    tSubjectTree() {
        Top.Flags = 0x1234;
        Top.Mask = 0xA5C3;
        First = AddLinked(Top, 1);
        Inner = new tStreamMaster;
        Inner->Mask = 0x0002;
        Top.AddSubject(Inner);
        auto* innerA = AddLinked(*Inner, 10);
        auto* innerB = AddLinked(*Inner, 11);
        innerA->Peer = innerB;
        innerB->Peer = First; // another master's subject: stored as none
        Last = AddLinked(Top, 3);
        Last->Flags = tSubject::sfNoBroadcast;
        First->Peer = Last;
        Last->Peer = Last;
    }
    std::vector<std::uint8_t> Bytes() {
        tMemoryStream s;
        Put(s, &Top);
        return s.Bytes();
    }
};

// One Get from a stream holding BYTES.
struct tLoad {
    explicit tLoad(const std::vector<std::uint8_t>& bytes) : S(bytes), Object(Get(S)) {}
    tMemoryStream S;
    tObjectPtr<tSObject> Object;
};

class SubjectStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterSubjectClasses();
        ClearError();
    }
    void TearDown() override { ClearError(); }
};

// Catches a subject state, count or reference written in the wrong width or order.
TEST_F(SubjectStreamTest, StoredLayout) {
    tStreamMaster master;
    master.Flags = 0x0102;
    master.Mask = 0x0304;
    auto* a = AddLinked(master, 7);
    a->Peer = a;
    tMemoryStream s;
    Put(s, &master);
    std::vector<std::uint8_t> expected = {212, 2, 150, 73, 0, 0, 0, 0, 0xFF, 0xFF, 13};
    for (char c : std::string_view("tStreamMaster"))
        expected.push_back(std::uint8_t(c));
    for (std::uint8_t b : {0x02, 0x01, 0x04, 0x03, 1, 0, 0xFF, 0xFF, 14})
        expected.push_back(b);
    for (char c : std::string_view("tLinkedSubject"))
        expected.push_back(std::uint8_t(c));
    for (std::uint8_t b : {0, 0, 0, 0, 7, 0, 0, 0, 1, 0})
        expected.push_back(b);
    EXPECT_EQ(s.Bytes(), expected)
        << "expected the header, the master's record: flags, mask, count 1, then the "
           "subject's record with its reference 1 to itself";
}

// Catches references resolved to the wrong subject, Awaken run twice (by an inner master)
// or not at all, and a second store that differs from the first.
TEST_F(SubjectStreamTest, TreeRoundTripsByteForByte) {
    tSubjectTree tree;
    std::vector<std::uint8_t> bytes = tree.Bytes();
    tLoad load(bytes);
    ASSERT_EQ(load.S.Status, stOk);
    auto* top = dynamic_cast<tStreamMaster*>(load.Object.get());
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->Flags, 0x1234);
    EXPECT_EQ(top->Mask, 0xA5C3);
    ASSERT_EQ(top->Subjects.Count, 3);
    auto* first = dynamic_cast<tLinkedSubject*>(top->SubjectAt(0));
    auto* inner = dynamic_cast<tStreamMaster*>(top->SubjectAt(1));
    auto* last = dynamic_cast<tLinkedSubject*>(top->SubjectAt(2));
    ASSERT_TRUE(first && inner && last);
    ASSERT_EQ(inner->Subjects.Count, 2);
    auto* innerA = dynamic_cast<tLinkedSubject*>(inner->SubjectAt(0));
    auto* innerB = dynamic_cast<tLinkedSubject*>(inner->SubjectAt(1));
    EXPECT_EQ(first->Peer, last) << "expected the forward reference resolved";
    EXPECT_EQ(last->Peer, last) << "expected the reference to itself resolved";
    EXPECT_EQ(innerA->Peer, innerB) << "expected the nested master's own reference";
    EXPECT_EQ(innerB->Peer, nullptr) << "expected another master's subject stored as none";
    EXPECT_EQ(inner->Master, top);
    EXPECT_EQ(innerA->Master, inner);
    EXPECT_EQ(last->Flags, tSubject::sfNoBroadcast);
    for (auto* subject : {first, last, innerA, innerB})
        EXPECT_EQ(subject->Awakened, 1) << "expected one wake-up for subject " << subject->Value;
    tMemoryStream again;
    Put(again, top);
    EXPECT_EQ(again.Bytes(), bytes) << "expected the loaded tree to store the same bytes";
}

// Catches crashes, reads outside buffers and half-built trees on damaged streams (run it
// under the sanitizers): every cut and every flipped byte gives an error or a whole tree.
TEST_F(SubjectStreamTest, DamagedStreamsNeverCrash) {
    tSubjectTree tree;
    std::vector<std::uint8_t> bytes = tree.Bytes();
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        tLoad load({bytes.begin(), bytes.begin() + std::ptrdiff_t(length)});
        EXPECT_EQ(load.Object, nullptr)
            << "expected no object from the first " << length << " bytes";
        ClearError();
    }
    for (std::size_t at = 0; at < bytes.size(); ++at)
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            auto damaged = bytes;
            damaged[at] ^= flip;
            tLoad load(damaged);
            if (load.Object != nullptr && load.S.Status == stOk) {
                // Whatever loaded is whole enough to store and free.
                tMemoryStream out;
                Put(out, load.Object.get());
            }
            ClearError();
        }
}

// Catches a huge subject count allocated for, and a non-subject record taken for a subject.
TEST_F(SubjectStreamTest, ImpossibleContentsAreStreamErrors) {
    struct tCase {
        const char* What;
        std::vector<std::uint8_t> Body; // after the master's object state
    };
    std::vector<std::uint8_t> collection = {0xFF, 0xFF, 11};
    for (char c : std::string_view("tCollection"))
        collection.push_back(std::uint8_t(c));
    for (std::uint8_t b : {0, 0, 0, 0, 0, 0})
        collection.push_back(b);
    std::vector<std::uint8_t> oneCollection = {1, 0};
    oneCollection.insert(oneCollection.end(), collection.begin(), collection.end());
    const tCase cases[] = {
        {"a count past the stream's end", {0x10, 0x00, 0, 0}},
        {"a negative count", {0xFF, 0xFF}},
        {"a collection where a subject belongs", oneCollection},
    };
    for (const tCase& c : cases) {
        std::vector<std::uint8_t> bytes = {0xFF, 0xFF, 13};
        for (char ch : std::string_view("tStreamMaster"))
            bytes.push_back(std::uint8_t(ch));
        bytes.insert(bytes.end(), {0, 0, 0, 0});
        bytes.insert(bytes.end(), c.Body.begin(), c.Body.end());
        tLoad load(bytes);
        EXPECT_EQ(load.Object, nullptr) << c.What << ": expected no object";
        EXPECT_NE(load.S.Status, stOk) << c.What << ": expected a stream error";
        ClearError();
    }
}

} // namespace
} // namespace zarvo
