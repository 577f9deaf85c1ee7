// What window managers, task bars and desktop tools read from the program's windows: the
// class, the caption in both encodings, the process, the input hints and the icon.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace zarvo {

// Sets WM_NAME, WM_ICON_NAME, WM_CLASS ("zarvo", "Zarvo"), _NET_WM_NAME, _NET_WM_ICON_NAME,
// _NET_WM_PID, WM_HINTS (takes input, shown normal) and _NET_WM_ICON on WINDOW. CAPTION is
// CP866.
void SetWindowIdentity(Display* display, Window window, std::string_view caption);

// The program's icon as _NET_WM_ICON holds it: for each size, width, height, then one ARGB
// value a pixel, row by row. Drawn in code: a blue tile with two white screens joined by a
// green cable.
std::vector<unsigned long> ProgramIcon();

} // namespace zarvo
