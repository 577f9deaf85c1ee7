// The keyboard routines behind hot letters and control keys: Alt and Ctrl codes of
// characters and back, and the Latin/Cyrillic tables that let "~Ф~айл" answer Alt+A in
// either keyboard layout. Characters are CP866; 0 means "no such key".
#pragma once

#include <cstdint>

namespace zarvo {

char AltCodeToChar(std::uint16_t keyCode);
std::uint16_t CharToAltCode(char ch);
std::uint16_t CharToCtrlCode(char ch);
char CtrlCodeToChar(std::uint16_t code);
std::uint16_t CtrlKeyToCursorKey(std::uint16_t keyCode);
char LatinKeyToCyrillic(char ch);
char CyrillicKeyToLatin(char ch);
char UpCase866(char ch);

// The character a key types with Ctrl held (and Alt not), by key position as the desktop's
// keyboard gives it: 1-26 for the letters; without Shift 127 for Backspace, 10 for Enter, a
// space for Space, 0x1B-0x1D for "[", "\" and "]"; with Shift 0x1E for 6 and 0x1F for minus;
// -1 for every other key. Where it types nothing the key tables' own key-down rows make the
// event, so a host that typed more would give one press two events.
int CtrlCharacterOfKey(std::uint32_t virtualKey, bool shift);

} // namespace zarvo
