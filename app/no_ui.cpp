// The mode without a UI: progress lines on stderr and default answers.
#include "app/no_ui.h"

#include <unistd.h>

#include <cmath>

#include "app/iso_time.h"
#include "console/host_choice.h"
#include "console/x11/x11_host.h"
#include "platform/terminal_line.h"
#include "views/desktop_message_box.h"

namespace zarvo {

namespace {

std::string_view LastLine(std::string_view text) {
    std::size_t end = text.rfind('\r');
    return end == std::string_view::npos ? text : text.substr(end + 1);
}

// One writer for the one progress shown at a time; it starts afresh for the next.
tProgressLines gLines;
bool gNoUi = false;

// Every line leads with the moment it was written, so that a cron log shows when each phase
// ran.
void WriteStamped(std::string_view lines) {
    if (!lines.empty())
        WriteTerminalText(STDERR_FILENO, StampedLines(lines, IsoLocalTimeNow()));
}

void WriteProgressLines(const tProgress& progress, bool closing) {
    WriteStamped(gLines.Lines(progress, closing));
    if (closing)
        gLines = tProgressLines();
}

// Nobody is there to answer: the question is written down and takes its first button.
tDesktopAnswer DefaultAnswer(std::string_view text, std::string_view caption, tDesktopIcon icon,
                             tDesktopButtons buttons) {
    return TerminalMessageBox(text, caption, icon, buttons, STDIN_FILENO, STDERR_FILENO, false);
}

} // namespace

std::string tProgressLines::Lines(const tProgress& progress, bool closing) {
    std::string lines;
    if (!m_TitleWritten) {
        m_TitleWritten = true;
        lines = progress.Params.Title + '\r';
    }
    std::string_view status = LastLine(progress.Text);
    int tenth = int(std::floor(progress.Fraction * 10 + 1e-9));
    if (status != m_Status || (closing && progress.Text != m_Text)) {
        m_Status = status;
        m_Text = progress.Text;
        m_Tenth = tenth;
        if (!m_Text.empty())
            lines += m_Text + '\r';
    } else if (tenth != m_Tenth && !closing) {
        // A new pass starts again from the bottom; only the climb is worth lines.
        if (tenth > m_Tenth)
            lines += m_Status + " - " + std::to_string(tenth * 10) + "%\r";
        m_Tenth = tenth;
    }
    return lines;
}

std::string StampedLines(std::string_view lines, std::string_view stamp) {
    std::string stamped;
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find('\r', start);
        end = end == std::string_view::npos ? lines.size() : end + 1;
        stamped.append(stamp);
        stamped += ' ';
        stamped.append(lines.substr(start, end - start));
        start = end;
    }
    return stamped;
}

bool RunsWithoutUi(const tCommandLine& commandLine) {
    if (commandLine.NoUi())
        return true;
    if (!commandLine.TestParams())
        return false;
    return ChooseHost(CurrentHostFacts(tHostPreference::Auto, X11DisplayOpens)).Kind ==
           tHostKind::NoHost;
}

void UseNoUi() {
    gNoUi = true;
    gProgressLineHook = WriteProgressLines;
    gDesktopMessageBoxForm = DefaultAnswer;
}

bool NoUiLinesWanted() {
    return gNoUi;
}

void NoUiLine(std::string_view text) {
    if (gNoUi)
        WriteStamped(std::string(text) + '\r');
}

} // namespace zarvo
