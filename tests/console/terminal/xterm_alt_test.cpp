// The terminal host in a real xterm with its default settings, on a private Xvfb: Alt+X,
// which such an xterm sends as a character with the meta bit set unless asked otherwise,
// must reach the host demo as Alt+X and end it.
#include <gtest/gtest.h>

#include <string>

#include "console/x11/xvfb_display.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace zarvo {
namespace {

using namespace std::chrono_literals;

// Catches Alt keys lost in a default xterm: the demo could then not even be left.
TEST(XtermAltTest, AltXEndsTheDemoInADefaultXterm) {
    if (!xtest::ProgramInstalled("xterm") || !xtest::ProgramInstalled("xdotool"))
        GTEST_SKIP() << "xterm or xdotool is not installed";
    xtest::tXvfb server;
    if (!server.Running())
        GTEST_SKIP() << "Xvfb is not installed";
    testing::tTempDir dir;
    std::string marker = (dir.Path() / "exit").string();
    std::string errors = (dir.Path() / "errors").string();
    std::string script = std::string(ZARVO_HOST_DEMO) +
                         " --host=terminal --settings=" + (dir.Path() / "demo.ini").string() +
                         " 2>" + errors + "; echo $? >" + marker;
    // No resources of the user's: the xterm as installed.
    testing::tChildProcess xterm({"/usr/bin/env", "DISPLAY=" + server.Name(), "LC_ALL=C.UTF-8",
                                  "XENVIRONMENT=/dev/null", "xterm", "-e", "sh", "-c", script},
                                 dir.Str());
    std::string display = "DISPLAY=" + server.Name() + " ";
    ASSERT_TRUE(xtest::WaitFor(
        [&] {
            return std::system(("timeout 5 env " + display +
                                "xdotool search --class xterm "
                                "windowfocus --sync >/dev/null 2>&1")
                                   .c_str()) == 0;
        },
        10s))
        << "expected the xterm window";
    // Alt+X until the demo ends: before it owns the terminal the keys wait in its input.
    bool ended = xtest::WaitFor(
        [&] {
            std::system(("timeout 5 env " + display + "xdotool key alt+x >/dev/null 2>&1").c_str());
            return !testing::ReadFileBytes(marker).empty();
        },
        15s);
    ASSERT_TRUE(ended) << "expected Alt+X to end the demo; it said: "
                       << testing::ReadFileBytes(errors);
    EXPECT_EQ(testing::ReadFileBytes(marker), "0\n") << "expected exit code 0";
    EXPECT_NE(testing::ReadFileBytes(errors).find("host_demo: ended"), std::string::npos)
        << "expected the demo's orderly end";
}

} // namespace
} // namespace zarvo
