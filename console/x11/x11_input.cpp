// The window host's keyboard and mouse: X events become the driver layer's input records.
// Key codes come from the physical key, characters from the keyboard layout.
#include "console/x11/x11_window.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include "console/keyboard.h"
#include "console/pasted_text.h"
#include "console/x11/x11_keys.h"

namespace zarvo {

namespace {

// How far (in pixels) the second press of a double click may be from the first.
constexpr int kDoubleClickDistance = 2;

bool IsKeypadDigit(KeySym keysym) {
    return (keysym >= XK_KP_0 && keysym <= XK_KP_9) || keysym == XK_KP_Decimal ||
           keysym == XK_KP_Separator;
}

} // namespace

void tX11Window::TrackModifiers(unsigned state) {
    std::uint32_t held = 0;
    if (state & ShiftMask)
        held |= modShift;
    if (state & ControlMask)
        held |= modCtrl;
    if (state & Mod1Mask)
        held |= modAlt;
    m_HeldModifiers = held;
}

std::string tX11Window::TypedText(XKeyEvent& event, KeySym& keysym) {
    char buffer[64];
    keysym = NoSymbol;
    std::string text;
    if (m_InputContext) {
        Status status = XLookupNone;
        int length =
            Xutf8LookupString(m_InputContext, &event, buffer, sizeof buffer, &keysym, &status);
        if (status == XBufferOverflow) {
            std::string large(std::size_t(length), '\0');
            length =
                Xutf8LookupString(m_InputContext, &event, large.data(), length, &keysym, &status);
            large.resize(std::size_t(std::max(0, length)));
            text = large;
        } else if (status == XLookupChars || status == XLookupBoth) {
            text.assign(buffer, std::size_t(std::max(0, length)));
        }
        if (status != XLookupKeySym && status != XLookupBoth)
            keysym = XLookupKeysym(&event, 0);
    } else {
        // Without an input method only ASCII is certain to come out right.
        int length = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
        for (int i = 0; i < length; ++i)
            if (std::uint8_t(buffer[i]) < 0x80)
                text += buffer[i];
    }
    if (keysym == XK_ISO_Left_Tab)
        text = "\t"; // Shift+Tab types a tab, which the driver layer turns into back-tab
    return text;
}

void tX11Window::HandleKey(tMyForm& form, XKeyEvent& event) {
    TrackModifiers(event.state);
    bool pressed = event.type == KeyPress;
    KeySym keysym = NoSymbol;
    std::string text;
    if (pressed) {
        text = TypedText(event, keysym);
    } else {
        char ignored[8];
        XLookupString(&event, ignored, sizeof ignored, &keysym, nullptr);
    }
    tPhysicalKey key = PhysicalKeyOf(event.keycode, IsKeypadDigit(keysym));
    bool alt = (event.state & Mod1Mask) != 0 || key.VirtualKey == vkMenu;
    bool wasDown = m_KeysDown[event.keycode & 0xFF];
    m_KeysDown[event.keycode & 0xFF] = pressed;
    std::uint32_t shift = 0;
    if (event.state & ShiftMask)
        shift |= modShift;
    if (event.state & ControlMask)
        shift |= modCtrl;
    if (alt)
        shift |= modAlt;
    std::uint32_t lParam = KeyData(key, alt, wasDown, !pressed);
    if (pressed && IsPasteKey(event, keysym)) {
        RequestPaste(XInternAtom(m_Display, "CLIPBOARD", False), event.time);
        return;
    }
    if (key.VirtualKey != 0) {
        // F10 is a system key on its own, as Alt combinations are.
        bool system = alt || key.VirtualKey == vkF10;
        std::uint32_t message =
            pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
        form.QueueInput({message, key.VirtualKey, lParam, shift});
    }
    if (!pressed)
        return;
    if ((event.state & ControlMask) && !alt) {
        // By key position, whatever the layout; nothing where the key-down makes the event.
        int control = CtrlCharacterOfKey(key.VirtualKey, (event.state & ShiftMask) != 0);
        text = control < 0 ? std::string() : std::string(1, char(control));
    }
    if (char32_t code = FirstUntypable(text); code != 0 && !alt) {
        // Told, not dropped: a name typed without it would be another name.
        form.QueueInput(UntypableRecord({code, false}));
        return;
    }
    for (char c : TypedTextToCp866(text)) {
        // Delete types DEL in X but nothing on the desktop the key tables were made for.
        if (c == 0 || (c == 0x7F && !(event.state & ControlMask)))
            continue;
        form.QueueInput({alt ? WM_SYSCHAR : WM_CHAR, std::uint8_t(c), lParam, shift});
    }
}

std::uint32_t tX11Window::MouseFlags(unsigned state) const {
    std::uint32_t flags = 0;
    if (state & Button1Mask)
        flags |= MK_LBUTTON;
    if (state & Button3Mask)
        flags |= MK_RBUTTON;
    if (state & Button2Mask)
        flags |= MK_MBUTTON;
    if (state & ShiftMask)
        flags |= MK_SHIFT;
    if (state & ControlMask)
        flags |= MK_CONTROL;
    return flags;
}

void tX11Window::QueueMouse(tMyForm& form, std::uint32_t message, std::uint32_t flags, int x, int y,
                            unsigned state) {
    // Division as the key tables' platform did it: toward zero, also left of the window.
    int column = m_CellWidth > 0 ? x / m_CellWidth : 0;
    int row = m_CellHeight > 0 ? y / m_CellHeight : 0;
    std::uint32_t shift = ModifiersOfMouseKeys(flags);
    if (state & Mod1Mask)
        shift |= modAlt;
    m_LastMouseColumn = column;
    m_LastMouseRow = row;
    m_LastMouseFlags = flags;
    std::uint32_t lParam = MakeMouseData(column, row);
    form.QueueInput({message, flags, lParam, message == WM_MOUSEWHEEL ? 0 : shift});
}

void tX11Window::HandleButton(tMyForm& form, const XButtonEvent& event) {
    TrackModifiers(event.state);
    bool pressed = event.type == ButtonPress;
    std::uint32_t flags = MouseFlags(event.state);
    if (event.button == Button4 || event.button == Button5) {
        if (!pressed)
            return;
        std::uint32_t delta = std::uint16_t(event.button == Button4 ? kWheelStep : -kWheelStep);
        QueueMouse(form, WM_MOUSEWHEEL, flags | (delta << 16), event.x, event.y, event.state);
        return;
    }
    std::uint32_t bit, down;
    switch (event.button) {
    case Button1:
        bit = MK_LBUTTON, down = WM_LBUTTONDOWN;
        break;
    case Button3:
        bit = MK_RBUTTON, down = WM_RBUTTONDOWN;
        break;
    case Button2:
        // The middle button pastes the text marked last, as everywhere on the display.
        if (pressed)
            RequestPaste(XA_PRIMARY, event.time);
        return;
    default:
        return;
    }
    if (!pressed) {
        QueueMouse(form, down + 1, flags & ~bit, event.x, event.y, event.state);
        return;
    }
    tMousePress press{event.button, event.x, event.y, std::uint32_t(event.time), false};
    bool isDouble = CompletesDoubleClick(m_LastPress, press, kDoubleClickDistance);
    press.CompletedDouble = isDouble;
    m_LastPress = press;
    QueueMouse(form, isDouble ? down + 2 : down, flags | bit, event.x, event.y, event.state);
}

void tX11Window::HandleMotion(tMyForm& form, const XMotionEvent& event) {
    TrackModifiers(event.state);
    std::uint32_t flags = MouseFlags(event.state);
    int column = m_CellWidth > 0 ? event.x / m_CellWidth : 0;
    int row = m_CellHeight > 0 ? event.y / m_CellHeight : 0;
    // The text UI sees cells: a move inside one cell tells it nothing new.
    if (column == m_LastMouseColumn && row == m_LastMouseRow && flags == m_LastMouseFlags)
        return;
    QueueMouse(form, WM_MOUSEMOVE, flags, event.x, event.y, event.state);
}

} // namespace zarvo
