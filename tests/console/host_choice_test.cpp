// Choosing the host from the display, the terminals and the "Host" setting.
#include "console/host_choice.h"

#include <gtest/gtest.h>

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
