// Ctrl+K in the numeric inputs: the calculator from the program's resources, started with
// the field's number, its result (trimmed, cut to the field) replacing the text unless it
// was cancelled; in a date field the calendar instead; and the notice when neither can run.
#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "library/dates.h"
#include "record_inputs/count_input.h"
#include "record_inputs/date_time_input.h"
#include "record_inputs/input_stream_classes.h"
#include "tests/record_inputs/typed_input_support.h"
#include "views/calculator.h"

namespace zarvo {
namespace {

using namespace testing_typed;

class InputToolsTest : public tTypedScreen {
  protected:
    void SetUp() override {
        tTypedScreen::SetUp();
        RegisterTypedInputStreamClasses();
        RegisterCalcStreamClasses();
    }
};

// Catches the calculator started without the field's number, a result not replacing the
// text or not cut to the field, a cancelled run changing it, or the value stored by it.
TEST_F(InputToolsTest, CtrlKRunsTheCalculator) {
    std::uint16_t value = 12;
    auto* input = Place(new TInputWord(MakeRect(1, 1, 10, 2), 3), &value);
    Root->Script = {Char('*'), Char('1'), Char('0'), Char('='), Key(kKeyEnter)};
    EXPECT_TRUE(Press(input, kKeyCtrlK));
    EXPECT_EQ(input->LineText(), "120");
    EXPECT_EQ(value, 12) << "expected nothing stored by the calculator";

    Root->Script = {Char('*'), Char('1'), Char('0'), Char('='), Key(kKeyEnter)};
    EXPECT_TRUE(Press(input, kKeyCtrlK));
    EXPECT_EQ(input->LineText(), "120") << "1200 cut to the field's 3 characters";

    Root->Script = {Char('5'), Key(kKeyEsc)};
    EXPECT_TRUE(Press(input, kKeyCtrlK));
    EXPECT_EQ(input->LineText(), "120") << "a cancelled calculator changes nothing";
    EXPECT_TRUE(Asked().empty());
}

// Catches Ctrl+K in a date reaching the calculator, or the chosen day not shown in the mask.
TEST_F(InputToolsTest, CtrlKInADateRunsTheCalendar) {
    std::uint16_t day = EncodeDate(5, 3, 2004);
    auto* input = Place(new TInputDate(&day, "##/##/####", MakeRect(1, 1, 13, 2)), &day);
    Root->Script = {Key(kKeyRight), Key(kKeyEnter)};
    EXPECT_TRUE(Press(input, kKeyCtrlK));
    EXPECT_EQ(input->LineText(), "06/03/2004");
    EXPECT_EQ(day, EncodeDate(5, 3, 2004)) << "expected nothing stored by the calendar";
}

// Catches a missing calculator failing silently or with the wrong notice.
TEST_F(InputToolsTest, NoticeWhenTheToolCannotRun) {
    std::uint16_t value = 12;
    tObjectPtr<TInputWord> alone(new TInputWord(MakeRect(1, 1, 10, 2), 5));
    alone->ImportData(&value);
    alone->OpenCalculator(); // no group to run in and no application
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0].Text, kNoConnectionMessage);
    EXPECT_EQ(Asked()[0].Flags, 0x0400);
    EXPECT_EQ(alone->LineText(), "12");
}

} // namespace
} // namespace zarvo
