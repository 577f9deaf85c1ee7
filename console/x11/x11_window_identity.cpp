// The properties every window of the program carries, and the icon drawn for them.
#include "console/x11/x11_window_identity.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <string>

#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr unsigned long kTile = 0xFF1F4E9A;
constexpr unsigned long kTileEdge = 0xFF0F2A55;
constexpr unsigned long kScreen = 0xFFFFFFFF;
constexpr unsigned long kGlass = 0xFF2B2B2B;
constexpr unsigned long kLink = 0xFF3CC83C;

// One square icon of SIZE pixels appended to ICON; the drawing scales with the size.
void DrawIcon(std::vector<unsigned long>& icon, int size) {
    icon.push_back(unsigned(size));
    icon.push_back(unsigned(size));
    const std::size_t start = icon.size();
    icon.resize(start + std::size_t(size) * std::size_t(size), kTile);
    auto fill = [&](int left, int top, int right, int bottom, unsigned long colour) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                icon[start + std::size_t(y) * std::size_t(size) + std::size_t(x)] = colour;
    };
    const int unit = size / 16;
    fill(0, 0, size, unit, kTileEdge);
    fill(0, size - unit, size, size, kTileEdge);
    fill(0, 0, unit, size, kTileEdge);
    fill(size - unit, 0, size, size, kTileEdge);
    // Two wide screens, a stand under each, and the cable between the stands.
    for (int left : {2 * unit, 9 * unit}) {
        fill(left, 3 * unit, left + 5 * unit, 7 * unit, kScreen);
        fill(left + unit / 2 + (unit > 1 ? 0 : 1), 4 * unit, left + 5 * unit - unit / 2 - 1,
             6 * unit, kGlass);
        fill(left + 2 * unit, 7 * unit, left + 3 * unit, 9 * unit, kScreen);
        fill(left + unit, 9 * unit, left + 4 * unit, 10 * unit, kScreen);
    }
    fill(4 * unit, 10 * unit, 5 * unit, 12 * unit, kLink);
    fill(11 * unit, 10 * unit, 12 * unit, 12 * unit, kLink);
    fill(4 * unit, 12 * unit, 12 * unit, 13 * unit, kLink);
}

} // namespace

std::vector<unsigned long> ProgramIcon() {
    std::vector<unsigned long> icon;
    DrawIcon(icon, 16);
    DrawIcon(icon, 32);
    DrawIcon(icon, 48);
    return icon;
}

void SetWindowIdentity(Display* display, Window window, std::string_view caption) {
    std::string title = Cp866ToUtf8(caption);
    XClassHint* classHint = XAllocClassHint();
    char name[] = "zarvo";
    char className[] = "Zarvo";
    classHint->res_name = name;
    classHint->res_class = className;
    // The window takes the keyboard when given it, and opens shown rather than iconic.
    XWMHints* hints = XAllocWMHints();
    hints->flags = InputHint | StateHint;
    hints->input = True;
    hints->initial_state = NormalState;
    Xutf8SetWMProperties(display, window, title.c_str(), title.c_str(), nullptr, 0, nullptr, hints,
                         classHint);
    XFree(hints);
    XFree(classHint);
    // What desktop tools read today: the caption as UTF-8, the process behind the window and
    // the icon as ARGB pixels (format 32 properties travel as longs).
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    auto text = reinterpret_cast<const unsigned char*>(title.data());
    for (const char* property : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
        XChangeProperty(display, window, XInternAtom(display, property, False), utf8, 8,
                        PropModeReplace, text, int(title.size()));
    long pid = long(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    static const std::vector<unsigned long> icon = ProgramIcon();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(icon.data()),
                    int(icon.size()));
}

} // namespace zarvo
