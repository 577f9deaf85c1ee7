// Which host shows the character screen: the X11 window, the terminal, or none (the program
// then says so on stderr and ends with exit code 1).
#pragma once

#include <functional>
#include <string>

#include "console/host_settings.h"

namespace zarvo {

enum class tHostKind { NoHost, Window, Terminal };

struct tHostFacts {
    const char* Display = nullptr; // $DISPLAY, null when unset
    bool StdinIsTerminal = false;
    bool StdoutIsTerminal = false;
    // $TERM names a terminal the host can draw on (one that can place the cursor); "dumb",
    // an unknown name or none cannot.
    bool TerminalTypeUsable = true;
    tHostPreference Preference = tHostPreference::Auto; // setting "Host"
    // Whether the named display opens (the window host supplies the check).
    std::function<bool(const char* display)> DisplayOpens;
};

struct tHostChoice {
    tHostKind Kind = tHostKind::NoHost;
    std::string Message; // CP866; set when Kind is NoHost
};

// The facts of this process: $DISPLAY, isatty of stdin and stdout, whether $TERM is usable,
// the given preference.
tHostFacts CurrentHostFacts(tHostPreference preference,
                            std::function<bool(const char* display)> displayOpens);
tHostChoice ChooseHost(const tHostFacts& facts);
// Writes the choice's message to stderr (UTF-8) and gives the exit code 1.
int ReportNoHost(const tHostChoice& choice);

} // namespace zarvo
