// The window's life: creating it from the settings, the event loop, the
// whole-cell resize rule, focus and the close button.
#include "console/x11/x11_window.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>

#include "console/x11/x11_display.h"
#include "console/x11/x11_window_identity.h"
#include "diagnostics/pending_error.h"
#include "library/clocks.h"
#include "log/leak_report.h"
#include "platform/cp866.h"
#include "platform/format_text.h"
#include "platform/terminal_line.h"

namespace zarvo {

namespace {

constexpr int kBlinkMilliseconds = 530;
// Where a window that would open out of reach is put instead.
constexpr int kDefaultPosition = 20;
// How much of the window must stay on the screen.
constexpr int kReachableMargin = 50;

// The blink schedule is kept in signed milliseconds so "time left" may go negative.
long long TickMs() {
    return (long long)GetTickCount64();
}

} // namespace

tX11Window::tX11Window(std::string_view caption) : m_Caption(caption) {}

tX11Window::~tX11Window() {
    CloseWindow();
}

bool tX11Window::OpenDisplay() {
    m_Display = AcquireDisplay();
    if (!m_Display)
        return false;
    m_Screen = DefaultScreen(m_Display);
    m_Visual = DefaultVisual(m_Display, m_Screen);
    m_Colormap = DefaultColormap(m_Display, m_Screen);
    return true;
}

bool tX11Window::OpenFont(tMyForm& form) {
    const tHostSettings& settings = form.Settings();
    m_Font = std::make_unique<tX11Font>(m_Display);
    m_Font->ChooseFace(Cp866ToUtf8(settings.FontName), settings.FontWeight);
    tFontSize wanted = m_Font->NearestSize({settings.FontWidth, settings.FontHeight});
    if (!m_Font->Open(wanted))
        return false;
    m_FontSize = wanted;
    m_CellWidth = m_Font->CellWidth();
    m_CellHeight = m_Font->CellHeight();
    form.Settings().FontWidth = wanted.Width;
    form.Settings().FontHeight = wanted.Height;
    return true;
}

void tX11Window::AllocatePalette(const tHostSettings& settings) {
    FreePalette();
    for (std::size_t i = 0; i < m_Palette.size(); ++i) {
        std::uint32_t colour = settings.Palette[i]; // 0x00BBGGRR
        XRenderColor value{std::uint16_t((colour & 0xFF) * 0x101),
                           std::uint16_t(((colour >> 8) & 0xFF) * 0x101),
                           std::uint16_t(((colour >> 16) & 0xFF) * 0x101), 0xFFFF};
        XftColorAllocValue(m_Display, m_Visual, m_Colormap, &value, &m_Palette[i]);
    }
    m_PaletteAllocated = true;
}

void tX11Window::FreePalette() {
    if (!m_PaletteAllocated)
        return;
    for (XftColor& colour : m_Palette)
        XftColorFree(m_Display, m_Visual, m_Colormap, &colour);
    m_PaletteAllocated = false;
}

bool tX11Window::CreateSurface(tMyForm& form) {
    if (!OpenDisplay()) {
        // Named, so that the operator can tell a wrong DISPLAY from a server not answering.
        const char* name = XDisplayName(nullptr);
        PostAppError(0, FormatText("Не удалось открыть дисплей X11 %s."_oem,
                                   {Utf8ToCp866(name != nullptr ? name : "")}));
        return false;
    }
    m_Cols = form.Cols();
    m_Rows = form.Rows();
    if (!OpenFont(form)) {
        PostAppError(0, "Не удалось открыть шрифт для окна."_oem);
        m_Font.reset();
        ReleaseDisplay(m_Display);
        m_Display = nullptr;
        return false;
    }
    AllocatePalette(form.Settings());
    CreateWindow(form);
    return true;
}

void tX11Window::CreateWindow(tMyForm& form) {
    tHostSettings& settings = form.Settings();
    m_WindowWidth = m_CellWidth * m_Cols;
    m_WindowHeight = m_CellHeight * m_Rows;
    // A window that would open out of reach (a screen since made smaller) comes back.
    int left = settings.ScreenLeft;
    int top = settings.ScreenTop;
    if (left < -kReachableMargin || top < -kReachableMargin ||
        left > DisplayWidth(m_Display, m_Screen) - kReachableMargin ||
        top > DisplayHeight(m_Display, m_Screen) - kReachableMargin) {
        left = top = kDefaultPosition;
        settings.ScreenLeft = settings.ScreenTop = kDefaultPosition;
    }
    XSetWindowAttributes attributes{};
    // The window paints every pixel itself: no background, so nothing flickers.
    attributes.background_pixmap = None;
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | FocusChangeMask |
                            StructureNotifyMask;
    m_Window = XCreateWindow(m_Display, RootWindow(m_Display, m_Screen), left, top,
                             unsigned(m_WindowWidth), unsigned(m_WindowHeight), 0, CopyFromParent,
                             InputOutput, CopyFromParent, CWBackPixmap | CWBitGravity | CWEventMask,
                             &attributes);
    SetSizeHints(form);
    SetCaption();
    m_DeleteWindow = XInternAtom(m_Display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(m_Display, m_Window, &m_DeleteWindow, 1);
    m_Draw = XftDrawCreate(m_Display, m_Window, m_Visual, m_Colormap);
    XGCValues values{};
    values.function = GXxor;
    values.foreground = ~0UL;
    m_CaretGc = XCreateGC(m_Display, m_Window, GCFunction | GCForeground, &values);
    OpenInputContext();
    Bool supported = False;
    XkbSetDetectableAutoRepeat(m_Display, True, &supported);
    XMapWindow(m_Display, m_Window);
    XFlush(m_Display);
}

// The window grows and shrinks by one pixel of every cell at a time: Cols pixels across and
// Rows pixels down, so a dragged border always lands on whole cells.
void tX11Window::SetSizeHints(tMyForm& form) {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = USPosition | PPosition | PMinSize | PMaxSize | PResizeInc | PBaseSize;
    hints->x = form.Settings().ScreenLeft;
    hints->y = form.Settings().ScreenTop;
    hints->base_width = 0;
    hints->base_height = 0;
    hints->width_inc = m_Cols;
    hints->height_inc = m_Rows;
    hints->min_width = kMinFontPixels * m_Cols;
    hints->min_height = kMinFontPixels * m_Rows;
    hints->max_width = kMaxFontPixels * m_Cols;
    hints->max_height = kMaxFontPixels * m_Rows;
    if (!m_Font->Scalable()) {
        hints->flags &= ~PResizeInc;
    }
    XSetWMNormalHints(m_Display, m_Window, hints);
    XFree(hints);
}

void tX11Window::SetCaption() {
    SetWindowIdentity(m_Display, m_Window, m_Caption);
}

void tX11Window::OpenInputContext() {
    XSetLocaleModifiers("");
    m_InputMethod = XOpenIM(m_Display, nullptr, nullptr, nullptr);
    if (!m_InputMethod) {
        XSetLocaleModifiers("@im=none");
        m_InputMethod = XOpenIM(m_Display, nullptr, nullptr, nullptr);
    }
    if (m_InputMethod)
        m_InputContext =
            XCreateIC(m_InputMethod, XNInputStyle, XIMPreeditNothing | XIMStatusNothing,
                      XNClientWindow, m_Window, XNFocusWindow, m_Window, nullptr);
}

void tX11Window::DestroySurface(tMyForm&) {
    CloseWindow();
}

void tX11Window::CloseWindow() {
    if (!m_Display)
        return;
    if (Lost()) {
        // Xlib refuses every request on a lost connection, and Xft's would fail on the refusal:
        // what belongs to it is set aside unreleased (still reachable, so the sanitizer reports
        // no leak). The leak report would list it all the same: after this abandonment it
        // says nothing true about the program, so it is switched off.
        DisableLeakReport();
        struct tAbandoned {
            std::unique_ptr<tX11Font> Font;
            XftDraw* Draw;
            XIC InputContext;
            XIM InputMethod;
            GC CaretGc;
        };
        static auto* abandoned = new std::vector<tAbandoned>;
        abandoned->push_back({std::move(m_Font), m_Draw, m_InputContext, m_InputMethod, m_CaretGc});
        m_InputContext = nullptr;
        m_InputMethod = nullptr;
        m_Draw = nullptr;
        m_CaretGc = nullptr;
        m_Window = 0;
        m_PaletteAllocated = false;
        m_Display = nullptr;
        return;
    }
    if (m_InputContext)
        XDestroyIC(m_InputContext);
    if (m_InputMethod)
        XCloseIM(m_InputMethod);
    m_InputContext = nullptr;
    m_InputMethod = nullptr;
    if (m_Draw)
        XftDrawDestroy(m_Draw);
    m_Draw = nullptr;
    if (m_CaretGc)
        XFreeGC(m_Display, m_CaretGc);
    m_CaretGc = nullptr;
    if (m_Window)
        XDestroyWindow(m_Display, m_Window);
    m_Window = 0;
    FreePalette();
    m_Font.reset();
    ReleaseDisplay(m_Display);
    m_Display = nullptr;
}

void tX11Window::RunEventLoop(tMyForm& form) {
    m_NextBlink = TickMs() + kBlinkMilliseconds;
    while (!form.QuitPosted()) {
        if (DisplayLost(m_Display)) {
            WaitAfterConnectionLost(form);
            break;
        }
        while (!Lost() && XPending(m_Display) > 0 && !form.QuitPosted()) {
            XEvent event;
            XNextEvent(m_Display, &event);
            if (XFilterEvent(&event, None))
                continue;
            HandleEvent(form, event);
        }
        if (form.QuitPosted())
            break;
        XFlush(m_Display);
        pollfd waits[2] = {{ConnectionNumber(m_Display), POLLIN, 0}, {form.WakeFd(), POLLIN, 0}};
        int ready = poll(waits, 2, MillisecondsToBlink());
        if (ready > 0 && (waits[1].revents & POLLIN))
            form.DispatchPosted();
        Blink();
    }
    SavePosition(form);
}

// The window is gone with its server: a shutdown for the text UI, which ends the program
// its own way; meanwhile only posted requests are served.
void tX11Window::WaitAfterConnectionLost(tMyForm& form) {
    // Nothing can be shown any more: stderr is the one place left to say why the program ends.
    const char* name = m_Display != nullptr ? DisplayString(m_Display) : nullptr;
    WriteTerminalText(
        STDERR_FILENO,
        FormatText("zarvo: потеряна связь с X-дисплеем %s, программа завершается\r"_oem,
                   {name != nullptr ? name : ""}));
    form.ForwardCloseRequest(WM_QUERYENDSESSION);
    while (!form.QuitPosted()) {
        pollfd wait{form.WakeFd(), POLLIN, 0};
        if (poll(&wait, 1, -1) > 0)
            form.DispatchPosted();
    }
}

void tX11Window::HandleEvent(tMyForm& form, XEvent& event) {
    switch (event.type) {
    case Expose:
        if (event.xexpose.count == 0) {
            PaintMargins();
            form.PaintAll();
        }
        break;
    case ConfigureNotify:
        HandleConfigure(form, event.xconfigure);
        break;
    case FocusIn:
    case FocusOut:
        if (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed)
            HandleFocus(event.type == FocusIn);
        break;
    case KeyPress:
    case KeyRelease:
        HandleKey(form, event.xkey);
        break;
    case ButtonPress:
    case ButtonRelease:
        HandleButton(form, event.xbutton);
        break;
    case MotionNotify:
        // Only the latest position matters when moves pile up.
        while (XCheckTypedWindowEvent(m_Display, m_Window, MotionNotify, &event)) {
        }
        HandleMotion(form, event.xmotion);
        break;
    case DestroyNotify:
        // Destroyed from outside: nothing can be shown any more, so the text UI is asked to
        // end as at a shutdown.
        if (event.xdestroywindow.window == m_Window) {
            m_Window = 0;
            m_CaretDrawn = false;
            if (m_Draw)
                XftDrawDestroy(m_Draw);
            m_Draw = nullptr;
            form.ForwardCloseRequest(WM_QUERYENDSESSION);
        }
        break;
    case SelectionNotify:
        HandlePasteReady(form, event.xselection);
        break;
    case ClientMessage:
        if (event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == m_DeleteWindow)
            form.ForwardCloseRequest(WM_CLOSE);
        break;
    default:
        break;
    }
}

void tX11Window::HandleConfigure(tMyForm& form, const XConfigureEvent& event) {
    if (!m_Window || event.window != m_Window)
        return;
    if (event.width == m_WindowWidth && event.height == m_WindowHeight)
        return;
    FitToSize(form, event.width, event.height);
}

// The fitting rule: the proposed size gives a character size (3 to 36 pixels each way), the
// face offers its nearest size, and the window takes exactly Cols x Rows cells of it.
void tX11Window::FitToSize(tMyForm& form, int width, int height) {
    if (Lost())
        return;
    tFontSize wanted{std::clamp(width / m_Cols, kMinFontPixels, kMaxFontPixels),
                     std::clamp(height / m_Rows, kMinFontPixels, kMaxFontPixels)};
    tFontSize chosen = m_Font->NearestSize(wanted);
    if (!(chosen == m_FontSize))
        ApplyFontSize(form, chosen);
    int fittedWidth = m_CellWidth * m_Cols;
    int fittedHeight = m_CellHeight * m_Rows;
    m_WindowWidth = width;
    m_WindowHeight = height;
    // Ask once per size: a window manager that refuses must not start a resize loop.
    if ((fittedWidth != width || fittedHeight != height) &&
        (fittedWidth != m_LastAskedWidth || fittedHeight != m_LastAskedHeight)) {
        m_LastAskedWidth = fittedWidth;
        m_LastAskedHeight = fittedHeight;
        XResizeWindow(m_Display, m_Window, unsigned(fittedWidth), unsigned(fittedHeight));
    }
    PaintMargins();
    form.PaintAll();
}

void tX11Window::ApplyFontSize(tMyForm& form, tFontSize size) {
    if (Lost())
        return;
    if (!m_Font->Open(size))
        return;
    HideCaret();
    m_FontSize = size;
    m_CellWidth = m_Font->CellWidth();
    m_CellHeight = m_Font->CellHeight();
    form.Settings().FontWidth = size.Width;
    form.Settings().FontHeight = size.Height;
}

void tX11Window::ApplyFont(tMyForm& form) {
    if (Lost())
        return;
    if (!m_Window)
        return;
    const tHostSettings& settings = form.Settings();
    HideCaret();
    m_Font->ChooseFace(Cp866ToUtf8(settings.FontName), settings.FontWeight);
    tFontSize size = m_Font->NearestSize({settings.FontWidth, settings.FontHeight});
    m_FontSize = {};
    ApplyFontSize(form, size);
    SetSizeHints(form);
    m_LastAskedWidth = m_CellWidth * m_Cols;
    m_LastAskedHeight = m_CellHeight * m_Rows;
    XResizeWindow(m_Display, m_Window, unsigned(m_LastAskedWidth), unsigned(m_LastAskedHeight));
    form.PaintAll();
}

void tX11Window::HandleFocus(bool focused) {
    if (focused == m_Focused)
        return;
    if (m_InputContext) {
        if (focused)
            XSetICFocus(m_InputContext);
        else
            XUnsetICFocus(m_InputContext);
    }
    HideCaret();
    m_Focused = focused;
    // Keys released while another window had the focus never reported it.
    m_KeysDown.fill(false);
    m_BlinkOn = true;
    m_NextBlink = TickMs() + kBlinkMilliseconds;
    ShowCaret();
}

int tX11Window::MillisecondsToBlink() const {
    if (!m_CaretWanted || !m_Focused)
        return -1;
    long long left = m_NextBlink - TickMs();
    return int(std::clamp(left, 0LL, (long long)kBlinkMilliseconds));
}

void tX11Window::Blink() {
    if (!m_CaretWanted || !m_Focused)
        return;
    long long now = TickMs();
    if (now < m_NextBlink)
        return;
    HideCaret();
    m_BlinkOn = !m_BlinkOn;
    m_NextBlink = now + kBlinkMilliseconds;
    ShowCaret();
}

void tX11Window::RestoreSurface() {
    if (Lost())
        return;
    if (!m_Display || !m_Window)
        return;
    XMapRaised(m_Display, m_Window);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = m_Window;
    event.xclient.message_type = XInternAtom(m_Display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // from an application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_Display, RootWindow(m_Display, m_Screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(m_Display);
}

// The saved position is the outer window's, so the frame the window manager added is
// taken off the client's position on the screen.
void tX11Window::SavePosition(tMyForm& form) {
    if (!m_Window || DisplayLost(m_Display))
        return;
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(m_Display, m_Window, RootWindow(m_Display, m_Screen), 0, 0, &x, &y,
                               &child))
        return;
    Atom extentsAtom = XInternAtom(m_Display, "_NET_FRAME_EXTENTS", True);
    if (extentsAtom != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_Display, m_Window, extentsAtom, 0, 4, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data && format == 32 && count == 4) {
            const long* extents = reinterpret_cast<const long*>(data);
            x -= int(extents[0]);
            y -= int(extents[2]);
        }
        if (data)
            XFree(data);
    }
    form.Settings().ScreenLeft = x;
    form.Settings().ScreenTop = y;
}

} // namespace zarvo
