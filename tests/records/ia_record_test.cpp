// The operations every record has through its field interface alone, on a record type of
// one's own that gives only the interface.
#include "records/ia_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "records/field_text.h"
#include "records/field_types.h"

namespace zarvo {
namespace {

using tBytes = std::vector<std::uint8_t>;

// Fields of fixed types with flags, over a buffer of one byte per field (enough for the
// one-byte types the tests use).
class tPlainRecord : public tIARecord {
  public:
    struct tField {
        std::uint8_t Type;
        std::uint32_t Flags;
        std::uint16_t Params = 0;
        std::uint8_t Value = 0;
    };
    explicit tPlainRecord(std::vector<tField> fields) : Fields(std::move(fields)) {}
    std::uint8_t FieldType(int n) override { return Fields[std::size_t(n - 1)].Type; }
    std::uint16_t FieldCodeParams(int n) override { return Fields[std::size_t(n - 1)].Params; }
    void GetField(int n, void* buffer) override {
        std::memset(buffer, 0, std::size_t(FieldSize(n)));
        *static_cast<std::uint8_t*>(buffer) = Fields[std::size_t(n - 1)].Value;
    }
    void SetField(int n, const void* buffer) override {
        Fields[std::size_t(n - 1)].Value = *static_cast<const std::uint8_t*>(buffer);
    }
    int FieldCount() override { return int(Fields.size()); }
    std::string Name() override { return "plain"; }
    tObjectPtr<tIARecord> Clone() override { return MakeObject<tPlainRecord>(Fields); }
    std::uint32_t FieldFlags(int n) override { return Fields[std::size_t(n - 1)].Flags; }
    void SetFieldFlags(int n, std::uint32_t flags) override {
        Fields[std::size_t(n - 1)].Flags = flags;
    }
    void SetFieldFormat(int, std::uint8_t) override {}
    void SetFieldWidth(int, int) override {}
    void GetMin(int n, void* buffer) override { std::memset(buffer, 0, std::size_t(FieldSize(n))); }
    void GetMax(int n, void* buffer) override { std::memset(buffer, 0, std::size_t(FieldSize(n))); }

    std::vector<tField> Fields;
};

// Catches a code's width computed with a division by its digits (wrong, and a crash for 0
// digits) instead of the length of its text.
TEST(IARecordTest, DefaultWidthsAndSizes) {
    tPlainRecord record({{ftCode, 8, 0x0303},
                         {ftCode, 8, 0x0002},
                         {ftCode, 8, 0x0200},
                         {ftMemo, 8},
                         {ftByte, 8},
                         {ftExtended, 8}});
    EXPECT_EQ(record.FieldWidth(1), 11) << "expected 3 groups of 3 digits and 2 dots";
    EXPECT_EQ(record.FieldWidth(2), 1) << "expected 2 groups of no digits: the dot alone";
    EXPECT_EQ(record.FieldWidth(3), 0) << "expected no groups, no text";
    EXPECT_EQ(record.FieldWidth(4), 0) << "expected no width for a memo";
    EXPECT_EQ(record.FieldWidth(5), 3);
    EXPECT_EQ(record.FieldSize(6), 10);
    EXPECT_EQ(record.FieldTextLength(1), 11);
    EXPECT_EQ(record.FieldFormat(1), 0);
    EXPECT_EQ(record.FieldCaption(1), "") << "expected the caption to fall back on the name";
}

// Catches GetAll and SetAll that pack fields left out of all (negative flags) or fields
// without storage, which would overrun a buffer of DataSize bytes.
TEST(IARecordTest, GetAllPacksOnlyFieldsWithStorage) {
    tPlainRecord record({{ftByte, 8, 0, 1},
                         {ftByte, 8 | ffNotInAll, 0, 2},
                         {ftByte, 8 | ffNoStorage, 0, 3},
                         {ftByte, 8, 0, 4}});
    EXPECT_EQ(record.DataSize(), 3) << "expected the field without storage left out";
    tBytes packed(4, 0xEE);
    record.GetAll(packed.data());
    EXPECT_EQ(packed, (tBytes{1, 4, 0xEE, 0xEE}));
    const std::uint8_t in[2] = {9, 8};
    record.SetAll(in);
    EXPECT_EQ(record.Fields[0].Value, 9);
    EXPECT_EQ(record.Fields[1].Value, 2) << "expected a field left out of all untouched";
    EXPECT_EQ(record.Fields[3].Value, 8);
    EXPECT_FALSE(record.HasData());
}

// Catches the text of a code group count beyond the field's bytes read past the field.
TEST(IARecordTest, CodeTextStaysInsideTheField) {
    tPlainRecord record({{ftCode, 8, 0x02FF, 7}});
    EXPECT_EQ(FieldAsText(record, 1), "") << "expected no text: the field has no bytes";
}

} // namespace
} // namespace zarvo
