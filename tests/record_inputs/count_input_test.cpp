// The numeric inputs: text to stored value and back for every size, the limits each takes
// without its own (Integer and LongInt leaving out their lowest value), the range message
// with the limits in it, zero and zero-filled texts, overflowing values shown as stars, the
// floating inputs with their decimals and limits, and Ctrl+K reaching the calculator.
#include "record_inputs/count_input.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <memory>

#include "platform/cp866.h"
#include "records/field_input.h"
#include "records/field_types.h"
#include "records/field_value.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

using tMaker = std::function<TInputCountType*()>;
const tRect kBounds = MakeRect(1, 1, 16, 2);

class CountInputTest : public tTypedScreen {};

// A value buffer filled with a pattern, so an untouched value shows.
struct tValue {
    std::array<std::uint8_t, 12> Bytes;
    tValue() { Bytes.fill(0x5A); }
};

// Catches a wrong default range, a limit off by one, a text with letters or a sign where
// none belongs taken, a refusal that writes the value anyway, or the wrong range message.
TEST_F(CountInputTest, IntegersConvertWithinTheirLimits) {
    struct tCase {
        const char* Name;
        tMaker Make;
        std::string Text;
        bool Accepted;
        std::int64_t Stored;
        std::string_view Minimum, Maximum; // of the message when refused
    };
    auto word = [] { return new TInputWord(kBounds, 5, 0, 0); };
    auto integer = [] { return new TInputInteger(kBounds, 6); };
    const tCase cases[] = {
        {"word 0", word, "0", true, 0, "", ""},
        {"word top", word, "65535", true, 65535, "", ""},
        {"word past the top", word, "65536", false, 0, "0", "65535"},
        {"word empty stores 0", word, "", true, 0, "", ""},
        {"word with blanks", word, " 12 ", true, 12, "", ""},
        {"word letters", word, "12a", false, 0, "0", "65535"},
        {"word negative", word, "-1", false, 0, "0", "65535"},
        {"word lone plus", word, "+", false, 0, "0", "65535"},
        {"integer lowest kept out", integer, "-32768", false, 0, "-32767", "32767"},
        {"integer lowest", integer, "-32767", true, -32767, "", ""},
        {"integer plus sign", integer, "+5", true, 5, "", ""},
        {"integer lone sign", integer, "-", false, 0, "-32767", "32767"},
        {"byte top", [] { return new TInputByte(kBounds, 3); }, "255", true, 255, "", ""},
        {"byte past", [] { return new TInputByte(kBounds, 3); }, "256", false, 0, "0", "255"},
        {"shortint lowest", [] { return new TInputShortInt(kBounds, 4); }, "-128", true, -128, "",
         ""},
        {"longint lowest kept out", [] { return new TInputLongInt(kBounds, 11); }, "-2147483648",
         false, 0, "-2147483647", "2147483647"},
        {"longint own limits", [] { return new TInputLongInt(kBounds, 11, -5, 5); }, "6", false, 0,
         "-5", "5"},
        {"comp own limits", [] { return new TInputComp(kBounds, 20, 10, 20); }, "20", true, 20, "",
         ""},
        {"comp past 64 bits", [] { return new TInputComp(kBounds, 20); }, "99999999999999999999",
         false, 0, "-9223372036854775807", "9223372036854775807"},
        {"word own limits below", [] { return new TInputWord(kBounds, 5, 10, 20); }, "9", false, 0,
         "10", "20"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tValue value;
        TInputCountType* input = Place(c.Make(), value.Bytes.data());
        input->SetLineText(c.Text);
        Asked().clear();
        EXPECT_EQ(input->Valid(cmdValidateAll), c.Accepted);
        Broadcast(cmdStoreFields);
        if (c.Accepted) {
            EXPECT_TRUE(Asked().empty()) << "expected no message";
            EXPECT_EQ(IntegerFromBytes(input->ValueType, value.Bytes.data()), c.Stored);
        } else {
            ASSERT_EQ(Asked().size(), 1u) << "expected the range message once";
            EXPECT_EQ(Asked()[0].Text, NumberRangeMessage(c.Minimum, c.Maximum));
            EXPECT_EQ(Asked()[0].Flags, 0x0402);
            EXPECT_EQ(value.Bytes[0], 0x5A) << "expected a refused text never stored";
        }
        FreeObject(input);
    }
}

// Catches a zero shown without ioShowZero, zero filling that ignores the sign or the field
// length, a value wider than the field shown cut instead of as stars.
TEST_F(CountInputTest, ValuesShowAsText) {
    struct tCase {
        const char* Name;
        tMaker Make;
        std::uint16_t Options;
        std::int64_t Value;
        std::string Shown;
    };
    const tCase cases[] = {
        {"zero empty", [] { return new TInputWord(kBounds, 5); }, 0, 0, ""},
        {"zero shown", [] { return new TInputWord(kBounds, 5); }, ioShowZero, 0, "0"},
        {"plain", [] { return new TInputWord(kBounds, 5); }, 0, 42, "42"},
        {"zero filled", [] { return new TInputWord(kBounds, 5); }, ioZeroFill, 42, "00042"},
        {"zero filled negative", [] { return new TInputInteger(kBounds, 6); }, ioZeroFill, -42,
         "-00042"},
        {"too wide", [] { return new TInputLongInt(kBounds, 3); }, 0, 123456, "***"},
        {"negative", [] { return new TInputShortInt(kBounds, 4); }, 0, -7, "-7"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tValue value;
        std::unique_ptr<TInputCountType> probe(c.Make());
        IntegerToBytes(probe->ValueType, c.Value, value.Bytes.data());
        probe.reset();
        TInputCountType* input = c.Make();
        input->SetInputOptions(c.Options);
        Place(input, value.Bytes.data());
        EXPECT_EQ(input->LineText(), c.Shown);
        FreeObject(input);
    }
}

// Catches an empty word storing anything but 0, or showing "0" again after it was stored.
TEST_F(CountInputTest, EmptyWordStoresZeroAndShowsEmpty) {
    std::uint16_t value = 77;
    auto* input = Place(new TInputWord(kBounds, 5), &value);
    EXPECT_EQ(input->LineText(), "77");
    input->SetLineText("");
    ASSERT_TRUE(input->Valid(cmdValidateAll));
    Broadcast(cmdStoreFields);
    EXPECT_EQ(value, 0);
    Broadcast(cmdReloadFields);
    EXPECT_EQ(input->LineText(), "") << "expected a stored zero to show as an empty field";
}

// Catches an entered "0" kept without ioShowZero, or zero filling skipped when the field
// is validated.
TEST_F(CountInputTest, ValidationTidiesTheText) {
    std::uint16_t value = 0;
    auto* plain = Place(new TInputWord(kBounds, 5), &value);
    plain->SetLineText("0");
    EXPECT_TRUE(plain->Valid(cmdValidateAll));
    EXPECT_EQ(plain->LineText(), "");
    auto* filled = new TInputWord(MakeRect(1, 3, 16, 4), 5);
    filled->SetInputOptions(ioZeroFill | ioShowZero);
    Place(filled, &value);
    filled->SetLineText("7");
    EXPECT_TRUE(filled->Valid(cmdValidateAll));
    EXPECT_EQ(filled->LineText(), "00007");
    filled->SetLineText("0");
    EXPECT_TRUE(filled->Valid(cmdValidateAll));
    EXPECT_EQ(filled->LineText(), "00000") << "ioShowZero keeps an entered zero";
}

// Catches letters reaching a word field, or a sign allowed where the type has none.
TEST_F(CountInputTest, TypingKeepsToTheAllowedCharacters) {
    std::uint16_t word = 0;
    auto* input = Place(new TInputWord(kBounds, 5), &word);
    Type(input, "a1-b2z");
    EXPECT_EQ(input->LineText(), "12");
    std::int16_t integer = 0;
    auto* signedInput = Place(new TInputInteger(MakeRect(1, 3, 16, 4), 6), &integer);
    Type(signedInput, "-3x");
    EXPECT_EQ(signedInput->LineText(), "-3");
    EXPECT_EQ(Cells(1, 1, 6), " 12   ") << "the word field after the letters";
}

// Catches the floating inputs storing the wrong value for their size, showing the wrong
// decimals, accepting exponents, or refusing with the wrong message.
TEST_F(CountInputTest, RealsConvertInFixedNotation) {
    struct tCase {
        const char* Name;
        std::function<tInputRealTypes*()> Make;
        std::string Text;
        bool Accepted;
        long double Stored;
        std::string Shown;   // after storing and reloading
        std::string Message; // when refused
    };
    const std::string plain(InvalidFieldMessage());
    const tCase cases[] = {
        {"double", [] { return new TInputDouble(kBounds, 12, 2); }, "2.25", true, 2.25L, "2.25",
         ""},
        {"double rounds shown", [] { return new TInputDouble(kBounds, 12, 1); }, "-1.25", true,
         -1.25L, "-1.2", ""},
        {"single", [] { return new TInputSingle(kBounds, 12, 3); }, "0.5", true, 0.5L, "0.500", ""},
        {"real48", [] { return new TInputReal(kBounds, 12, 2); }, "100.75", true, 100.75L, "100.75",
         ""},
        {"extended", [] { return new TInputExtended(kBounds, 20, 0); }, "123456789012", true,
         123456789012.0L, "123456789012", ""},
        {"exponent refused", [] { return new TInputDouble(kBounds, 12, 2); }, "1e5", false, 0, "",
         plain},
        {"single overflow", [] { return new TInputSingle(kBounds, 60, 0); }, std::string(50, '9'),
         false, 0, "", plain},
        {"limits", [] { return new TInputDouble(kBounds, 12, 2, 0, 10); }, "10.01", false, 0, "",
         NumberRangeMessage("0.00", "10.00")},
        {"within limits", [] { return new TInputDouble(kBounds, 12, 2, 0, 10); }, "10", true, 10.0L,
         "10.00", ""},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        tValue value;
        tInputRealTypes* input = Place(c.Make(), value.Bytes.data());
        input->SetLineText(c.Text);
        Asked().clear();
        EXPECT_EQ(input->Valid(cmdValidateAll), c.Accepted);
        Broadcast(cmdStoreFields);
        if (c.Accepted) {
            EXPECT_EQ(RealFromBytes(input->ValueType, value.Bytes.data()), c.Stored);
            Broadcast(cmdReloadFields);
            EXPECT_EQ(input->LineText(), c.Shown);
        } else {
            ASSERT_EQ(Asked().size(), 1u);
            EXPECT_EQ(Asked()[0].Text, c.Message);
            EXPECT_EQ(value.Bytes[0], 0x5A) << "expected a refused text never stored";
        }
        FreeObject(input);
    }
}

} // namespace
} // namespace zarvo
