// The typed choices: their look and bound values, storing only on cmdStoreFields, reloading,
// and a click or hot key refused while the current field's text is bad.
#include "record_inputs/choice_input.h"

#include <gtest/gtest.h>

#include "console/key_codes.h"
#include "platform/cp866.h"
#include "record_inputs/count_input.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

class ChoiceInputTest : public tTypedScreen {};

// Catches the yes/no items missing, the byte read as anything but no/yes, or the choice
// written before cmdStoreFields.
TEST_F(ChoiceInputTest, BooleanOverAByte) {
    std::uint8_t flag = 5;
    auto* yesNo = Place(new TInputBoolean(nullptr, nullptr, MakeRect(1, 1, 12, 3)), &flag);
    EXPECT_EQ(yesNo->ClusterValue, 1) << "any byte but 0 is yes";
    EXPECT_EQ(yesNo->DataLength(), 1);
    EXPECT_EQ(Cells(1, 1, 9), " ( ) Нет ");
    EXPECT_EQ(Cells(2, 1, 9), " (•) Да  ");
    Root->Script = {Mouse(evtMouseDown, 3, 1), Mouse(evtMouseUp, 3, 1)};
    Root->RunView(Box);
    EXPECT_EQ(yesNo->ClusterValue, 0);
    EXPECT_EQ(flag, 5) << "expected nothing stored yet";
    Broadcast(cmdStoreFields);
    EXPECT_EQ(flag, 0);
    flag = 1;
    Broadcast(cmdReloadFields);
    EXPECT_EQ(yesNo->ClusterValue, 1);
}

// Catches check boxes or radio buttons writing the wrong width or at the wrong time.
TEST_F(ChoiceInputTest, SixteenBitChoices) {
    std::uint16_t bits = 0x0002, pick = 1;
    auto* boxes = Place(new TInputCheckBox(nullptr, NewSItem("~A~", NewSItem("~B~", nullptr)),
                                           MakeRect(1, 1, 12, 3)),
                        &bits);
    auto* radio = Place(new TInputRadioButton(nullptr, NewSItem("~C~", NewSItem("~D~", nullptr)),
                                              MakeRect(1, 4, 12, 6)),
                        &pick);
    EXPECT_EQ(boxes->ClusterValue, 2);
    EXPECT_EQ(radio->ClusterValue, 1);
    boxes->SetClusterValue(3);
    radio->SetClusterValue(0);
    EXPECT_EQ(bits, 2);
    EXPECT_EQ(pick, 1);
    Broadcast(cmdStoreFields);
    EXPECT_EQ(bits, 3);
    EXPECT_EQ(pick, 0);
}

// Catches a click or an Alt hot key moving the focus to a choice while the current field
// holds a text it refuses.
TEST_F(ChoiceInputTest, CurrentFieldMustAgree) {
    std::uint16_t word = 0, pick = 0;
    auto* radio = Place(new TInputRadioButton(nullptr, NewSItem("~C~", NewSItem("~D~", nullptr)),
                                              MakeRect(1, 4, 12, 6)),
                        &pick);
    auto* input = Place(new TInputWord(MakeRect(1, 1, 10, 2), 5), &word);
    input->SetLineText("99999");
    Root->Script = {Mouse(evtMouseDown, 3, 5), Mouse(evtMouseUp, 3, 5), Key(kKeyAltD)}; // Alt+D
    Root->RunView(Box);
    EXPECT_EQ(Box->CurrentView, input);
    EXPECT_EQ(radio->ClusterValue, 0) << "expected neither the click nor Alt+D to press D";
    EXPECT_EQ(Asked().size(), 2u) << "one refusal for each";
    input->SetLineText("9");
    Root->Script = {Key(kKeyAltD)};
    Root->RunView(Box);
    EXPECT_EQ(radio->ClusterValue, 1) << "a valid field lets Alt+D through";
    EXPECT_EQ(Box->CurrentView, radio);
}

} // namespace
} // namespace zarvo
