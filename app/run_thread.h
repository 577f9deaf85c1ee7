// The program in its text UI: the host shows the character screen on the calling (main)
// thread while the run thread builds the application and runs the test.
#pragma once

#include "app/network_cycle.h"
#include "console/host_choice.h"

namespace zarvo {

// The host the text UI would be shown by, from the settings file's preference and this
// process's terminal and display.
tHostChoice ChooseProgramHost();

// Runs the whole test in the host CHOSEN (not NoHost) and answers how it ended. GIVEN: the
// parameters from the command line, or null to ask for them. Whatever leaves the run thread,
// the host loop ends and the program goes on to its orderly end.
tTestEnd RunInTextUi(const tTestParams* given, const tHostChoice& chosen);

} // namespace zarvo
