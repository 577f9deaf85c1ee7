// The desktop's own message box, for the times when no text-mode application exists: before
// it is built, after it ends, and for the start-up refusals.
#pragma once

#include <cstdint>
#include <string_view>

namespace zarvo {

enum class tDesktopIcon { None, Warning, Error, Information };
enum class tDesktopButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class tDesktopAnswer { None, Ok, Cancel, Yes, No };

// Text and caption are CP866. A window host installs its window form here; without one the
// box is written to stderr and a question is answered from the terminal, or with its
// default when there is none.
using tDesktopMessageBoxForm = tDesktopAnswer (*)(std::string_view text, std::string_view caption,
                                                  tDesktopIcon icon, tDesktopButtons buttons);
extern tDesktopMessageBoxForm gDesktopMessageBoxForm;

// Installs the window form; the program calls it when the window host is in use.
void UseWindowMessageBox();

tDesktopAnswer DesktopMessageBox(std::string_view text, std::string_view caption, tDesktopIcon icon,
                                 tDesktopButtons buttons);

// The terminal form on its own: a question is read from `input` when someone can answer it
// there (`interactive`), otherwise it takes its first button.
tDesktopAnswer TerminalMessageBox(std::string_view text, std::string_view caption,
                                  tDesktopIcon icon, tDesktopButtons buttons, int input, int output,
                                  bool interactive);

} // namespace zarvo
