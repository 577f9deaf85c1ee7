// Mask placeholders: which characters each takes (and the case L and x give them), and a
// text laid into a mask whether or not it already has the mask's literals.
#include "record_inputs/input_mask.h"

#include <gtest/gtest.h>

#include "platform/cp866.h"

namespace zarvo {
namespace {

// Catches a placeholder taking a character its rule leaves out, or refusing one it names.
TEST(InputMaskTest, PlaceholdersTakeTheirCharacters) {
    struct tCase {
        char Placeholder;
        std::string Taken;
        std::string Refused;
    };
    const tCase cases[] = {
        {'#', "09", " a-."},
        {'9', "09-.", " a+"},
        {'X', std::string(" a#") + std::string("ж"_oem), ""},
        {'A', std::string(" aZ") + std::string("жЯ"_oem), std::string("1-") + std::string("ё"_oem)},
        {'R', std::string(" -.") + std::string("жЯ"_oem), "a1"},
        {'F', " 1aZ@!#$%'().^{}~", std::string("*,") + std::string("ж"_oem)},
        {'N', std::string(" 1aZ()-./") + std::string("жЁё"_oem), "@!,"},
        {'L', std::string(" 1A") + std::string("Я"_oem), std::string("-") + std::string("ё"_oem)},
        {'x', std::string(" 1a") + std::string("я"_oem), std::string("-") + std::string("Ё"_oem)},
        {'?', "", "a1 "},
    };
    for (const tCase& c : cases) {
        for (char ch : c.Taken)
            EXPECT_NE(MaskAccepts(c.Placeholder, ch), 0)
                << c.Placeholder << " should take code " << int(std::uint8_t(ch));
        for (char ch : c.Refused)
            EXPECT_EQ(MaskAccepts(c.Placeholder, ch), 0)
                << c.Placeholder << " should refuse code " << int(std::uint8_t(ch));
    }
    EXPECT_EQ(MaskAccepts('L', 'q'), 'Q');
    EXPECT_EQ(MaskAccepts('L', "ж"_oem[0]), "Ж"_oem[0]);
    EXPECT_EQ(MaskAccepts('x', 'Q'), 'q');
    EXPECT_EQ(MaskAccepts('x', "Ж"_oem[0]), "ж"_oem[0]);
}

// Catches a text in the mask's form shifted by its literals, or a bare text not laid into
// the placeholders in order.
TEST(InputMaskTest, TextsLaidIntoMasks) {
    EXPECT_EQ(FillMaskText("##:##:##", "12:30:05"), "12:30:05");
    EXPECT_EQ(FillMaskText("##:##:##", "123005"), "12:30:05");
    EXPECT_EQ(FillMaskText("##:##:##", "12"), "12:  :  ");
    EXPECT_EQ(FillMaskText("(###)", ""), "(   )");
    EXPECT_EQ(MaskPlaceholderText("##:##", "12:34"), "1234");
    EXPECT_EQ(NextPlaceholder("(#)", 0), 1);
    EXPECT_EQ(NextPlaceholder("(#)", 2), 3);
    EXPECT_EQ(PreviousPlaceholder("(#)", 1), -1);
}

} // namespace
} // namespace zarvo
