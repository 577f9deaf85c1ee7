// The window host's paste: Shift+Insert and Ctrl+V take the clipboard, a middle click the
// primary selection (the text last marked anywhere on the display).
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include "console/pasted_text.h"
#include "console/x11/x11_keys.h"
#include "console/x11/x11_window.h"
#include "platform/cp866.h"

namespace zarvo {

namespace {

// Where the selection's owner puts its answer on our window.
constexpr const char* kPasteProperty = "ZARVO_PASTE";
// More than a line can hold, and still one request.
constexpr long kMostPasteLongs = 4096;

} // namespace

bool tX11Window::IsPasteKey(const XKeyEvent& event, KeySym keysym) const {
    const unsigned modifiers = event.state & (ShiftMask | ControlMask | Mod1Mask);
    if ((keysym == XK_Insert || keysym == XK_KP_Insert) && modifiers == ShiftMask)
        return true;
    // By key position, as the other Ctrl combinations, whatever the layout.
    return modifiers == ControlMask &&
           PhysicalKeyOf(event.keycode, false).VirtualKey == std::uint8_t('V');
}

void tX11Window::RequestPaste(Atom selection, Time time) {
    if (Lost() || m_Window == 0)
        return;
    m_PasteTarget = XInternAtom(m_Display, "UTF8_STRING", False);
    m_PasteTime = time;
    XConvertSelection(m_Display, selection, m_PasteTarget,
                      XInternAtom(m_Display, kPasteProperty, False), m_Window, time);
}

void tX11Window::HandlePasteReady(tMyForm& form, const XSelectionEvent& event) {
    if (m_PasteTarget == 0 || event.requestor != m_Window)
        return;
    const Atom utf8 = XInternAtom(m_Display, "UTF8_STRING", False);
    if (event.property == None) {
        // The owner knows no UTF-8: once more as Latin-1; nothing at all ends the request.
        if (m_PasteTarget == utf8) {
            m_PasteTarget = XA_STRING;
            XConvertSelection(m_Display, event.selection, XA_STRING,
                              XInternAtom(m_Display, kPasteProperty, False), m_Window, m_PasteTime);
        } else {
            m_PasteTarget = 0;
        }
        return;
    }
    const Atom asked = m_PasteTarget;
    m_PasteTarget = 0;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_Display, m_Window, event.property, 0, kMostPasteLongs, True,
                           AnyPropertyType, &type, &format, &count, &after, &data) != Success)
        return;
    std::string text;
    // An answer in pieces (INCR) is far more than a line: it is not taken.
    if (data != nullptr && format == 8 && (type == utf8 || type == XA_STRING)) {
        text.assign(reinterpret_cast<const char*>(data), count);
        if (type == XA_STRING && asked == XA_STRING) {
            std::string converted;
            for (unsigned char c : text)
                AppendUtf8(converted, c);
            text = converted;
        }
    }
    if (data != nullptr)
        XFree(data);
    QueuePastedText(form, text);
}

} // namespace zarvo
