// The message box of the text UI: the text in a gray dialog centred on the desktop, one
// button per button bit of the flags, run modally; the application installs it as
// MessageBoxHook while it exists.
#pragma once

#include <cstdint>
#include <string_view>

#include "views/group.h"

namespace zarvo {

// Where the box runs modally (the application) and what it is centred on (the desktop).
// Null: ScreenRoot for either.
extern tGroup* gMessageBoxRunner;
extern tView* gMessageBoxDesktop;

// The hook implementation: the command of the button pressed, or cmdCancel when no box
// could be made (the text then joins a pending error if the kind is mbError).
std::uint16_t TextModeMessageBox(std::string_view text, std::uint16_t flags, void* reserved);

} // namespace zarvo
