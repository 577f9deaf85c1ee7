// The pool of kept X display connections.
#include "console/x11/x11_display.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace zarvo {

namespace {

std::mutex gPoolLock;
std::vector<Display*> gKept;

// A failing request (a window gone, a property refused) must not end the program; the
// caller carries on without it.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
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
    return XOpenDisplay(nullptr);
}

void ReleaseDisplay(Display* display) {
    if (!display)
        return;
    XSync(display, True);
    std::lock_guard guard(gPoolLock);
    gKept.push_back(display);
}

} // namespace zarvo
