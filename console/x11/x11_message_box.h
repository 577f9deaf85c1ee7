// The desktop message box as a small X11 window of its own: the text, a row of buttons, and
// nothing else. Used when no text UI exists to ask in (before it starts and after it ends).
#pragma once

#include <span>
#include <string_view>

namespace zarvo {

enum class tX11BoxIcon { Plain, Warning, Error, Information };

// Shows `text` (CP866; CR breaks lines, a line starting with byte 3 is centred) in a window
// captioned `caption` with the `buttons` labels (CP866) in a row; the first is the default.
// Returns the index of the button chosen, `cancelIndex` when the window is closed or Esc is
// pressed, and -1 when no display can be opened (the caller then asks elsewhere).
int X11MessageBox(std::string_view text, std::string_view caption, tX11BoxIcon icon,
                  std::span<const std::string_view> buttons, int cancelIndex);

} // namespace zarvo
