// The desktop message box: the window host's form when one is installed, else the terminal.
#include "views/desktop_message_box.h"

#include <unistd.h>

#include <string>

#include "library/strings.h"
#include "platform/cp866.h"
#include "platform/terminal_line.h"

namespace zarvo {

tDesktopMessageBoxForm gDesktopMessageBoxForm = nullptr;

namespace {

std::string_view IconWord(tDesktopIcon icon) {
    switch (icon) {
    case tDesktopIcon::Warning:
        return "Внимание"_oem;
    case tDesktopIcon::Error:
        return "Ошибка"_oem;
    case tDesktopIcon::Information:
        return "Информация"_oem;
    default:
        return {};
    }
}

tDesktopAnswer ParseAnswer(const std::string& typed, tDesktopButtons buttons) {
    std::string word = UpperCase(typed);
    while (!word.empty() && word.back() == ' ')
        word.pop_back();
    while (!word.empty() && word.front() == ' ')
        word.erase(0, 1);
    if (word == "Д"_oem || word == "ДА"_oem || word == "Y" || word == "YES")
        return tDesktopAnswer::Yes;
    if (word == "Н"_oem || word == "НЕТ"_oem || word == "N" || word == "NO")
        return tDesktopAnswer::No;
    if (buttons == tDesktopButtons::YesNoCancel &&
        (word == "О"_oem || word == "ОТКАЗ"_oem || word == "C" || word == "CANCEL"))
        return tDesktopAnswer::Cancel;
    return tDesktopAnswer::None;
}

} // namespace

tDesktopAnswer TerminalMessageBox(std::string_view text, std::string_view caption,
                                  tDesktopIcon icon, tDesktopButtons buttons, int input, int output,
                                  bool interactive) {
    std::string shown;
    std::string_view heading = caption.empty() ? IconWord(icon) : caption;
    if (!heading.empty())
        shown = std::string(heading) + ": ";
    shown += text;
    shown += '\r';
    WriteTerminalText(output, shown);
    if (buttons == tDesktopButtons::Ok || buttons == tDesktopButtons::OkCancel)
        return tDesktopAnswer::Ok;
    // A question with nobody to answer it takes its first button.
    if (!interactive)
        return tDesktopAnswer::Yes;
    std::string_view prompt = buttons == tDesktopButtons::YesNoCancel
                                  ? "Да / Нет / Отказ (д/н/о): "_oem
                                  : "Да / Нет (д/н): "_oem;
    for (;;) {
        WriteTerminalText(output, prompt);
        std::string typed;
        if (ReadTerminalLine(input, typed) != tLineResult::Line)
            return buttons == tDesktopButtons::YesNoCancel ? tDesktopAnswer::Cancel
                                                           : tDesktopAnswer::No;
        tDesktopAnswer answer = ParseAnswer(typed, buttons);
        if (answer != tDesktopAnswer::None)
            return answer;
    }
}

tDesktopAnswer DesktopMessageBox(std::string_view text, std::string_view caption, tDesktopIcon icon,
                                 tDesktopButtons buttons) {
    if (gDesktopMessageBoxForm)
        return gDesktopMessageBoxForm(text, caption, icon, buttons);
    return TerminalMessageBox(text, caption, icon, buttons, STDIN_FILENO, STDERR_FILENO,
                              isatty(STDIN_FILENO) != 0);
}

} // namespace zarvo
