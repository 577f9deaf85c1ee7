// The date and time inputs: the masks their widths and pictures give, text to stored value
// through the templates (midnight's last second, 24:00 refused, half-typed times refused
// when the field is left), blank and impossible dates, two-digit years, and the unlimited
// date typed with its first letter and typed away again.
#include "record_inputs/date_time_input.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/dates.h"
#include "platform/cp866.h"
#include "records/field_input.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

class DateTimeInputTest : public tTypedScreen {};

// Catches a time mask that does not follow the field's width, or a picture ignored.
TEST_F(DateTimeInputTest, TimeMaskFollowsTheWidth) {
    struct tCase {
        int Width;
        std::string_view Picture;
        std::string Mask;
    };
    const tCase cases[] = {
        {10, "", "##:##:##"}, {9, "", "##:##"}, {7, "", "##:##"},
        {6, "", "##"},        {4, "", "##"},    {4, "##:##", "##:##"},
    };
    for (const tCase& c : cases) {
        std::int32_t time = 3600;
        tInputTime input(&time, c.Picture, MakeRect(0, 0, c.Width, 1));
        EXPECT_EQ(input.Mask, c.Mask) << "width " << c.Width;
        EXPECT_EQ(input.MaxLength, std::int16_t(c.Mask.size()));
    }
}

// Catches a time stored wrong, 24:00:00 or 60 minutes taken, or a text with a missing part
// accepted.
TEST_F(DateTimeInputTest, TimesConvert) {
    struct tCase {
        std::string_view Picture;
        std::string Typed;
        bool Accepted;
        std::int32_t Stored;
    };
    const tCase cases[] = {
        {"", "235959", true, 86399},    {"", "240000", false, 0},  {"", "126000", false, 0},
        {"", "000000", true, 0},        {"", "", true, 0},         {"", "12", false, 0},
        {"##:##", "0930", true, 34200}, {"##", "07", true, 25200}, {"##", "7", true, 25200},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        std::int32_t time = -5;
        auto* input = Place(new tInputTime(&time, c.Picture, MakeRect(1, 1, 11, 2)), &time);
        TEventRec clear = Key(kKeyCtrlY);
        input->HandleEvent(clear);
        Type(input, c.Typed);
        EXPECT_EQ(input->Valid(cmdValidateAll), c.Accepted);
        Broadcast(cmdStoreFields);
        EXPECT_EQ(time, c.Accepted ? c.Stored : -5);
        FreeObject(input);
        Asked().clear();
    }
}

// Catches 1:2 in a "##:##:##" field passing on Tab, or the focus leaving it.
TEST_F(DateTimeInputTest, TabOutOfAHalfTypedTimeIsRefused) {
    std::int32_t time = 0, other = 0;
    auto* input = Place(new tInputTime(&time, "", MakeRect(1, 1, 11, 2)), &time);
    auto* next = Place(new tInputTime(&other, "", MakeRect(1, 3, 11, 4)), &other);
    input->SelectView();
    TEventRec clear = Key(kKeyCtrlY);
    input->HandleEvent(clear);
    Type(input, "1");
    EXPECT_TRUE(Press(input, kKeyRight));
    Type(input, "2");
    EXPECT_EQ(input->LineText(), "1 :2 :  ");
    Root->Script = {Key(kKeyTab)};
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, input) << "expected the focus to stay";
    ASSERT_EQ(Asked().size(), 1u) << "expected the error message";
    EXPECT_EQ(Asked()[0].Text, NumberRangeMessage("00:00:00", "23:59:59"));
    EXPECT_EQ(Box->CurrentView == next, false);
}

// Catches the text of a stored time or date shown wrong.
TEST_F(DateTimeInputTest, ValuesShowThroughTheTemplates) {
    std::int32_t time = 3723;
    auto* longTime = Place(new tInputTime(&time, "", MakeRect(1, 1, 11, 2)), &time);
    EXPECT_EQ(longTime->LineText(), "01:02:03");
    auto* shortTime = Place(new tInputTime(&time, "", MakeRect(1, 2, 8, 3)), &time);
    EXPECT_EQ(shortTime->LineText(), "01:02");
    std::uint16_t day = EncodeDate(5, 3, 2004);
    auto* shortDate = Place(new TInputDate(&day, "##/##/##", MakeRect(1, 3, 11, 4)), &day);
    EXPECT_EQ(shortDate->LineText(), "05/03/04");
    auto* longDate = Place(new TInputDate(&day, "", MakeRect(1, 4, 13, 5)), &day);
    EXPECT_EQ(longDate->LineText(), "05/03/2004");
    EXPECT_EQ(longDate->HintText(), kDateInputHint);
    std::uint16_t zero = 0;
    auto* blank = Place(new TInputDate(&zero, "##/##/##", MakeRect(1, 5, 11, 6)), &zero);
    EXPECT_EQ(blank->LineText(), "  /  /  ") << "a zero date shows the blank mask";
    std::uint16_t unlimited = kUnlimitedDate;
    auto* endless =
        Place(new TInputDate(&unlimited, "##/##/##", MakeRect(1, 6, 11, 7)), &unlimited);
    EXPECT_EQ(endless->LineText(), "БЕССРОЧ."_oem);
    EXPECT_EQ(Cells(6, 1, 10), " БЕССРОЧ. ");
}

// Catches blank dates refused, impossible dates taken, two-digit years read without the
// pivot, or a refusal with the wrong message.
TEST_F(DateTimeInputTest, DatesConvert) {
    struct tCase {
        std::string_view Picture;
        std::string Typed;
        bool Accepted;
        std::uint16_t Stored;
    };
    const tCase cases[] = {
        {"##/##/####", "05032004", true, EncodeDate(5, 3, 2004)},
        {"##/##/##", "050398", true, EncodeDate(5, 3, 1998)},
        {"##/##/####", "", true, 0},
        {"##/##/####", "31022004", false, 0},
        {"##/##/####", "01012051", false, 0},
        {"##/##/####", "0101", false, 0},
        {"##/##/####", "01011872", true, 0},
        {"##/##/####", "30122050", true, 65378},
        {"##/##/####", "31122050", false, 0}, // its day number is the unlimited date's
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        std::uint16_t day = 7;
        auto* input = Place(new TInputDate(&day, c.Picture, MakeRect(1, 1, 13, 2)), &day);
        TEventRec clear = Key(kKeyCtrlY);
        input->HandleEvent(clear);
        Type(input, c.Typed);
        EXPECT_EQ(input->Valid(cmdValidateAll), c.Accepted);
        Broadcast(cmdStoreFields);
        EXPECT_EQ(day, c.Accepted ? c.Stored : 7);
        if (!c.Accepted) {
            ASSERT_EQ(Asked().size(), 1u);
            EXPECT_EQ(Asked()[0].Text, InvalidFieldMessage());
        }
        FreeObject(input);
        Asked().clear();
    }
}

// Catches the unlimited date not typed by either case of its first letter, stored wrong,
// or not given up for a digit, Backspace or Del.
TEST_F(DateTimeInputTest, UnlimitedDate) {
    struct tCase {
        const char* Name;
        std::string_view Picture;
        char Letter;
        std::uint16_t Away; // the key that ends it, 0 for none
        std::string After;
    };
    const std::string shortWord(std::string("БЕССРОЧ."_oem));
    const std::string longWord(std::string("БЕССРОЧНО"_oem));
    const char upperB = "Б"_oem[0];
    const char lowerB = "б"_oem[0];
    const tCase cases[] = {
        {"capital, short", "##/##/##", upperB, 0, shortWord},
        {"small, long", "##/##/####", lowerB, 0, longWord},
        {"other letters ignored", "##/##/##", upperB, 'x', shortWord},
        {"backspace blanks", "##/##/##", upperB, kKeyBackspace, "  /  /  "},
        {"del blanks", "##/##/##", upperB, kKeyDel, "  /  /  "},
        {"a digit starts a date", "##/##/##", upperB, '3', "3 /  /  "},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::uint16_t day = EncodeDate(1, 2, 2003);
        auto* input = Place(new TInputDate(&day, c.Picture, MakeRect(1, 1, 13, 2)), &day);
        Type(input, std::string(1, c.Letter));
        if (c.Away != 0) {
            EXPECT_TRUE(Press(input, c.Away));
        }
        EXPECT_EQ(input->LineText(), c.After);
        if (c.After == shortWord || c.After == longWord) {
            EXPECT_TRUE(input->Valid(cmdValidateAll));
            Broadcast(cmdStoreFields);
            EXPECT_EQ(day, kUnlimitedDate);
        }
        FreeObject(input);
    }
}

} // namespace
} // namespace zarvo
