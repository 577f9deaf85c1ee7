// The X11 form of the desktop message box. It opens its own display connection, so it works
// on any thread and whether or not the host window exists.
#include "console/x11/x11_message_box.h"

#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <vector>

#include "console/x11/x11_display.h"
#include "console/x11/x11_window_identity.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonGap = 10;
constexpr int kMinButtonWidth = 84;
constexpr unsigned long kFaceColour = 0xD4D0C8;

struct tBoxLine {
    std::string Utf8;
    bool Centred = false;
    int Width = 0;
};

struct tButton {
    std::string Utf8;
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool Contains(int x, int y) const {
        return x >= X && x < X + Width && y >= Y && y < Y + Height;
    }
};

// Splits CP866 text at CR, LF or CR LF; byte 3 anywhere in a line centres it.
std::vector<tBoxLine> SplitLines(std::string_view text) {
    std::vector<tBoxLine> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else if (c == kCentreMark) {
            lines.back().Centred = true;
        } else if (std::uint8_t(c) >= 0x20) {
            AppendUtf8(lines.back().Utf8, Cp866ToUnicode(std::uint8_t(c)));
        }
    }
    return lines;
}

class tBoxWindow {
  public:
    tBoxWindow(Display* display, XftFont* font) : m_Display(display), m_Font(font) {}
    ~tBoxWindow();
    void Build(std::string_view text, std::string_view caption, tX11BoxIcon icon,
               std::span<const std::string_view> buttons);
    int Run(int cancelIndex);

  private:
    int TextWidth(const std::string& utf8) const;
    void Layout();
    void CreateWindow(std::string_view caption);
    void Paint();
    void PaintIcon();
    void PaintButton(std::size_t index);
    XftColor& Colour(unsigned long rgb);

    Display* m_Display;
    XftFont* m_Font;
    int m_Screen = 0;
    Window m_Window = 0;
    XftDraw* m_Draw = nullptr;
    GC m_Gc = nullptr;
    Atom m_DeleteWindow = 0;
    tX11BoxIcon m_Icon = tX11BoxIcon::Plain;
    std::vector<tBoxLine> m_Lines;
    std::vector<tButton> m_Buttons;
    std::vector<std::pair<unsigned long, XftColor>> m_Colours;
    std::size_t m_Focus = 0;
    int m_Width = 0, m_Height = 0, m_TextLeft = 0, m_LineHeight = 0;
};

tBoxWindow::~tBoxWindow() {
    Visual* visual = DefaultVisual(m_Display, m_Screen);
    Colormap map = DefaultColormap(m_Display, m_Screen);
    for (auto& entry : m_Colours)
        XftColorFree(m_Display, visual, map, &entry.second);
    if (m_Draw)
        XftDrawDestroy(m_Draw);
    if (m_Gc)
        XFreeGC(m_Display, m_Gc);
    if (m_Window)
        XDestroyWindow(m_Display, m_Window);
}

XftColor& tBoxWindow::Colour(unsigned long rgb) {
    for (auto& entry : m_Colours)
        if (entry.first == rgb)
            return entry.second;
    XRenderColor value{std::uint16_t(((rgb >> 16) & 0xFF) * 0x101),
                       std::uint16_t(((rgb >> 8) & 0xFF) * 0x101),
                       std::uint16_t((rgb & 0xFF) * 0x101), 0xFFFF};
    XftColor colour{};
    XftColorAllocValue(m_Display, DefaultVisual(m_Display, m_Screen),
                       DefaultColormap(m_Display, m_Screen), &value, &colour);
    m_Colours.emplace_back(rgb, colour);
    return m_Colours.back().second;
}

int tBoxWindow::TextWidth(const std::string& utf8) const {
    XGlyphInfo extents{};
    XftTextExtentsUtf8(m_Display, m_Font, reinterpret_cast<const FcChar8*>(utf8.data()),
                       int(utf8.size()), &extents);
    return extents.xOff;
}

void tBoxWindow::Build(std::string_view text, std::string_view caption, tX11BoxIcon icon,
                       std::span<const std::string_view> buttons) {
    m_Screen = DefaultScreen(m_Display);
    m_Icon = icon;
    m_Lines = SplitLines(text);
    for (std::string_view label : buttons) {
        tButton button;
        for (char c : label)
            if (c != '~' && std::uint8_t(c) >= 0x20)
                AppendUtf8(button.Utf8, Cp866ToUnicode(std::uint8_t(c)));
        m_Buttons.push_back(button);
    }
    Layout();
    CreateWindow(caption);
}

void tBoxWindow::Layout() {
    m_LineHeight = m_Font->ascent + m_Font->descent;
    int textWidth = 0;
    for (tBoxLine& line : m_Lines) {
        line.Width = TextWidth(line.Utf8);
        textWidth = std::max(textWidth, line.Width);
    }
    m_TextLeft = kMargin + (m_Icon == tX11BoxIcon::Plain ? 0 : kIconSize + kMargin);
    int textHeight =
        std::max(int(m_Lines.size()) * m_LineHeight, m_Icon == tX11BoxIcon::Plain ? 0 : kIconSize);
    int buttonHeight = m_LineHeight + 12;
    int rowWidth = 0;
    for (tButton& button : m_Buttons) {
        button.Width = std::max(kMinButtonWidth, TextWidth(button.Utf8) + 24);
        button.Height = buttonHeight;
        rowWidth += button.Width + kButtonGap;
    }
    rowWidth = std::max(0, rowWidth - kButtonGap);
    m_Width = std::max(m_TextLeft + textWidth + kMargin, rowWidth + 2 * kMargin);
    m_Width = std::max(m_Width, 240);
    int buttonTop = kMargin + textHeight + kMargin;
    m_Height = buttonTop + (m_Buttons.empty() ? 0 : buttonHeight + kMargin);
    int x = (m_Width - rowWidth) / 2;
    for (tButton& button : m_Buttons) {
        button.X = x;
        button.Y = buttonTop;
        x += button.Width + kButtonGap;
    }
}

void tBoxWindow::CreateWindow(std::string_view caption) {
    int left = std::max(0, (DisplayWidth(m_Display, m_Screen) - m_Width) / 2);
    int top = std::max(0, (DisplayHeight(m_Display, m_Screen) - m_Height) / 2);
    m_Window = XCreateSimpleWindow(m_Display, RootWindow(m_Display, m_Screen), left, top,
                                   unsigned(m_Width), unsigned(m_Height), 0, 0, kFaceColour);
    XSelectInput(m_Display, m_Window,
                 ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask |
                     StructureNotifyMask);
    XSizeHints hints{};
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = left;
    hints.y = top;
    hints.min_width = hints.max_width = m_Width;
    hints.min_height = hints.max_height = m_Height;
    XSetWMNormalHints(m_Display, m_Window, &hints);
    SetWindowIdentity(m_Display, m_Window, caption);
    Atom type = XInternAtom(m_Display, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(m_Display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(m_Display, m_Window, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&dialog), 1);
    m_DeleteWindow = XInternAtom(m_Display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_Display, m_Window, &m_DeleteWindow, 1);
    m_Draw = XftDrawCreate(m_Display, m_Window, DefaultVisual(m_Display, m_Screen),
                           DefaultColormap(m_Display, m_Screen));
    m_Gc = XCreateGC(m_Display, m_Window, 0, nullptr);
    XMapRaised(m_Display, m_Window);
}

void tBoxWindow::PaintIcon() {
    unsigned long colour = m_Icon == tX11BoxIcon::Error     ? 0xC03030
                           : m_Icon == tX11BoxIcon::Warning ? 0xE0A000
                                                            : 0x3050C0;
    const char* mark = m_Icon == tX11BoxIcon::Error     ? "\xC3\x97"
                       : m_Icon == tX11BoxIcon::Warning ? "!"
                                                        : "i";
    XSetForeground(m_Display, m_Gc, Colour(colour).pixel);
    XFillArc(m_Display, m_Window, m_Gc, kMargin, kMargin, kIconSize, kIconSize, 0, 360 * 64);
    std::string text = mark;
    int x = kMargin + (kIconSize - TextWidth(text)) / 2;
    int y = kMargin + (kIconSize + m_Font->ascent - m_Font->descent) / 2;
    XftDrawStringUtf8(m_Draw, &Colour(0xFFFFFF), m_Font, x, y,
                      reinterpret_cast<const FcChar8*>(text.data()), int(text.size()));
}

void tBoxWindow::PaintButton(std::size_t index) {
    const tButton& button = m_Buttons[index];
    XftDrawRect(m_Draw, &Colour(0x404040), button.X, button.Y, unsigned(button.Width),
                unsigned(button.Height));
    int border = index == m_Focus ? 2 : 1;
    XftDrawRect(m_Draw, &Colour(0xECE9E2), button.X + border, button.Y + border,
                unsigned(button.Width - 2 * border), unsigned(button.Height - 2 * border));
    int x = button.X + (button.Width - TextWidth(button.Utf8)) / 2;
    int y = button.Y + (button.Height + m_Font->ascent - m_Font->descent) / 2;
    XftDrawStringUtf8(m_Draw, &Colour(0x000000), m_Font, x, y,
                      reinterpret_cast<const FcChar8*>(button.Utf8.data()),
                      int(button.Utf8.size()));
}

void tBoxWindow::Paint() {
    XftDrawRect(m_Draw, &Colour(kFaceColour), 0, 0, unsigned(m_Width), unsigned(m_Height));
    if (m_Icon != tX11BoxIcon::Plain)
        PaintIcon();
    int textRight = m_Width - kMargin;
    for (std::size_t i = 0; i < m_Lines.size(); ++i) {
        const tBoxLine& line = m_Lines[i];
        int x = line.Centred ? m_TextLeft + (textRight - m_TextLeft - line.Width) / 2 : m_TextLeft;
        int y = kMargin + int(i) * m_LineHeight + m_Font->ascent;
        XftDrawStringUtf8(m_Draw, &Colour(0x000000), m_Font, x, y,
                          reinterpret_cast<const FcChar8*>(line.Utf8.data()),
                          int(line.Utf8.size()));
    }
    for (std::size_t i = 0; i < m_Buttons.size(); ++i)
        PaintButton(i);
}

int tBoxWindow::Run(int cancelIndex) {
    int pressed = -1;
    for (;;) {
        XEvent event;
        XNextEvent(m_Display, &event);
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                Paint();
            break;
        case ClientMessage:
            if (Atom(event.xclient.data.l[0]) == m_DeleteWindow)
                return cancelIndex;
            break;
        case KeyPress: {
            KeySym key = XLookupKeysym(&event.xkey, 0);
            std::size_t count = m_Buttons.size();
            if (key == XK_Escape)
                return cancelIndex;
            if (key == XK_Return || key == XK_KP_Enter || key == XK_space)
                return count == 0 ? cancelIndex : int(m_Focus);
            if (count > 0 && (key == XK_Tab || key == XK_Right || key == XK_Left)) {
                bool back = key == XK_Left || (event.xkey.state & ShiftMask);
                m_Focus = back ? (m_Focus + count - 1) % count : (m_Focus + 1) % count;
                Paint();
            }
            break;
        }
        case ButtonPress:
            pressed = -1;
            for (std::size_t i = 0; i < m_Buttons.size(); ++i)
                if (event.xbutton.button == Button1 &&
                    m_Buttons[i].Contains(event.xbutton.x, event.xbutton.y))
                    pressed = int(i);
            break;
        case ButtonRelease:
            if (pressed >= 0 &&
                m_Buttons[std::size_t(pressed)].Contains(event.xbutton.x, event.xbutton.y))
                return pressed;
            pressed = -1;
            break;
        default:
            break;
        }
    }
}

} // namespace

int X11MessageBox(std::string_view text, std::string_view caption, tX11BoxIcon icon,
                  std::span<const std::string_view> buttons, int cancelIndex) {
    Display* display = AcquireDisplay();
    if (!display)
        return -1;
    int screen = DefaultScreen(display);
    XftFont* font = XftFontOpenName(display, screen, "sans-serif:pixelsize=15");
    if (!font) {
        ReleaseDisplay(display);
        return -1;
    }
    int answer;
    {
        tBoxWindow box(display, font);
        box.Build(text, caption, icon, buttons);
        answer = box.Run(cancelIndex);
    }
    XftFontClose(display, font);
    ReleaseDisplay(display);
    return answer;
}

} // namespace zarvo
