// The X display connections of the window host and the message box. A connection that has
// drawn with Xft is never closed: Xft and XRender keep records of it that outlive
// XCloseDisplay, and a later connection opened at the same address would find them and fail.
// Released connections are kept and handed out again instead.
#pragma once

#include <X11/Xlib.h>

namespace zarvo {

// A connection to $DISPLAY (a kept one when there is), or null when none opens. Failing
// requests are ignored rather than ending the program as Xlib's default handler would.
Display* AcquireDisplay();
// Gives the connection back for the next user; its queued events are dropped.
void ReleaseDisplay(Display* display);

} // namespace zarvo
