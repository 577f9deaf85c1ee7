// The short help the program carries for its dialogs: the lines of a text per help topic, in
// the resource "HELP|<topic>", shown in a message box when the operator asks for help (F1,
// a "Помощь" button) and nobody else answered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

inline constexpr std::string_view kHelpResourcePrefix = "HELP|";
// The topics the program has help for.
inline constexpr std::uint16_t kDirectoryDialogHelp = 909;
inline constexpr std::uint16_t kParametersDialogHelp = 910;

std::string HelpResourceName(std::uint16_t topic);
// The help text of TOPIC, lines joined by '\r'; empty when there is none.
std::string HelpText(std::uint16_t topic);
// Shows the help of TOPIC, or says that there is none.
void ShowHelp(std::uint16_t topic);

} // namespace zarvo
