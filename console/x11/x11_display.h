// The X display connections of the window host and the message box. A connection that has
// drawn with Xft is never closed: Xft and XRender keep records of it that outlive
// XCloseDisplay, and a later connection opened at the same address would find them and fail.
// Released connections are kept and handed out again instead.
#pragma once

#include <X11/Xlib.h>

namespace zarvo {

// A connection to $DISPLAY (a kept one when there is), or null when none opens. Failing
// requests are ignored, and a lost connection is recorded (DisplayLost), rather than ending
// the program as Xlib's default handlers would.
Display* AcquireDisplay();
// Gives the connection back for the next user; its queued events are dropped. A lost
// connection is kept aside for good instead.
void ReleaseDisplay(Display* display);
// True once the connection to the server was lost (the server gone, the connection cut).
// Xlib's calls on it then do nothing; its user is expected to wind down.
bool DisplayLost(Display* display);

} // namespace zarvo
