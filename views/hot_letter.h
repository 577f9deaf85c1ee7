// Hot letters of control texts: the character after the first "~", and the two ways a key
// answers it: its Alt code (the same key position in either keyboard layout) or the letter
// itself typed.
#pragma once

#include <cstdint>
#include <string_view>

#include "console/keyboard.h"

namespace zarvo {

// The hot letter of TEXT, upper-cased; 0 without "~" or when the only "~" ends the text.
inline char HotLetter(std::string_view text) {
    std::size_t tilde = text.find('~');
    if (tilde == std::string_view::npos || tilde + 1 >= text.size())
        return 0;
    return UpCase866(text[tilde + 1]);
}

// Alt plus the key of HOT, whichever layout is active.
inline bool IsAltHotKey(char hot, std::uint16_t keyCode) {
    return hot != 0 && CharToAltCode(hot) == keyCode;
}

// The key typed HOT itself, in either case.
inline bool TypesHotLetter(char hot, std::uint16_t keyCode) {
    return hot != 0 && hot == UpCase866(char(keyCode & 0xFF));
}

} // namespace zarvo
