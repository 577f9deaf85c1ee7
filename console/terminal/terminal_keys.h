// The keyboard behind the characters a terminal sends: which physical key (virtual-key code
// and PC scan code) types a character, so the terminal host can queue the same key records
// as a keyboard would, and the modifiers of the xterm key sequences.
#pragma once

#include <cstdint>

namespace zarvo {

struct tTypingKey {
    std::uint32_t VirtualKey = 0; // 0: no key of either layout types the character
    std::uint8_t Scan = 0;
    bool Shifted = false;
};

// The key that types a CP866 character: the US layout for ASCII, the Russian layout for
// Cyrillic letters (the key the Latin/Cyrillic table pairs them with).
tTypingKey KeyOfCharacter(std::uint8_t character);

// The PC scan code of a virtual key that types no character (cursor block, F-keys, Esc...).
std::uint8_t ScanCodeOfKey(std::uint32_t virtualKey);

// Modifier set (modShift, modAlt, modCtrl) of an xterm modifier parameter: 1 + a bit set of
// Shift 1, Alt 2, Ctrl 4, Meta 8 (Meta counts as Alt).
std::uint32_t ModifiersOfParameter(int parameter);

} // namespace zarvo
