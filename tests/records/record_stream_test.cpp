// Records on streams: the stored layout, round trips of every kind of record byte for byte,
// and damaged stored records that must give a stream error, never a crash (run under the
// sanitizers too).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/object_stream.h"
#include "library/object_stream_buffer.h"
#include "platform/cp866.h"
#include "records/extended.h"
#include "records/field_input.h"
#include "records/field_text.h"
#include "records/field_types.h"
#include "records/g_record.h"
#include "records/mem_record.h"
#include "records/record_stream_classes.h"
#include "tests/support/stream_bytes.h"

namespace zarvo {
namespace {

using tBytes = std::vector<std::uint8_t>;

// Appends little-endian values and length-prefixed strings.
struct tByteWriter {
    tBytes Bytes;
    tByteWriter& U8(std::uint8_t v) {
        Bytes.push_back(v);
        return *this;
    }
    tByteWriter& U16(std::uint16_t v) { return U8(std::uint8_t(v)).U8(std::uint8_t(v >> 8)); }
    tByteWriter& U32(std::uint32_t v) { return U16(std::uint16_t(v)).U16(std::uint16_t(v >> 16)); }
    tByteWriter& Str(std::string_view s) {
        U8(std::uint8_t(s.size()));
        Bytes.insert(Bytes.end(), s.begin(), s.end());
        return *this;
    }
    tByteWriter& Zeros(std::size_t n) {
        Bytes.insert(Bytes.end(), n, 0);
        return *this;
    }
};

tBytes Stored(tSObject& object) {
    tMemoryStream s;
    object.Store(s);
    return s.Bytes();
}

using testing::PutBytes;

struct tLoad {
    explicit tLoad(const tBytes& bytes) : S(bytes), Object(Get(S)) {}
    tMemoryStream S;
    tObjectPtr<tSObject> Object;
};

class RecordStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterRecordStreamClasses();
        ClearError();
    }
    void TearDown() override { ClearError(); }
};

// Catches a field written in the wrong order or width, a size written for a type without
// a declared length (or missing for one), and limits or decimals in the wrong place.
TEST_F(RecordStreamTest, StoredLayout) {
    tMemRecord record(4, "nm", "d");
    record.Flags = 0x0201;
    record.Mask = 0x0403;
    record.SetDisplayFormat(true);
    record.AddField(ftWord, 5, "w", "", "");
    record.AddField(ftString, 10, "", "Cap", "pp");
    record.AddField(ftCode, 3, "", "", "");
    record.AddField(ftDouble, 17, "", "", "");
    record.SetAltNames(1, "alt", "");
    std::uint16_t low = 1, high = 9;
    record.SetLimits(1, &low, &high);
    record.SetCodeParams(3, 0x0302);
    record.SetDecimals(4, 2);
    record.SetFieldFlags(2, 0x80000108);
    record.SetFieldFormat(2, fmLeft);
    record.AllocData();
    std::uint16_t value = 0xBEEF;
    record.SetField(1, &value);
    tByteWriter expected;
    expected.U16(4).U16(0x0201).U16(0x0403).U8(1).Str("d").Str("nm");
    expected.Str("w").Str("").Str("alt").Str("").U8(ftWord).U32(8).U8(0).Str("").U8(5);
    expected.U16(1).U16(9);
    expected.Str("").Str("Cap").Str("").Str("").U8(ftString).U32(0x80000108).U8(fmLeft);
    expected.U16(11).Str("pp").U8(10);
    expected.Str("").Str("").Str("").Str("").U8(ftCode).U32(8).U8(0).U16(3).Str("");
    expected.U16(0x0302).U8(3);
    expected.Str("").Str("").Str("").Str("").U8(ftDouble).U32(8).U8(0).Str("").U8(17);
    expected.Zeros(16).U8(2);
    expected.U16(0xBEEF).Zeros(11 + 3 + 8);
    EXPECT_EQ(Stored(record), expected.Bytes);
}

// A memory record with every type, names, limits, flags, formats and values.
tObjectPtr<tMemRecord> EveryType() {
    auto record = MakeObject<tMemRecord>(2, "all", "Все типы"_oem);
    for (std::uint8_t type = ftString; type <= kLastFieldType; ++type) {
        int length = HasDeclaredLength(type) ? 6 : DefaultFieldWidth(type);
        record->AddField(type, length, "f" + std::to_string(type), "Поле"_oem, "");
    }
    record->SetAltNames(3, "alt", "Другое"_oem);
    record->SetCodeParams(ftCode, 0x0203);
    record->SetCodeParams(ftHidden, 0x1234);
    record->SetDecimals(ftExtended, 3);
    std::int16_t low = -100, high = 100;
    record->SetLimits(ftInteger, &low, &high);
    record->SetFieldFormat(ftWord, fmRight | fmShowZero);
    record->SetFieldFlags(ftByte, 0x00080108);
    record->SetDisplayFormat(true);
    record->AllocData();
    // The hidden value and the set have no text form: they are set as bytes.
    const std::string_view texts[] = {
        "text", "Да"_oem, "c",   "05/03/2004", "memo",    "pstr", "12:34:56", "",
        "-5",   "200",    "-99", "65535",      "-123456", "1.5",  "-0.1",     "77",
        "2.25", "3.125",  "",    "01:02:03",   "1.2.3",   "0A0B"};
    for (int n = 1; n <= record->FieldCount(); ++n)
        if (!texts[n - 1].empty())
            SetFieldText(*record, n, texts[n - 1]);
    std::uint16_t hidden = 0x4321;
    record->SetField(ftHidden, &hidden);
    tBytes set(32, 0);
    set[0] = 0x81;
    set[31] = 0x7E;
    record->SetField(ftSet, set.data());
    return record;
}

// Catches anything a record forgets or changes on its way through a stream.
TEST_F(RecordStreamTest, EveryKindOfRecordRoundTrips) {
    auto memory = EveryType();
    ASSERT_FALSE(IsErrorPending());
    auto plain = memory->Clone();
    tGRecord composite;
    composite.Flags = 7;
    composite.AddRecord(EveryType().release());
    composite.AddRecord(memory->Clone().release());
    composite.SetDisplayFormat(true);
    for (tIARecord* record : {static_cast<tIARecord*>(memory.get()), plain.get(),
                              static_cast<tIARecord*>(&composite)}) {
        tBytes bytes = PutBytes(record);
        tLoad load(bytes);
        ASSERT_EQ(load.S.Status, stOk) << record->Name();
        auto* loaded = dynamic_cast<tIARecord*>(load.Object.get());
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(typeid(*loaded), typeid(*record));
        EXPECT_EQ(PutBytes(loaded), bytes) << "expected the same bytes stored again";
        ASSERT_EQ(loaded->FieldCount(), record->FieldCount());
        EXPECT_EQ(loaded->DataSize(), record->DataSize());
        for (int n = 1; n <= record->FieldCount(); ++n) {
            EXPECT_EQ(FieldAsText(*loaded, n), FieldAsText(*record, n)) << "field " << n;
            EXPECT_EQ(loaded->DisplayCaption(n), record->DisplayCaption(n)) << "field " << n;
        }
    }
}

// Catches crashes and reads past buffers on cut or flipped stored records.
TEST_F(RecordStreamTest, DamagedRecordsNeverCrash) {
    auto memory = EveryType();
    tGRecord composite;
    composite.AddRecord(EveryType().release());
    composite.AddRecord(memory->Clone().release());
    for (tSObject* record :
         {static_cast<tSObject*>(memory.get()), static_cast<tSObject*>(&composite)}) {
        tBytes bytes = PutBytes(record);
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            tLoad load({bytes.begin(), bytes.begin() + std::ptrdiff_t(length)});
            EXPECT_EQ(load.Object, nullptr) << "expected nothing from " << length << " bytes";
            ClearError();
        }
        for (std::size_t at = 0; at < bytes.size(); ++at)
            for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
                tBytes damaged = bytes;
                damaged[at] ^= flip;
                tLoad load(damaged);
                if (auto* loaded = dynamic_cast<tIARecord*>(load.Object.get())) {
                    for (int n = 1; n <= loaded->FieldCount(); ++n)
                        FieldAsText(*loaded, n);
                    PutBytes(loaded);
                }
                ClearError();
            }
    }
}

// Catches impossible stored values taken for a record instead of reported as damage.
TEST_F(RecordStreamTest, ImpossibleRecordsAreStreamErrors) {
    auto head = [](std::uint16_t count) {
        tByteWriter w;
        w.U16(0xFFFF).Str("tRecord").U16(count).Zeros(4).U8(0).Str("").Str("");
        return w;
    };
    auto field = [](tByteWriter& w, std::uint8_t type) -> tByteWriter& {
        return w.Str("").Str("").Str("").Str("").U8(type).U32(8).U8(0);
    };
    struct tCase {
        const char* What;
        tBytes Bytes;
    };
    std::vector<tCase> cases;
    {
        tByteWriter w = head(1);
        field(w, 0).Str("").U8(0);
        cases.push_back({"type 0", w.Bytes});
    }
    {
        tByteWriter w = head(1);
        field(w, 23).Str("").U8(0);
        cases.push_back({"type 23", w.Bytes});
    }
    {
        tByteWriter w = head(1);
        field(w, ftPString).U16(300).Str("").U8(0);
        cases.push_back({"a length-byte string of 300", w.Bytes});
    }
    {
        tByteWriter w = head(1);
        field(w, ftString).U16(0).Str("").U8(0);
        cases.push_back({"a string of size 0", w.Bytes});
    }
    {
        tByteWriter w = head(2);
        for (int i = 0; i < 2; ++i)
            field(w, ftString).U16(40000).Str("").U8(0);
        cases.push_back({"a record past 65535 bytes", w.Bytes});
    }
    cases.push_back({"more fields than the stream holds", head(1000).Bytes});
    cases.push_back({"a negative field count", head(0x8000).Bytes});
    {
        tByteWriter w;
        w.U16(0xFFFF).Str("tGRecord").Zeros(4).U8(1).U16(5).U8(0);
        w.U16(0xFFFF).Str("tRecord").U16(0).Zeros(5).Str("").Str("");
        cases.push_back({"a composite whose field count disagrees", w.Bytes});
    }
    {
        tByteWriter w;
        w.U16(0xFFFF).Str("tGRecord").Zeros(4).U8(1).U16(0).U8(0);
        w.U16(0xFFFF).Str("tCollection").Zeros(6);
        cases.push_back({"a composite of a collection", w.Bytes});
    }
    {
        tByteWriter w;
        w.U16(0xFFFF).Str("tMemRecord").U16(1).Zeros(5).Str("").Str("");
        field(w, ftLongInt).Str("").U8(11).Zeros(8).U16(0);
        cases.push_back({"a memory record without all its data", w.Bytes});
    }
    for (const tCase& c : cases) {
        tLoad load(c.Bytes);
        EXPECT_EQ(load.Object, nullptr) << c.What;
        EXPECT_EQ(load.S.Status, stReadError) << c.What;
        ClearError();
    }
}

} // namespace
} // namespace zarvo
