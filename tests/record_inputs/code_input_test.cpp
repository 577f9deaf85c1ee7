// Codes of digit groups: the mask from the digits and groups, bytes shown with leading
// zeros, texts stored as bytes, and the code message for a group past a byte.
#include "record_inputs/code_input.h"

#include <gtest/gtest.h>

#include <array>

#include "records/field_input.h"
#include "tests/record_inputs/typed_input_support.h"

namespace zarvo {
namespace {

using namespace testing_typed;

class CodeInputTest : public tTypedScreen {};

// Catches a wrong mask length, bytes shown without their zeros, or a wide byte breaking the
// mask.
TEST_F(CodeInputTest, ShowsGroupsWithZeros) {
    std::array<std::uint8_t, 3> code{7, 255, 10};
    auto* input = Place(new tInputCode(MakeRect(1, 1, 14, 2), nullptr, 3, 3), code.data());
    EXPECT_EQ(input->Mask, "###.###.###");
    EXPECT_EQ(input->LineText(), "007.255.010");
    EXPECT_EQ(input->DataLength(), 3);
    auto* narrow = Place(new tInputCode(MakeRect(1, 3, 14, 4), nullptr, 2, 2), code.data());
    EXPECT_EQ(narrow->LineText(), "07.**") << "a byte wider than its group shows stars";
}

// Catches a group past 255 or a half-typed group taken, blanks not read as the empty code,
// or the wrong message.
TEST_F(CodeInputTest, TextsToBytes) {
    struct tCase {
        std::string Typed; // the whole text, literals included
        bool Accepted;
        std::array<std::uint8_t, 2> Stored;
    };
    const tCase cases[] = {
        {"012.200", true, {12, 200}}, {"   .   ", true, {0, 0}}, {"012.256", false, {9, 9}},
        {"012.   ", false, {9, 9}},   {"1  . 2 ", true, {1, 2}},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.Typed);
        std::array<std::uint8_t, 2> code{9, 9};
        auto* input = Place(new tInputCode(MakeRect(1, 1, 14, 2), nullptr, 3, 2), code.data());
        input->SetLineText(c.Typed);
        EXPECT_EQ(input->Valid(cmdValidateAll), c.Accepted);
        Broadcast(cmdStoreFields);
        EXPECT_EQ(code, c.Stored);
        if (!c.Accepted) {
            ASSERT_EQ(Asked().size(), 1u);
            EXPECT_EQ(Asked()[0].Text, InvalidCodeMessage(input->LineText()));
        }
        FreeObject(input);
        Asked().clear();
    }
}

} // namespace
} // namespace zarvo
