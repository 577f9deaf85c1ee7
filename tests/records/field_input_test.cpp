// Text to field values: every type's accepted texts read back the same, refused texts give
// their messages, and limits bound what is accepted.
#include "records/field_input.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/dates.h"
#include "platform/cp866.h"
#include "records/extended.h"
#include "records/field_text.h"
#include "records/field_types.h"
#include "records/mem_record.h"

namespace zarvo {
namespace {

using tBytes = std::vector<std::uint8_t>;

template <class T> tBytes BytesOf(T value) {
    tBytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

tBytes ExtendedOf(long double value) {
    tBytes bytes(10);
    PackExtended(value, bytes.data());
    return bytes;
}

tBytes FieldBytes(tIARecord& record, int n) {
    tBytes bytes(std::size_t(record.FieldSize(n)));
    record.GetField(n, bytes.data());
    return bytes;
}

struct tFieldShape {
    std::uint8_t Type;
    int Length;
    std::uint16_t Params = 0;
    std::uint8_t Format = 0;
};

tObjectPtr<tMemRecord> OneField(const tFieldShape& shape) {
    auto record = MakeObject<tMemRecord>(1, "", "");
    record->AddField(shape.Type, shape.Length, "", "", "");
    record->SetCodeParams(1, shape.Params);
    record->SetFieldFormat(1, shape.Format);
    record->AllocData();
    return record;
}

class FieldInputTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearError(); }
    void TearDown() override { ClearError(); }
};

// Catches a type that parses its own text form wrongly: each text is set and read back.
TEST_F(FieldInputTest, TextValueText) {
    struct tCase {
        const char* What;
        tFieldShape Field;
        std::string Text;
        std::string Back; // FieldAsText after setting
    };
    const tCase cases[] = {
        {"string", {ftString, 10}, "hello", "hello"},
        {"string at its length", {ftString, 3}, "abc", "abc"},
        {"length-byte string", {ftPString, 5}, "abc", "abc"},
        {"memo", {ftMemo, 10}, "memo", "memo"},
        {"char", {ftChar, 1}, "Q", "Q"},
        {"empty char", {ftChar, 1}, "", ""},
        {"yes in any case", {ftBoolean, 3}, std::string("дА"_oem), std::string("Да "_oem)},
        {"no with blanks", {ftBoolean, 3}, std::string(" Нет "_oem), std::string("Нет"_oem)},
        {"empty boolean", {ftBoolean, 3}, "", std::string("Нет"_oem)},
        {"date", {ftDate, 10}, "05/03/2004", "05/03/2004"},
        {"date of single digits", {ftDate, 10}, "5/3/2004", "05/03/2004"},
        {"blank date", {ftDate, 10}, "  /  /    ", "  /  /    "},
        {"date without limit",
         {ftDate, 10},
         std::string("бессрочно"_oem),
         std::string("БЕССРОЧНО"_oem)},
        {"short date without limit",
         {ftDate, 8},
         std::string("БЕССРОЧ."_oem),
         std::string("БЕССРОЧ."_oem)},
        {"time", {ftTime, 8}, "23:59:59", "23:59:59"},
        {"time without seconds", {ftTime, 8}, "1:2", "01:02:00"},
        {"hours alone", {ftTime, 8}, "7", "07:00:00"},
        {"period", {ftPeriod, 8}, "01:01:03", "01:01:03"},
        {"blank period", {ftPeriod, 8}, "  :  :  ", "00:00:00"},
        {"code", {ftCode, 3, 0x0303}, "1.22.255", "001.022.255"},
        {"blank code", {ftCode, 3, 0x0303}, "   .   .   ", "000.000.000"},
        {"hexadecimal", {ftHex, 3}, "ab01", "AB0100"},
        {"short int", {ftShortInt, 4}, "-128", "-128"},
        {"byte", {ftByte, 3}, "255", "255"},
        {"integer", {ftInteger, 6}, "-32767", "-32767"},
        {"word with blanks", {ftWord, 5}, " 65535 ", "65535"},
        {"empty word", {ftWord, 5}, "", ""},
        {"long int with plus", {ftLongInt, 11}, "+42", "42"},
        {"comp", {ftComp, 21}, "-9223372036854775807", "-9223372036854775807"},
        {"grouped digits", {ftLongInt, 11, 0, fmGroupDigits}, "1 234 567", "1234567"},
        {"double", {ftDouble, 17}, "-2.", "-2"},
    };
    for (const tCase& c : cases) {
        auto record = OneField(c.Field);
        ASSERT_TRUE(SetFieldText(*record, 1, c.Text)) << c.What;
        EXPECT_EQ(FieldAsText(*record, 1), c.Back) << c.What;
        EXPECT_FALSE(IsErrorPending()) << c.What;
    }
}

// Catches reals parsed or rounded to the wrong stored bytes.
TEST_F(FieldInputTest, RealsAreStoredRounded) {
    struct tCase {
        const char* What;
        std::uint8_t Type;
        std::string Text;
        tBytes Bytes;
    };
    const tCase cases[] = {
        {"single", ftSingle, "0.1", BytesOf(0.1f)},
        {"6-byte real", ftReal, "0.1", {0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}},
        {"6-byte real, negative", ftReal, "-1.5", {0x81, 0, 0, 0, 0, 0xC0}},
        {"double", ftDouble, "-2.5", BytesOf(-2.5)},
        {"double of a point and digits", ftDouble, ".25", BytesOf(0.25)},
        {"extended", ftExtended, "0.1", ExtendedOf(0.1L)},
        {"empty is zero", ftExtended, "", ExtendedOf(0.0L)},
    };
    for (const tCase& c : cases) {
        auto record = OneField({c.Type, 0});
        ASSERT_TRUE(SetFieldText(*record, 1, c.Text)) << c.What;
        EXPECT_EQ(FieldBytes(*record, 1), c.Bytes) << c.What;
    }
}

// Catches refused texts that change the field, give the wrong message, or are accepted.
TEST_F(FieldInputTest, RefusedTextsAndTheirMessages) {
    const std::string invalid = InvalidFieldMessage();
    struct tCase {
        const char* What;
        tFieldShape Field;
        std::string Text;
        std::string Message;
    };
    const tCase cases[] = {
        {"string too long", {ftString, 10}, "abcdefghijk", invalid},
        {"string with a zero byte", {ftString, 10}, std::string("a\0b", 3), invalid},
        {"two chars", {ftChar, 1}, "ab", invalid},
        {"neither yes nor no", {ftBoolean, 3}, "maybe", invalid},
        {"30 February", {ftDate, 10}, "30/02/2004", invalid},
        {"after the last year", {ftDate, 10}, "01/01/2051", invalid},
        {"letters for a date", {ftDate, 10}, "ab/cd/efgh", invalid},
        {"two parts of a date", {ftDate, 10}, "01/02", invalid},
        {"hour 24", {ftTime, 8}, "24:00:00", invalid},
        {"minute 60", {ftTime, 8}, "12:60", invalid},
        {"four parts of a time", {ftTime, 8}, "1:2:3:4", invalid},
        {"blank time", {ftTime, 8}, "  :  :  ", invalid},
        {"hidden value", {ftHidden, 16}, "12", invalid},
        {"set", {ftSet, 0}, "1", invalid},
        {"month 12 of a period", {ftPeriod, 8}, "00:12:00", invalid},
        {"too few groups", {ftCode, 3, 0x0303}, "1.2", InvalidCodeMessage("1.2")},
        {"a group past a byte", {ftCode, 3, 0x0303}, "1.2.256", InvalidCodeMessage("1.2.256")},
        {"odd hexadecimal", {ftHex, 3}, "abc", invalid},
        {"not hexadecimal", {ftHex, 3}, "zz", invalid},
        {"hexadecimal too long", {ftHex, 2}, "010203", invalid},
        {"byte over 255", {ftByte, 3}, "256", NumberRangeMessage("0", "255")},
        {"integer -32768", {ftInteger, 6}, "-32768", NumberRangeMessage("-32767", "32767")},
        {"letters in a word", {ftWord, 5}, "12a", NumberRangeMessage("0", "65535")},
        {"comp past its range",
         {ftComp, 21},
         "9223372036854775808",
         NumberRangeMessage("-9223372036854775807", "9223372036854775807")},
        {"exponent", {ftSingle, 9}, "1e3", invalid},
        {"a point alone", {ftDouble, 17}, ".", invalid},
        {"single past its range",
         {ftSingle, 9},
         "400000000000000000000000000000000000000",
         invalid},
        {"6-byte real past its range", {ftReal, 13}, "1" + std::string(39, '0'), invalid},
    };
    for (const tCase& c : cases) {
        auto record = OneField(c.Field);
        tBytes before = FieldBytes(*record, 1);
        EXPECT_FALSE(SetFieldText(*record, 1, c.Text)) << c.What;
        ASSERT_TRUE(IsErrorPending()) << c.What << ": expected the message posted";
        EXPECT_EQ(PendingError()->Message(), c.Message) << c.What;
        EXPECT_EQ(FieldBytes(*record, 1), before) << c.What << ": expected the field unchanged";
        ClearError();
    }
    EXPECT_EQ(NumberRangeMessage("1", "2"), "Число должно быть не менее 1 и не более 2."_oem);
    EXPECT_EQ(InvalidCodeMessage("x"), "Недопустимый код \"x\""_oem);
}

// Catches limits ignored, applied when minimum is not below maximum, or shown without the
// field's decimals.
TEST_F(FieldInputTest, LimitsBoundTheValue) {
    tMemRecord record(0, "", "");
    record.AddField(ftLongInt, 11, "", "", "");
    record.AddField(ftDouble, 17, "", "", "");
    record.AddField(ftDate, 10, "", "", "");
    record.AddField(ftTime, 8, "", "", "");
    record.AddField(ftWord, 5, "", "", "");
    std::int32_t low = 10, high = 20;
    record.SetLimits(1, &low, &high);
    double dlow = 0.5, dhigh = 99.25;
    record.SetLimits(2, &dlow, &dhigh);
    record.SetDecimals(2, 2);
    std::uint16_t first = EncodeDate(5, 3, 2004), last = EncodeDate(9, 3, 2004);
    record.SetLimits(3, &first, &last);
    std::int32_t morning = 8 * 3600, noon = 12 * 3600;
    record.SetLimits(4, &morning, &noon);
    std::uint16_t same = 7;
    record.SetLimits(5, &same, &same);
    record.AllocData();
    struct tCase {
        int Field;
        std::string Text;
        bool Accepted;
        std::string Message;
    };
    const tCase cases[] = {
        {1, "15", true, ""},         {1, "21", false, NumberRangeMessage("10", "20")},
        {1, "", true, ""}, // an empty text is 0, whatever the limits
        {2, "99.25", true, ""},      {2, "100", false, NumberRangeMessage("0.50", "99.25")},
        {3, "07/03/2004", true, ""}, {3, "10/03/2004", false, InvalidFieldMessage()},
        {4, "12:00", true, ""},      {4, "12:00:01", false, InvalidFieldMessage()},
        {5, "65535", true, ""}, // minimum not below maximum: the type's range
    };
    for (const tCase& c : cases) {
        EXPECT_EQ(SetFieldText(record, c.Field, c.Text), c.Accepted) << c.Field << " " << c.Text;
        EXPECT_EQ(IsErrorPending() ? PendingError()->Message() : "", c.Message)
            << c.Field << " " << c.Text;
        ClearError();
    }
}

} // namespace
} // namespace zarvo
