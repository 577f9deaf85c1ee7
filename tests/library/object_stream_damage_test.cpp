// Damaged object streams: a good stream cut at every length and with every byte flipped
// must read as a stream error and a null object, or as a whole object, never as a crash, a
// read outside a buffer or a half-built object. Run under the sanitizers too.
#include "library/object_stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "diagnostics/pending_error.h"
#include "library/collection_records.h"
#include "library/collection_strings.h"
#include "library/resource_stream.h"
#include "platform/cp866.h"
#include "tests/library/object_stream_test_classes.h"

namespace zarvo {
namespace {

using namespace testing_streams;
using tBytes = std::vector<std::uint8_t>;

void AttachNote(void*, EventFrame& frame) {
    tNote note;
    note.Text = "приложение"_oem;
    Put(*static_cast<tStream*>(frame.Argument), &note);
}

// A stream that holds every kind of field the reader trusts: names, counts, string
// lengths, record sizes, references with their table, a child and an attachment block.
struct tGoodStream {
    tBytes Bytes;
    std::size_t ObjectsEnd = 0; // where the reference table starts

    tGoodStream() {
        tCollection root(6, 2);
        auto* first = new tNode;
        first->Value = 1;
        first->Child = new tNode;
        first->Child->Peer = first;
        auto* second = new tNode;
        second->Peer = first->Child;
        first->Peer = second;
        second->Subscribe(evnPutAttached, EventHandler(&AttachNote));
        auto* strings = new tStringCollection(2, 2);
        strings->InsertText("Проверка"_oem);
        strings->InsertText("сети"_oem);
        auto* records = new tNRCollection(2, 2, 2);
        records->Insert(records->NewRecord("key"));
        auto* strs = new tStrCollection(1, 1);
        strs->InsertText("zero-terminated");
        for (tSObject* item : {static_cast<tSObject*>(first), static_cast<tSObject*>(second),
                               static_cast<tSObject*>(strings), static_cast<tSObject*>(records),
                               static_cast<tSObject*>(strs)})
            root.Insert(item);
        root.Insert(nullptr);
        tMemoryStream s;
        Put(s, &root);
        Bytes = s.Bytes();
        std::int32_t offset = 0;
        std::memcpy(&offset, Bytes.data() + 4, 4);
        ObjectsEnd = 4 + std::size_t(offset);
    }
};

const tGoodStream& Good() {
    static const tGoodStream good;
    return good;
}

class ObjectStreamDamageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterTestStreamClasses();
        ClearError();
    }
    void TearDown() override {
        tNote::FreeLoaded();
        ClearError();
    }

    // Reads BYTES through the program's resource stream (a real bounded reader), checks the
    // outcome is whole or nothing, and answers the stream's status.
    static std::int16_t ReadDamaged(const tBytes& bytes, const std::string& what) {
        RegisterResource("DAMAGED", kFrameworkResourceType, bytes);
        tResourceStream s(kFrameworkResourceType, "damaged");
        tObjectPtr<tSObject> object(Get(s));
        std::int16_t status = s.Status;
        if (status != stOk) {
            EXPECT_EQ(object, nullptr) << what << ": expected no object with status " << status;
        }
        EXPECT_EQ(s.FindEvent(evnLoadContext), nullptr) << what << ": expected no context left";
        object.reset();
        tNote::FreeLoaded();
        UnregisterResource("DAMAGED", kFrameworkResourceType);
        ClearError();
        return status;
    }
};

// Catches the good stream itself not reading back whole (the other cases would prove
// nothing).
TEST_F(ObjectStreamDamageTest, TheGoodStreamLoads) {
    RegisterResource("GOOD", kFrameworkResourceType, Good().Bytes);
    tResourceStream s(kFrameworkResourceType, "GOOD");
    tObjectPtr<tSObject> object(Get(s));
    UnregisterResource("GOOD", kFrameworkResourceType);
    EXPECT_EQ(s.Status, stOk);
    auto* root = dynamic_cast<tCollection*>(object.get());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->Count, 6);
    auto* first = static_cast<tNode*>(root->ItemAt(0));
    auto* second = static_cast<tNode*>(root->ItemAt(1));
    ASSERT_NE(first->Child, nullptr);
    EXPECT_EQ(first->Peer, second);
    EXPECT_EQ(second->Peer, first->Child);
    EXPECT_EQ(first->Child->Peer, first);
    EXPECT_EQ(tNote::Loaded().size(), 1u) << "expected the attached note";
    EXPECT_GT(Good().ObjectsEnd, 8u);
}

// Catches lengths or counts trusted past the end of the data: every cut inside the objects
// is a stream error, a cut inside the table only loses references.
TEST_F(ObjectStreamDamageTest, TruncatedAtEveryLength) {
    const tBytes& good = Good().Bytes;
    for (std::size_t length = 0; length < good.size(); ++length) {
        tBytes cut(good.begin(), good.begin() + std::ptrdiff_t(length));
        std::string what = "cut at " + std::to_string(length);
        std::int16_t status = ReadDamaged(cut, what);
        if (length < Good().ObjectsEnd) {
            EXPECT_NE(status, stOk) << what << ": expected a stream error";
        } else {
            EXPECT_EQ(status, stOk) << what << ": expected only the table lost";
        }
    }
}

// Catches any byte whose damage leads to a crash, an out-of-bounds read, a leak or a
// half-built object.
TEST_F(ObjectStreamDamageTest, EveryByteFlipped) {
    const tBytes& good = Good().Bytes;
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (std::uint8_t mask : {0xFF, 0x01, 0x80}) {
            tBytes flipped = good;
            flipped[at] ^= mask;
            ReadDamaged(flipped,
                        "byte " + std::to_string(at) + " xor " + std::to_string(int(mask)));
        }
    }
}

} // namespace
} // namespace zarvo
