// The composite record: one numbering over its sub-records' fields, forwarding, the main
// sub-record and the limits on what it takes.
#include "records/g_record.h"

#include <gtest/gtest.h>

#include "diagnostics/pending_error.h"
#include "records/field_input.h"
#include "records/field_text.h"
#include "records/mem_record.h"

namespace zarvo {
namespace {

tMemRecord* Part(const char* name, int fields, std::uint32_t flags = ffDefaultMask) {
    auto* record = new tMemRecord(0, name, std::string(name) + " description");
    for (int i = 0; i < fields; ++i) {
        record->AddField(ftWord, 5, std::string(name) + std::to_string(i + 1), "", "");
        record->SetFieldFlags(i + 1, flags);
    }
    record->AllocData();
    return record;
}

class GRecordTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearError(); }
    void TearDown() override { ClearError(); }
};

// Catches a global number mapped to the wrong sub-record or field, and operations that are
// not forwarded.
TEST_F(GRecordTest, NumbersFieldsAcrossSubRecords) {
    tGRecord composite;
    auto* a = Part("a", 2);
    auto* b = Part("b", 3);
    ASSERT_TRUE(composite.AddRecord(a));
    ASSERT_TRUE(composite.AddRecord(b));
    ASSERT_EQ(composite.FieldCount(), 5);
    EXPECT_EQ(composite.FieldName(2), "a2");
    EXPECT_EQ(composite.FieldName(3), "b1");
    EXPECT_EQ(composite.FieldName(5), "b3");
    EXPECT_EQ(composite.FindField("B2"), 4);
    ASSERT_TRUE(SetFieldText(composite, 4, "1234"));
    EXPECT_EQ(FieldAsText(*b, 2), "1234") << "expected global field 4 to be b's field 2";
    composite.SetFieldFormat(4, fmShowZero);
    EXPECT_EQ(b->FieldFormat(2), fmShowZero);
    EXPECT_EQ(composite.FieldAddress(4), b->FieldAddress(2));
    EXPECT_EQ(composite.DataSize(), 10);
    EXPECT_TRUE(composite.HasData());
}

// Catches the main sub-record chosen as the first, or as one with a not-main field.
TEST_F(GRecordTest, MainRecordGivesNameAndDescription) {
    tGRecord composite;
    EXPECT_EQ(composite.Name(), "");
    composite.AddRecord(Part("first", 1));
    composite.AddRecord(Part("second", 1));
    composite.AddRecord(Part("lookup", 1, ffDefaultMask | ffNotMain));
    EXPECT_EQ(composite.Name(), "second");
    EXPECT_EQ(composite.Description(), "second description");
}

// Catches an invalid sub-record taken, the 256th sub-record taken, or a refused one leaked.
TEST_F(GRecordTest, RefusesWhatItCannotNumber) {
    tGRecord composite;
    auto* invalid = Part("bad", 1);
    invalid->AddField(0, 1, "", "", "");
    EXPECT_FALSE(composite.AddRecord(invalid)) << "expected an invalid record refused";
    for (int i = 0; i < kMaxSubRecords; ++i)
        ASSERT_TRUE(composite.AddRecord(Part("p", 1))) << i;
    EXPECT_FALSE(composite.AddRecord(Part("p", 1))) << "expected the 256th refused";
    EXPECT_EQ(composite.RecordCount(), kMaxSubRecords);
    EXPECT_EQ(composite.FieldCount(), kMaxSubRecords);
    EXPECT_TRUE(composite.Valid(0));
}

} // namespace
} // namespace zarvo
