// Field values as text, type by type, and the display form within the field's width.
#include "records/field_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "diagnostics/pending_error.h"
#include "library/dates.h"
#include "platform/cp866.h"
#include "records/extended.h"
#include "records/field_types.h"
#include "records/mem_record.h"
#include "records/real48.h"

namespace zarvo {
namespace {

using tBytes = std::vector<std::uint8_t>;

template <class T> tBytes BytesOf(T value) {
    tBytes bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes;
}

tBytes Real48Of(long double value) {
    tBytes bytes(6);
    PackReal48(value, bytes.data());
    return bytes;
}

tBytes ExtendedOf(long double value) {
    tBytes bytes(10);
    PackExtended(value, bytes.data());
    return bytes;
}

tBytes TextOf(std::string_view text, std::size_t size) {
    tBytes bytes(size, 0);
    std::memcpy(bytes.data(), text.data(), std::min(text.size(), size));
    return bytes;
}

// One field of TYPE with LENGTH holding VALUE (shorter values are zero-padded).
struct tOneField {
    tMemRecord Record{1, "", ""};
    tOneField(std::uint8_t type, int length, const tBytes& value, std::uint8_t format = 0,
              std::uint16_t params = 0) {
        Record.AddField(type, length, "", "", "");
        Record.SetFieldFormat(1, format);
        Record.SetCodeParams(1, params);
        Record.AllocData();
        tBytes stored(std::size_t(Record.FieldSize(1)), 0);
        std::memcpy(stored.data(), value.data(), std::min(value.size(), stored.size()));
        Record.SetField(1, stored.data());
    }
};

struct tTextCase {
    const char* What;
    std::uint8_t Type;
    int Length; // the declared length, or the display width
    tBytes Value;
    std::string Text;
    std::uint8_t Format = 0;
    int Width = 0;
    int Decimals = 0;
    std::uint16_t Params = 0;
    int DisplayWidth = -1; // else the length's
};

// Catches a type shown in the wrong form, a zero that is not hidden (or not shown with the
// format bit), a width or decimals not applied, and reads past a field.
TEST(FieldTextTest, EveryTypeAsText) {
    const tTextCase cases[] = {
        {"string", ftString, 10, TextOf("abc", 11), "abc"},
        {"string filling its field", ftString, 3, TextOf("abcdef", 4), "abc"},
        {"memo", ftMemo, 10, TextOf("line", 11), "line"},
        {"boolean false", ftBoolean, 3, {0}, std::string("Нет"_oem)},
        {"boolean true", ftBoolean, 3, {1}, std::string("Да "_oem)},
        {"boolean any other byte", ftBoolean, 3, {7}, std::string("Да "_oem)},
        {"char", ftChar, 1, {'Z'}, "Z"},
        {"char zero", ftChar, 1, {0}, ""},
        {"date short", ftDate, 8, BytesOf(EncodeDate(5, 3, 2004)), "05/03/04"},
        {"date long", ftDate, 10, BytesOf(EncodeDate(5, 3, 2004)), "05/03/2004"},
        {"date empty short", ftDate, 8, BytesOf<std::uint16_t>(0), "  /  /  "},
        {"date empty long", ftDate, 10, BytesOf<std::uint16_t>(0xFFFF), "  /  /    "},
        {"date without limit, narrow", ftDate, 8, BytesOf<std::uint16_t>(0xFF63),
         std::string("БЕССРОЧ."_oem)},
        {"date without limit, 9 wide", ftDate, 9, BytesOf<std::uint16_t>(0xFF63),
         std::string("БЕССРОЧНО"_oem)},
        {"length-byte string", ftPString, 10, {3, 'a', 'b', 'c', 'd'}, "abc"},
        {"length byte past the field", ftPString, 3, {200, 'a', 'b', 'c'}, "abc"},
        {"time long", ftTime, 8, BytesOf<std::int32_t>(3600), "01:00:00"},
        {"time hours and minutes", ftTime, 5, BytesOf<std::int32_t>(3723), "01:02"},
        {"time hours", ftTime, 4, BytesOf<std::int32_t>(86399), "23"},
        {"time empty", ftTime, 8, BytesOf<std::int32_t>(-1), "  :  :  "},
        {"hidden", ftHidden, 16, BytesOf<std::uint16_t>(1234), "*****"},
        {"short int", ftShortInt, 4, {0x80}, "-128"},
        {"byte", ftByte, 3, {255}, "255"},
        {"integer", ftInteger, 6, BytesOf<std::int16_t>(-32768), "-32768"},
        {"word zero", ftWord, 5, BytesOf<std::uint16_t>(0), ""},
        {"word zero shown", ftWord, 5, BytesOf<std::uint16_t>(0), "0", fmShowZero},
        {"word in a width", ftWord, 5, BytesOf<std::uint16_t>(42), "   42", 0, 5},
        {"long int", ftLongInt, 11, BytesOf<std::int32_t>(-2147483647 - 1), "-2147483648"},
        {"comp", ftComp, 21, BytesOf<std::int64_t>(INT64_MAX), "9223372036854775807"},
        {"single", ftSingle, 9, BytesOf<float>(1.5f), "1.50", 0, 0, 2},
        {"single zero", ftSingle, 9, BytesOf<float>(0.0f), ""},
        {"negative zero shown", ftDouble, 17, BytesOf<double>(-0.0), "0.0", fmShowZero, 0, 1},
        {"real", ftReal, 13, Real48Of(-0.1L), "-0.100", 0, 0, 3},
        {"real in a width", ftReal, 13, Real48Of(2.5L), "    2.50", 0, 8, 2},
        {"double", ftDouble, 17, BytesOf<double>(1234.5678), "1234.568", 0, 0, 3},
        {"double halves to even", ftDouble, 17, BytesOf<double>(2.5), "2", 0, 0, 0},
        {"extended", ftExtended, 21, ExtendedOf(1e20L), "100000000000000000000"},
        {"extended infinity", ftExtended, 21, ExtendedOf(-HUGE_VALL), "-inf"},
        {"set", ftSet, 0, tBytes(32, 0xFF), ""},
        {"period zero", ftPeriod, 8, BytesOf<std::uint16_t>(0), "00:00:00"},
        {"period", ftPeriod, 8, BytesOf<std::uint16_t>(400), "01:01:03"},
        {"period at its end", ftPeriod, 8, BytesOf<std::uint16_t>(65535), "179:05:04"},
        {"code", ftCode, 3, {1, 22, 255}, "001.022.255", 0, 0, 0, 0x0303},
        {"code of fewer groups", ftCode, 3, {1, 2, 3}, "1.2", 0, 0, 0, 0x0102},
        {"code of more groups than bytes", ftCode, 2, {1, 2}, "01.02", 0, 0, 0, 0x0209},
        {"hexadecimal", ftHex, 3, {0xAB, 0x01, 0xFF}, "AB01FF"},
    };
    for (const tTextCase& c : cases) {
        tOneField field(c.Type, c.Length, c.Value, c.Format, c.Params);
        EXPECT_EQ(FieldToText(field.Record, 1, 255, c.Width, c.Decimals), c.Text) << c.What;
    }
}

// Catches the display form trimming, grouping, aligning, filling or cutting wrongly.
TEST(FieldTextTest, DisplayFormat) {
    const tTextCase cases[] = {
        {"left", ftString, 5, TextOf("ab", 6), "ab   ", fmLeft},
        {"right", ftString, 5, TextOf("ab", 6), "   ab", fmRight},
        {"centred", ftString, 7, TextOf("ab", 8), "  ab   "},
        {"centred with zeros", ftWord, 5, BytesOf<std::uint16_t>(7), "00700", fmZeroFill},
        {"trailing blanks trimmed first", ftBoolean, 5, {1}, std::string(" Да  "_oem)},
        {"right with zeros after the sign", ftInteger, 6, BytesOf<std::int16_t>(-12), "-00012",
         fmRight | fmZeroFill},
        {"grouped", ftLongInt, 11, BytesOf<std::int32_t>(-1234567), " -1 234 567",
         fmRight | fmGroupDigits},
        {"grouped real", ftDouble, 12, BytesOf<double>(1234567.25), "1 234 567.25",
         fmRight | fmGroupDigits, 0, 2},
        {"three digits stay whole", ftWord, 5, BytesOf<std::uint16_t>(999), "  999",
         fmRight | fmGroupDigits},
        {"cut to the width and marked", ftString, 10, TextOf("abcdefgh", 11),
         std::string("abcd") + kCutMark, fmLeft, 0, 0, 0, 5},
        {"no width, nothing to align in", ftHex, 2, {0x12, 0x34}, "1234", 0, 0, 0, 0, 0},
    };
    for (const tTextCase& c : cases) {
        tOneField field(c.Type, c.Length, c.Value, c.Format, c.Params);
        if (c.DisplayWidth >= 0)
            field.Record.SetFieldWidth(1, c.DisplayWidth);
        field.Record.SetDisplayFormat(true);
        EXPECT_EQ(FieldToText(field.Record, 1, 255, c.Width, c.Decimals), c.Text) << c.What;
    }
}

// Catches the maximum length not applied, and FieldAsText taking the decimals of whatever
// was formatted before instead of the field's own.
TEST(FieldTextTest, FieldAsTextUsesTheFieldsDecimals) {
    tMemRecord record(0, "", "");
    record.AddField(ftDouble, 17, "", "", "");
    record.AddField(ftDouble, 17, "", "", "");
    record.SetDecimals(1, 3);
    record.AllocData();
    double value = 3.0;
    record.SetField(1, &value);
    record.SetField(2, &value);
    EXPECT_EQ(FieldToText(record, 2, 255, 0, 5), "3.00000");
    EXPECT_EQ(FieldAsText(record, 1), "3.000");
    EXPECT_EQ(FieldAsText(record, 2), "3") << "expected field 2's own 0 decimals";
    EXPECT_EQ(FieldToText(record, 1, 2, 0, 3), "3.") << "expected the text cut to 2";
    record.AddField(ftString, 300, "", "", "");
    record.AllocData();
    std::string text(301, 'x');
    text[300] = 0;
    record.SetField(3, text.data());
    EXPECT_EQ(FieldAsText(record, 3).size(), 255u) << "expected at most 255 characters";
}

} // namespace
} // namespace zarvo
