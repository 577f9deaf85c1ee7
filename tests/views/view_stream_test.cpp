// The stream form of views and groups: round trips with references to later subviews, the
// older block kinds, unknown kinds skipped, and damaged streams giving nil and a stream
// error instead of a crash.
#include <gtest/gtest.h>

#include <mutex>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "library/stream_class.h"
#include "tests/support/stream_bytes.h"
#include "views/group.h"

namespace zarvo {
namespace {

using testing::GetFrom;
using testing::PutBytes;

using tBytes = std::vector<std::uint8_t>;

// A view that refers to another subview of its group and counts its AfterLoad calls.
class tLinked : public tView {
  public:
    explicit tLinked(const tRect& bounds) : tView(bounds) {}
    explicit tLinked(tStreamLoad) : tView(kStreamLoad) {}
    std::uint16_t StoreID() const override { return 31001; }
    void Store(tStream& s) override {
        tView::Store(s);
        WritePeerRef(s, Peer);
    }
    void Load(tStream& s) override {
        tView::Load(s);
        ReadPeerRef(s, Peer);
    }
    void AfterLoad() override { ++AfterLoads; }
    tLinked* Peer = nullptr;
    int AfterLoads = 0;
};

const tStreamClass kLinkedClass =
    StreamClassOf<tLinked>("tLinked", []() -> tSObject* { return new tLinked(kStreamLoad); });

class ViewStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterViewStreamClasses();
        static std::once_flag once;
        std::call_once(once, [] { RegisterStreamClass(kLinkedClass); });
    }
    void TearDown() override { ClearError(); }

    // A group of three linked views: A refers to C (stored after it), B to A; B is current.
    static tObjectPtr<tGroup> MakeLinkedGroup() {
        auto group = MakeObject<tGroup>(MakeRect(1, 2, 31, 12));
        auto* a = new tLinked(MakeRect(0, 0, 5, 1));
        auto* b = new tLinked(MakeRect(0, 1, 5, 2));
        auto* c = new tLinked(MakeRect(0, 2, 5, 3));
        for (tView* v : {static_cast<tView*>(a), static_cast<tView*>(b), static_cast<tView*>(c)})
            group->tInsert(v);
        a->Peer = c;
        b->Peer = a;
        b->OptionFlags |= ViewOption::Selectable;
        group->SetCurrentView(b, tSelectMode::Normal);
        return group;
    }
};

// Catches fields lost or changed by a round trip, or the running-tree bits stored.
TEST_F(ViewStreamTest, ViewRoundTripKeepsItsFields) {
    tView v(MakeRect(3, 4, 13, 9));
    v.CursorX = 2;
    v.CursorY = 1;
    v.GrowFlags = GrowFlag::GrowAll;
    v.DragFlags = DragFlag::DragMove;
    v.HelpTopic = 1234;
    v.StateFlags |= ViewState::Shadow | ViewState::Active | ViewState::Selected |
                    ViewState::Focused | ViewState::Exposed;
    v.OptionFlags = ViewOption::Selectable | ViewOption::ScreenOwner;
    v.AcceptMask = 0x0311;
    v.SetHintText("ABCDEFGHI");
    tObjectPtr<tSObject> object = GetFrom(PutBytes(&v));
    auto* loaded = dynamic_cast<tView*>(object.get());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->BoundsRect(), v.BoundsRect());
    EXPECT_EQ(loaded->CursorX, 2);
    EXPECT_EQ(loaded->CursorY, 1);
    EXPECT_EQ(loaded->GrowFlags, GrowFlag::GrowAll);
    EXPECT_EQ(loaded->DragFlags, DragFlag::DragMove);
    EXPECT_EQ(loaded->HelpTopic, 1234);
    EXPECT_EQ(loaded->StateFlags, ViewState::Visible | ViewState::Shadow)
        << "expected Active, Selected, Focused and Exposed left out";
    EXPECT_EQ(loaded->OptionFlags, ViewOption::Selectable | ViewOption::ScreenOwner)
        << "expected all 32 option bits";
    EXPECT_EQ(loaded->AcceptMask, 0x0311);
    EXPECT_EQ(loaded->Hint, "ABCDEFGHI");
}

// Catches references to later subviews left unresolved, a wrong current view, or AfterLoad
// called more or less than once per view.
TEST_F(ViewStreamTest, GroupRoundTripResolvesPeerReferences) {
    tObjectPtr<tGroup> group = MakeLinkedGroup();
    tObjectPtr<tSObject> object = GetFrom(PutBytes(group.get()));
    auto* loaded = dynamic_cast<tGroup*>(object.get());
    ASSERT_NE(loaded, nullptr);
    ASSERT_EQ(loaded->IndexOfView(loaded->LastView), 3);
    auto* a = dynamic_cast<tLinked*>(loaded->ViewAt(1));
    auto* b = dynamic_cast<tLinked*>(loaded->ViewAt(2));
    auto* c = dynamic_cast<tLinked*>(loaded->ViewAt(3));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->Peer, c) << "expected the reference to a later subview resolved";
    EXPECT_EQ(b->Peer, a);
    EXPECT_EQ(c->Peer, nullptr);
    EXPECT_EQ(loaded->CurrentView, b);
    EXPECT_TRUE(b->HasState(ViewState::Selected));
    EXPECT_EQ(a->AfterLoads + b->AfterLoads + c->AfterLoads, 3);
    EXPECT_EQ(LoadingGroup, nullptr);
    EXPECT_EQ(PeerFixups, nullptr) << "expected the loading context put back";
    EXPECT_EQ(loaded->ClipArea, loaded->ExtentRect());
}

// Catches a nested group's references resolved against the wrong group, or AfterLoad run
// by the inner group before the whole tree is there.
TEST_F(ViewStreamTest, NestedGroupsKeepTheirOwnReferences) {
    tObjectPtr<tGroup> outer = MakeObject<tGroup>(MakeRect(0, 0, 40, 20));
    tObjectPtr<tGroup> inner = MakeLinkedGroup();
    auto* after = new tLinked(MakeRect(0, 0, 1, 1));
    outer->tInsert(inner.release());
    outer->tInsert(after);
    tObjectPtr<tSObject> object = GetFrom(PutBytes(outer.get()));
    auto* loaded = dynamic_cast<tGroup*>(object.get());
    ASSERT_NE(loaded, nullptr);
    auto* innerLoaded = dynamic_cast<tGroup*>(loaded->ViewAt(1));
    ASSERT_NE(innerLoaded, nullptr);
    auto* a = dynamic_cast<tLinked*>(innerLoaded->ViewAt(1));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Peer, innerLoaded->ViewAt(3));
    EXPECT_EQ(a->AfterLoads, 1) << "expected AfterLoad once, from the outermost group";
}

// Catches an empty group stored with anything but a zero count and no current view.
TEST_F(ViewStreamTest, EmptyGroupStoresZeroAndZero) {
    tGroup group(MakeRect(0, 0, 4, 4));
    tMemoryStream s;
    group.Store(s);
    const tBytes& bytes = s.Bytes();
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(tBytes(bytes.end() - 4, bytes.end()), (tBytes{0, 0, 0, 0}));
}

// The fields of a view block after its header: position 3,4 size 10x5, the rest small.
tBytes ViewFields(bool wideOptions, bool withHint) {
    tBytes b = {3, 0, 4, 0, 10, 0, 5, 0, 1, 0, 2, 0, 0x0F, 0x01, 0x39, 0x05, 0x09, 0x00};
    if (wideOptions)
        b.insert(b.end(), {0x01, 0x00, 0x01, 0x00});
    else
        b.insert(b.end(), {0x01, 0x00});
    b.insert(b.end(), {0x11, 0x01});
    if (withHint)
        b.insert(b.end(), {3, 'A', 'B', 'C'});
    return b;
}

tBytes Block(std::uint8_t kind, const tBytes& fields) {
    auto length = std::uint16_t(fields.size() + 5);
    tBytes b;
    b.reserve(fields.size() + 5);
    for (std::uint8_t byte : {std::uint8_t(250), kind, std::uint8_t(length),
                              std::uint8_t(length >> 8), std::uint8_t(251)})
        b.push_back(byte);
    for (std::uint8_t byte : fields)
        b.push_back(byte);
    return b;
}

// Catches the older forms of the view block read with the wrong options width or hint, and
// unknown blocks not skipped whole.
TEST_F(ViewStreamTest, OlderAndUnknownBlocks) {
    struct tCase {
        const char* Name;
        tBytes Bytes;
        bool Loaded; // fields expected
        std::uint32_t Options;
        const char* Hint;
    };
    const tCase cases[] = {
        {"kind 2", Block(2, ViewFields(true, true)), true, 0x00010001, "ABC"},
        {"kind 1: 16-bit options", Block(1, ViewFields(false, true)), true, 0x0001, "ABC"},
        {"no header: no hint", ViewFields(false, false), true, 0x0001, ""},
        {"kind 3 skipped", Block(3, ViewFields(true, true)), false, 0, ""},
    };
    for (const tCase& c : cases) {
        tBytes bytes = c.Bytes;
        bytes.push_back(0x77); // what follows the view
        tMemoryStream s(bytes);
        tView v(kStreamLoad);
        v.Load(s);
        ASSERT_EQ(s.Status, stOk) << c.Name;
        EXPECT_EQ(s.ReadValue<std::uint8_t>(), 0x77) << c.Name << ": expected the next byte";
        if (c.Loaded) {
            EXPECT_EQ(v.BoundsRect(), MakeRect(3, 4, 13, 9)) << c.Name;
            EXPECT_EQ(v.CursorY, 2) << c.Name;
            EXPECT_EQ(v.HelpTopic, 0x0539) << c.Name;
            EXPECT_EQ(v.AcceptMask, 0x0111) << c.Name;
        } else {
            EXPECT_EQ(v.BoundsRect(), tRect{}) << c.Name << ": expected zero fields";
        }
        EXPECT_EQ(v.OptionFlags, c.Options) << c.Name;
        EXPECT_EQ(v.Hint, c.Hint) << c.Name;
    }
}

// Catches damaged references, counts or sizes that crash, load a half tree, or load without
// a stream error.
TEST_F(ViewStreamTest, DamagedStreamsGiveNilAndAnError) {
    tObjectPtr<tGroup> group = MakeLinkedGroup();
    const tBytes good = PutBytes(group.get());
    ASSERT_NE(GetFrom(good), nullptr);
    // Where the values sit: the stream header (8), the group's record (class mark and name,
    // then its 30-byte view block), the count, then each subview's record (mark and name,
    // view block, peer reference), then the current view's index.
    constexpr std::size_t kGroupBlock = 8 + 2 + 7;
    constexpr std::size_t kWidth = kGroupBlock + 5 + 4;
    constexpr std::size_t kCount = kGroupBlock + 30;
    constexpr std::size_t kSubview = 2 + 8 + 30 + 2;
    constexpr std::size_t kFirstPeer = kCount + 2 + kSubview - 2;
    constexpr std::size_t kCurrent = kCount + 2 + 3 * kSubview;
    ASSERT_EQ(good[kWidth], 30) << "expected the layout described above";
    ASSERT_EQ(good[kCount], 3);
    ASSERT_EQ(good[kFirstPeer], 3);
    ASSERT_EQ(good[kCurrent], 2);
    struct tCase {
        const char* Name;
        std::size_t At;
        std::uint16_t Value;
    };
    const tCase cases[] = {
        {"current index past the end", kCurrent, 4},
        {"current index negative", kCurrent, 0xFFFF},
        {"peer index past the end", kFirstPeer, 9},
        {"peer index negative", kFirstPeer, 0xFFFE},
        {"negative count", kCount, 0x8000},
        {"count past the records", kCount, 4},
        {"absurd width", kWidth, 30000},
    };
    for (const tCase& c : cases) {
        tBytes bytes = good;
        bytes[c.At] = std::uint8_t(c.Value);
        bytes[c.At + 1] = std::uint8_t(c.Value >> 8);
        std::int16_t status = stOk;
        EXPECT_EQ(GetFrom(bytes, &status), nullptr) << c.Name;
        EXPECT_NE(status, stOk) << c.Name << ": expected a stream error";
        EXPECT_EQ(LoadingGroup, nullptr) << c.Name;
        EXPECT_EQ(PeerFixups, nullptr) << c.Name;
        ClearError();
    }
    for (std::size_t length = 0; length < good.size(); ++length) {
        std::int16_t status = stOk;
        tBytes cut(good.begin(), good.begin() + std::ptrdiff_t(length));
        tObjectPtr<tSObject> object = GetFrom(cut, &status);
        if (length > 0) {
            EXPECT_EQ(object, nullptr) << "cut at " << length;
            EXPECT_NE(status, stOk) << "cut at " << length;
        }
        ClearError();
    }
}

} // namespace
} // namespace zarvo
