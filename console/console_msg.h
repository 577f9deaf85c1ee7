// The two records of the driver layer: TConsoleMsg, the input record a host queues for the
// run thread, and TEventRec, the event every view receives; plus their numbers and codes.
// Hosts speak in Windows message numbers, virtual-key codes and PC scan codes so that one
// set of key tables serves the window, the terminal and the headless console alike.
#pragma once

#include <cstdint>
#include <cstring>

#include "library/rect.h"

namespace zarvo {

struct TConsoleMsg {
    std::uint32_t message = 0; // 0 = no message
    std::uint32_t wParam = 0;  // virtual key, CP866 character, or mouse flags
    std::uint32_t lParam = 0;  // key data (repeat, scan, Alt bit 29) or mouse cells
    std::uint32_t shift = 0;   // modifier set (mod*)
};

// Host message numbers.
inline constexpr std::uint32_t WM_NULL = 0;
inline constexpr std::uint32_t WM_CLOSE = 16;
inline constexpr std::uint32_t WM_QUERYENDSESSION = 17;
inline constexpr std::uint32_t WM_QUIT = 18;
inline constexpr std::uint32_t WM_ENDSESSION = 22;
inline constexpr std::uint32_t WM_KEYDOWN = 256;
inline constexpr std::uint32_t WM_KEYUP = 257;
inline constexpr std::uint32_t WM_CHAR = 258;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 260;
inline constexpr std::uint32_t WM_SYSKEYUP = 261;
inline constexpr std::uint32_t WM_SYSCHAR = 262;
inline constexpr std::uint32_t WM_KEYLAST = 264;
inline constexpr std::uint32_t WM_TIMER = 275;
inline constexpr std::uint32_t WM_MOUSEMOVE = 512;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 513;
inline constexpr std::uint32_t WM_LBUTTONUP = 514;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 515;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 516;
inline constexpr std::uint32_t WM_RBUTTONUP = 517;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 518;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 519;
inline constexpr std::uint32_t WM_MBUTTONUP = 520;
inline constexpr std::uint32_t WM_MBUTTONDBLCLK = 521;
inline constexpr std::uint32_t WM_MOUSEWHEEL = 522;
inline constexpr std::uint32_t WM_CAPTURECHANGED = 533;

// Private host messages.
inline constexpr std::uint32_t HM_TRAYNOTIFY = 0x0401;
inline constexpr std::uint32_t HM_TRAYADD = 0x0402;
inline constexpr std::uint32_t HM_REPAINT = 0xB200;
inline constexpr std::uint32_t HM_CURSOR = 0xB201;
inline constexpr std::uint32_t HM_FONT = 0xB202;
inline constexpr std::uint32_t HM_WAKE = 0xB203;
inline constexpr std::uint32_t HM_CLOSEANSWER = 0xB204;
// Host -> reading thread: the screen is now wParam columns by lParam rows.
inline constexpr std::uint32_t HM_SCREENSIZE = 0xB205;
// Host -> reading thread: the operator typed (lParam 0) or pasted (lParam 1) text with the
// character wParam (a code point) that CP866 lacks; none of that text was typed.
inline constexpr std::uint32_t HM_UNTYPABLE = 0xB206;
// What OnMessage sees once the console has the new size: LOWORD(lParam) columns,
// HIWORD(lParam) rows, as a window hears of its new client size.
inline constexpr std::uint32_t WM_SIZE = 5;

// TConsoleMsg.shift: the host modifier set.
inline constexpr std::uint32_t modShift = 1;
inline constexpr std::uint32_t modAlt = 2;
inline constexpr std::uint32_t modCtrl = 4;
inline constexpr std::uint32_t modLeft = 8;
inline constexpr std::uint32_t modRight = 16;
inline constexpr std::uint32_t modMiddle = 32;
inline constexpr std::uint32_t modDouble = 64;

// TConsoleMsg.wParam of mouse messages.
inline constexpr std::uint32_t MK_LBUTTON = 1;
inline constexpr std::uint32_t MK_RBUTTON = 2;
inline constexpr std::uint32_t MK_SHIFT = 4;
inline constexpr std::uint32_t MK_CONTROL = 8;
inline constexpr std::uint32_t MK_MBUTTON = 16;

// The modifier set of a mouse record from its wParam (Alt is not in wParam: the host adds it).
constexpr std::uint32_t ModifiersOfMouseKeys(std::uint32_t wParam) {
    return ((wParam & MK_SHIFT) ? modShift : 0) | ((wParam & MK_CONTROL) ? modCtrl : 0) |
           ((wParam & MK_LBUTTON) ? modLeft : 0) | ((wParam & MK_RBUTTON) ? modRight : 0) |
           ((wParam & MK_MBUTTON) ? modMiddle : 0);
}

// One notch of the wheel, as WM_MOUSEWHEEL carries it in the high half of wParam.
inline constexpr int kWheelStep = 120;

// A press completes a double click when the previous press was of the same button, at most
// kDoubleClickTime ms before and within Reach (pixels or cells, as the host measures) in
// each direction, and did not itself complete one.
inline constexpr std::uint32_t kDoubleClickTime = 500;
struct tMousePress {
    std::uint32_t Button = 0; // 0: none yet
    int X = 0;
    int Y = 0;
    std::uint32_t Time = 0; // milliseconds; differences taken modulo 2^32
    bool CompletedDouble = false;
};
constexpr bool CompletesDoubleClick(const tMousePress& previous, const tMousePress& press,
                                    int reach) {
    auto near = [reach](int a, int b) { return a - b <= reach && b - a <= reach; };
    return previous.Button != 0 && !previous.CompletedDouble && press.Button == previous.Button &&
           std::uint32_t(press.Time - previous.Time) <= kDoubleClickTime &&
           near(press.X, previous.X) && near(press.Y, previous.Y);
}

// Keyboard records: WM_KEYDOWN through WM_KEYLAST.
constexpr bool IsKeyboardMessage(std::uint32_t message) {
    return message >= WM_KEYDOWN && message <= WM_KEYLAST;
}

// Key data in lParam: repeat count in bits 0-15, scan code in bits 16-23, Alt held in bit 29.
inline constexpr std::uint32_t kKeyDataAltBit = 1u << 29;
constexpr std::uint32_t MakeKeyData(std::uint8_t scan, std::uint16_t repeat = 1, bool alt = false) {
    return std::uint32_t(repeat) | (std::uint32_t(scan) << 16) | (alt ? kKeyDataAltBit : 0);
}
constexpr std::uint8_t ScanCodeOf(std::uint32_t lParam) {
    return std::uint8_t(lParam >> 16);
}
constexpr std::uint16_t RepeatCountOf(std::uint32_t lParam) {
    return std::uint16_t(lParam);
}

// Mouse position in lParam, already in cells: column in bits 0-15, row in bits 16-31.
constexpr std::uint32_t MakeMouseData(int column, int row) {
    return std::uint32_t(std::uint16_t(column)) | (std::uint32_t(std::uint16_t(row)) << 16);
}

// Windows virtual-key codes the key tables use ('0'-'9' and 'A'-'Z' are their characters).
inline constexpr std::uint32_t VK_CANCEL = 3; // Ctrl+Break
inline constexpr std::uint32_t VK_BACK = 8;
inline constexpr std::uint32_t VK_TAB = 9;
inline constexpr std::uint32_t VK_RETURN = 13;
inline constexpr std::uint32_t VK_SHIFT = 16;
inline constexpr std::uint32_t VK_CONTROL = 17;
inline constexpr std::uint32_t VK_MENU = 18; // Alt
inline constexpr std::uint32_t VK_PAUSE = 19;
inline constexpr std::uint32_t VK_CAPITAL = 20;
inline constexpr std::uint32_t VK_ESCAPE = 27;
inline constexpr std::uint32_t VK_SPACE = 32;
inline constexpr std::uint32_t VK_PRIOR = 33; // PgUp
inline constexpr std::uint32_t VK_NEXT = 34;  // PgDn
inline constexpr std::uint32_t VK_END = 35;
inline constexpr std::uint32_t VK_HOME = 36;
inline constexpr std::uint32_t VK_LEFT = 37;
inline constexpr std::uint32_t VK_UP = 38;
inline constexpr std::uint32_t VK_RIGHT = 39;
inline constexpr std::uint32_t VK_DOWN = 40;
inline constexpr std::uint32_t VK_INSERT = 45;
inline constexpr std::uint32_t VK_DELETE = 46;
inline constexpr std::uint32_t VK_NUMPAD0 = 96; // to VK_NUMPAD9 = 105
inline constexpr std::uint32_t VK_MULTIPLY = 106;
inline constexpr std::uint32_t VK_ADD = 107;
inline constexpr std::uint32_t VK_SUBTRACT = 109;
inline constexpr std::uint32_t VK_DECIMAL = 110;
inline constexpr std::uint32_t VK_DIVIDE = 111;
inline constexpr std::uint32_t VK_F1 = 112; // to VK_F12 = 123
inline constexpr std::uint32_t VK_F10 = 121;
inline constexpr std::uint32_t VK_F11 = 122;
inline constexpr std::uint32_t VK_F12 = 123;
inline constexpr std::uint32_t VK_NUMLOCK = 144;
inline constexpr std::uint32_t VK_OEM_1 = 186;      // ; :
inline constexpr std::uint32_t VK_OEM_PLUS = 187;   // = +
inline constexpr std::uint32_t VK_OEM_COMMA = 188;  // , <
inline constexpr std::uint32_t VK_OEM_MINUS = 189;  // - _
inline constexpr std::uint32_t VK_OEM_PERIOD = 190; // . >
inline constexpr std::uint32_t VK_OEM_2 = 191;      // / ?
inline constexpr std::uint32_t VK_OEM_3 = 192;      // ` ~
inline constexpr std::uint32_t VK_OEM_4 = 219;      // [ {
inline constexpr std::uint32_t VK_OEM_5 = 220;      // \ |
inline constexpr std::uint32_t VK_OEM_6 = 221;      // ] }
inline constexpr std::uint32_t VK_OEM_7 = 222;      // ' "

// Event kinds (TEventRec.what).
inline constexpr std::uint16_t evtNothing = 0x0000;
inline constexpr std::uint16_t evtMouseDown = 0x0001;
inline constexpr std::uint16_t evtMouseUp = 0x0002;
inline constexpr std::uint16_t evtMouseMove = 0x0004;
inline constexpr std::uint16_t evtMouseRepeat = 0x0008;
inline constexpr std::uint16_t evtKeyDown = 0x0010;
inline constexpr std::uint16_t evtCommand = 0x0100;
inline constexpr std::uint16_t evtBroadcast = 0x0200;
inline constexpr std::uint16_t evtIdle = 0x0400;

// TEventRec shiftState.
inline constexpr std::uint16_t shiftRight = 1;
inline constexpr std::uint16_t shiftLeft = 2;
inline constexpr std::uint16_t shiftCtrl = 4;
inline constexpr std::uint16_t shiftAlt = 8;

// TEventRec mouse buttons.
inline constexpr std::uint8_t mbLeftButton = 1;
inline constexpr std::uint8_t mbRightButton = 2;
inline constexpr std::uint8_t mbMiddleButton = 4;

// Commands this layer produces.
inline constexpr std::uint16_t cmdQuit = 1;
inline constexpr std::uint16_t cmdPendingEvent = 0x4807;
// A focused event: the text of HM_UNTYPABLE was refused; info is UntypableInfo(...).
inline constexpr std::uint16_t cmdUntypable = 0x4808;

struct tUntypable {
    char32_t Code; // the character CP866 lacks
    bool Pasted;   // pasted text, not a typed key
};
inline void* UntypableInfo(tUntypable untypable) {
    return reinterpret_cast<void*>(std::uintptr_t(untypable.Code) |
                                   (untypable.Pasted ? std::uintptr_t(1) << 31 : 0));
}
// The host's record of a refused text.
inline TConsoleMsg UntypableRecord(tUntypable untypable) {
    return {HM_UNTYPABLE, std::uint32_t(untypable.Code), untypable.Pasted ? 1u : 0u, 0};
}
inline tUntypable UntypableOf(const void* info) {
    auto bits = reinterpret_cast<std::uintptr_t>(info);
    return {char32_t(bits & 0x7FFFFFFF), (bits >> 31 & 1) != 0};
}

struct tKeyEventData {
    std::uint16_t keyCode;    // character low, scan code high
    std::uint16_t shiftState; // shift* bits
};

struct tMouseEventData {
    std::uint8_t buttons;     // mb*Button bits
    std::uint8_t doubleClick; // 1 when the press completed a double click
    tPoint where;             // cell column and row on the screen
};

struct tMessageEventData {
    std::uint16_t command;
    void* info; // pointer-sized: a pointer or an integer argument
};

// The event: what, then one of three variants sharing storage. Cleared means all zero.
struct TEventRec {
    std::uint16_t what = evtNothing;
    union {
        tKeyEventData key;
        tMouseEventData mouse;
        tMessageEventData message;
    };
    TEventRec() : message{0, nullptr} { Clear(); }
    // Every byte, padding included: views may look at any variant of an empty event.
    void Clear() { std::memset(static_cast<void*>(this), 0, sizeof *this); }
};

} // namespace zarvo
