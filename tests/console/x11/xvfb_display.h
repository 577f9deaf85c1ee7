// A private X server for the window host's tests: Xvfb on a free display number, started
// for a test suite and killed after it, with helpers to drive it (xdotool) and look at it.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/wait_for.h"

namespace zarvo::xtest {

inline bool ProgramInstalled(const char* name) {
    std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

using testing::WaitFor;

class tXvfb {
  public:
    // Xvfb picks a free display number itself and reports it (-displayfd), so suites running
    // side by side never share or steal a server.
    tXvfb() {
        if (!ProgramInstalled("Xvfb"))
            return;
        int report[2];
        if (pipe(report) != 0)
            return;
        pid_t pid = fork();
        if (pid == 0) {
            close(report[0]);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            std::string fd = std::to_string(report[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(report[1]);
        if (pid > 0) {
            m_Pid = pid;
            std::string number = ReadNumber(report[0]);
            if (number.empty())
                Stop();
            else
                m_Name = ":" + number;
        }
        close(report[0]);
    }
    ~tXvfb() { Stop(); }
    tXvfb(const tXvfb&) = delete;
    tXvfb& operator=(const tXvfb&) = delete;

    bool Running() const { return m_Pid > 0; }
    const std::string& Name() const { return m_Name; }

  private:
    // The display number Xvfb writes once it accepts connections; empty after 10 s.
    static std::string ReadNumber(int fd) {
        std::string number;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd wait{fd, POLLIN, 0};
            if (poll(&wait, 1, 100) <= 0)
                continue;
            char c;
            if (read(fd, &c, 1) != 1)
                return {};
            if (c == '\n')
                return number;
            number += c;
        }
        return {};
    }

    void Stop() {
        if (m_Pid <= 0)
            return;
        kill(m_Pid, SIGTERM);
        int status = 0;
        if (!WaitFor([&] { return waitpid(m_Pid, &status, WNOHANG) == m_Pid; },
                     std::chrono::seconds(5))) {
            kill(m_Pid, SIGKILL);
            waitpid(m_Pid, &status, 0);
        }
        m_Pid = -1;
    }

    pid_t m_Pid = -1;
    std::string m_Name;
};

// Runs xdotool against the test display, bounded; true when it succeeded.
inline bool Xdotool(const std::string& arguments) {
    std::string command = "timeout 10 xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// The first window of the test display whose name is exactly NAME (a UTF-8 text without
// quotes), 0 while there is none.
inline unsigned long WindowNamed(const std::string& name) {
    std::string command = "timeout 5 xdotool search --name '^" + name + "$' 2>/dev/null";
    FILE* found = popen(command.c_str(), "r");
    if (found == nullptr)
        return 0;
    unsigned long window = 0;
    if (std::fscanf(found, "%lu", &window) != 1)
        window = 0;
    pclose(found);
    return window;
}

struct tRgb {
    int R = 0, G = 0, B = 0;
    bool operator==(const tRgb&) const = default;
};

// The colour of one pixel of a window, read through a connection of the test's own.
inline tRgb PixelOf(unsigned long window, int x, int y) {
    tRgb rgb{-1, -1, -1};
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return rgb;
    if (XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap)) {
        unsigned long pixel = XGetPixel(image, 0, 0);
        rgb = {int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF)};
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rgb;
}

// A window's size, or 0 x 0 when it is gone.
inline std::pair<int, int> WindowSize(unsigned long window) {
    std::pair<int, int> size{0, 0};
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return size;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes))
        size = {attributes.width, attributes.height};
    XCloseDisplay(display);
    return size;
}

// A window's position on the screen.
inline std::pair<int, int> WindowPosition(unsigned long window) {
    std::pair<int, int> position{-1, -1};
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return position;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &position.first,
                          &position.second, &child);
    XCloseDisplay(display);
    return position;
}

// A window's property of format 32 (what _NET_WM_PID and _NET_WM_ICON hold), empty when it
// has none.
inline std::vector<unsigned long> PropertyLongs(unsigned long window, const char* name) {
    std::vector<unsigned long> values;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return values;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 32) {
        auto* longs = reinterpret_cast<unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(display);
    return values;
}

// A window's text property of format 8 (as _NET_WM_NAME holds UTF-8), empty when it has none.
inline std::string PropertyText(unsigned long window, const char* name) {
    std::string text;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return text;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 16, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data != nullptr && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data != nullptr)
        XFree(data);
    XCloseDisplay(display);
    return text;
}

// A window's class hint as "name.Class", empty without one.
inline std::string WindowClass(unsigned long window) {
    std::string found;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return found;
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint)) {
        found = std::string(hint.res_name ? hint.res_name : "") + "." +
                (hint.res_class ? hint.res_class : "");
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    XCloseDisplay(display);
    return found;
}

// What a window manager does when the close button is pressed.
inline void SendDeleteWindow(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

// A test suite with one Xvfb server of its own, named in $DISPLAY while the suite runs.
class tXvfbSuite : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gServer = new tXvfb();
        if (gServer->Running())
            setenv("DISPLAY", gServer->Name().c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete gServer;
        gServer = nullptr;
    }

    static inline tXvfb* gServer = nullptr;
};

} // namespace zarvo::xtest
