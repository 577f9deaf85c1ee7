// Text pasted into the text UI (a selection of the X display, or a terminal's bracketed
// paste) travels as typed characters, so every input line takes it as if keyed in, with its
// own limits and masks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/console_msg.h"

namespace zarvo {

class tMyForm;

// The characters pasting UTF8 types (CP866): the first line only, as an input line holds one
// line; characters CP866 lacks and control characters are dropped.
std::string PastedCharacters(std::string_view utf8);

// The first character of the first line that CP866 lacks (U+FFFD for malformed bytes), or 0.
char32_t FirstUntypable(std::string_view utf8);

// What pasting UTF8 types, as WM_CHAR records appended to OUT; when the first line holds a
// character CP866 lacks, one HM_UNTYPABLE record instead.
void AppendPastedText(std::string_view utf8, std::vector<TConsoleMsg>& out);
// The same queued on FORM.
void QueuePastedText(tMyForm& form, std::string_view utf8);

} // namespace zarvo
