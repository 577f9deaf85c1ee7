// The mode without any UI, for runs from cron and scripts: the progress goes to stderr as
// lines, and every question takes its default answer.
#pragma once

#include <string>

#include "app/command_line.h"
#include "views/progress.h"

namespace zarvo {

// Turns the progress's states into lines worth reading in a log: the title once, the whole
// text whenever the status (its last line) changes, the status with its percentage at every
// tenth, and the last text when the progress closes.
class tProgressLines {
  public:
    // The lines (CP866, each ended by CR) that this state adds; empty when none.
    std::string Lines(const tProgress& progress, bool closing);

  private:
    bool m_TitleWritten = false;
    std::string m_Text;
    std::string m_Status;
    int m_Tenth = 0;
};

// LINES (each ended by CR) with STAMP and a blank leading each.
std::string StampedLines(std::string_view lines, std::string_view stamp);

// Asked for on the command line, or test parameters given where there is neither a terminal
// nor a display to show anything on.
bool RunsWithoutUi(const tCommandLine& commandLine);

// Installs the line output and the questions' defaults for the rest of the run.
void UseNoUi();

// One more line (CP866) among the progress lines, when there is no UI; nothing otherwise.
void NoUiLine(std::string_view text);
// Whether there is no UI, so that lines are worth making.
bool NoUiLinesWanted();

} // namespace zarvo
