// Running the calculator and the calendar from the program's resources for a field: the value
// goes in, the window runs modally, and the value comes back unless the operator cancelled.
#pragma once

#include <cstdint>
#include <string>

namespace zarvo {

class tGroup;

// Loads "CALCULATOR", shows TEXT's number (CalcShow; CalcError when TEXT is not a number),
// runs it modally on HOST (null: gApplication) and, unless cancelled, sets TEXT to the
// display's trimmed text. Answers the ending command; 0 when the resource could not be loaded.
std::uint16_t RunCalculator(std::string& text, tGroup* host = nullptr);

// Loads "CALENDAR" showing DAY (0: today), runs it; unless cancelled sets DAY to the chosen
// day number. Answers the ending command; 0 when the resource could not be loaded.
std::uint16_t RunCalendar(std::uint16_t& day, tGroup* host = nullptr);

} // namespace zarvo
