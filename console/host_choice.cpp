// Choosing the host from the display, the terminals and the "Host" setting.
#include "console/host_choice.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "console/terminal/terminal_caps.h"
#include "platform/cp866.h"

namespace zarvo {
namespace {

bool HasDisplay(const tHostFacts& facts) {
    return facts.Display != nullptr && facts.Display[0] != 0 && facts.DisplayOpens &&
           facts.DisplayOpens(facts.Display);
}

bool HasTerminalLine(const tHostFacts& facts) {
    return facts.StdinIsTerminal && facts.StdoutIsTerminal;
}

bool HasTerminal(const tHostFacts& facts) {
    return HasTerminalLine(facts) && facts.TerminalTypeUsable;
}

bool TerminalTypeUsable(const char* termName) {
    tTerminalCaps caps;
    return termName != nullptr && caps.Load(termName, "");
}

// Why the terminal on stdin and stdout does not do.
std::string TerminalRefusal(const tHostFacts& facts) {
    if (!HasTerminalLine(facts))
        return std::string("стандартный ввод и вывод не связаны с терминалом"_oem);
    return std::string(
        "тип терминала (переменная TERM) не известен или не умеет ставить курсор"_oem);
}

} // namespace

tHostFacts CurrentHostFacts(tHostPreference preference,
                            std::function<bool(const char* display)> displayOpens) {
    tHostFacts facts;
    facts.Display = std::getenv("DISPLAY");
    facts.StdinIsTerminal = isatty(STDIN_FILENO) == 1;
    facts.StdoutIsTerminal = isatty(STDOUT_FILENO) == 1;
    facts.TerminalTypeUsable = TerminalTypeUsable(std::getenv("TERM"));
    facts.Preference = preference;
    facts.DisplayOpens = std::move(displayOpens);
    return facts;
}

tHostChoice ChooseHost(const tHostFacts& facts) {
    tHostChoice choice;
    switch (facts.Preference) {
    case tHostPreference::Window:
        if (HasDisplay(facts))
            choice.Kind = tHostKind::Window;
        else
            choice.Message = "Не удалось открыть окно: дисплей X11 (переменная DISPLAY) "
                             "недоступен, а в настройках задано Host=window."_oem;
        break;
    case tHostPreference::Terminal:
        if (HasTerminal(facts))
            choice.Kind = tHostKind::Terminal;
        else
            choice.Message = std::string("Не удалось работать в терминале: "_oem) +
                             TerminalRefusal(facts) +
                             std::string(", а в настройках задано Host=terminal."_oem);
        break;
    case tHostPreference::Auto:
        if (HasDisplay(facts))
            choice.Kind = tHostKind::Window;
        else if (HasTerminal(facts))
            choice.Kind = tHostKind::Terminal;
        else if (!HasTerminalLine(facts))
            choice.Message =
                "Программе негде показать экран: нет ни доступного дисплея X11 "
                "(переменная DISPLAY), ни терминала на стандартном вводе и выводе."_oem;
        else
            choice.Message = std::string("Программе негде показать экран: нет доступного "
                                         "дисплея X11 (переменная DISPLAY), а "_oem) +
                             TerminalRefusal(facts) + ".";
        break;
    }
    return choice;
}

int ReportNoHost(const tHostChoice& choice) {
    std::string text = Cp866ToUtf8(choice.Message) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    return 1;
}

} // namespace zarvo
