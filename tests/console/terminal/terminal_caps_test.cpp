// What the terminal host reads from terminfo: control strings fit to write as they are.
#include <gtest/gtest.h>

#include <string>

#include "console/terminal/terminal_caps.h"

namespace zarvo {
namespace {

// Catches terminfo delay requests reaching the terminal as text, or text that merely looks
// like one being cut.
TEST(TerminalCapsTest, PaddingIsTakenOutAndNothingElse) {
    struct tCase {
        const char* From;
        const char* To;
    };
    const tCase cases[] = {
        {"\x1b[%i%p1%d;%p2%dH$<5>", "\x1b[%i%p1%d;%p2%dH"},
        {"\x1b[H\x1b[J$<50>", "\x1b[H\x1b[J"},
        {"$<2*/>\x1b[K$<3.5>", "\x1b[K"},
        {"\x1b[m", "\x1b[m"},
        {"$<>", "$<>"},     // no delay in it
        {"$<5", "$<5"},     // never closed
        {"$<5x>", "$<5x>"}, // not a number
        {"", ""},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(WithoutPadding(c.From), c.To)
            << "expected the padding of \"" << c.From << "\" taken out";
}

// Catches padding kept in the strings of a terminal whose entry is full of it.
TEST(TerminalCapsTest, Vt100StringsCarryNoPadding) {
    tTerminalCaps caps;
    ASSERT_TRUE(caps.Load("vt100", "")) << "expected the vt100 terminfo entry";
    for (const std::string& text : {caps.EnterScreen, caps.LeaveScreen, caps.ClearScreen,
                                    caps.ResetColours, caps.MoveTo(5, 7), caps.ShapeCursor(2)})
        EXPECT_EQ(text.find("$<"), std::string::npos)
            << "expected no padding in \"" << text << "\"";
}

} // namespace
} // namespace zarvo
