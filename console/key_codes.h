// The key codes of keyboard events (TEventRec.key.keyCode): the character in the low byte,
// the key's scan code in the high byte; a key that types nothing has 0 below its scan code.
// The one table of names every layer and test uses, so a code is never written as a number.
#pragma once

#include <cstdint>

namespace zarvo {

// Editing and moving keys.
inline constexpr std::uint16_t kKeyEsc = 0x011B;
inline constexpr std::uint16_t kKeyBackspace = 0x0E08;
inline constexpr std::uint16_t kKeyTab = 0x0F09;
inline constexpr std::uint16_t kKeyShiftTab = 0x0F00;
inline constexpr std::uint16_t kKeyEnter = 0x1C0D;
inline constexpr std::uint16_t kKeySpace = 0x3920;
inline constexpr std::uint16_t kKeyHome = 0x4700;
inline constexpr std::uint16_t kKeyUp = 0x4800;
inline constexpr std::uint16_t kKeyPgUp = 0x4900;
inline constexpr std::uint16_t kKeyLeft = 0x4B00;
inline constexpr std::uint16_t kKeyRight = 0x4D00;
inline constexpr std::uint16_t kKeyEnd = 0x4F00;
inline constexpr std::uint16_t kKeyDown = 0x5000;
inline constexpr std::uint16_t kKeyPgDn = 0x5100;
inline constexpr std::uint16_t kKeyIns = 0x5200;
inline constexpr std::uint16_t kKeyDel = 0x5300;

// With Ctrl or Shift.
inline constexpr std::uint16_t kKeyCtrlIns = 0x0400;
inline constexpr std::uint16_t kKeyShiftIns = 0x0500;
inline constexpr std::uint16_t kKeyCtrlDel = 0x0600;
inline constexpr std::uint16_t kKeyShiftDel = 0x0700;
inline constexpr std::uint16_t kKeyCtrlLeft = 0x7300;
inline constexpr std::uint16_t kKeyCtrlRight = 0x7400;
inline constexpr std::uint16_t kKeyCtrlEnd = 0x7500;
inline constexpr std::uint16_t kKeyCtrlPgDn = 0x7600;
inline constexpr std::uint16_t kKeyCtrlHome = 0x7700;
inline constexpr std::uint16_t kKeyCtrlPgUp = 0x8400;

// Keys beyond the first ten function keys and the cursor block with Ctrl.
inline constexpr std::uint16_t kKeyCtrl2 = 0x0300;
inline constexpr std::uint16_t kKeyCtrl6 = 0x071E;
inline constexpr std::uint16_t kKeyCtrlMinus = 0x0C1F;
inline constexpr std::uint16_t kKeyCtrlBackspace = 0x0E7F;
inline constexpr std::uint16_t kKeyCtrlEnter = 0x1C0A;
inline constexpr std::uint16_t kKeyCtrlUp = 0x8D00;
inline constexpr std::uint16_t kKeyCtrlDown = 0x9100;
inline constexpr std::uint16_t kKeyF11 = 0x8500;
inline constexpr std::uint16_t kKeyF12 = 0x8600;
inline constexpr std::uint16_t kKeyShiftF11 = 0x8700;
inline constexpr std::uint16_t kKeyShiftF12 = 0x8800;
inline constexpr std::uint16_t kKeyCtrlF11 = 0x8900;
inline constexpr std::uint16_t kKeyCtrlF12 = 0x8A00;
inline constexpr std::uint16_t kKeyAltF11 = 0x8B00;
inline constexpr std::uint16_t kKeyAltF12 = 0x8C00;

// Function keys, alone and with Shift, Ctrl or Alt.
inline constexpr std::uint16_t kKeyF1 = 0x3B00;
inline constexpr std::uint16_t kKeyF2 = 0x3C00;
inline constexpr std::uint16_t kKeyF3 = 0x3D00;
inline constexpr std::uint16_t kKeyF4 = 0x3E00;
inline constexpr std::uint16_t kKeyF5 = 0x3F00;
inline constexpr std::uint16_t kKeyF6 = 0x4000;
inline constexpr std::uint16_t kKeyF7 = 0x4100;
inline constexpr std::uint16_t kKeyF8 = 0x4200;
inline constexpr std::uint16_t kKeyF9 = 0x4300;
inline constexpr std::uint16_t kKeyF10 = 0x4400;
inline constexpr std::uint16_t kKeyShiftF1 = 0x5400;
inline constexpr std::uint16_t kKeyShiftF2 = 0x5500;
inline constexpr std::uint16_t kKeyShiftF3 = 0x5600;
inline constexpr std::uint16_t kKeyShiftF4 = 0x5700;
inline constexpr std::uint16_t kKeyShiftF5 = 0x5800;
inline constexpr std::uint16_t kKeyShiftF6 = 0x5900;
inline constexpr std::uint16_t kKeyShiftF7 = 0x5A00;
inline constexpr std::uint16_t kKeyShiftF8 = 0x5B00;
inline constexpr std::uint16_t kKeyShiftF9 = 0x5C00;
inline constexpr std::uint16_t kKeyShiftF10 = 0x5D00;
inline constexpr std::uint16_t kKeyCtrlF1 = 0x5E00;
inline constexpr std::uint16_t kKeyCtrlF2 = 0x5F00;
inline constexpr std::uint16_t kKeyCtrlF3 = 0x6000;
inline constexpr std::uint16_t kKeyCtrlF4 = 0x6100;
inline constexpr std::uint16_t kKeyCtrlF5 = 0x6200;
inline constexpr std::uint16_t kKeyCtrlF6 = 0x6300;
inline constexpr std::uint16_t kKeyCtrlF7 = 0x6400;
inline constexpr std::uint16_t kKeyCtrlF8 = 0x6500;
inline constexpr std::uint16_t kKeyCtrlF9 = 0x6600;
inline constexpr std::uint16_t kKeyCtrlF10 = 0x6700;
inline constexpr std::uint16_t kKeyAltF1 = 0x6800;
inline constexpr std::uint16_t kKeyAltF2 = 0x6900;
inline constexpr std::uint16_t kKeyAltF3 = 0x6A00;
inline constexpr std::uint16_t kKeyAltF4 = 0x6B00;
inline constexpr std::uint16_t kKeyAltF5 = 0x6C00;
inline constexpr std::uint16_t kKeyAltF6 = 0x6D00;
inline constexpr std::uint16_t kKeyAltF7 = 0x6E00;
inline constexpr std::uint16_t kKeyAltF8 = 0x6F00;
inline constexpr std::uint16_t kKeyAltF9 = 0x7000;
inline constexpr std::uint16_t kKeyAltF10 = 0x7100;

// Alt with a digit or the two keys after it in the top row: the scan code alone.
inline constexpr std::uint16_t kKeyAlt1 = 0x7800;
inline constexpr std::uint16_t kKeyAlt2 = 0x7900;
inline constexpr std::uint16_t kKeyAlt3 = 0x7A00;
inline constexpr std::uint16_t kKeyAlt4 = 0x7B00;
inline constexpr std::uint16_t kKeyAlt5 = 0x7C00;
inline constexpr std::uint16_t kKeyAlt6 = 0x7D00;
inline constexpr std::uint16_t kKeyAlt7 = 0x7E00;
inline constexpr std::uint16_t kKeyAlt8 = 0x7F00;
inline constexpr std::uint16_t kKeyAlt9 = 0x8000;
inline constexpr std::uint16_t kKeyAlt0 = 0x8100;
inline constexpr std::uint16_t kKeyAltMinus = 0x8200;
inline constexpr std::uint16_t kKeyAltEqual = 0x8300;

// Alt with a letter key (by its Latin letter): the scan code alone.
inline constexpr std::uint16_t kKeyAltA = 0x1E00;
inline constexpr std::uint16_t kKeyAltB = 0x3000;
inline constexpr std::uint16_t kKeyAltC = 0x2E00;
inline constexpr std::uint16_t kKeyAltD = 0x2000;
inline constexpr std::uint16_t kKeyAltE = 0x1200;
inline constexpr std::uint16_t kKeyAltF = 0x2100;
inline constexpr std::uint16_t kKeyAltG = 0x2200;
inline constexpr std::uint16_t kKeyAltH = 0x2300;
inline constexpr std::uint16_t kKeyAltI = 0x1700;
inline constexpr std::uint16_t kKeyAltJ = 0x2400;
inline constexpr std::uint16_t kKeyAltK = 0x2500;
inline constexpr std::uint16_t kKeyAltL = 0x2600;
inline constexpr std::uint16_t kKeyAltM = 0x3200;
inline constexpr std::uint16_t kKeyAltN = 0x3100;
inline constexpr std::uint16_t kKeyAltO = 0x1800;
inline constexpr std::uint16_t kKeyAltP = 0x1900;
inline constexpr std::uint16_t kKeyAltQ = 0x1000;
inline constexpr std::uint16_t kKeyAltR = 0x1300;
inline constexpr std::uint16_t kKeyAltS = 0x1F00;
inline constexpr std::uint16_t kKeyAltT = 0x1400;
inline constexpr std::uint16_t kKeyAltU = 0x1600;
inline constexpr std::uint16_t kKeyAltV = 0x2F00;
inline constexpr std::uint16_t kKeyAltW = 0x1100;
inline constexpr std::uint16_t kKeyAltX = 0x2D00;
inline constexpr std::uint16_t kKeyAltY = 0x1500;
inline constexpr std::uint16_t kKeyAltZ = 0x2C00;

// Ctrl with a letter key: its scan code and the control character 1-26.
inline constexpr std::uint16_t kKeyCtrlA = 0x1E01;
inline constexpr std::uint16_t kKeyCtrlB = 0x3002;
inline constexpr std::uint16_t kKeyCtrlC = 0x2E03;
inline constexpr std::uint16_t kKeyCtrlD = 0x2004;
inline constexpr std::uint16_t kKeyCtrlE = 0x1205;
inline constexpr std::uint16_t kKeyCtrlF = 0x2106;
inline constexpr std::uint16_t kKeyCtrlG = 0x2207;
inline constexpr std::uint16_t kKeyCtrlH = 0x2308;
inline constexpr std::uint16_t kKeyCtrlI = 0x1709;
inline constexpr std::uint16_t kKeyCtrlJ = 0x240A;
inline constexpr std::uint16_t kKeyCtrlK = 0x250B;
inline constexpr std::uint16_t kKeyCtrlL = 0x260C;
inline constexpr std::uint16_t kKeyCtrlM = 0x320D;
inline constexpr std::uint16_t kKeyCtrlN = 0x310E;
inline constexpr std::uint16_t kKeyCtrlO = 0x180F;
inline constexpr std::uint16_t kKeyCtrlP = 0x1910;
inline constexpr std::uint16_t kKeyCtrlQ = 0x1011;
inline constexpr std::uint16_t kKeyCtrlR = 0x1312;
inline constexpr std::uint16_t kKeyCtrlS = 0x1F13;
inline constexpr std::uint16_t kKeyCtrlT = 0x1414;
inline constexpr std::uint16_t kKeyCtrlU = 0x1615;
inline constexpr std::uint16_t kKeyCtrlV = 0x2F16;
inline constexpr std::uint16_t kKeyCtrlW = 0x1117;
inline constexpr std::uint16_t kKeyCtrlX = 0x2D18;
inline constexpr std::uint16_t kKeyCtrlY = 0x1519;
inline constexpr std::uint16_t kKeyCtrlZ = 0x2C1A;

// The character a key code types (0 for a key that types none); Ctrl with a letter types
// its control character in either keyboard layout, though the scan code differs.
constexpr char KeyChar(std::uint16_t keyCode) {
    return char(keyCode & 0xFF);
}

} // namespace zarvo
