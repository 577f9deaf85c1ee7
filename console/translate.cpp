// TranslateConsoleMsg: host input records to events, through the key tables, plus the
// mouse's double-click and auto-repeat state.
#include <array>

#include "console/console.h"
#include "console/key_codes.h"
#include "library/clocks.h"

namespace zarvo {
namespace {

struct tKeyEntry {
    std::uint8_t key;
    std::uint16_t code;
};

// The Alt (system-key) table: virtual key to key code, 0 = no event.
constexpr std::array<std::uint16_t, 256> MakeAltTable() {
    std::array<std::uint16_t, 256> table{};
    table[VK_BACK] = 0x0800;
    table[VK_TAB] = 0xA500;
    table[VK_RETURN] = kKeyEnter;
    table[VK_ESCAPE] = kKeyEsc;
    table[VK_SPACE] = 0x0200;
    constexpr std::uint16_t moves[] = {0x9900, 0xA100, 0x9F00, 0x9700,
                                       0x9B00, 0x9800, 0x9D00, 0xA000};
    for (int i = 0; i < 8; ++i)
        table[VK_PRIOR + i] = moves[i];
    table[VK_INSERT] = 0xA200;
    table[VK_DELETE] = 0xA300;
    table['0'] = kKeyAlt0;
    for (int i = 0; i < 9; ++i)
        table['1' + i] = std::uint16_t((0x78 + i) << 8);
    constexpr std::uint8_t letters[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17,
                                          0x24, 0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13,
                                          0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int i = 0; i < 26; ++i)
        table['A' + i] = std::uint16_t(letters[i] << 8);
    table[VK_MULTIPLY] = 0x372A;
    table[VK_ADD] = 0x4E2B;
    table[VK_SUBTRACT] = 0x4A2D;
    table[VK_DIVIDE] = 0x352F;
    for (int i = 0; i < 10; ++i)
        table[VK_F1 + i] = std::uint16_t((0x68 + i) << 8);
    table[VK_F11] = kKeyAltF11;
    table[VK_F12] = kKeyAltF12;
    constexpr std::uint16_t punctuation[] = {0x2700, kKeyAltEqual, 0x3300, kKeyAltMinus,
                                             0x3400, 0x3500,       0x2900};
    for (int i = 0; i < 7; ++i)
        table[VK_OEM_1 + i] = punctuation[i];
    table[VK_OEM_4] = 0x1A00;
    table[VK_OEM_5] = 0x2B00;
    table[VK_OEM_6] = 0x1B00;
    table[VK_OEM_7] = 0x2800;
    return table;
}
constexpr std::array<std::uint16_t, 256> kAltKeys = MakeAltTable();

constexpr tKeyEntry kCtrlKeys[] = {
    {VK_CANCEL, 0x3921},      {VK_PRIOR, kKeyCtrlPgUp},  {VK_NEXT, kKeyCtrlPgDn},
    {VK_END, kKeyCtrlEnd},    {VK_HOME, kKeyCtrlHome},   {VK_LEFT, kKeyCtrlLeft},
    {VK_UP, kKeyCtrlUp},      {VK_RIGHT, kKeyCtrlRight}, {VK_DOWN, kKeyCtrlDown},
    {VK_INSERT, kKeyCtrlIns}, {VK_DELETE, kKeyCtrlDel},  {'2', kKeyCtrl2},
    {'P', kKeyCtrlP},         {'Q', kKeyCtrlQ},          {VK_F11, kKeyCtrlF11},
    {VK_F12, kKeyCtrlF12},
};
constexpr tKeyEntry kCtrlShiftKeys[] = {
    {VK_BACK, kKeyCtrlBackspace}, {VK_RETURN, kKeyCtrlEnter}, {VK_SPACE, kKeySpace},
    {VK_OEM_4, 0x1A1B},           {VK_OEM_5, 0x2B1C},         {VK_OEM_6, 0x1B1D},
};
constexpr tKeyEntry kCtrlOnlyKeys[] = {{'6', kKeyCtrl6}, {VK_OEM_MINUS, kKeyCtrlMinus}};
constexpr tKeyEntry kShiftKeys[] = {
    {VK_ESCAPE, kKeyEsc},      {VK_PRIOR, kKeyPgUp},      {VK_NEXT, kKeyPgDn},
    {VK_END, kKeyEnd},         {VK_HOME, kKeyHome},       {VK_LEFT, kKeyLeft},
    {VK_UP, kKeyUp},           {VK_RIGHT, kKeyRight},     {VK_DOWN, kKeyDown},
    {VK_INSERT, kKeyShiftIns}, {VK_DELETE, kKeyShiftDel}, {VK_F11, kKeyShiftF11},
    {VK_F12, kKeyShiftF12},
};
constexpr tKeyEntry kPlainKeys[] = {
    {VK_ESCAPE, kKeyEsc}, {VK_DECIMAL, 0x002E}, {VK_F11, kKeyF11}, {VK_F12, kKeyF12}};

template <std::size_t N> std::uint16_t Lookup(const tKeyEntry (&table)[N], std::uint32_t key) {
    for (const tKeyEntry& entry : table)
        if (entry.key == key)
            return entry.code;
    return 0;
}

bool IsFunctionKey(std::uint32_t key) {
    return key >= VK_F1 && key < VK_F1 + 10;
}

std::uint16_t SystemKeyCode(std::uint32_t key, std::uint16_t shift) {
    if (key == VK_F10) {
        if (shift & (shiftLeft | shiftRight))
            return kKeyShiftF10;
        if (shift & shiftAlt)
            return kKeyAltF10;
        if (shift & shiftCtrl)
            return kKeyCtrlF10;
        return kKeyF10;
    }
    return key < 256 ? kAltKeys[key] : 0;
}

std::uint16_t KeyDownCode(std::uint32_t key, std::uint8_t scan, std::uint16_t shift) {
    if (shift & shiftAlt)
        return SystemKeyCode(key, shift);
    bool withShift = (shift & (shiftLeft | shiftRight)) != 0;
    if (shift & shiftCtrl) {
        if (std::uint16_t code = Lookup(kCtrlKeys, key))
            return code;
        if (IsFunctionKey(key))
            return std::uint16_t((scan + 0x23) << 8);
        return withShift ? Lookup(kCtrlShiftKeys, key) : Lookup(kCtrlOnlyKeys, key);
    }
    if (IsFunctionKey(key))
        return std::uint16_t((scan + (withShift ? 0x19 : 0)) << 8);
    if (withShift)
        return Lookup(kShiftKeys, key);
    if ((key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE)
        return std::uint16_t(scan << 8);
    return Lookup(kPlainKeys, key);
}

std::uint16_t CharCode(const TConsoleMsg& msg, std::uint16_t shift) {
    std::uint8_t ch = std::uint8_t(msg.wParam);
    std::uint8_t scan = ScanCodeOf(msg.lParam);
    if (scan == 15 && ch == 9 && (shift & (shiftLeft | shiftRight)))
        return kKeyShiftTab;
    return std::uint16_t(ch | (scan << 8));
}

bool IsDroppedKey(const TConsoleMsg& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
        return msg.wParam == VK_SHIFT || msg.wParam == VK_CONTROL;
    case WM_SYSKEYDOWN:
        return msg.wParam == VK_MENU;
    case WM_CHAR: {
        std::uint8_t ch = std::uint8_t(msg.wParam);
        if (ch == 16 || ch == 17 || ch == 27 || ch == 3)
            return true;
        return (ch == ',' || ch == '.') && ScanCodeOf(msg.lParam) == 0x53;
    }
    default:
        return false;
    }
}

// Mouse state of the run thread.
TEventRec gLastMouse;
std::uint32_t gRepeatStart = 0;
std::uint32_t gRepeatDelay = 0;
tConsoleClock gClock = GetTickCount32;

void TranslateMouse(const TConsoleMsg& msg, TEventRec& event) {
    std::uint8_t doubleClick = 0;
    switch (msg.message) {
    case WM_MOUSEMOVE:
        event.what = evtMouseMove;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        event.what = evtMouseUp;
        doubleClick = gLastMouse.what & 0x000F ? gLastMouse.mouse.doubleClick : 0;
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        event.what = evtMouseDown;
        doubleClick = 1;
        break;
    default:
        event.what = evtMouseDown;
        break;
    }
    std::uint8_t buttons = 0;
    if (msg.wParam & MK_LBUTTON)
        buttons |= mbLeftButton;
    if (msg.wParam & MK_RBUTTON)
        buttons |= mbRightButton;
    if (msg.wParam & MK_MBUTTON)
        buttons |= mbMiddleButton;
    event.mouse = {buttons, doubleClick,
                   tPoint{std::int16_t(msg.lParam & 0xFFFF), std::int16_t(msg.lParam >> 16)}};
    if (event.what == evtMouseDown) {
        gRepeatDelay = 440;
        gRepeatStart = gClock();
    }
    gLastMouse = event;
}

void TranslateOther(const TConsoleMsg& msg, TEventRec& event) {
    switch (msg.message) {
    case WM_NULL:
    case WM_TIMER: {
        bool held = gLastMouse.what == evtMouseDown ||
                    (gLastMouse.what == evtMouseMove && gLastMouse.mouse.buttons != 0);
        std::uint32_t now = gClock();
        if (held && now - gRepeatStart >= gRepeatDelay) {
            event = gLastMouse;
            event.what = evtMouseRepeat;
            gRepeatDelay = 55;
            gRepeatStart = now;
        } else if (msg.message == WM_TIMER) {
            event.what = evtIdle;
        }
        break;
    }
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
        event.what = evtCommand;
        event.message = {cmdQuit, nullptr};
        break;
    case HM_WAKE:
        event.what = evtCommand;
        event.message = {cmdPendingEvent, nullptr};
        break;
    case HM_UNTYPABLE:
        event.what = evtCommand;
        event.message = {cmdUntypable, UntypableInfo({char32_t(msg.wParam), msg.lParam != 0})};
        break;
    default:
        break;
    }
}

} // namespace

std::uint16_t ShiftStateFromModifiers(std::uint32_t shift) {
    std::uint16_t state = 0;
    if (shift & modShift)
        state |= shiftRight | shiftLeft;
    if (shift & modAlt)
        state |= shiftAlt;
    if (shift & modCtrl)
        state |= shiftCtrl;
    return state;
}

void TranslateConsoleMsg(const TConsoleMsg& msg, TEventRec& event) {
    event.Clear();
    if (IsDroppedKey(msg))
        return;
    if (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MBUTTONDBLCLK) {
        TranslateMouse(msg, event);
        return;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_CHAR && msg.message != WM_SYSKEYDOWN) {
        TranslateOther(msg, event);
        return;
    }
    std::uint16_t shift = ShiftStateFromModifiers(msg.shift);
    std::uint16_t code = 0;
    if (msg.message == WM_KEYDOWN)
        code = KeyDownCode(msg.wParam, ScanCodeOf(msg.lParam), shift);
    else if (msg.message == WM_SYSKEYDOWN)
        code = SystemKeyCode(msg.wParam, shift);
    else
        code = CharCode(msg, shift);
    if (code != 0) {
        event.what = evtKeyDown;
        event.key = {code, shift};
    }
}

void SetConsoleClock(tConsoleClock clock) {
    gClock = clock ? clock : GetTickCount32;
}

void ResetConsoleMouseState() {
    gLastMouse.Clear();
    gRepeatStart = 0;
    gRepeatDelay = 0;
}

} // namespace zarvo
