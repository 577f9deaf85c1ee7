// Object streaming: the record and header bytes, class lookup by name and id, registration
// conflicts, references and their table, attachments, the contexts' lifetime, and the
// collections' stored forms.
#include "library/object_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "diagnostics/pending_error.h"
#include "library/collection_files.h"
#include "library/collection_records.h"
#include "library/collection_strings.h"
#include "library/run_error.h"
#include "platform/cp866.h"
#include "tests/library/object_stream_test_classes.h"
#include "tests/support/stream_bytes.h"

namespace zarvo {
namespace {

using namespace testing_streams;
using tBytes = std::vector<std::uint8_t>;

const tBytes kHeader = {212, 2, 150, 73, 0, 0, 0, 0};

class tPlainChild : public tPlain {};
class tOther : public tSObject {
  public:
    std::uint16_t StoreID() const override { return 30002; }
};
class tUnregistered : public tSObject {
  public:
    std::uint16_t StoreID() const override { return 30999; }
};
class tThrowing : public tSObject {
  public:
    std::uint16_t StoreID() const override { return 30004; }
    void Load(tStream&) override { RaiseRunError(kRunErrorIndexRange); }
};
const tStreamClass kThrowingClass = StreamClassOf<tThrowing>("tThrowing");

using testing::GetFrom;
using testing::PutBytes;

class ObjectStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTestStreamClasses();
        static std::once_flag once;
        std::call_once(once, [] { RegisterStreamClass(kThrowingClass); });
        ClearError();
    }
    void TearDown() override {
        tNote::FreeLoaded();
        ClearError();
    }
};

// Catches a wrong signature, a table offset written without references, or a record that
// names its class other than by a length-prefixed name after -1.
TEST_F(ObjectStreamTest, OutermostPutOfOneObjectIsHeaderThenRecord) {
    tPlain plain;
    plain.Value = 0x1234;
    tBytes expected = Concat({kHeader, {255, 255}, NameBytes("tPlain"), {0x34, 0x12}});
    tBytes bytes = PutBytes(&plain);
    EXPECT_EQ(bytes, expected);
    std::int16_t status = 0;
    auto loaded = GetFrom(bytes, &status);
    auto* back = dynamic_cast<tPlain*>(loaded.get());
    ASSERT_NE(back, nullptr) << "expected a tPlain back";
    EXPECT_EQ(back->Value, 0x1234);
    EXPECT_EQ(status, stOk);
}

// Catches a null object written as anything but 0, 0 or read back as an object.
TEST_F(ObjectStreamTest, NullObject) {
    EXPECT_EQ(PutBytes(nullptr), Concat({kHeader, {0, 0}}));
    for (const tBytes& bytes : {Concat({kHeader, {0, 0}}), tBytes{0, 0}}) {
        tMemoryStream s(bytes);
        EXPECT_EQ(Get(s), nullptr);
        EXPECT_EQ(s.Status, stOk);
        EXPECT_EQ(s.GetPos(), std::int64_t(bytes.size())) << "expected the record consumed";
    }
}

// Catches a case-sensitive class lookup, a failure on streams without a header, numeric
// class marks not looked up by stream id, or registration names not looked up.
TEST_F(ObjectStreamTest, RecordsWithoutHeaderByNameInAnyCaseOrById) {
    const tBytes cases[] = {
        Concat({{255, 255}, NameBytes("tplain"), {7, 0}}),
        Concat({{255, 255}, NameBytes("TPLAIN"), {7, 0}}),
        Concat({kHeader, {255, 255}, NameBytes("TpLaIn"), {7, 0}}),
        tBytes{0x32, 0x75, 7, 0},                             // stream id 30002
        Concat({{255, 255}, NameBytes("TOLDPLAIN"), {7, 0}}), // registered by name
    };
    for (const tBytes& bytes : cases) {
        auto loaded = GetFrom(bytes);
        auto* plain = dynamic_cast<tPlain*>(loaded.get());
        ASSERT_NE(plain, nullptr) << "expected a tPlain from a record of " << bytes.size()
                                  << " bytes";
        EXPECT_EQ(plain->Value, 7);
    }
}

// Catches an unregistered class read as something, or reported without the class mark.
TEST_F(ObjectStreamTest, UnregisteredClassOnReading) {
    struct {
        tBytes Bytes;
        std::int32_t Info;
    } const cases[] = {
        {Concat({{255, 255}, NameBytes("tNoSuch"), {1, 2}}), -1},
        {tBytes{0x09, 0x03, 1, 2}, 777},
    };
    for (const auto& c : cases) {
        ClearError();
        tMemoryStream s(c.Bytes);
        EXPECT_EQ(Get(s), nullptr);
        EXPECT_EQ(s.Status, stGetError);
        EXPECT_EQ(s.ErrorInfo, c.Info);
        ASSERT_TRUE(IsErrorPending());
        EXPECT_NE(PendingError()->Message().find("Get для незарегистрированного типа объекта."_oem),
                  std::string::npos)
            << "expected the -5 text in the message";
    }
}

// Catches objects of unregistered classes written under a name nothing can read back, and
// streams of wider elements used for records.
TEST_F(ObjectStreamTest, PutAndGetRefuseWhatCannotBeStreamed) {
    tUnregistered unregistered;
    tMemoryStream s;
    Put(s, &unregistered);
    EXPECT_EQ(s.Status, stPutError);
    EXPECT_EQ(s.ErrorInfo, 30999);

    ClearError();
    tPlain plain;
    tMemoryStream wide;
    wide.ElementSize = 2;
    Put(wide, &plain);
    EXPECT_EQ(wide.Status, stElementError);
    wide.Status = stOk;
    EXPECT_EQ(Get(wide), nullptr);
    EXPECT_EQ(wide.Status, stElementError);
}

// Catches registration conflicts that pass silently, use the wrong text, or leave a
// half-made entry behind.
TEST_F(ObjectStreamTest, RegistrationConflicts) {
    static const tStreamClass childClass = StreamClassOf<tPlainChild>("tPlainChild");
    static const tStreamClass otherClass = StreamClassOf<tOther>("tOther");
    static const tStreamClass collectionAgain = StreamClassOf<tCollection>("tCollection");
    struct {
        const tStreamClass* Class;
        std::string_view Message;
    } const cases[] = {
        {&kPlainClass, "Повторная регистрация класса tPlain"_oem},
        {&collectionAgain, "Повторная регистрация класса tCollection"_oem},
        {&childClass, "Метод класса tPlainChild.StoreID не переписан"_oem},
        {&otherClass, "Классы tPlain и tOther имеют одинаковый StoreID"_oem},
    };
    for (const auto& c : cases) {
        try {
            RegisterStreamClass(*c.Class);
            ADD_FAILURE() << "expected an exception for " << c.Class->Name;
        } catch (const ESException& error) {
            EXPECT_EQ(error.Message(), c.Message);
        }
    }
    EXPECT_EQ(FindStreamClassByName("tPlainChild"), nullptr) << "expected no entry added";
    EXPECT_EQ(FindStreamClassByName("tOther"), nullptr) << "expected no entry added";
    EXPECT_FALSE(IsErrorPending()) << "expected conflicts not to be pending errors";
}

// Four nodes: 1 -> 3 (a later object), 2 -> 3 (a second reference to it), 3 -> 1 (an
// earlier one), 4 -> a node that is never stored.
struct tReferenceCase {
    tCollection Nodes{4, 4};
    tNode Outsider;
    tReferenceCase() {
        tNode* n[4];
        for (int i = 0; i < 4; ++i) {
            n[i] = new tNode;
            n[i]->Value = i + 1;
            Nodes.Insert(n[i]);
        }
        n[0]->Peer = n[2];
        n[1]->Peer = n[2];
        n[2]->Peer = n[0];
        n[3]->Peer = &Outsider;
    }
};

tNode* NodeAt(tSObject* collection, int index) {
    return static_cast<tNode*>(static_cast<tCollection*>(collection)->ItemAt(std::int16_t(index)));
}

void ExpectReferencesResolved(tSObject* loaded) {
    auto* nodes = dynamic_cast<tCollection*>(loaded);
    ASSERT_NE(nodes, nullptr) << "expected the collection back";
    ASSERT_EQ(nodes->Count, 4);
    EXPECT_EQ(NodeAt(nodes, 0)->Peer, NodeAt(nodes, 2)) << "expected a reference forward";
    EXPECT_EQ(NodeAt(nodes, 1)->Peer, NodeAt(nodes, 2)) << "expected the same object again";
    EXPECT_EQ(NodeAt(nodes, 2)->Peer, NodeAt(nodes, 0)) << "expected a reference back";
    EXPECT_EQ(NodeAt(nodes, 3)->Peer, nullptr) << "expected a never-stored object as null";
}

std::int32_t ReadInt32(const tBytes& bytes, std::size_t at) {
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void WriteInt32(tBytes& bytes, std::size_t at, std::int32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

// Catches references resolved to copies or wrong objects, one object listed twice in the
// table, and references to objects that were never stored coming back as garbage.
TEST_F(ObjectStreamTest, ReferencesResolveToTheLoadedObjects) {
    tReferenceCase source;
    tBytes bytes = PutBytes(&source.Nodes);
    std::int32_t tableOffset = ReadInt32(bytes, 4);
    ASSERT_GT(tableOffset, 0) << "expected a table offset in the header";
    std::size_t table = 4 + std::size_t(tableOffset);
    ASSERT_LE(table + 6, bytes.size());
    EXPECT_EQ(ReadInt32(bytes, table), kStreamSignature);
    EXPECT_EQ(bytes[table + 4], 3) << "expected one entry per referenced object";
    EXPECT_EQ(bytes.size(), table + 6 + 3 * 6) << "expected the table to end the stream";
    std::int16_t status = 0;
    auto loaded = GetFrom(bytes, &status);
    EXPECT_EQ(status, stOk);
    ExpectReferencesResolved(loaded.get());
}

// Catches table positions taken as relative under the older, absolute signature.
TEST_F(ObjectStreamTest, AbsoluteSignatureTable) {
    tReferenceCase source;
    tBytes bytes = PutBytes(&source.Nodes);
    std::size_t table = 4 + std::size_t(ReadInt32(bytes, 4));
    WriteInt32(bytes, 0, kStreamSignatureAbsolute);
    WriteInt32(bytes, 4, std::int32_t(table));
    for (std::size_t entry = table + 6; entry < bytes.size(); entry += 6)
        WriteInt32(bytes, entry + 2, ReadInt32(bytes, entry + 2) + 4);
    auto loaded = GetFrom(bytes);
    ExpectReferencesResolved(loaded.get());
}

// Catches a damaged table that makes the objects unreadable or leaves an error behind: the
// objects load, only their references are lost.
TEST_F(ObjectStreamTest, UnusableTableLosesOnlyTheReferences) {
    tReferenceCase source;
    const tBytes good = PutBytes(&source.Nodes);
    std::size_t table = 4 + std::size_t(ReadInt32(good, 4));
    tBytes pastEnd = good, badSignature = good, hugeCount = good;
    WriteInt32(pastEnd, 4, 0x7FFFFFF0);
    badSignature[table] ^= 1;
    hugeCount[table + 4] = 0xFF;
    hugeCount[table + 5] = 0xFF;
    for (const tBytes& bytes : {pastEnd, badSignature, hugeCount}) {
        std::int16_t status = 0;
        auto loaded = GetFrom(bytes, &status);
        EXPECT_EQ(status, stOk);
        EXPECT_FALSE(IsErrorPending()) << "expected nothing reported for an unusable table";
        auto* nodes = dynamic_cast<tCollection*>(loaded.get());
        ASSERT_NE(nodes, nullptr) << "expected the objects to load";
        ASSERT_EQ(nodes->Count, 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(NodeAt(nodes, i)->Peer, nullptr);
    }
}

// Catches a place inside an object freed during the Get being written afterwards (a
// use after free), and a freed object handed out to a reference.
TEST_F(ObjectStreamTest, ReferencesIntoAndToDroppedObjectsStayNull) {
    tNode parent;
    auto* child = new tNode;
    child->Value = -1; // dropped by the parent's Load
    child->Peer = &parent;
    parent.Child = child;
    parent.Peer = child;
    auto loaded = GetFrom(PutBytes(&parent));
    auto* back = dynamic_cast<tNode*>(loaded.get());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Child, nullptr);
    EXPECT_EQ(back->Peer, nullptr) << "expected no reference to the freed child";
}

void AttachNote(void* text, EventFrame& frame) {
    tNote note;
    note.Text = static_cast<const char*>(text);
    Put(*static_cast<tStream*>(frame.Argument), &note);
}

void AttachNothing(void*, EventFrame&) {}

// Catches attachments not framed as a block of kind 1, not read back, or an empty
// attachment leaving its 5 reserved bytes behind.
TEST_F(ObjectStreamTest, AttachmentsTravelInABlockOfKindOne) {
    static const char text[] = "note";
    tPlain plain;
    plain.Value = 5;
    plain.Subscribe(evnPutAttached, EventHandler(&AttachNote, (void*)text));
    tBytes note = Concat({{255, 255}, NameBytes("tNote"), NameBytes("note")});
    tBytes expected = Concat({kHeader,
                              {255, 255},
                              NameBytes("tPlain"),
                              {5, 0},
                              {250, 1, std::uint8_t(5 + note.size()), 0, 251},
                              note});
    tBytes bytes = PutBytes(&plain);
    EXPECT_EQ(bytes, expected);
    auto loaded = GetFrom(bytes);
    ASSERT_NE(dynamic_cast<tPlain*>(loaded.get()), nullptr);
    ASSERT_EQ(tNote::Loaded().size(), 1u) << "expected the attached note loaded";
    EXPECT_EQ(tNote::Loaded()[0]->Text, "note");

    tPlain quiet;
    quiet.Value = 5;
    quiet.Subscribe(evnPutAttached, EventHandler(&AttachNothing));
    EXPECT_EQ(PutBytes(&quiet), Concat({kHeader, {255, 255}, NameBytes("tPlain"), {5, 0}}));
}

void CountFinished(void* counter, EventFrame& frame) {
    ++static_cast<std::pair<int, void*>*>(counter)->first;
    static_cast<std::pair<int, void*>*>(counter)->second = frame.Argument;
}

// Catches "6IY1F882A" fired per nested object instead of once per outermost Get, and a
// context that outlives its call (it would make the next Put skip its header).
TEST_F(ObjectStreamTest, OneFinishEventAndNoContextLeftBehind) {
    tCollection plains(3, 0);
    for (int i = 0; i < 3; ++i)
        plains.Insert(new tPlain);
    tMemoryStream s;
    Put(s, &plains);
    EXPECT_EQ(s.FindEvent(evnStoreContext), nullptr) << "expected the store context gone";
    Put(s, nullptr);
    EXPECT_EQ(ReadInt32(s.Bytes(), s.Bytes().size() - 10), kStreamSignature)
        << "expected a second outermost Put to write its own header";
    s.Seek(0);
    std::pair<int, void*> finished{0, nullptr};
    s.Subscribe(evnGetFinished, EventHandler(&CountFinished, &finished));
    tObjectPtr<tSObject> loaded(Get(s));
    EXPECT_EQ(finished.first, 1);
    EXPECT_EQ(finished.second, &s);
    EXPECT_EQ(s.FindEvent(evnLoadContext), nullptr) << "expected the load context gone";
}

// Catches a load context left on the stream when a Load stops with a run-time error.
TEST_F(ObjectStreamTest, ContextGoneAfterARunTimeError) {
    tMemoryStream s(Concat({{255, 255}, NameBytes("tThrowing"), {0, 0}}));
    EXPECT_THROW(Get(s), ESRunError);
    EXPECT_EQ(s.FindEvent(evnLoadContext), nullptr);
    EXPECT_EQ(Get(s), nullptr) << "expected the null record after it to read normally";
    EXPECT_EQ(s.Status, stOk);
}

// Catches unbounded recursion on a stream of records nested ever deeper.
TEST_F(ObjectStreamTest, DeepNestingIsAStreamError) {
    tBytes bytes;
    for (int i = 0; i < 2 * kMaxGetNesting; ++i)
        bytes.insert(bytes.end(), {50, 0, 1, 0, 1, 0, 0, 0}); // tCollection, 1 item
    bytes.insert(bytes.end(), {0, 0});
    std::int16_t status = 0;
    EXPECT_EQ(GetFrom(bytes, &status), nullptr);
    EXPECT_EQ(status, stReadError);
}

// Catches a collection's fields in the wrong order or width.
TEST_F(ObjectStreamTest, StringCollectionBytes) {
    tStringCollection strings(2, 1);
    strings.InsertText("ab");
    EXPECT_EQ(PutBytes(&strings), Concat({kHeader,
                                          {255, 255},
                                          NameBytes("tStringCollection"),
                                          {1, 0, 2, 0, 1, 0, 2, 'a', 'b', 0}}));
}

template <class T> tObjectPtr<T> RoundTrip(T& source) {
    tObjectPtr<tSObject> loaded = GetFrom(PutBytes(&source));
    auto* typed = dynamic_cast<T*>(loaded.get());
    EXPECT_NE(typed, nullptr) << "expected the same class back";
    if (typed != nullptr)
        loaded.release();
    return tObjectPtr<T>(typed);
}

// Catches typed collections whose items or fields do not survive a round trip, including
// an empty zero-terminated string and a key at offset 0.
TEST_F(ObjectStreamTest, CollectionsRoundTrip) {
    tStringCollection strings(4, 2);
    strings.Duplicates = true;
    for (auto text : {"Запись"_oem, ""_oem, "abc"_oem})
        strings.InsertText(text);
    auto strings2 = RoundTrip(strings);
    ASSERT_NE(strings2, nullptr);
    EXPECT_EQ(strings2->Count, 3);
    EXPECT_EQ(strings2->Capacity, 4);
    EXPECT_EQ(strings2->GrowBy, 2);
    EXPECT_TRUE(strings2->Duplicates);
    for (std::int16_t i = 0; i < 3; ++i)
        EXPECT_EQ(strings2->TextAt(i), strings.TextAt(i));

    tStrCollection strs(2, 2);
    strs.InsertText("");
    strs.InsertText("xyz");
    auto strs2 = RoundTrip(strs);
    ASSERT_NE(strs2, nullptr);
    ASSERT_EQ(strs2->Count, 2);
    EXPECT_STREQ(strs2->TextAt(0), "") << "expected an empty item, not null";
    EXPECT_STREQ(strs2->TextAt(1), "xyz");

    for (std::uint16_t keyOffset : {4, 0}) {
        tNRCollection records(2, 2, keyOffset);
        for (auto key : {"beta", "Alpha"}) {
            std::uint8_t* record = records.NewRecord(key);
            std::memset(record, 0x5A, keyOffset);
            records.Insert(record);
        }
        auto records2 = RoundTrip(records);
        ASSERT_NE(records2, nullptr);
        EXPECT_EQ(records2->KeyOffset, keyOffset);
        ASSERT_EQ(records2->Count, 2);
        for (std::int16_t i = 0; i < 2; ++i) {
            std::size_t size = records.RecordSize(records.ItemAt(i));
            ASSERT_EQ(records2->RecordSize(records2->ItemAt(i)), size);
            EXPECT_EQ(std::memcmp(records2->ItemAt(i), records.ItemAt(i), size), 0)
                << "expected record " << i << " with key offset " << keyOffset;
        }
    }

    tRCollection raw(2, 2, 3);
    for (std::uint8_t fill : {1, 2}) {
        std::uint8_t* record = raw.NewRecord();
        std::memset(record, fill, 3);
        raw.Insert(record);
    }
    auto raw2 = RoundTrip(raw);
    ASSERT_NE(raw2, nullptr);
    EXPECT_EQ(raw2->RecordSize, 3);
    ASSERT_EQ(raw2->Count, 2);
    EXPECT_EQ(static_cast<std::uint8_t*>(raw2->ItemAt(1))[2], 2);

    TFileCollection files(2, 2);
    files.Insert(new tSearchRec{"a.txt", 0100644, 12, 345});
    auto files2 = RoundTrip(files);
    ASSERT_NE(files2, nullptr);
    ASSERT_EQ(files2->Count, 1);
    auto* file = static_cast<tSearchRec*>(files2->ItemAt(0));
    EXPECT_EQ(file->Name, "a.txt");
    EXPECT_EQ(file->Mode, 0100644u);
    EXPECT_EQ(file->Size, 12);
    EXPECT_EQ(file->Time, 345);
}

// Catches stored counts trusted beyond what the stream holds or the collection can take.
TEST_F(ObjectStreamTest, ImpossibleCollectionCountsAreStreamErrors) {
    const tBytes cases[] = {
        tBytes{50, 0, 3, 0, 2, 0, 0, 0, 0, 0},             // count above capacity
        tBytes{50, 0, 1, 0, 0x7F, 0x7F, 0, 0, 0, 0},       // capacity above 16380
        tBytes{50, 0, 0xFF, 0x3F, 0xFF, 0x3F, 0, 0, 0, 0}, // more items than bytes
        tBytes{50, 0, 0xFF, 0xFF, 1, 0, 0, 0},             // negative count
    };
    for (const tBytes& bytes : cases) {
        ClearError();
        std::int16_t status = 0;
        EXPECT_EQ(GetFrom(bytes, &status), nullptr);
        EXPECT_EQ(status, stReadError);
    }
}

} // namespace
} // namespace zarvo
