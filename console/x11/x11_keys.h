// The physical keys of an X11 keyboard as the driver layer knows them: PC scan codes and
// Windows virtual-key codes, taken from the key's position, never from the layout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zarvo {

struct tPhysicalKey {
    std::uint8_t VirtualKey = 0; // 0: a key the text UI does not know
    std::uint8_t ScanCode = 0;
    bool Extended = false; // the key sits outside the main block (cursor keys, right Ctrl)
};

// Virtual-key codes the host itself tests.
inline constexpr std::uint8_t vkShift = 16;
inline constexpr std::uint8_t vkControl = 17;
inline constexpr std::uint8_t vkMenu = 18;
inline constexpr std::uint8_t vkF10 = 121;

// The key behind an X keycode. `keypadDigits` says whether the keypad gives digits
// (Num Lock on) or cursor keys; the scan code is the same either way.
tPhysicalKey PhysicalKeyOf(unsigned keycode, bool keypadDigits);

// Key data of a key message: repeat count 1, scan code, extended, context and state bits.
std::uint32_t KeyData(const tPhysicalKey& key, bool altHeld, bool wasDown, bool released);

// Typed text from the keyboard layout (UTF-8) as CP866 (the caller refuses characters CP866
// lacks first).
std::string TypedTextToCp866(std::string_view utf8);

} // namespace zarvo
