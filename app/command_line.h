// The program's command line: the four test parameters given instead of asked, the no-UI
// mode, the usage, and the exit status a run started from the command line ends with.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/network_cycle.h"
#include "app/parameters.h"

namespace zarvo {

class tCommandLine {
  public:
    enum class tAction { Run, Help, Version, Refuse };

    // Exit statuses of a run started with options.
    static constexpr int kStatusClean = 0;
    static constexpr int kStatusErrorBytes = 1;
    static constexpr int kStatusStopped = 2;
    static constexpr int kStatusCancelled = 3;

    // The arguments after the program's name, UTF-8 as the shell passes them.
    explicit tCommandLine(std::span<const char* const> arguments);

    tAction Action() const { return m_Action; }
    // The refusal (CP866) when Action is Refuse.
    const std::string& Message() const { return m_Message; }
    bool NoUi() const { return m_NoUi; }
    // Where the run's JSON summary goes (UTF-8 as given; "-" for stdout); empty for none.
    const std::string& JsonPath() const { return m_JsonPath; }
    // The parameters to run with instead of asking: those given, the defaults for the rest.
    // None when nothing was given and the operator can be asked.
    const tTestParams* TestParams() const;
    // The status the program ends with: the test's end when options were given, else 0 as
    // for any orderly end.
    int ExitStatus(tTestEnd end) const;

    // Writes the usage (Help, on stdout) or the refusal with a hint (Refuse, on stderr) and
    // answers the exit status.
    int Answer() const;

    static std::string Usage();
    // The version facts, one "name: value" line each.
    static std::string VersionText();

  private:
    bool Take(std::string_view name, std::optional<std::string_view> value);
    bool TakeValue(std::string_view name, std::string_view value);
    bool Refuse(std::string message);

    tAction m_Action = tAction::Run;
    std::string m_Message;
    bool m_NoUi = false;
    std::string m_JsonPath;
    bool m_ParamsGiven = false;
    tTestParams m_Params;
    unsigned m_Seen = 0; // one bit per option, so that none is given twice
};

} // namespace zarvo
