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

} // namespace zarvo
