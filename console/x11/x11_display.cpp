// The pool of kept X display connections.
#include "console/x11/x11_display.h"

#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace zarvo {

namespace {

std::mutex gPoolLock;
std::vector<Display*> gKept;
// Connections whose server went away; kept so that nothing frees what Xlib may still touch.
std::mutex gLostLock;
std::vector<Display*> gLost;
std::atomic<bool> gAnyLost{false}; // spares the lock on every paint while all is well

// A failing request (a window gone, a property refused) must not end the program; the
// caller carries on without it.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Xlib's default prints a line and then the exit handler ends the process; the program's
// own way out (cleanup, the protocol entry, the lock released) is wanted instead.
int QuietIOError(Display*) {
    return 0;
}

void OnConnectionLost(Display* display, void*) {
    std::lock_guard guard(gLostLock);
    gLost.push_back(display);
    gAnyLost = true;
}

// A kept connection serves only the display asked for now, and only while its server lives;
// the test is a peek at the socket, since any request to a dead server ends the program.
bool Reusable(Display* display) {
    const char* wanted = std::getenv("DISPLAY");
    if (!wanted || std::strcmp(DisplayString(display), wanted) != 0)
        return false;
    char byte;
    ssize_t peeked = recv(ConnectionNumber(display), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return peeked != 0 && !(peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

} // namespace

Display* AcquireDisplay() {
    {
        std::lock_guard guard(gPoolLock);
        XSetErrorHandler(IgnoreXError);
        for (std::size_t i = 0; i < gKept.size(); ++i) {
            Display* display = gKept[i];
            if (Reusable(display)) {
                gKept.erase(gKept.begin() + std::ptrdiff_t(i));
                return display;
            }
        }
    }
    Display* display = XOpenDisplay(nullptr);
    if (display) {
        XSetIOErrorHandler(QuietIOError);
        XSetIOErrorExitHandler(display, OnConnectionLost, nullptr);
    }
    return display;
}

bool DisplayLost(Display* display) {
    if (!gAnyLost)
        return false;
    std::lock_guard guard(gLostLock);
    return std::find(gLost.begin(), gLost.end(), display) != gLost.end();
}

void ReleaseDisplay(Display* display) {
    if (!display || DisplayLost(display))
        return;
    XSync(display, True);
    std::lock_guard guard(gPoolLock);
    gKept.push_back(display);
}

} // namespace zarvo
