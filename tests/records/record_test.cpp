// Records of typed fields: layout of the data buffer, field access, names and captions,
// search, limits, flags, copying of fields and the memory record's buffer.
#include "records/record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/validity.h"
#include "platform/cp866.h"
#include "records/field_types.h"
#include "records/mem_record.h"

namespace zarvo {
namespace {

using tBytes = std::vector<std::uint8_t>;

class RecordTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearError(); }
    void TearDown() override { ClearError(); }
};

// Catches offsets with alignment or a wrong storage size for declared and fixed types.
TEST_F(RecordTest, FieldsArePackedOneAfterAnother) {
    tMemRecord record(1, "params", "");
    ASSERT_TRUE(record.AddField(ftString, 250, "dir", "", ""));
    ASSERT_TRUE(record.AddField(ftWord, 5, "size", "", ""));
    ASSERT_TRUE(record.AddField(ftTime, 8, "work", "", ""));
    ASSERT_TRUE(record.AddField(ftTime, 8, "period", "", ""));
    ASSERT_TRUE(record.AllocData());
    EXPECT_EQ(record.DataSize(), 261);
    const int offsets[] = {0, 251, 253, 257};
    auto* base = static_cast<std::uint8_t*>(record.FieldAddress(1));
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(static_cast<std::uint8_t*>(record.FieldAddress(n)) - base, offsets[n - 1])
            << "field " << n;
    struct tSize {
        std::uint8_t Type;
        int Length;
        int Size;
        int Width;
    };
    const tSize sizes[] = {
        {ftString, 20, 21, 20},   {ftMemo, 300, 301, 44}, {ftMemo, 0, 0, 0},
        {ftPString, 10, 11, 10},  {ftCode, 3, 3, 3},      {ftHex, 4, 5, 4},
        {ftExtended, 30, 10, 30}, {ftReal, 0, 6, 0},      {ftSet, 0, 32, 0},
    };
    for (const tSize& s : sizes) {
        tRecord one(0, "", "");
        ASSERT_TRUE(one.AddField(s.Type, s.Length, "", "", ""));
        EXPECT_EQ(one.FieldSize(1), s.Size) << "type " << int(s.Type);
        EXPECT_EQ(one.FieldWidth(1), s.Width) << "type " << int(s.Type) << ": width is the "
                                              << "length's low byte";
    }
}

// Catches a string field read without its terminator or past its declared length.
TEST_F(RecordTest, GetFieldTerminatesZeroTerminatedTypes) {
    tMemRecord record(0, "", "");
    record.AddField(ftString, 250, "", "", "");
    record.AllocData();
    tBytes full(251, 'x');
    record.SetField(1, full.data());
    tBytes out(252, 0xEE);
    record.GetField(1, out.data());
    EXPECT_EQ(out[249], 'x');
    EXPECT_EQ(out[250], 0) << "expected a zero at the declared length";
    EXPECT_EQ(out[251], 0xEE) << "expected nothing written past the field";
}

// Catches wrong fallbacks between names, captions and their alternatives, and a search
// that prefers a plain name or minds letter case.
TEST_F(RecordTest, NamesCaptionsAndSearch) {
    tRecord record(0, "", "");
    record.AddField(ftWord, 5, "alpha", "Альфа"_oem, "");
    record.AddField(ftWord, 5, "beta", "", "");
    record.AddField(ftWord, 5, "gamma", "", "");
    record.SetAltNames(1, "first", "");
    record.SetAltNames(2, "ALPHA", "");
    record.SetAltNames(3, "", "Гамма"_oem);
    EXPECT_EQ(record.FieldCaption(1), "Альфа"_oem);
    EXPECT_EQ(record.FieldCaption(2), "beta") << "expected the short name without caption";
    EXPECT_EQ(record.FieldAltCaption(1), "first");
    EXPECT_EQ(record.FieldAltCaption(2), "ALPHA") << "expected the alt name without alt caption";
    EXPECT_EQ(record.DisplayName(2), "ALPHA");
    EXPECT_EQ(record.DisplayName(3), "gamma");
    EXPECT_EQ(record.DisplayCaption(1), "first") << "expected the alternative before the caption";
    EXPECT_EQ(record.DisplayCaption(3), "Гамма"_oem) << "expected the alternative caption";
    EXPECT_EQ(record.FindField("alpha"), 2)
        << "expected field 2's alternative name before field 1's plain name";
    EXPECT_EQ(record.FindField("beta"), 2) << "expected the plain name when no display name fits";
    EXPECT_EQ(record.FindField("GaMMa"), 3);
    EXPECT_EQ(record.FindField("delta"), -1);
    tRecord russian(0, "", "");
    russian.AddField(ftWord, 5, "поле"_oem, "", "");
    EXPECT_EQ(russian.FindField("ПОЛЕ"_oem), 1) << "expected Cyrillic letters without case";
}

// Catches names and strings kept past their limits.
TEST_F(RecordTest, StringsAreCutToTheirLimits) {
    tRecord record(0, "longer-than-eight", std::string(40, 'd'));
    record.AddField(ftWord, 5, "abcdefghijklmn", std::string(35, 'c'), "");
    record.SetAltNames(1, "nopqrstuvwxyz", std::string(33, 'a'));
    EXPECT_EQ(record.Name(), "longer-t");
    EXPECT_EQ(record.Description(), std::string(30, 'd'));
    EXPECT_EQ(record.FieldName(1), "abcdefghij");
    EXPECT_EQ(record.FieldCaption(1), std::string(30, 'c'));
    EXPECT_EQ(record.FieldAltName(1), "nopqrstuvw");
    EXPECT_EQ(record.FieldAltCaption(1), std::string(30, 'a'));
}

// Catches limits stored for the wrong kinds, in the wrong place, or decimals that move them.
TEST_F(RecordTest, LimitsByKind) {
    tRecord record(0, "", "");
    record.AddField(ftInteger, 6, "", "", "");
    record.AddField(ftDouble, 17, "", "", "");
    record.AddField(ftCode, 2, "", "", "");
    record.AddField(ftString, 5, "", "", "");
    std::int16_t low = -5, high = 300;
    EXPECT_EQ(record.LimitKind(1), lkMinMax);
    ASSERT_TRUE(record.SetLimits(1, &low, &high));
    std::int16_t got = 0;
    record.GetMin(1, &got);
    EXPECT_EQ(got, -5);
    record.GetMax(1, &got);
    EXPECT_EQ(got, 300);
    double dlow = 0.5, dhigh = 99.25, dgot = 1;
    EXPECT_EQ(record.LimitKind(2), lkMinMaxDecimals);
    record.GetMin(2, &dgot);
    EXPECT_EQ(dgot, 0.0) << "expected zeros before any limits";
    ASSERT_TRUE(record.SetDecimals(2, 3));
    ASSERT_TRUE(record.SetLimits(2, &dlow, &dhigh));
    EXPECT_EQ(record.FieldDecimals(2), 3);
    record.GetMax(2, &dgot);
    EXPECT_EQ(dgot, 99.25);
    EXPECT_FALSE(record.SetDecimals(1, 2)) << "expected decimals refused for an integer";
    EXPECT_EQ(record.LimitKind(3), lkParams);
    EXPECT_TRUE(record.SetCodeParams(3, 0x0302));
    EXPECT_EQ(record.FieldCodeParams(3), 0x0302);
    EXPECT_FALSE(record.SetLimits(4, &low, &high)) << "expected no limits for a string";
    EXPECT_FALSE(record.SetCodeParams(1, 1));
}

// Catches a field without storage that still takes room (so that later fields run past a
// buffer of DataSize bytes), and GetAll packing it.
TEST_F(RecordTest, FieldsWithoutStorageTakeNoRoom) {
    tMemRecord record(0, "", "");
    record.AddField(ftLongInt, 11, "", "", "");
    record.AddField(ftWord, 5, "", "", "");
    record.AddField(ftWord, 5, "", "", "");
    record.SetFieldFlags(1, ffDefaultMask | ffNoStorage);
    record.SetFieldFlags(3, ffDefaultMask | ffNotInAll);
    ASSERT_TRUE(record.AllocData());
    EXPECT_EQ(record.DataSize(), 4);
    EXPECT_EQ(record.FieldAddress(1), nullptr);
    std::uint16_t two = 2, three = 3;
    record.SetField(2, &two);
    record.SetField(3, &three);
    std::int32_t none = 77;
    record.SetField(1, &none);
    record.GetField(1, &none);
    EXPECT_EQ(none, 0) << "expected a field without storage to read as zeros";
    tBytes packed(8, 0xEE);
    record.tIARecord::GetAll(packed.data());
    EXPECT_EQ(packed, (tBytes{2, 0, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}))
        << "expected only field 2 packed: 1 has no storage, 3 is left out of GetAll";
    tBytes whole(4, 0);
    record.GetAll(whole.data());
    EXPECT_EQ(whole, (tBytes{2, 0, 3, 0})) << "expected the whole buffer";
}

// Catches fields added after AllocData read or written past the allocated buffer, and
// AllocData losing what the buffer held.
TEST_F(RecordTest, BufferGrowsWithAllocData) {
    tMemRecord record(0, "", "");
    record.AddField(ftWord, 5, "", "", "");
    ASSERT_TRUE(record.AllocData());
    std::uint16_t value = 4242;
    record.SetField(1, &value);
    record.AddField(ftLongInt, 11, "", "", "");
    std::int32_t late = 9;
    record.SetField(2, &late);
    record.GetField(2, &late);
    EXPECT_EQ(late, 0) << "expected a field outside the buffer left alone";
    ASSERT_TRUE(record.AllocData());
    EXPECT_EQ(record.AllocatedSize(), 6);
    record.GetField(1, &value);
    EXPECT_EQ(value, 4242) << "expected the old contents kept";
}

// Catches a record that stays valid after a refused field, and impossible fields accepted.
TEST_F(RecordTest, RefusedFieldsMakeTheRecordInvalid) {
    struct tCase {
        const char* What;
        std::uint8_t Type;
        int Length;
    };
    const tCase cases[] = {
        {"type 0", 0, 1},
        {"type 23", 23, 1},
        {"a negative length", ftString, -1},
        {"a length-byte string over 255", ftPString, 256},
        {"a record past 65535 bytes", ftString, 65534},
    };
    for (const tCase& c : cases) {
        tRecord record(0, "", "");
        record.AddField(ftString, 10, "", "", "");
        EXPECT_FALSE(record.AddField(c.Type, c.Length, "", "", "")) << c.What;
        EXPECT_EQ(record.FieldCount(), 1) << c.What << ": expected nothing added";
        EXPECT_FALSE(record.Valid(0)) << c.What;
        EXPECT_TRUE(record.Valid(1)) << c.What << ": expected other commands unchanged";
    }
}

// Catches copies that lose a name, caption, flag, format, decimals or parameter, or that
// share strings with the source.
TEST_F(RecordTest, CopyFieldFromAndClone) {
    tMemRecord source(0, "src", "Источник"_oem);
    source.AddField(ftExtended, 21, "ext", "Расширенное"_oem, "pic");
    source.AddField(ftCode, 3, "code", "", "");
    source.AddField(ftString, 40, "text", "", "");
    source.SetAltNames(1, "alt", "Другое"_oem);
    source.SetFieldFlags(1, 0x108);
    source.SetFieldFormat(1, fmRight | fmShowZero);
    source.SetFieldWidth(1, 15);
    source.SetDecimals(1, 4);
    source.SetCodeParams(2, 0x0303);
    long double low = -1, high = 1;
    source.SetLimits(1, &low, &high);
    tRecord copy(0, "", "");
    for (int n = 1; n <= 3; ++n)
        ASSERT_TRUE(copy.CopyFieldFrom(source, n));
    auto clone = source.Clone();
    for (tIARecord* record : {static_cast<tIARecord*>(&copy), clone.get()}) {
        for (int n = 1; n <= 3; ++n) {
            EXPECT_EQ(record->FieldType(n), source.FieldType(n)) << n;
            EXPECT_EQ(record->FieldSize(n), source.FieldSize(n)) << n;
            EXPECT_EQ(record->FieldWidth(n), source.FieldWidth(n)) << n;
            EXPECT_EQ(record->FieldCaption(n), source.FieldCaption(n)) << n;
        }
        EXPECT_EQ(record->FieldName(1), "ext");
        EXPECT_EQ(record->FieldPicture(1), "pic");
        EXPECT_EQ(record->FieldAltName(1), "alt");
        EXPECT_EQ(record->FieldAltCaption(1), "Другое"_oem);
        EXPECT_EQ(record->FieldFlags(1), 0x108u);
        EXPECT_EQ(record->FieldFormat(1), fmRight | fmShowZero);
        EXPECT_EQ(record->FieldDecimals(1), 4);
        EXPECT_EQ(record->FieldCodeParams(2), 0x0303);
        EXPECT_FALSE(record->HasData()) << "expected no data";
    }
    EXPECT_EQ(clone->Name(), "src");
    EXPECT_EQ(clone->Description(), "Источник"_oem);
    long double got = 0;
    clone->GetMax(1, &got);
    EXPECT_EQ(got, 1) << "expected Clone to copy the limits";
}

// Catches FieldTextLength reading the wrong byte or past a string field.
TEST_F(RecordTest, FieldTextLength) {
    tMemRecord record(0, "", "");
    record.AddField(ftString, 20, "", "", "");
    record.AddField(ftPString, 5, "", "", "");
    record.AddField(ftHex, 100, "", "", "");
    record.AddField(ftCode, 3, "", "", "");
    record.AddField(ftDate, 10, "", "", "");
    record.SetCodeParams(4, 0x0203);
    record.AllocData();
    const char text[21] = "hello";
    record.SetField(1, text);
    const std::uint8_t pstring[6] = {200, 'a', 'b', 'c', 'd', 'e'};
    record.SetField(2, pstring);
    EXPECT_EQ(record.FieldTextLength(1), 5);
    EXPECT_EQ(record.FieldTextLength(2), 5) << "expected a damaged length byte held to the field";
    EXPECT_EQ(record.FieldTextLength(3), 127);
    EXPECT_EQ(record.FieldTextLength(4), 3) << "expected as the code's display width";
    EXPECT_EQ(record.FieldTextLength(5), 8) << "expected the date type's default width";
}

} // namespace
} // namespace zarvo
