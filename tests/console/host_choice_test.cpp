// Choosing the host from the display, the terminals and the "Host" setting.
#include "console/host_choice.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/cp866.h"

namespace zarvo {
namespace {

// Catches the wrong host chosen, or no message when there is none to choose.
TEST(HostChoiceTest, Table) {
    struct tCase {
        const char* display;
        bool opens, stdinTty, stdoutTty;
        tHostPreference preference;
        tHostKind expected;
    };
    using P = tHostPreference;
    using K = tHostKind;
    const tCase cases[] = {
        {":0", true, true, true, P::Auto, K::Window},
        {":0", false, true, true, P::Auto, K::Terminal}, // a display that does not open
        {"", true, true, true, P::Auto, K::Terminal},    // an empty $DISPLAY
        {nullptr, true, true, true, P::Auto, K::Terminal},
        {nullptr, true, true, false, P::Auto, K::NoHost}, // output redirected
        {nullptr, true, false, true, P::Auto, K::NoHost}, // input redirected
        {":0", true, true, true, P::Terminal, K::Terminal},
        {":0", true, false, false, P::Terminal, K::NoHost},
        {nullptr, true, true, true, P::Window, K::NoHost},
        {":1", true, false, false, P::Window, K::Window},
    };
    for (const tCase& c : cases) {
        tHostFacts facts;
        facts.Display = c.display;
        facts.StdinIsTerminal = c.stdinTty;
        facts.StdoutIsTerminal = c.stdoutTty;
        facts.Preference = c.preference;
        facts.DisplayOpens = [&c](const char*) { return c.opens; };
        tHostChoice choice = ChooseHost(facts);
        std::string label = std::string(c.display ? c.display : "(unset)") + " pref " +
                            std::to_string(int(c.preference));
        EXPECT_EQ(choice.Kind, c.expected) << label;
        EXPECT_EQ(choice.Message.empty(), c.expected != K::NoHost)
            << "message only without a host: " << label;
    }
}

// Catches a terminal type the host cannot draw on ("dumb", an unknown or unset $TERM) taken
// for a terminal: the program would end at once with success instead of saying why.
TEST(HostChoiceTest, UnusableTerminalTypeIsNoTerminal) {
    using P = tHostPreference;
    using K = tHostKind;
    const struct {
        const char* Display;
        P Preference;
        K Expected;
    } cases[] = {
        {nullptr, P::Auto, K::NoHost},
        {nullptr, P::Terminal, K::NoHost},
        {":0", P::Auto, K::Window}, // the window does not need the terminal
    };
    for (const auto& c : cases) {
        tHostFacts facts;
        facts.Display = c.Display;
        facts.StdinIsTerminal = facts.StdoutIsTerminal = true;
        facts.TerminalTypeUsable = false;
        facts.Preference = c.Preference;
        facts.DisplayOpens = [](const char*) { return true; };
        tHostChoice choice = ChooseHost(facts);
        EXPECT_EQ(choice.Kind, c.Expected) << int(c.Preference);
        if (c.Expected == K::NoHost) {
            EXPECT_NE(Cp866ToUtf8(choice.Message).find("TERM"), std::string::npos)
                << "expected the reason named: " << Cp866ToUtf8(choice.Message);
        }
    }
}

// Catches the terminal types read wrongly: one that places the cursor is usable, "dumb", a
// name terminfo does not know and none are not.
TEST(HostChoiceTest, TerminalTypesFromTerminfo) {
    const struct {
        const char* Term;
        bool Usable;
    } cases[] = {{"xterm-256color", true},
                 {"vt100", true},
                 {"dumb", false},
                 {"no-such-terminal", false},
                 {"", false}};
    const char* saved = std::getenv("TERM");
    const std::string savedTerm = saved != nullptr ? saved : "";
    for (const auto& c : cases) {
        ASSERT_EQ(setenv("TERM", c.Term, 1), 0);
        EXPECT_EQ(CurrentHostFacts(tHostPreference::Auto, nullptr).TerminalTypeUsable, c.Usable)
            << c.Term;
    }
    unsetenv("TERM");
    EXPECT_FALSE(CurrentHostFacts(tHostPreference::Auto, nullptr).TerminalTypeUsable);
    if (saved != nullptr)
        setenv("TERM", savedTerm.c_str(), 1);
}

// Catches a missing display check being taken as a display that opens.
TEST(HostChoiceTest, NoDisplayCheckMeansNoWindow) {
    tHostFacts facts;
    facts.Display = ":0";
    facts.StdinIsTerminal = facts.StdoutIsTerminal = true;
    EXPECT_EQ(ChooseHost(facts).Kind, tHostKind::Terminal);
}

// Catches the no-host report returning success.
TEST(HostChoiceTest, ReportGivesExitCodeOne) {
    tHostChoice choice;
    choice.Message = "x";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReportNoHost(choice), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "x\n");
}

} // namespace
} // namespace zarvo
